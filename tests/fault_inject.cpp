// A preload library for the end-to-end tests: it stands between the tool and
// the C library, so a test can make one chosen call fail, make writes come
// back short, and see which calls were made. Set through the environment:
//
//   FAULT_CALL=read FAULT_NTH=2 FAULT_ERRNO=5
//       the second call of read() fails with errno 5. Calls are counted by
//       family: open (open, open64, openat, __open_2, ...), read, write,
//       lseek, fstat, fcntl, ftruncate, close, malloc.
//   FAULT_SIZE=65535
//       with FAULT_CALL=malloc: count only allocations of this size.
//   FAULT_SHORT_WRITE=1000, FAULT_SHORT_READ=1000
//       writes to and reads from descriptors above 2 move at most this many
//       bytes each.
//   FAULT_TRACE=/path
//       appends a line per call: "<family> <fd> <size> <result>" (for open
//       "<family> <name> <flags> <result>").
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>

extern "C" void* __libc_malloc(size_t size);

namespace {

struct Settings {
  const char* call = nullptr;
  long nth = 0;
  int error = EIO;
  long malloc_size = -1;
  long short_write = 0;
  long short_read = 0;
  int trace_fd = -1;
};

long calls_seen = 0;

const Settings& Get() {
  static const Settings settings = [] {
    Settings s;
    s.call = getenv("FAULT_CALL");
    if (const char* nth = getenv("FAULT_NTH")) s.nth = atol(nth);
    if (const char* error = getenv("FAULT_ERRNO")) s.error = atoi(error);
    if (const char* size = getenv("FAULT_SIZE")) s.malloc_size = atol(size);
    if (const char* bytes = getenv("FAULT_SHORT_WRITE")) s.short_write = atol(bytes);
    if (const char* bytes = getenv("FAULT_SHORT_READ")) s.short_read = atol(bytes);
    if (const char* path = getenv("FAULT_TRACE")) {
      // Raw system calls, so the library doesn't see its own work.
      s.trace_fd = static_cast<int>(
          syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    }
    return s;
  }();
  return settings;
}

// Whether this call of family is the one to fail; counts it.
bool ShouldFail(const char* family) {
  const Settings& s = Get();
  if (s.call == nullptr || strcmp(s.call, family) != 0) return false;
  return ++calls_seen == s.nth;
}

void Trace(const char* family, const std::string& what, long long result) {
  const Settings& s = Get();
  if (s.trace_fd < 0) return;
  const std::string line =
      std::string(family) + " " + what + " " + std::to_string(result) + "\n";
  syscall(SYS_write, s.trace_fd, line.data(), line.size());
}

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

std::string Numbers(long long a, long long b) {
  return std::to_string(a) + " " + std::to_string(b);
}

// Every open variant funnels through here; the real call is always openat.
int Open(int dirfd, const char* name, int flags, mode_t mode) {
  if (ShouldFail("open")) {
    Trace("open", std::string(name) + " " + std::to_string(flags), -1);
    errno = Get().error;
    return -1;
  }
  const int fd = static_cast<int>(syscall(SYS_openat, dirfd, name, flags, mode));
  Trace("open", std::string(name) + " " + std::to_string(flags), fd);
  return fd;
}

mode_t ModeArgument(int flags, va_list arguments) {
  return (flags & (O_CREAT | O_TMPFILE)) ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

ssize_t Read(const char* name, int fd, void* buffer, size_t size) {
  using Function = ssize_t (*)(int, void*, size_t);
  static const Function real = Real<Function>(name);
  if (ShouldFail("read")) {
    Trace("read", Numbers(fd, size), -1);
    errno = Get().error;
    return -1;
  }
  size_t asked = size;
  if (fd > 2 && Get().short_read > 0 && asked > static_cast<size_t>(Get().short_read)) {
    asked = static_cast<size_t>(Get().short_read);
  }
  const ssize_t count = real(fd, buffer, asked);
  Trace("read", Numbers(fd, size), count);
  return count;
}

ssize_t Write(int fd, const void* buffer, size_t size) {
  using Function = ssize_t (*)(int, const void*, size_t);
  static const Function real = Real<Function>("write");
  if (ShouldFail("write")) {
    Trace("write", Numbers(fd, size), -1);
    errno = Get().error;
    return -1;
  }
  size_t asked = size;
  if (fd > 2 && Get().short_write > 0 && asked > static_cast<size_t>(Get().short_write)) {
    asked = static_cast<size_t>(Get().short_write);
  }
  const ssize_t count = real(fd, buffer, asked);
  Trace("write", Numbers(fd, size), count);
  return count;
}

off_t Seek(const char* name, int fd, off_t offset, int whence) {
  using Function = off_t (*)(int, off_t, int);
  static const Function real = Real<Function>(name);
  if (ShouldFail("lseek")) {
    Trace("lseek", Numbers(fd, offset), -1);
    errno = Get().error;
    return -1;
  }
  const off_t result = real(fd, offset, whence);
  Trace("lseek", Numbers(fd, offset), result);
  return result;
}

int Stat(const char* name, int fd, struct stat* status) {
  using Function = int (*)(int, struct stat*);
  static const Function real = Real<Function>(name);
  if (ShouldFail("fstat")) {
    Trace("fstat", Numbers(fd, 0), -1);
    errno = Get().error;
    return -1;
  }
  const int result = real(fd, status);
  Trace("fstat", Numbers(fd, 0), result);
  return result;
}

int Truncate(const char* name, int fd, off_t length) {
  using Function = int (*)(int, off_t);
  static const Function real = Real<Function>(name);
  if (ShouldFail("ftruncate")) {
    Trace("ftruncate", Numbers(fd, length), -1);
    errno = Get().error;
    return -1;
  }
  const int result = real(fd, length);
  Trace("ftruncate", Numbers(fd, length), result);
  return result;
}

// The commands the tool uses take an int or nothing; reading a long from
// the arguments covers both on the ABIs this runs on.
int Control(const char* name, int fd, int command, long argument) {
  using Function = int (*)(int, int, ...);
  static const Function real = Real<Function>(name);
  if (ShouldFail("fcntl")) {
    Trace("fcntl", Numbers(fd, command), -1);
    errno = Get().error;
    return -1;
  }
  const int result = real(fd, command, argument);
  Trace("fcntl", Numbers(fd, command), result);
  return result;
}

}  // namespace

extern "C" {

int open(const char* name, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  return Open(AT_FDCWD, name, flags, mode);
}

int open64(const char* name, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  return Open(AT_FDCWD, name, flags, mode);
}

int openat(int dirfd, const char* name, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  return Open(dirfd, name, flags, mode);
}

int openat64(int dirfd, const char* name, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  return Open(dirfd, name, flags, mode);
}

int __open_2(const char* name, int flags) { return Open(AT_FDCWD, name, flags, 0); }
int __open64_2(const char* name, int flags) { return Open(AT_FDCWD, name, flags, 0); }

ssize_t read(int fd, void* buffer, size_t size) { return Read("read", fd, buffer, size); }
ssize_t __read_chk(int fd, void* buffer, size_t size, size_t) {
  return Read("read", fd, buffer, size);
}

ssize_t write(int fd, const void* buffer, size_t size) { return Write(fd, buffer, size); }

off_t lseek(int fd, off_t offset, int whence) { return Seek("lseek", fd, offset, whence); }
off64_t lseek64(int fd, off64_t offset, int whence) {
  return Seek("lseek64", fd, offset, whence);
}

int fstat(int fd, struct stat* status) { return Stat("fstat", fd, status); }
int fstat64(int fd, struct stat64* status) {
  return Stat("fstat64", fd, reinterpret_cast<struct stat*>(status));
}

int ftruncate(int fd, off_t length) { return Truncate("ftruncate", fd, length); }
int ftruncate64(int fd, off64_t length) { return Truncate("ftruncate64", fd, length); }

int fcntl(int fd, int command, ...) {
  va_list arguments;
  va_start(arguments, command);
  const long argument = va_arg(arguments, long);
  va_end(arguments);
  return Control("fcntl", fd, command, argument);
}

int fcntl64(int fd, int command, ...) {
  va_list arguments;
  va_start(arguments, command);
  const long argument = va_arg(arguments, long);
  va_end(arguments);
  return Control("fcntl64", fd, command, argument);
}

int close(int fd) {
  using Function = int (*)(int);
  static const Function real = Real<Function>("close");
  if (ShouldFail("close")) {
    Trace("close", Numbers(fd, 0), -1);
    // The descriptor is really closed, as a failed close leaves it on Linux.
    real(fd);
    errno = Get().error;
    return -1;
  }
  const int result = real(fd);
  Trace("close", Numbers(fd, 0), result);
  return result;
}

void* malloc(size_t size) {
  const Settings& s = Get();
  if (s.malloc_size >= 0 && static_cast<long>(size) == s.malloc_size && ShouldFail("malloc")) {
    errno = ENOMEM;
    return nullptr;
  }
  return __libc_malloc(size);
}

}  // extern "C"
