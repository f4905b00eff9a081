// The failure report: the one way the program tells of a failed I/O call or
// a failed allocation before it ends with status 1.
//
// Every call that can fail is checked where it is made; on failure the check
// calls IO_FAILED(), which writes, right after whatever the console line
// already holds,
//   Exception EInOutError in module Sonorift at 00012A4C.\r\n
//   File: scan.cpp Line#: 57\r\n
//   I/O error 5.
// with the offset of the check in the program's image, the check's source
// file and line, and the text for the platform's error code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The status every failure report ends the process with.
constexpr int FailureReportStatus = 1;

// A check's source position. The file name is kept XORed with 0xAA, so the
// plain names shown by reports don't stand in the binary; the report decodes
// it when it is written.
struct SourcePosition {
  static constexpr int MaxFileName = 40;
  char xored_file[MaxFileName];
  int file_length;
  int line;
};

// Builds a SourcePosition from a path at compile time, keeping only the part
// after the last directory separator.
constexpr SourcePosition MakeSourcePosition(const char* path, int line) {
  int start = 0;
  int end = 0;
  for (; path[end] != '\0'; ++end) {
    if (path[end] == '/' || path[end] == '\\') start = end + 1;
  }
  SourcePosition position{};
  position.file_length = 0;
  for (int i = start; i < end && position.file_length < SourcePosition::MaxFileName; ++i) {
    position.xored_file[position.file_length++] = static_cast<char>(path[i] ^ 0xAA);
  }
  position.line = line;
  return position;
}

// The source position of the line it stands on, as constant data.
#define SOURCE_POSITION                                               \
  ([]() -> const SourcePosition* {                                    \
    static constexpr SourcePosition position =                        \
        MakeSourcePosition(__FILE__, __LINE__);                       \
    return &position;                                                 \
  }())

// Ends the run with the report for the last failed platform call.
#define IO_FAILED() FailWithIoError(LastError(), SOURCE_POSITION)

// Ends the run with the report for a failed allocation.
#define OUT_OF_MEMORY() FailOutOfMemory(SOURCE_POSITION)

// Write the report for an I/O error code or a failed allocation, caught at
// the caller's check, and end the process with FailureReportStatus. Called
// through the macros above.
[[noreturn]] void FailWithIoError(int code, const SourcePosition* where);
[[noreturn]] void FailOutOfMemory(const SourcePosition* where);

// The plain file name of a position.
std::string DecodeFileName(const SourcePosition& where);

// The report's bytes, laid out from its parts.
std::string FormatFailureReport(std::string_view error_class,
                                std::string_view program_name,
                                uint32_t location, std::string_view file,
                                int line, std::string_view error_text);
