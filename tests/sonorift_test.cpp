// The tool as a user runs it: the exact console bytes, the exit status and
// the files left behind.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_files.h"
#include "tests/tool_checks.h"
#include "tests/tool_run.h"

namespace {

class SonoriftTest : public ToolTest {};

TEST_F(SonoriftTest, BannerCarriesTheProjectsVersion) {
  const ToolRun run = Run({});
  EXPECT_EQ(run.out.substr(0, run.out.find("\r\n")),
            " SonoRifter v" SONORIFTER_VERSION " - by the SonoRifter developers");
}

TEST_F(SonoriftTest, RejectsAMissingEmptyOrSurplusArgument) {
  WriteBytes(dir.Path("pkg.umx"), FakeModule(ModuleKind::ImpulseTracker, 100));
  std::vector<std::vector<std::string>> argument_lists = {{}, {""}, {"pkg.umx", "pkg.umx"}};
  if (!TestingWindowsTool()) {
    // A Windows command line can't carry an empty argument: "" is no word.
    argument_lists.push_back({"pkg.umx", ""});
    argument_lists.push_back({"", "pkg.umx"});
  }
  for (const auto& arguments : argument_lists) {
    SCOPED_TRACE(arguments.size());
    const ToolRun run = Run(arguments);
    EXPECT_EQ(run.out, Banner() + Usage);
    EXPECT_EQ(run.status, 101);
  }
  EXPECT_FALSE(FileExists(dir.Path("pkg.it")));
}

TEST_F(SonoriftTest, SaysWhichInputCantBeOpened) {
  std::filesystem::create_directory(dir.Path("folder.umx"));
  WriteBytes(dir.Path("plain"), "IMPM");
  symlink("loop", dir.Path("loop").c_str());
  for (const std::string& name : std::vector<std::string>{"missing.umx", "folder.umx",
                                                         "plain/inside.umx", "loop",
                                                         dir.Path("missing dir/x.umx")}) {
    SCOPED_TRACE(name);
    const ToolRun run = Run({name});
    EXPECT_EQ(run.out, Banner() + CantOpen(name));
    EXPECT_EQ(run.status, 102);
  }
}

TEST_F(SonoriftTest, NeverOpensAnOverLongArgumentCutShort) {
  // The cut name names a real package, which must not be taken for the
  // argument.
  const std::string cut(255, 'a');
  WriteBytes(dir.Path(cut), FakeModule(ModuleKind::ImpulseTracker, 100));
  const std::string argument = cut + std::string(45, 'b');
  const ToolRun run = TestingWindowsTool() ? Run({argument}) : RunWithFaults({argument}, {});
  EXPECT_EQ(run.out, Banner() + CantOpen(cut));
  EXPECT_EQ(run.status, 102);
  for (const std::string& line : TraceLines(trace_path())) {
    EXPECT_NE(line.substr(0, 5), "open ") << line;
  }
}

TEST_F(SonoriftTest, EndsWithOkWhenThereIsNoModule) {
  for (const std::string& bytes : std::vector<std::string>{
           "", "I", "IMP", Filler(300000), "x" + std::string("SCRM") + Filler(30)}) {
    SCOPED_TRACE(bytes.size());
    WriteBytes(dir.Path("pkg.umx"), bytes);
    const ToolRun run = Run({"pkg.umx"});
    EXPECT_EQ(run.out, Banner() + " Ok\r\n");
    EXPECT_EQ(run.status, 0);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(SonoriftTest, ExtractsEachKindWithThePackageDataAfterIt) {
  for (ModuleKind kind :
       {ModuleKind::ImpulseTracker, ModuleKind::ScreamTracker3, ModuleKind::FastTracker}) {
    const std::string package = Filler(70000, 3) + FakeModule(kind, 3000) + Filler(500, 4);
    const std::string output = std::string("pkg") + Extension(kind);
    SCOPED_TRACE(output);
    WriteBytes(dir.Path("pkg.umx"), package);
    const ToolRun run = Run({"pkg.umx"});
    EXPECT_EQ(run.out, Extracted(kind, output, 3500));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(SameBytes(ReadBytes(dir.Path(output)), package.substr(70000)));
  }
}

TEST_F(SonoriftTest, ShowsADotPerChunkAndOneForTheEnd) {
  for (size_t size : {size_t{4}, size_t{65535}, size_t{65536}, size_t{131070}, size_t{131071}}) {
    SCOPED_TRACE(size);
    const std::string package = FakeModule(ModuleKind::ImpulseTracker, size);
    WriteBytes(dir.Path("pkg.umx"), package);
    const ToolRun run = Run({"pkg.umx"});
    EXPECT_EQ(run.out, Extracted(ModuleKind::ImpulseTracker, "pkg.it", size));
    EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.it")), package));
  }
}

TEST_F(SonoriftTest, SkipsToTheModuleInChunksOfReads) {
  SKIP_FOR_WINDOWS_TOOL("the reads are traced by the fault library");
  // The reads of the copy's own handle on the package: the skip, then the
  // module's 100 bytes, then the final empty read.
  const struct {
    size_t start;
    std::vector<std::string> reads;
  } cases[] = {
      {65535, {"65535 65535", "65535 100", "65535 0"}},
      {65536, {"65535 65535", "1 1", "65535 100", "65535 0"}},
      {131071, {"65535 65535", "65535 65535", "1 1", "65535 100", "65535 0"}},
  };
  for (const auto& skip : cases) {
    SCOPED_TRACE(skip.start);
    unlink(trace_path().c_str());
    const std::string package = Filler(skip.start) + FakeModule(ModuleKind::ImpulseTracker, 100);
    WriteBytes(dir.Path("pkg.umx"), package);
    const ToolRun run = RunWithFaults({"pkg.umx"}, {});
    EXPECT_EQ(run.out, Extracted(ModuleKind::ImpulseTracker, "pkg.it", 100));
    EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.it")), package.substr(skip.start)));

    std::vector<std::string> opens_of_package;
    std::vector<std::string> copy_reads;
    for (const std::string& line : TraceLines(trace_path())) {
      const std::vector<std::string> words = Words(line);
      if (words[0] == "open" && words[1] == "pkg.umx") opens_of_package.push_back(words[3]);
      if (words[0] == "read" && opens_of_package.size() == 2 && words[1] == opens_of_package[1]) {
        copy_reads.push_back(words[2] + " " + words[3]);
      }
    }
    ASSERT_EQ(opens_of_package.size(), 2u);
    EXPECT_EQ(copy_reads, skip.reads);
  }
}

TEST_F(SonoriftTest, CopesWithReadsThatComeBackShort) {
  SKIP_FOR_WINDOWS_TOOL("short reads come from the fault library");
  // Some file systems hand out less than asked; the scan, the skip and the
  // copy must still see every byte.
  const std::string package =
      Filler(200000) + FakeModule(ModuleKind::ScreamTracker3, 70000) + Filler(999);
  WriteBytes(dir.Path("pkg.umx"), package);
  const ToolRun run = RunWithFaults({"pkg.umx"}, {"FAULT_SHORT_READ=997"});
  const std::string start = UpToWriteTo(ModuleKind::ScreamTracker3, "pkg.s3m");
  EXPECT_EQ(run.out.substr(0, start.size()), start);
  EXPECT_EQ(run.out.substr(run.out.size() - 6), ". Ok\r\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.s3m")), package.substr(200000)));
}

