// The platform on POSIX systems: Linux, macOS and the BSDs.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <signal.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"

namespace {

// The program's file name, for the failure report.
std::string program_name = "Sonorift";

// Whether the console shows the marker as UTF-8 rather than as the raw byte.
bool marker_in_utf8 = false;

bool LocaleUsesUtf8() {
  if (setlocale(LC_CTYPE, "") == nullptr) return false;
  const char* codeset = nl_langinfo(CODESET);
  return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0;
}

// Undoes the non-blocking mode that the open needed; a failure leaves errno.
bool ClearNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags != -1 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != -1;
}

// Closes a descriptor whose open is being abandoned, keeping the errno that
// explains why.
void Abandon(int fd) {
  const int saved = errno;
  close(fd);
  errno = saved;
}

int Descriptor(File file) { return static_cast<int>(file.handle); }

}  // namespace

void StartUp(int argc, char** argv) {
  if (argc > 0 && argv[0] != nullptr && argv[0][0] != '\0') {
    const std::string path = argv[0];
    program_name = path.substr(path.find_last_of('/') + 1);
  }
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  marker_in_utf8 = isatty(STDOUT_FILENO) && LocaleUsesUtf8();
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

int LastError() { return errno; }

bool OpenForReading(const std::string& name, File* file) {
  // Non-blocking, or a FIFO without a writer would hold the open forever.
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd == -1) return false;
  struct stat status;
  if (fstat(fd, &status) == -1) {
    Abandon(fd);
    return false;
  }
  if (S_ISDIR(status.st_mode)) {
    close(fd);
    errno = EISDIR;
    return false;
  }
  if (!ClearNonBlocking(fd)) {
    Abandon(fd);
    return false;
  }
  file->handle = fd;
  return true;
}

bool OpenForWriting(const std::string& name, File* file) {
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd == -1) return false;
  if (!ClearNonBlocking(fd)) {
    Abandon(fd);
    return false;
  }
  file->handle = fd;
  return true;
}

bool IsSameFile(File a, File b, bool* same) {
  struct stat status_a;
  struct stat status_b;
  if (fstat(Descriptor(a), &status_a) == -1) return false;
  if (fstat(Descriptor(b), &status_b) == -1) return false;
  *same = status_a.st_dev == status_b.st_dev && status_a.st_ino == status_b.st_ino;
  return true;
}

bool TruncateFile(File file) {
  return ftruncate(Descriptor(file), 0) != -1 &&
         lseek(Descriptor(file), 0, SEEK_SET) != -1;
}

int64_t ReadFromFile(File file, void* buffer, size_t size) {
  ssize_t count;
  do {
    count = read(Descriptor(file), buffer, size);
  } while (count == -1 && errno == EINTR);
  return count;
}

int64_t WriteToFile(File file, const void* buffer, size_t size) {
  ssize_t count;
  do {
    count = write(Descriptor(file), buffer, size);
  } while (count == -1 && errno == EINTR);
  if (count == 0) {
    // A write that stores nothing would make the caller's loop spin.
    errno = EIO;
    return -1;
  }
  return count;
}

bool FilePosition(File file, int64_t* position) {
  const off_t offset = lseek(Descriptor(file), 0, SEEK_CUR);
  if (offset == -1) return false;
  *position = offset;
  return true;
}

bool FileSize(File file, int64_t* size) {
  struct stat status;
  if (fstat(Descriptor(file), &status) == -1) return false;
  *size = status.st_size;
  return true;
}

bool CloseFile(File file) { return close(Descriptor(file)) != -1; }

bool WriteToConsole(std::string_view text) {
  while (!text.empty()) {
    const ssize_t count = write(STDOUT_FILENO, text.data(), text.size());
    if (count == -1 && errno == EINTR) continue;
    if (count <= 0) {
      if (count == 0) errno = EIO;
      return false;
    }
    text.remove_prefix(static_cast<size_t>(count));
  }
  return true;
}

bool WriteMarkerToConsole() {
  return WriteToConsole(marker_in_utf8 ? "\xE2\x96\xA0" : "\xFE");
}

void ExitWithStatus(int status) { exit(status); }

std::string ProgramName() { return program_name; }

uint32_t CodeOffsetInImage(const void* address) {
  Dl_info info;
  if (dladdr(address, &info) == 0 || info.dli_fbase == nullptr) return 0;
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address) -
                               reinterpret_cast<uintptr_t>(info.dli_fbase));
}

std::string ErrorText(int code) {
  // POSIX numbers differ from the ones the texts were first given for, so
  // the texts go by meaning.
  switch (code) {
    case ENOENT:
      return "File not found";
    case ENAMETOOLONG:
    case ENOTDIR:
      return "Invalid filename";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return "File access denied";
    default:
      return "I/O error " + std::to_string(code);
  }
}
