// Runs the built tool as a user would and collects what it did.
#pragma once

#include <string>
#include <vector>

struct ToolRun {
  // The exit status, or -1 when the tool didn't exit normally.
  int status = -1;
  // The signal that ended it, or 0.
  int signal = 0;
  bool timed_out = false;
  // Everything written to standard output.
  std::string out;
};

struct RunOptions {
  // Working directory of the run; the test's own when empty.
  std::string directory;
  // Extra environment entries, "NAME=value".
  std::vector<std::string> environment;
  // Standard output goes to this file instead of being collected.
  std::string stdout_path;
  // Runs with the fault-injection library preloaded.
  bool preload_faults = false;
  // Standard output is a pipe whose reader has gone away.
  bool stdout_reader_gone = false;
  // A limit on the size of files the tool writes (RLIMIT_FSIZE), or 0.
  long file_size_limit = 0;
  int timeout_seconds = 30;
  // A command the tool is run through (found on PATH), such as setpriv.
  std::vector<std::string> wrapper;
};

// Runs the tool with arguments (not counting its own name).
ToolRun RunTool(const std::vector<std::string>& arguments, const RunOptions& options = {});

// Makes the tests run tool (the Windows build, say) through runner (a
// program that takes the tool and its arguments, such as wine) instead of
// the tool built beside them.
void SetToolUnderTest(const std::string& tool, const std::string& runner);

// The path of the tool under test.
std::string ToolPath();

// Whether the tool under test is the Windows build.
bool TestingWindowsTool();

// The tool's file name, as its failure reports give it.
std::string ToolFileName();

// The console bytes that open every run.
std::string Banner();