TEST_F(SonoriftTest, ReplacesAnExistingOutputWholly) {
  const std::string package = Filler(100) + FakeModule(ModuleKind::FastTracker, 1000);
  WriteBytes(dir.Path("pkg.umx"), package);
  WriteBytes(dir.Path("pkg.xm"), Filler(200000, 9));
  const ToolRun run = Run({"pkg.umx"});
  EXPECT_EQ(run.out, Extracted(ModuleKind::FastTracker, "pkg.xm", 1000));
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.xm")), package.substr(100)));
}

TEST_F(SonoriftTest, NamesTheOutputAfterTheInput) {
  std::filesystem::create_directory(dir.Path("dir.v2"));
  std::filesystem::create_directory(dir.Path("old.umx"));
  const struct {
    std::string input;
    std::string output;
  } cases[] = {
      {"my song.umx", "my song.it"},
      {"Song.UMX", "Song.it"},
      {"x.umx.umx", "x.umx.it"},
      {"dir.v2/song", "dir.v2/song.it"},
      {"old.umx/Song.umx", "old.umx/Song.it"},
      {"old.umx\\Other.umx", "old.umx\\Other.it"},
      {dir.Path("abs.umx"), dir.Path("abs.it")},
  };
  const std::string module = FakeModule(ModuleKind::ImpulseTracker, 500);
  for (const auto& naming : cases) {
    SCOPED_TRACE(naming.input);
    // A backslash separates directories for the Windows build only; for
    // POSIX it is part of the file's name.
    const auto in_dir = [&](std::string name) {
      if (TestingWindowsTool()) std::replace(name.begin(), name.end(), '\\', '/');
      return name[0] == '/' ? name : dir.Path(name);
    };
    WriteBytes(in_dir(naming.input), module);
    const ToolRun run = Run({naming.input});
    EXPECT_EQ(run.out, Extracted(ModuleKind::ImpulseTracker, naming.output, 500));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(SameBytes(ReadBytes(in_dir(naming.output)), module));
  }
}

