// The platform on Windows, through the Win32 API in its byte (ANSI) forms.
#include <windows.h>

#include "platform/command_line.h"
#include "platform/platform.h"

namespace {

// The program's file name, for the failure report.
std::string program_name = "Sonorift.exe";

// Whether the marker goes to a console that doesn't show 0xFE as the small
// square, and so is written in UTF-16.
bool marker_in_utf16 = false;

HANDLE Handle(File file) { return reinterpret_cast<HANDLE>(file.handle); }

HANDLE StandardOutput() { return GetStdHandle(STD_OUTPUT_HANDLE); }

bool OpenExisting(const std::string& name, DWORD access, DWORD disposition, File* file) {
  const HANDLE handle = CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  file->handle = reinterpret_cast<intptr_t>(handle);
  return true;
}

// Reads and writes take at most this much at once (a DWORD count).
constexpr size_t MaxTransfer = 0x7FFFFFFF;

}  // namespace

void StartUp(int, char**) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    const std::string full(path, length);
    program_name = full.substr(full.find_last_of("\\/:") + 1);
  }
  DWORD mode;
  const HANDLE output = StandardOutput();
  marker_in_utf16 = GetConsoleMode(output, &mode) && GetConsoleOutputCP() != 437;
}

std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> words = SplitCommandLine(GetCommandLineA());
  if (!words.empty()) words.erase(words.begin());
  return words;
}

int LastError() { return static_cast<int>(GetLastError()); }

bool OpenForReading(const std::string& name, File* file) {
  // A directory can't be opened this way: CreateFileA refuses it with
  // "access denied".
  return OpenExisting(name, GENERIC_READ, OPEN_EXISTING, file);
}

bool OpenForWriting(const std::string& name, File* file) {
  return OpenExisting(name, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, file);
}

bool IsSameFile(File a, File b, bool* same) {
  BY_HANDLE_FILE_INFORMATION info_a;
  BY_HANDLE_FILE_INFORMATION info_b;
  if (!GetFileInformationByHandle(Handle(a), &info_a)) return false;
  if (!GetFileInformationByHandle(Handle(b), &info_b)) return false;
  *same = info_a.dwVolumeSerialNumber == info_b.dwVolumeSerialNumber &&
          info_a.nFileIndexHigh == info_b.nFileIndexHigh &&
          info_a.nFileIndexLow == info_b.nFileIndexLow;
  return true;
}

bool TruncateFile(File file) {
  LARGE_INTEGER start;
  start.QuadPart = 0;
  return SetFilePointerEx(Handle(file), start, nullptr, FILE_BEGIN) &&
         SetEndOfFile(Handle(file));
}

int64_t ReadFromFile(File file, void* buffer, size_t size) {
  DWORD count;
  const DWORD wanted = static_cast<DWORD>(size < MaxTransfer ? size : MaxTransfer);
  if (!ReadFile(Handle(file), buffer, wanted, &count, nullptr)) return -1;
  return count;
}

int64_t WriteToFile(File file, const void* buffer, size_t size) {
  DWORD count;
  const DWORD wanted = static_cast<DWORD>(size < MaxTransfer ? size : MaxTransfer);
  if (!WriteFile(Handle(file), buffer, wanted, &count, nullptr)) return -1;
  if (count == 0) {
    // A write that stores nothing would make the caller's loop spin.
    SetLastError(ERROR_WRITE_FAULT);
    return -1;
  }
  return count;
}

bool FilePosition(File file, int64_t* position) {
  LARGE_INTEGER zero;
  zero.QuadPart = 0;
  LARGE_INTEGER current;
  if (!SetFilePointerEx(Handle(file), zero, &current, FILE_CURRENT)) return false;
  *position = current.QuadPart;
  return true;
}

bool FileSize(File file, int64_t* size) {
  LARGE_INTEGER bytes;
  if (!GetFileSizeEx(Handle(file), &bytes)) return false;
  *size = bytes.QuadPart;
  return true;
}

bool CloseFile(File file) { return CloseHandle(Handle(file)) != 0; }

bool WriteToConsole(std::string_view text) {
  const HANDLE output = StandardOutput();
  if (output == nullptr || output == INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  while (!text.empty()) {
    DWORD written;
    if (!WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
      return false;
    }
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

bool WriteMarkerToConsole() {
  if (!marker_in_utf16) return WriteToConsole("\xFE");
  DWORD written;
  return WriteConsoleW(StandardOutput(), L"\x25A0", 1, &written, nullptr) != 0;
}

void ExitWithStatus(int status) { ExitProcess(static_cast<UINT>(status)); }

std::string ProgramName() { return program_name; }

uint32_t CodeOffsetInImage(const void* address) {
  const HMODULE image = GetModuleHandleA(nullptr);
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address) -
                               reinterpret_cast<uintptr_t>(image));
}

std::string ErrorText(int code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}
