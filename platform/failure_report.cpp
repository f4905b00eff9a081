#include "platform/failure_report.h"

#include <cstdio>

#include "platform/platform.h"

std::string DecodeFileName(const SourcePosition& where) {
  // Read the XORed bytes through volatile, so the optimizer can't fold the
  // decode of this constant data back into a plain string in the binary.
  const volatile char* xored = where.xored_file;
  std::string name;
  for (int i = 0; i < where.file_length; ++i) {
    name += static_cast<char>(xored[i] ^ 0xAA);
  }
  return name;
}

std::string FormatFailureReport(std::string_view error_class,
                                std::string_view program_name,
                                uint32_t location, std::string_view file,
                                int line, std::string_view error_text) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(location));
  std::string report;
  report += "Exception ";
  report += error_class;
  report += " in module ";
  report += program_name;
  report += " at ";
  report += hex;
  report += ".\r\nFile: ";
  report += file;
  report += " Line#: ";
  report += std::to_string(line);
  report += "\r\n";
  report += error_text;
  if (!error_text.empty() && error_text.back() != '.') report += '.';
  return report;
}

namespace {

[[noreturn]] void Fail(std::string_view error_class, std::string_view text,
                       const SourcePosition* where, const void* caught_at) {
  const std::string report =
      FormatFailureReport(error_class, ProgramName(), CodeOffsetInImage(caught_at),
                          DecodeFileName(*where), where->line, text);
  // The report is the last word; if the console can't take it either, the
  // status still tells.
  WriteToConsole(report);
  ExitWithStatus(FailureReportStatus);
}

}  // namespace

// Not inlined, so that the return address is the address of the check.
[[gnu::noinline]] void FailWithIoError(int code, const SourcePosition* where) {
  Fail("EInOutError", ErrorText(code), where, __builtin_return_address(0));
}

[[gnu::noinline]] void FailOutOfMemory(const SourcePosition* where) {
  Fail("EOutOfMemory", "Out of memory", where, __builtin_return_address(0));
}
