#include "platform/failure_report.h"

#include <errno.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/platform.h"

namespace {

TEST(FailureReportTest, LaysOutThreeLinesWithoutAFinalLineEnd) {
  EXPECT_EQ(FormatFailureReport("EInOutError", "Sonorift", 0x12A4C, "scan.cpp", 57, "I/O error 5"),
            "Exception EInOutError in module Sonorift at 00012A4C.\r\n"
            "File: scan.cpp Line#: 57\r\n"
            "I/O error 5.");
}

TEST(FailureReportTest, AddsTheFinalDotOnlyWhereMissing) {
  EXPECT_EQ(FormatFailureReport("E", "p", 0xFFFFFFFF, "f", 1, "Done."),
            "Exception E in module p at FFFFFFFF.\r\nFile: f Line#: 1\r\nDone.");
  EXPECT_EQ(FormatFailureReport("E", "p", 0, "f", 1, ""),
            "Exception E in module p at 00000000.\r\nFile: f Line#: 1\r\n");
}

TEST(FailureReportTest, KeepsOnlyTheXoredFileName) {
  constexpr SourcePosition position = MakeSourcePosition("/home/dev/src/extract/scan.cpp", 57);
  EXPECT_EQ(position.line, 57);
  ASSERT_EQ(position.file_length, 8);
  EXPECT_EQ(position.xored_file[0], static_cast<char>('s' ^ 0xAA));
  EXPECT_NE(std::memcmp(position.xored_file, "scan.cpp", 8), 0);
  EXPECT_EQ(DecodeFileName(position), "scan.cpp");
  EXPECT_EQ(DecodeFileName(MakeSourcePosition("C:\\src\\app\\main.cpp", 3)), "main.cpp");
}

TEST(FailureReportTest, MacroRecordsThisFileAndLine) {
  const int line = __LINE__ + 1;
  const SourcePosition* position = SOURCE_POSITION;
  EXPECT_EQ(DecodeFileName(*position), "failure_report_test.cpp");
  EXPECT_EQ(position->line, line);
}

TEST(FailureReportTest, NamesErrorsByMeaning) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {ENOENT, "File not found"},        {ENAMETOOLONG, "Invalid filename"},
      {ENOTDIR, "Invalid filename"},     {EMFILE, "Too many open files"},
      {ENFILE, "Too many open files"},   {EACCES, "File access denied"},
      {EPERM, "File access denied"},     {EROFS, "File access denied"},
      {EISDIR, "File access denied"},    {EIO, "I/O error 5"},
      {ENOSPC, "I/O error 28"},          {ESPIPE, "I/O error 29"},
  };
  for (const auto& error : cases) EXPECT_EQ(ErrorText(error.code), error.text) << error.code;
}

}  // namespace