TEST_F(SonoriftTest, TakesNamesByteForByte) {
  SKIP_FOR_WINDOWS_TOOL("Windows converts the names of its command line between code pages");
  const std::string module = FakeModule(ModuleKind::ImpulseTracker, 500);
  WriteBytes(dir.Path("n\xe9on \xfe\x80.umx"), module);
  const ToolRun run = Run({"n\xe9on \xfe\x80.umx"});
  EXPECT_EQ(run.out, Extracted(ModuleKind::ImpulseTracker, "n\xe9on \xfe\x80.it", 500));
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("n\xe9on \xfe\x80.it")), module));
}

TEST_F(SonoriftTest, ReportsADirectoryInTheOutputsPlace) {
  const std::string package = Filler(100) + FakeModule(ModuleKind::ImpulseTracker, 1000);
  WriteBytes(dir.Path("pkg.umx"), package);
  std::filesystem::create_directory(dir.Path("pkg.it"));
  const Stamp before = StampOf(dir.Path("pkg.umx"));
  const ToolRun run = Run({"pkg.umx"});
  ExpectReportAtEnd(run.out, UpToWriteTo(ModuleKind::ImpulseTracker, "pkg.it"), "copy.cpp",
                    "File access denied\\.");
  EXPECT_EQ(run.status, 1);
  ExpectUntouched(before, dir.Path("pkg.umx"));
}

TEST_F(SonoriftTest, ReportsACopyThatCantOpenItsFiles) {
  SKIP_FOR_WINDOWS_TOOL("the failed opens come from the fault library");
  // The opens are, in order: the package for the scan, the package again
  // for the copy, the output. When the package can't be opened again, no
  // output is created.
  const struct {
    int open_number;
    int error;
    const char* text;
  } cases[] = {
      {2, EACCES, "File access denied\\."},
      {2, EMFILE, "Too many open files\\."},
      {3, ENOENT, "File not found\\."},
      {3, EROFS, "File access denied\\."},
  };
  const std::string package = Filler(100) + FakeModule(ModuleKind::ImpulseTracker, 1000);
  WriteBytes(dir.Path("pkg.umx"), package);
  for (const auto& failure : cases) {
    SCOPED_TRACE(failure.open_number);
    const ToolRun run = RunWithFaults(
        {"pkg.umx"}, {"FAULT_CALL=open", "FAULT_NTH=" + std::to_string(failure.open_number),
                      "FAULT_ERRNO=" + std::to_string(failure.error)});
    ExpectReportAtEnd(run.out, UpToWriteTo(ModuleKind::ImpulseTracker, "pkg.it"), "copy.cpp",
                      failure.text);
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(FileExists(dir.Path("pkg.it")));
  }
}

TEST_F(SonoriftTest, LeavesABareModuleAlone) {
  // Its output name is its own name, and it already is the module.
  const std::string module = FakeModule(ModuleKind::ImpulseTracker, 100000);
  WriteBytes(dir.Path("song.it"), module);
  const Stamp before = StampOf(dir.Path("song.it"));
  const ToolRun run = Run({"song.it"});
  EXPECT_EQ(run.out, UpToWriteTo(ModuleKind::ImpulseTracker, "song.it") + " Ok\r\n");
  EXPECT_EQ(run.status, 0);
  ExpectUntouched(before, dir.Path("song.it"));
}

