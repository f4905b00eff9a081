// The tool when things go wrong: every I/O call of a run failed in turn, and
// packages that can be read but not written, or that are huge.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/test_files.h"
#include "tests/tool_checks.h"
#include "tests/tool_run.h"

namespace {

class SonoriftFaultsTest : public ToolTest {};

// Runs a shell command quietly; true when it succeeded.
bool Shell(const std::string& command) { return system((command + " >/dev/null 2>&1").c_str()) == 0; }

struct CallToFail {
  std::string family;
  int nth;
  bool console_write;
  std::string line;
};

TEST_F(SonoriftFaultsTest, EveryFailedCallEndsWithTheReportAndHarmsNothing) {
  SKIP_FOR_WINDOWS_TOOL("the failed calls come from the fault library");
  const std::string package = Filler(70000) + FakeModule(ModuleKind::ImpulseTracker, 150000) +
                              Filler(1000, 2);
  const std::string module = package.substr(70000);
  WriteBytes(dir.Path("pkg.umx"), package);
  const Stamp before = StampOf(dir.Path("pkg.umx"));

  // A clean run, traced: the calls to fail, one at a time, are those after
  // the driver's open, which ends before the scan's first position query.
  const ToolRun clean = RunWithFaults({"pkg.umx"}, {});
  ASSERT_EQ(clean.out, Extracted(ModuleKind::ImpulseTracker, "pkg.it", module.size()));
  std::vector<CallToFail> calls;
  std::map<std::string, int> seen;
  bool scanning = false;
  for (const std::string& line : TraceLines(trace_path())) {
    const std::vector<std::string> words = Words(line);
    const int nth = ++seen[words[0]];
    scanning = scanning || words[0] == "lseek";
    if (scanning) calls.push_back({words[0], nth, words[0] == "write" && words[1] == "1", line});
  }
  ASSERT_GT(calls.size(), 30u);
  std::map<std::string, int> families;
  for (const CallToFail& call : calls) ++families[call.family];
  for (const char* family : {"open", "read", "write", "lseek", "fstat", "fcntl", "ftruncate", "close"}) {
    EXPECT_GT(families[family], 0) << "the run makes no " << family << " call to fail";
  }

  const struct {
    int error;
    const char* text;
  } errors[] = {{EIO, "I/O error 5\\."}, {ENOSPC, "I/O error 28\\."}, {EACCES, "File access denied\\."}};
  const std::regex report(ReportPattern("([a-z_]+\\.cpp)", "(.*)") + "$");
  for (const CallToFail& call : calls) {
    std::string first_location;
    for (const auto& error : errors) {
      SCOPED_TRACE(call.line + " failing with errno " + std::to_string(error.error));
      unlink(dir.Path("pkg.it").c_str());
      unlink(trace_path().c_str());
      const ToolRun run = RunWithFaults(
          {"pkg.umx"}, {"FAULT_CALL=" + call.family, "FAULT_NTH=" + std::to_string(call.nth),
                        "FAULT_ERRNO=" + std::to_string(error.error)});
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.signal, 0);
      ExpectUntouched(before, dir.Path("pkg.umx"));
      if (FileExists(dir.Path("pkg.it"))) {
        const std::string written = ReadBytes(dir.Path("pkg.it"));
        EXPECT_TRUE(SameBytes(written, module.substr(0, written.size())));
      }
      if (call.console_write) continue;

      // What came before the report is what a clean run shows up to there.
      std::smatch parts;
      const size_t report_start = run.out.find("Exception ");
      ASSERT_NE(report_start, std::string::npos) << run.out;
      const std::string shown = run.out.substr(0, report_start);
      const std::string tail = run.out.substr(report_start);
      EXPECT_EQ(clean.out.substr(0, shown.size()), shown);
      ASSERT_TRUE(std::regex_match(tail, parts, report)) << tail;
      EXPECT_TRUE(std::regex_match(parts[4].str(), std::regex(error.text))) << parts[4];
      EXPECT_NE(SourceLine(parts[2], std::stoi(parts[3])).find("IO_FAILED"), std::string::npos)
          << parts[2] << ":" << parts[3];
      const std::string location = parts[1].str() + " " + parts[2].str() + ":" + parts[3].str();
      if (first_location.empty()) first_location = location;
      // The same failed call is reported at the same place, whatever the
      // error and however often.
      EXPECT_EQ(location, first_location);
    }
  }
}

