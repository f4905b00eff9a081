#include <gtest/gtest.h>

#include <string>

#include "extract/extract.h"

namespace {

struct NamingCase {
  std::string input;
  const char* extension;
  std::string expected;
};

TEST(OutputNameTest, ReplacesTheLastExtensionInTheLastPathPart) {
  const NamingCase cases[] = {
      {"C:\\UT\\Music\\Foo.umx", ".it", "C:\\UT\\Music\\Foo.it"},
      {"song.UMX", ".xm", "song.xm"},
      {"Foo", ".s3m", "Foo.s3m"},
      {"a.b\\c", ".it", "a.b\\c.it"},
      {"C:song", ".it", "C:song.it"},
      {"x.umx.umx", ".it", "x.umx.it"},
      {"D:\\old.umx\\Song.umx", ".it", "D:\\old.umx\\Song.it"},
      {"song.", ".it", "song.it"},
      {".umx", ".xm", ".xm"},
      {"dir.v2/song", ".it", "dir.v2/song.it"},
      {"music/dir.v2/Song.Umx", ".s3m", "music/dir.v2/Song.s3m"},
      {"./song", ".it", "./song.it"},
      {"../Music/a b.umx", ".it", "../Music/a b.it"},
      {"song.it", ".it", "song.it"},
      {"n\xe9on.umx", ".xm", "n\xe9on.xm"},
  };
  for (const NamingCase& naming : cases) {
    EXPECT_EQ(MakeOutputName(naming.input, naming.extension), naming.expected)
        << naming.input << " with " << naming.extension;
  }
}

TEST(OutputNameTest, CutsTheResultTo255Characters) {
  const struct {
    size_t input_length;
    std::string expected_tail;
  } cases[] = {
      {252, "a.it"},
      {253, "a.i"},
      {254, "a."},
      {255, "a"},
  };
  for (const auto& cut : cases) {
    const std::string input(cut.input_length, 'a');
    const std::string output = MakeOutputName(input, ".it");
    SCOPED_TRACE(cut.input_length);
    EXPECT_EQ(output.size(), std::min<size_t>(cut.input_length + 3, MaxNameLength));
    EXPECT_EQ(output.substr(output.size() - cut.expected_tail.size()), cut.expected_tail);
    EXPECT_EQ(output.substr(0, cut.input_length), input.substr(0, output.size()));
  }
  EXPECT_EQ(MakeOutputName(std::string(255, 'a'), ".it"), std::string(255, 'a'));
}

}  // namespace