TEST_F(SonoriftTest, RefusesToOverwriteThePackageWithItsModule) {
  // The output would be the package itself, under its own name or through
  // a link: copying would destroy the package.
  const std::string package = Filler(5000) + FakeModule(ModuleKind::ImpulseTracker, 1000);
  const std::string refused = Marker + " Output would overwrite the input: nothing written.\r\n";
  const struct {
    const char* input;
    const char* output;
    bool hard_link;
    bool symbolic_link;
  } cases[] = {
      {"junk.it", "junk.it", false, false},
      {"pkg.umx", "pkg.it", true, false},
      {"other.umx", "other.it", false, true},
  };
  for (const auto& overwrite : cases) {
    SCOPED_TRACE(overwrite.input);
    WriteBytes(dir.Path(overwrite.input), package);
    if (overwrite.hard_link) link(dir.Path(overwrite.input).c_str(), dir.Path(overwrite.output).c_str());
    if (overwrite.symbolic_link) symlink(overwrite.input, dir.Path(overwrite.output).c_str());
    const Stamp before = StampOf(dir.Path(overwrite.input));
    const ToolRun run = Run({overwrite.input});
    EXPECT_EQ(run.out, UpToWriteTo(ModuleKind::ImpulseTracker, overwrite.output) + "\r\n" + refused);
    EXPECT_EQ(run.status, 103);
    ExpectUntouched(before, dir.Path(overwrite.input));
  }
}

TEST_F(SonoriftTest, CompletesTheOutputThroughShortWrites) {
  SKIP_FOR_WINDOWS_TOOL("short writes come from the fault library");
  const std::string package = Filler(300) + FakeModule(ModuleKind::ScreamTracker3, 200000);
  WriteBytes(dir.Path("pkg.umx"), package);
  const ToolRun run = RunWithFaults({"pkg.umx"}, {"FAULT_SHORT_WRITE=1000"});
  EXPECT_EQ(run.out, Extracted(ModuleKind::ScreamTracker3, "pkg.s3m", 200000));
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.s3m")), package.substr(300)));
  int short_writes = 0;
  for (const std::string& line : TraceLines(trace_path())) {
    const std::vector<std::string> words = Words(line);
    if (words[0] == "write" && words[1] != "1" && words[3] == "1000" && words[2] != "1000") {
      ++short_writes;
    }
  }
  EXPECT_GT(short_writes, 0);
}

TEST_F(SonoriftTest, ReportsAFullDiskAndKeepsWhatWasWritten) {
  SKIP_FOR_WINDOWS_TOOL("the failed write comes from the fault library");
  const std::string package = Filler(100) + FakeModule(ModuleKind::ImpulseTracker, 200000);
  WriteBytes(dir.Path("pkg.umx"), package);
  // Find the output's second write in a clean run, then fail it.
  RunWithFaults({"pkg.umx"}, {});
  int write_number = 0;
  int fail_at = 0;
  for (const std::string& line : TraceLines(trace_path())) {
    const std::vector<std::string> words = Words(line);
    if (words[0] != "write") continue;
    ++write_number;
    if (words[1] != "1" && ++fail_at == 2) break;
  }
  unlink(trace_path().c_str());
  const ToolRun run = RunWithFaults(
      {"pkg.umx"}, {"FAULT_CALL=write", "FAULT_NTH=" + std::to_string(write_number),
                    "FAULT_ERRNO=" + std::to_string(ENOSPC)});
  ExpectReportAtEnd(run.out, UpToWriteTo(ModuleKind::ImpulseTracker, "pkg.it") + ".",
                    "copy.cpp", "I/O error 28\\.");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.it")), package.substr(100, 65535)));
}

TEST_F(SonoriftTest, ReportsACopyBufferThatCantBeHad) {
  SKIP_FOR_WINDOWS_TOOL("the failed allocation comes from the fault library");
  SKIP_FOR_SANITIZED_TOOL("the sanitizer's allocator takes the allocation first");
  WriteBytes(dir.Path("pkg.umx"), FakeModule(ModuleKind::ImpulseTracker, 1000));
  const ToolRun run =
      RunWithFaults({"pkg.umx"}, {"FAULT_CALL=malloc", "FAULT_SIZE=65535", "FAULT_NTH=1"});
  const std::string prefix = UpToWriteTo(ModuleKind::ImpulseTracker, "pkg.it");
  ASSERT_EQ(run.out.substr(0, prefix.size()), prefix);
  EXPECT_TRUE(std::regex_match(
      run.out.substr(prefix.size()),
      std::regex("Exception EOutOfMemory in module Sonorift at [0-9A-F]{8}\\.\r\n"
                 "File: copy\\.cpp Line#: [0-9]+\r\nOut of memory\\.")))
      << run.out;
  EXPECT_EQ(run.status, 1);
}

