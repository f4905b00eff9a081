#include "tests/tool_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <stdexcept>

namespace {

std::string tool_under_test = SONORIFT_PATH;
std::string tool_runner;

}  // namespace

void SetToolUnderTest(const std::string& tool, const std::string& runner) {
  tool_under_test = tool;
  tool_runner = runner;
}

std::string ToolPath() { return tool_under_test; }

bool TestingWindowsTool() {
  const std::string tool = ToolPath();
  return tool.size() > 4 && tool.substr(tool.size() - 4) == ".exe";
}

std::string ToolFileName() {
  const std::string tool = ToolPath();
  return tool.substr(tool.find_last_of('/') + 1);
}

std::string Banner() {
  return " SonoRifter v" SONORIFTER_VERSION " - by the SonoRifter developers\r\n"
         "Convert Unreal Tournament UMX files to Trackers Modules.\r\n";
}

namespace {

[[noreturn]] void StartChild(const std::vector<std::string>& arguments,
                             const RunOptions& options, int out_fd) {
  if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(126);
  const int null_fd = open("/dev/null", O_RDONLY);
  if (null_fd < 0 || dup2(null_fd, STDIN_FILENO) < 0 || dup2(out_fd, STDOUT_FILENO) < 0) {
    _exit(126);
  }
  for (const std::string& entry : options.environment) putenv(strdup(entry.c_str()));
  if (options.preload_faults) setenv("LD_PRELOAD", FAULT_INJECT_PATH, 1);
  if (options.file_size_limit > 0) {
    const rlimit limit = {static_cast<rlim_t>(options.file_size_limit),
                          static_cast<rlim_t>(options.file_size_limit)};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
  }
  std::vector<char*> argv;
  for (const std::string& word : options.wrapper) argv.push_back(const_cast<char*>(word.c_str()));
  if (!tool_runner.empty()) argv.push_back(const_cast<char*>(tool_runner.c_str()));
  const std::string tool = ToolPath();
  argv.push_back(const_cast<char*>(tool.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& arguments, const RunOptions& options) {
  int pipe_fds[2] = {-1, -1};
  int out_fd;
  if (options.stdout_reader_gone) {
    int gone[2];
    if (pipe(gone) != 0) throw std::runtime_error("pipe failed");
    close(gone[0]);
    out_fd = gone[1];
  } else if (options.stdout_path.empty()) {
    if (pipe(pipe_fds) != 0) throw std::runtime_error("pipe failed");
    out_fd = pipe_fds[1];
  } else {
    out_fd = open(options.stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out_fd < 0) throw std::runtime_error("can't open " + options.stdout_path);
  }
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    if (pipe_fds[0] >= 0) close(pipe_fds[0]);
    StartChild(arguments, options, out_fd);
  }
  close(out_fd);

  ToolRun run;
  const double deadline = Now() + options.timeout_seconds;
  if (pipe_fds[0] >= 0) {
    char chunk[4096];
    for (;;) {
      const int left_ms = static_cast<int>((deadline - Now()) * 1000);
      if (left_ms <= 0) {
        run.timed_out = true;
        break;
      }
      pollfd poll_fd = {pipe_fds[0], POLLIN, 0};
      if (poll(&poll_fd, 1, left_ms) <= 0) continue;
      const ssize_t count = read(pipe_fds[0], chunk, sizeof chunk);
      if (count <= 0) break;
      run.out.append(chunk, static_cast<size_t>(count));
    }
    close(pipe_fds[0]);
  }
  // A tool still running at the deadline is killed, not waited for.
  int wait_status = 0;
  while (waitpid(child, &wait_status, WNOHANG) != child) {
    if (run.timed_out || Now() > deadline) {
      run.timed_out = true;
      kill(child, SIGKILL);
      waitpid(child, &wait_status, 0);
      break;
    }
    usleep(1000);
  }
  if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) run.signal = WTERMSIG(wait_status);
  return run;
}
