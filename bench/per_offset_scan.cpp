// The scan done the slow way, kept as the reference of what not to do: for
// every offset an end-of-file test (a size and a position query), one 4-byte
// read and, after a miss, one absolute seek. Prints the tag's offset, or -1.
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const int fd = open(argv[1], O_RDONLY);
  if (fd < 0) return 2;
  const char* tags[] = {"IMPM", "SCRM", "ule:"};
  for (off_t position = 0;; ++position) {
    struct stat status;
    if (fstat(fd, &status) != 0) return 1;
    const off_t current = lseek(fd, 0, SEEK_CUR);
    if (current == status.st_size) break;
    char bytes[4];
    if (read(fd, bytes, 4) < 4) break;
    for (const char* tag : tags) {
      if (memcmp(bytes, tag, 4) == 0) {
        printf("%lld\n", static_cast<long long>(position));
        return 0;
      }
    }
    if (lseek(fd, position + 1, SEEK_SET) < 0) return 1;
  }
  printf("-1\n");
  return 0;
}