TEST_F(SonoriftTest, ReportsAFailedReadTheSameWayEveryRun) {
  SKIP_FOR_WINDOWS_TOOL("the failed read comes from the fault library");
  WriteBytes(dir.Path("pkg.umx"), Filler(1000));
  const struct {
    int error;
    const char* text;
  } cases[] = {
      {EIO, "I/O error 5\\."},
      {ENOSPC, "I/O error 28\\."},
      {EACCES, "File access denied\\."},
  };
  std::vector<std::string> locations;
  for (const auto& failure : cases) {
    SCOPED_TRACE(failure.error);
    const ToolRun run = RunWithFaults(
        {"pkg.umx"},
        {"FAULT_CALL=read", "FAULT_NTH=1", "FAULT_ERRNO=" + std::to_string(failure.error)});
    locations.push_back(ExpectReportAtEnd(run.out, Banner(), "scan.cpp", failure.text));
    EXPECT_EQ(run.status, 1);
  }
  EXPECT_EQ(locations[0], locations[1]);
  EXPECT_EQ(locations[0], locations[2]);
}

TEST_F(SonoriftTest, ReportsAFailedCloseOfThePackage) {
  SKIP_FOR_WINDOWS_TOOL("the failed close comes from the fault library");
  WriteBytes(dir.Path("pkg.umx"), Filler(1000));
  const ToolRun run = RunWithFaults({"pkg.umx"}, {"FAULT_CALL=close", "FAULT_NTH=1"});
  ExpectReportAtEnd(run.out, Banner(), "main.cpp", "I/O error 5\\.");
  EXPECT_EQ(run.status, 1);
}

TEST_F(SonoriftTest, TakesAPackageThatCantBeOpenedForCantOpen) {
  SKIP_FOR_WINDOWS_TOOL("the failed open comes from the fault library");
  WriteBytes(dir.Path("pkg.umx"), FakeModule(ModuleKind::ImpulseTracker, 100));
  const ToolRun run = RunWithFaults(
      {"pkg.umx"}, {"FAULT_CALL=open", "FAULT_NTH=1", "FAULT_ERRNO=" + std::to_string(EACCES)});
  EXPECT_EQ(run.out, Banner() + CantOpen("pkg.umx"));
  EXPECT_EQ(run.status, 102);
}

TEST_F(SonoriftTest, NeverHangsOnAFifoOrAnEndlessDevice) {
  SKIP_FOR_WINDOWS_TOOL("FIFOs and /dev/zero are POSIX files");
  ASSERT_EQ(mkfifo(dir.Path("pipe.umx").c_str(), 0644), 0);
  RunOptions options;
  options.timeout_seconds = 10;
  const ToolRun fifo = Run({"pipe.umx"}, options);
  EXPECT_FALSE(fifo.timed_out);
  ExpectReportAtEnd(fifo.out, Banner(), "scan.cpp", "I/O error 29\\.");
  EXPECT_EQ(fifo.status, 1);

  const ToolRun zero = Run({"/dev/zero"}, options);
  EXPECT_FALSE(zero.timed_out);
  EXPECT_EQ(zero.out, Banner() + " Ok\r\n");
  EXPECT_EQ(zero.status, 0);
}

TEST_F(SonoriftTest, FailsWhenTheConsoleCantBeWritten) {
  WriteBytes(dir.Path("pkg.umx"), FakeModule(ModuleKind::ImpulseTracker, 100));
  RunOptions options;
  options.stdout_path = "/dev/full";
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"pkg.umx"}, {}, {"missing.umx"}}) {
    const ToolRun run = Run(arguments, options);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.signal, 0);
  }
  EXPECT_FALSE(FileExists(dir.Path("pkg.it")));
}

