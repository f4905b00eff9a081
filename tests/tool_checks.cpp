#include "tests/tool_checks.h"

#include <sys/stat.h>

#include <fstream>
#include <regex>
#include <sstream>

const std::string Marker = "\xFE";
const std::string Usage = Marker + " USAGE: Sonorift[.exe] <file.umx>\r\n";

std::string CantOpen(const std::string& name) { return Marker + " Can't open " + name + " !\r\n"; }

const char* FoundText(ModuleKind kind) {
  switch (kind) {
    case ModuleKind::ImpulseTracker: return " Found Impulse Tracker Module.\r\n";
    case ModuleKind::ScreamTracker3: return " Found Scream Tracker III Module.\r\n";
    case ModuleKind::FastTracker: return " Found Fast Tracker Module.\r\n";
  }
  return "";
}

const char* Extension(ModuleKind kind) {
  switch (kind) {
    case ModuleKind::ImpulseTracker: return ".it";
    case ModuleKind::ScreamTracker3: return ".s3m";
    case ModuleKind::FastTracker: return ".xm";
  }
  return "";
}

// One dot per chunk, and one for the final empty read.
std::string Dots(size_t module_bytes) { return std::string(module_bytes / 65535 + (module_bytes % 65535 != 0) + 1, '.'); }

// The console up to the "Write to" line, which stays open.
std::string UpToWriteTo(ModuleKind kind, const std::string& output_name) {
  return Banner() + Marker + FoundText(kind) + Marker + " Write to \"" + output_name + "\" ";
}

// The console of a complete extraction.
std::string Extracted(ModuleKind kind, const std::string& output_name, size_t module_bytes) {
  return UpToWriteTo(kind, output_name) + Dots(module_bytes) + " Ok\r\n";
}

// A failure report, as a pattern: the location and line vary with the build.
std::string ReportPattern(const std::string& file, const std::string& text) {
  return "Exception EInOutError in module " + std::regex_replace(ToolFileName(), std::regex("\\."), "\\.") +
         " at ([0-9A-F]{8})\\.\r\n"
         "File: " + file + " Line#: ([0-9]+)\r\n" + text;
}

// The source line the report points at, from the repository.
std::string SourceLine(const std::string& file, int line) {
  for (const char* directory : {"app", "extract", "platform"}) {
    std::ifstream source(std::string(SONORIFT_SOURCE_DIR) + "/" + directory + "/" + file);
    if (!source) continue;
    std::string text;
    for (int i = 0; i < line && std::getline(source, text); ++i) {
    }
    return text;
  }
  return "";
}

// Checks that out ends with a well-formed report for text, caught by a
// check in file, and gives its location.
std::string ExpectReportAtEnd(const std::string& out, const std::string& prefix,
                              const std::string& file, const std::string& text) {
  EXPECT_EQ(out.substr(0, prefix.size()), prefix);
  std::smatch parts;
  const std::string report = out.size() >= prefix.size() ? out.substr(prefix.size()) : "";
  if (!std::regex_match(report, parts, std::regex(ReportPattern(file, text)))) {
    ADD_FAILURE() << "not the expected report: " << report;
    return "";
  }
  EXPECT_NE(SourceLine(file, std::stoi(parts[2])).find("IO_FAILED"), std::string::npos)
      << file << ":" << parts[2] << " is not a check";
  return parts[1];
}

::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  size_t first = 0;
  while (first < actual.size() && first < expected.size() && actual[first] == expected[first]) {
    ++first;
  }
  return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                       << " were expected; the first difference is at offset "
                                       << first;
}

Stamp StampOf(const std::string& path) {
  struct stat status;
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return {ReadBytes(path), status.st_mtim, status.st_ctim};
}

void ExpectUntouched(const Stamp& before, const std::string& path) {
  const Stamp after = StampOf(path);
  EXPECT_TRUE(SameBytes(after.bytes, before.bytes)) << path;
  EXPECT_EQ(after.modified.tv_sec, before.modified.tv_sec);
  EXPECT_EQ(after.modified.tv_nsec, before.modified.tv_nsec);
  EXPECT_EQ(after.changed.tv_sec, before.changed.tv_sec);
  EXPECT_EQ(after.changed.tv_nsec, before.changed.tv_nsec);
}

// The calls the fault library saw, one line each.
std::vector<std::string> TraceLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream trace(FileExists(path) ? ReadBytes(path) : "");
  for (std::string line; std::getline(trace, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