TEST_F(SonoriftFaultsTest, TheFaultLibrarySeesEveryCallTheToolMakes) {
  // The sweep can only fail the calls the library stands in front of; the
  // system calls strace sees from the program's first console write on must
  // all have passed through it.
  SKIP_FOR_WINDOWS_TOOL("the fault library preloads into native programs");
  SKIP_FOR_SANITIZED_TOOL("the sanitizers make system calls of their own");
  if (!Shell("command -v strace")) GTEST_SKIP() << "SKIPPED: strace is not installed";
  WriteBytes(dir.Path("pkg.umx"), Filler(70000) + FakeModule(ModuleKind::ImpulseTracker, 70000));
  const std::string strace_path = dir.path + ".strace";
  RunOptions options;
  options.wrapper = {"strace", "-E", std::string("LD_PRELOAD=") + FAULT_INJECT_PATH, "-o",
                     strace_path, "-e",
                     "trace=open,openat,read,write,lseek,fstat,newfstatat,fcntl,ftruncate,close"};
  options.environment = {"FAULT_TRACE=" + trace_path()};
  const ToolRun run = Run({"pkg.umx"}, options);
  ASSERT_EQ(run.status, 0) << "strace could not run the tool";

  const std::map<std::string, std::string> families = {
      {"open", "open"},   {"openat", "open"},      {"read", "read"},   {"write", "write"},
      {"lseek", "lseek"}, {"fstat", "fstat"},      {"newfstatat", "fstat"},
      {"fcntl", "fcntl"}, {"ftruncate", "ftruncate"}, {"close", "close"}};
  std::map<std::string, int> seen_by_strace;
  std::string trace_fd;
  bool started = false;
  // Lines such as: read(3, "..."..., 65536) = 65536
  const std::regex system_call("^([a-z0-9_]+)\\(([^,)]*)");
  std::string quoted_trace_path(1, '"');
  quoted_trace_path.append(trace_path()).append(1, '"');
  for (const std::string& line : TraceLines(strace_path)) {
    if (line.find(quoted_trace_path) != std::string::npos) {
      trace_fd = line.substr(line.rfind(' ') + 1);
      continue;
    }
    std::smatch parts;
    if (!std::regex_search(line, parts, system_call)) continue;
    const std::string call = parts[1];
    const std::string fd = parts[2];
    started = started || (call == "write" && fd == "1");
    if (!started || !families.count(call) || (call == "write" && fd == trace_fd)) continue;
    ++seen_by_strace[families.at(call)];
  }
  unlink(strace_path.c_str());
  std::map<std::string, int> seen_by_library;
  started = false;
  for (const std::string& line : TraceLines(trace_path())) {
    const std::vector<std::string> words = Words(line);
    started = started || (words[0] == "write" && words[1] == "1");
    if (started) ++seen_by_library[words[0]];
  }
  EXPECT_GT(seen_by_strace["read"], 0);
  EXPECT_EQ(seen_by_library, seen_by_strace);
}

TEST_F(SonoriftFaultsTest, ExtractsFromAPackageTheUserCanReadButNotWrite) {
  SKIP_FOR_WINDOWS_TOOL("file modes, users and mounts are POSIX ones here");
  const std::string package = Filler(3000) + FakeModule(ModuleKind::FastTracker, 80000);
  const std::string module = package.substr(3000);
  const std::string extracted = Extracted(ModuleKind::FastTracker, "pkg.xm", module.size());
  int ways_tried = 0;
  const auto expect_extracted = [&](const ToolRun& run) {
    EXPECT_EQ(run.out, extracted);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.xm")), module));
    unlink(dir.Path("pkg.xm").c_str());
    ++ways_tried;
  };

  // Mode 0444, the tool run by an unprivileged user.
  if (geteuid() == 0 && Shell("command -v setpriv")) {
    WriteBytes(dir.Path("pkg.umx"), package);
    ASSERT_EQ(chmod(dir.Path("pkg.umx").c_str(), 0444), 0);
    ASSERT_EQ(chmod(dir.path.c_str(), 0777), 0);
    RunOptions options;
    options.wrapper = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    expect_extracted(Run({"pkg.umx"}, options));
    unlink(dir.Path("pkg.umx").c_str());
  }

  // The immutable attribute: even root can't open the file for writing.
  WriteBytes(dir.Path("pkg.umx"), package);
  if (Shell("chattr +i '" + dir.Path("pkg.umx") + "'")) {
    const ToolRun run = Run({"pkg.umx"});
    Shell("chattr -i '" + dir.Path("pkg.umx") + "'");
    expect_extracted(run);
  }

  // The package alone on a read-only mount.
  if (Shell("mount --bind -o ro '" + dir.Path("pkg.umx") + "' '" + dir.Path("pkg.umx") + "'")) {
    const ToolRun run = Run({"pkg.umx"});
    Shell("umount '" + dir.Path("pkg.umx") + "'");
    expect_extracted(run);
  }
  if (ways_tried == 0) {
    GTEST_SKIP() << "SKIPPED: no way to make a file read-only for this user here (not root, "
                    "no setpriv, chattr or bind mounts)";
  }
}

TEST_F(SonoriftFaultsTest, FindsAndCopiesAModulePastFourGiBInASparsePackage) {
  SKIP_FOR_WINDOWS_TOOL("sparse files are made with POSIX calls here");
  // 5 GiB of holes and a few KiB of module near the end: the scan reads the
  // holes; the copy stays small.
  const off_t module_start = (off_t{5} << 30) - 10000;
  const std::string module = FakeModule(ModuleKind::ScreamTracker3, 6000) + Filler(500);
  const int fd = open(dir.Path("huge.umx").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const bool written = ftruncate(fd, module_start + 20000) == 0 &&
                       pwrite(fd, module.data(), module.size(), module_start) ==
                           static_cast<ssize_t>(module.size());
  close(fd);
  if (!written) GTEST_SKIP() << "SKIPPED: this file system can't hold a sparse 5 GiB file";
  RunOptions options;
  options.timeout_seconds = 120;
  const ToolRun run = Run({"huge.umx"}, options);
  const size_t copied = 20000;
  EXPECT_EQ(run.out, Extracted(ModuleKind::ScreamTracker3, "huge.s3m", copied));
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("huge.s3m")), module + std::string(copied - module.size(), '\0')));
}

}  // namespace