TEST_F(SonoriftTest, FailsRatherThanDiesWhenOutputGoesNowhere) {
  SKIP_FOR_WINDOWS_TOOL("SIGPIPE and SIGXFSZ are POSIX signals");
  // A reader of the console that went away, and a limit on file sizes,
  // are failed writes, not fatal signals.
  const std::string package = FakeModule(ModuleKind::ImpulseTracker, 300000);
  WriteBytes(dir.Path("pkg.umx"), package);
  RunOptions no_reader;
  no_reader.stdout_reader_gone = true;
  const ToolRun piped = Run({"pkg.umx"}, no_reader);
  EXPECT_EQ(piped.signal, 0);
  EXPECT_EQ(piped.status, 1);

  RunOptions limited;
  limited.file_size_limit = 100000;
  const ToolRun run = Run({"pkg.umx"}, limited);
  EXPECT_EQ(run.signal, 0);
  ExpectReportAtEnd(run.out, UpToWriteTo(ModuleKind::ImpulseTracker, "pkg.it") + ".",
                    "copy.cpp", "I/O error 27\\.");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.it")), package.substr(0, 100000)));
}

TEST_F(SonoriftTest, ShowsTheMarkerAsUtf8OnAUtf8Terminal) {
  SKIP_FOR_WINDOWS_TOOL("the Windows console is tested by the Win32 code page, not a POSIX terminal");
  const struct {
    const char* locale;
    std::string marker;
  } cases[] = {
      {"LC_ALL=C.UTF-8", "\xE2\x96\xA0 USAGE"},
      {"LC_ALL=C", "\xFE USAGE"},
  };
  for (const auto& terminal : cases) {
    SCOPED_TRACE(terminal.locale);
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    RunOptions options;
    options.stdout_path = ptsname(master);
    options.environment = {terminal.locale};
    const ToolRun run = Run({}, options);
    EXPECT_EQ(run.status, 101);
    std::string shown;
    char chunk[512];
    fcntl(master, F_SETFL, O_NONBLOCK);
    for (ssize_t count; (count = read(master, chunk, sizeof chunk)) > 0;) shown.append(chunk, count);
    close(master);
    EXPECT_NE(shown.find(terminal.marker), std::string::npos) << shown;
  }
}

TEST_F(SonoriftTest, RunsCleanUnderValgrind) {
  SKIP_FOR_WINDOWS_TOOL("valgrind runs native programs");
  SKIP_FOR_SANITIZED_TOOL("valgrind can't run a sanitized program");
  if (system("command -v valgrind >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "SKIPPED: valgrind is not installed";
  }
  const std::string package = Filler(70000) + FakeModule(ModuleKind::ImpulseTracker, 70000);
  WriteBytes(dir.Path("pkg.umx"), package);
  std::filesystem::create_directory(dir.Path("taken.it"));
  WriteBytes(dir.Path("taken.umx"), package);
  RunOptions options;
  options.timeout_seconds = 120;
  options.wrapper = {"valgrind", "-q", "--error-exitcode=99", "--leak-check=full",
                     "--show-leak-kinds=definite,indirect,possible",
                     "--errors-for-leak-kinds=definite,indirect,possible"};
  const ToolRun extraction = Run({"pkg.umx"}, options);
  EXPECT_EQ(extraction.out, Extracted(ModuleKind::ImpulseTracker, "pkg.it", 70000));
  EXPECT_EQ(extraction.status, 0);
  EXPECT_TRUE(SameBytes(ReadBytes(dir.Path("pkg.it")), package.substr(70000)));
  EXPECT_EQ(Run({}, options).status, 101);
  EXPECT_EQ(Run({"taken.umx"}, options).status, 1);
}

TEST_F(SonoriftTest, CarriesSourceNamesOnlyXored) {
  SKIP_FOR_SANITIZED_TOOL("the sanitizers record source names of their own");
  // A stripped binary: debug information and symbols, which name files of
  // their own, are gone.
  // The Windows build is linked stripped.
  std::string stripped = ToolPath();
  if (!TestingWindowsTool()) {
    stripped = dir.Path("Sonorift.stripped");
    const std::string command = "strip -o '" + stripped + "' '" + ToolPath() + "' 2>/dev/null";
    if (system(command.c_str()) != 0) GTEST_SKIP() << "SKIPPED: strip is not available";
  }
  const std::string binary = ReadBytes(stripped);
  for (std::string name : {"scan.cpp", "copy.cpp", "main.cpp"}) {
    std::string xored = name;
    for (char& c : xored) c = static_cast<char>(c ^ 0xAA);
    EXPECT_EQ(binary.find(name), std::string::npos) << name;
    EXPECT_NE(binary.find(xored), std::string::npos) << name;
  }
}

}  // namespace
