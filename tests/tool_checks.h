// What the end-to-end tests expect of a run, and the fixture they share:
// the console texts, the failure report's layout, the state of files before
// and after, and the calls the fault library traced.
#pragma once

#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/test_files.h"
#include "tests/tool_run.h"

// For tests of what only the POSIX build meets: the fault library (which
// preloads into native programs), FIFOs, devices, signals and terminals.
#define SKIP_FOR_WINDOWS_TOOL(why) \
  if (TestingWindowsTool()) GTEST_SKIP() << "SKIPPED for the Windows build: " why

// For tests that a sanitized build can't pass: its allocator comes before
// the fault library's, its instrumentation records source names of its own,
// and valgrind can't run it.
#define SKIP_FOR_SANITIZED_TOOL(why) \
  if (SONORIFT_SANITIZED) GTEST_SKIP() << "SKIPPED for the sanitized build: " why

extern const std::string Marker;
extern const std::string Usage;

std::string CantOpen(const std::string& name);
const char* FoundText(ModuleKind kind);
const char* Extension(ModuleKind kind);

// One dot per chunk, and one for the final empty read.
std::string Dots(size_t module_bytes);

// The console up to the "Write to" line, which stays open.
std::string UpToWriteTo(ModuleKind kind, const std::string& output_name);

// The console of a complete extraction.
std::string Extracted(ModuleKind kind, const std::string& output_name, size_t module_bytes);

// A failure report for an I/O error, as a pattern: the location and line
// vary with the build. Its groups are the location and the line.
std::string ReportPattern(const std::string& file, const std::string& text);

// The source line a report points at, from the repository.
std::string SourceLine(const std::string& file, int line);

// Checks that out is prefix followed by a well-formed report for text,
// caught by a check in file, and gives its location.
std::string ExpectReportAtEnd(const std::string& out, const std::string& prefix,
                              const std::string& file, const std::string& text);

// Whether two runs of bytes are equal; on a difference, says where it is
// rather than printing them.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected);

// A file's bytes and times, to show that a run left it alone.
struct Stamp {
  std::string bytes;
  timespec modified;
  timespec changed;
};

Stamp StampOf(const std::string& path);
void ExpectUntouched(const Stamp& before, const std::string& path);

// The calls the fault library traced, a line each, and a line's words.
std::vector<std::string> TraceLines(const std::string& path);
std::vector<std::string> Words(const std::string& line);

// A directory of the test's own to run the tool in.
class ToolTest : public ::testing::Test {
 protected:
  ToolRun Run(const std::vector<std::string>& arguments, RunOptions options = {}) {
    if (options.directory.empty()) options.directory = dir.path;
    return RunTool(arguments, options);
  }

  // A run with the fault library, tracing its calls to trace_path().
  ToolRun RunWithFaults(const std::vector<std::string>& arguments,
                        std::vector<std::string> environment) {
    RunOptions options;
    options.preload_faults = true;
    environment.push_back("FAULT_TRACE=" + trace_path());
    options.environment = environment;
    return Run(arguments, options);
  }

  // Beside the directory, so that it doesn't show among the run's files.
  std::string trace_path() const { return dir.path + ".trace"; }

  void TearDown() override { unlink(trace_path().c_str()); }

  TempDir dir;
};
