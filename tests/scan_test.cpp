#include "extract/scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/test_files.h"

namespace {

// Bytes in memory, handed out in reads of at most piece bytes.
struct MemorySource : ScanSource {
  MemorySource(std::string bytes, size_t piece) : bytes(std::move(bytes)), piece(piece) {}

  bool AtEnd() override { return position == bytes.size(); }

  size_t Read(uint8_t* buffer, size_t size) override {
    ++reads;
    const size_t count = std::min({size, piece, bytes.size() - position});
    std::memcpy(buffer, bytes.data() + position, count);
    position += count;
    return count;
  }

  std::string bytes;
  size_t piece;
  size_t position = 0;
  int reads = 0;
};

// The smallest offset where a tag begins whose module starts in the file,
// one offset at a time.
std::optional<ModuleMatch> ReferenceSearch(const std::string& bytes) {
  for (size_t position = 0; position + 4 <= bytes.size(); ++position) {
    for (const ModuleSignature& signature : ModuleSignatures) {
      if (bytes.compare(position, 4, signature.tag, 4) == 0 &&
          static_cast<int64_t>(position) >= signature.tag_offset) {
        return ModuleMatch{&signature, static_cast<int64_t>(position)};
      }
    }
  }
  return std::nullopt;
}

std::string With(std::string bytes, size_t offset, const std::string& text) {
  if (bytes.size() < offset + text.size()) bytes.resize(offset + text.size(), 'x');
  bytes.replace(offset, text.size(), text);
  return bytes;
}

struct ScanCase {
  const char* name;
  std::string bytes;
  // The tag found, or nullptr for none.
  const char* tag;
  int64_t tag_position;
  int64_t module_start;
};

std::vector<ScanCase> ScanCases() {
  return {
      {"empty file", "", nullptr, 0, 0},
      {"one byte", "I", nullptr, 0, 0},
      {"three bytes", "IMP", nullptr, 0, 0},
      {"no tag", Filler(5000), nullptr, 0, 0},
      {"lowercase tag", With(Filler(100), 50, "impm"), nullptr, 0, 0},
      {"tag fills the last four bytes", With(Filler(60), 56, "IMPM"), "IMPM", 56, 56},
      {"bare Impulse Tracker", FakeModule(ModuleKind::ImpulseTracker, 300), "IMPM", 0, 0},
      {"bare Scream Tracker III", FakeModule(ModuleKind::ScreamTracker3, 300), "SCRM", 44, 0},
      {"bare Fast Tracker", FakeModule(ModuleKind::FastTracker, 300), "ule:", 12, 0},
      {"earliest offset wins over table order",
       With(With(Filler(1000), 500, "SCRM"), 900, "IMPM"), "SCRM", 500, 456},
      {"adjacent tags", With(Filler(200), 100, "SCRMIMPM"), "SCRM", 100, 56},
      {"Fast Tracker tag", With(Filler(5000), 4000, "ule:"), "ule:", 4000, 3988},
      {"Scream Tracker III tag too early is passed over",
       With(With(Filler(300), 10, "SCRM"), 200, "IMPM"), "IMPM", 200, 200},
      {"Fast Tracker tag too early is passed over",
       With(With(Filler(300), 11, "ule:"), 40, "ule:"), "ule:", 40, 28},
      {"earliest possible Scream Tracker III tag", With(Filler(100), 44, "SCRM"), "SCRM", 44, 0},
      {"overlapping near-tags", With(Filler(100), 30, "IMPIMPMM"), "IMPM", 33, 33},
  };
}

TEST(ScanTest, FindsTheFirstTagInReadsOfAnySize) {
  const size_t pieces[] = {1, 2, 3, 5, 17, 4096, ScanBufferSize};
  for (const ScanCase& scan_case : ScanCases()) {
    for (size_t piece : pieces) {
      SCOPED_TRACE(std::string(scan_case.name) + ", reads of " + std::to_string(piece));
      MemorySource source(scan_case.bytes, piece);
      const std::optional<ModuleMatch> match = FindModuleIn(source);
      if (scan_case.tag == nullptr) {
        EXPECT_FALSE(match.has_value());
        continue;
      }
      ASSERT_TRUE(match.has_value());
      EXPECT_EQ(std::string(match->signature->tag, 4), scan_case.tag);
      EXPECT_EQ(match->tag_position, scan_case.tag_position);
      EXPECT_EQ(match->ModuleStart(), scan_case.module_start);
    }
  }
}

TEST(ScanTest, FindsTagsAcrossBufferBoundaries) {
  // Each read after the first starts with the last three bytes of the one
  // before, so the boundaries drift by three per buffer.
  std::vector<size_t> offsets;
  for (size_t boundary : {ScanBufferSize, 2 * ScanBufferSize - 3}) {
    for (size_t offset = boundary - 8; offset <= boundary + 4; ++offset) offsets.push_back(offset);
  }
  for (const ModuleSignature& signature : ModuleSignatures) {
    for (size_t offset : offsets) {
      SCOPED_TRACE(std::string(signature.tag, 4) + " at " + std::to_string(offset));
      MemorySource source(With(Filler(3 * ScanBufferSize), offset, std::string(signature.tag, 4)),
                          ScanBufferSize);
      const std::optional<ModuleMatch> match = FindModuleIn(source);
      ASSERT_TRUE(match.has_value());
      EXPECT_EQ(match->signature, &signature);
      EXPECT_EQ(match->tag_position, static_cast<int64_t>(offset));
    }
  }
}

TEST(ScanTest, AgreesWithTheReferenceOnRandomBytes) {
  // Bytes from a small alphabet of tag letters, so tags, near-misses and
  // early tags are all frequent.
  std::mt19937 random(7);
  const std::string alphabet = "IMPSCRule:x";
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 400, ' ');
    for (char& byte : bytes) byte = alphabet[random() % alphabet.size()];
    const std::optional<ModuleMatch> expected = ReferenceSearch(bytes);
    MemorySource source(bytes, 1 + random() % 50);
    const std::optional<ModuleMatch> found = FindModuleIn(source);
    SCOPED_TRACE(bytes);
    ASSERT_EQ(found.has_value(), expected.has_value());
    if (found) {
      EXPECT_EQ(found->signature, expected->signature);
      EXPECT_EQ(found->tag_position, expected->tag_position);
    }
  }
}

