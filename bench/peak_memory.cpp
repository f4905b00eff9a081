// Runs a command and prints its peak resident size in KiB. Kept small: the
// peak the kernel reports for a child includes the size of the process it
// was forked from, so the bench can't measure this from its own fork.
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status;
  rusage usage;
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)) return 1;
  printf("%ld\n", usage.ru_maxrss);
  return WEXITSTATUS(status);
}
