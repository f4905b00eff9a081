#include "tests/umx_builder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UmxBuilderTest, WritesCompactIndexes) {
  const struct {
    int32_t value;
    std::string bytes;
  } cases[] = {
      {0, std::string(1, '\0')},
      {1, "\x01"},
      {-1, "\x81"},
      {63, "\x3F"},
      {64, "\x40\x01"},
      {-64, "\xC0\x01"},
      {8191, "\x7F\x7F"},
      {8192, "\x40\x80\x01"},
      {1048575, "\x7F\xFF\x7F"},
      {1048576, std::string("\x40\x80\x80\x01")},
      {2147483647, "\x7F\xFF\xFF\xFF\x0F"},
  };
  for (const auto& compact : cases) {
    std::string out;
    AppendCompactIndex(out, compact.value);
    EXPECT_EQ(out, compact.bytes) << compact.value;
  }
}

uint32_t U32At(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
         static_cast<uint8_t>(bytes[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

TEST(UmxBuilderTest, LaysOutHeaderNamesObjectAndExports) {
  const std::string module = "IMPM and the rest of a module";
  for (int version : {61, 63, 64, 68, 69}) {
    SCOPED_TRACE(version);
    PackageLayout layout;
    layout.version = version;
    layout.data_before_object = 100;
    const MusicPackage package = BuildMusicPackage(module, "it", layout);
    const std::string& bytes = package.bytes;
    EXPECT_EQ(U32At(bytes, 0), 0x9E2A83C1u);
    EXPECT_EQ(bytes[4], static_cast<char>(version));
    EXPECT_EQ(U32At(bytes, 12), 8u);  // Names.
    EXPECT_EQ(U32At(bytes, 20), 1u);  // Exports.
    EXPECT_EQ(U32At(bytes, 28), 2u);  // Imports.
    // The name table starts with "None", sized from version 64 on.
    const std::string first_name = version >= 64 ? std::string("\x05None", 5) : "None";
    EXPECT_EQ(bytes.substr(U32At(bytes, 16), first_name.size()), first_name);
    EXPECT_EQ(bytes.substr(package.module_offset, module.size()), module);
    // The module is followed by the export table, the last thing in the file.
    EXPECT_EQ(U32At(bytes, 24), package.module_offset + module.size());
    EXPECT_GT(bytes.size(), package.module_offset + module.size());
  }
}

}  // namespace