TEST(ScanTest, StopsAtTheEndWithoutReading) {
  // A source at its end from the start (an empty file, or a device whose
  // size reads as 0) is never read.
  MemorySource source("", 10);
  EXPECT_FALSE(FindModuleIn(source).has_value());
  EXPECT_EQ(source.reads, 0);
}

TEST(ScanTest, StopsWhenAReadGivesNothing) {
  // A source that never reaches its end but has nothing to give.
  struct Endless : ScanSource {
    bool AtEnd() override { return false; }
    size_t Read(uint8_t*, size_t) override { return 0; }
  } source;
  EXPECT_FALSE(FindModuleIn(source).has_value());
}

TEST(ScanTest, StopsReadingAtTheMatch) {
  MemorySource source(With(Filler(10 * ScanBufferSize), 100, "IMPM"), ScanBufferSize);
  ASSERT_TRUE(FindModuleIn(source).has_value());
  EXPECT_EQ(source.reads, 1);
}

TEST(ScanTest, ReportsOffsetsPastFourGiB) {
  // FindTagIn takes the buffer's offset in the file; offsets are 64-bit.
  const int64_t base = (int64_t{5} << 30) + 7;
  const std::string bytes = With(Filler(64), 20, "SCRM");
  const std::optional<ModuleMatch> match =
      FindTagIn(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), base);
  ASSERT_TRUE(match.has_value());
  EXPECT_EQ(match->tag_position, base + 20);
  EXPECT_EQ(match->ModuleStart(), base + 20 - 44);
}

}  // namespace
