#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, SplitsAsWindowsProgramsOfItsKindDo) {
  const struct {
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"Sonorift.exe", {"Sonorift.exe"}},
      {"Sonorift.exe Foo.umx", {"Sonorift.exe", "Foo.umx"}},
      {"Sonorift.exe  a\tb\x01" "c\x1f" "d\x20" "e", {"Sonorift.exe", "a", "b", "c", "d", "e"}},
      {"Sonorift.exe a b", {"Sonorift.exe", "a", "b"}},
      // Quoted runs keep their blanks and lose their quotes.
      {"\"C:\\Program Files\\Sonorift.exe\" \"My Song.umx\"",
       {"C:\\Program Files\\Sonorift.exe", "My Song.umx"}},
      {"x C:\\\"UT Music\"\\Song.umx", {"x", "C:\\UT Music\\Song.umx"}},
      {"x a\"b c\"d", {"x", "ab cd"}},
      {"x a\"\"b", {"x", "ab"}},
      // An empty quoted pair where a word would start is no word.
      {"Sonorift.exe \"\"", {"Sonorift.exe"}},
      {"Sonorift.exe \"\" Foo.umx", {"Sonorift.exe", "Foo.umx"}},
      {"Sonorift.exe \"\"Foo.umx", {"Sonorift.exe", "Foo.umx"}},
      // A run without its closing quote goes to the end of the line.
      {"x \"My Song.umx", {"x", "My Song.umx"}},
      {"x Foo.umx\"", {"x", "Foo.umx"}},
      // A lone quote at the very end makes an empty word, which ends the
      // list.
      {"x Foo.umx \"", {"x", "Foo.umx"}},
      {"x \"\"\"", {"x"}},
      {"x \" \"", {"x", " "}},
      // Bytes from 0x80 up are ordinary.
      {"x n\xe9on\xa0\xff.umx", {"x", "n\xe9on\xa0\xff.umx"}},
  };
  for (const auto& split : cases) {
    EXPECT_EQ(SplitCommandLine(split.line), split.words) << split.line;
  }
}

}  // namespace
