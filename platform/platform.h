// The operating system as the program sees it: files, the console, the
// command line and the end of the process. One implementation per platform
// (POSIX, Win32) sits beside this header and the build picks one, so the rest
// of the program holds no platform conditionals.
//
// Calls that can fail return false (or -1) and leave the platform's error
// code for LastError(); the caller checks right after the call and hands
// failures to the failure report (failure_report.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An open file: a descriptor on POSIX, a HANDLE on Windows.
struct File {
  intptr_t handle = -1;
};

// Prepares the process before anything is written: remembers the program's
// name for the failure report, makes a closed pipe or a file-size limit a
// failed write instead of a fatal signal, and decides once how the console
// shows the marker.
void StartUp(int argc, char** argv);

// The arguments after the program's name: argv unchanged on POSIX, the
// split command-line string on Windows.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// The error code of the last failed call: errno, or GetLastError().
int LastError();

// Opens an existing file for reading, positioned at 0, shared with other
// readers and writers. Never blocks (a FIFO without a writer included) and
// refuses a directory.
bool OpenForReading(const std::string& name, File* file);

// Opens name for writing, creating it when it doesn't exist. An existing
// file keeps its bytes until TruncateFile(), so that it can be compared with
// the input first. Never blocks.
bool OpenForWriting(const std::string& name, File* file);

// Sets *same to whether a and b are one file (device and inode, or volume
// and file index), however they were named.
bool IsSameFile(File a, File b, bool* same);

// Empties a file opened for writing and puts its position at 0.
bool TruncateFile(File file);

// Reads up to size bytes at the file's position: the count read, 0 at the
// end of the file, -1 on failure.
int64_t ReadFromFile(File file, void* buffer, size_t size);

// Writes up to size bytes (size > 0): the count written, at least 1, or -1 on
// failure. A count below size is a short write; the caller writes the rest.
int64_t WriteToFile(File file, const void* buffer, size_t size);

// The file's current position and its size, in bytes.
bool FilePosition(File file, int64_t* position);
bool FileSize(File file, int64_t* size);

bool CloseFile(File file);

// Writes all of text to standard output at once, unbuffered.
bool WriteToConsole(std::string_view text);

// Writes the status-line marker: the byte 0xFE, or the small filled square
// in the console's own encoding where the console would not show that byte
// as one.
bool WriteMarkerToConsole();

// Ends the process with status.
[[noreturn]] void ExitWithStatus(int status);

// For the failure report: the program's file name without its directory,
// the offset of a code address from the start of the program's loaded image,
// and the text for an error code.
std::string ProgramName();
uint32_t CodeOffsetInImage(const void* address);
std::string ErrorText(int code);
