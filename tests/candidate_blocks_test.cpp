#include "extract/candidate_blocks.h"

#include <gtest/gtest.h>

#include <string>

#include "extract/extract.h"
#include "tests/test_files.h"

namespace {

// Walks the blocks a kernel flags, as the scan does, and gives the block in
// which it first stops at or after the tag, or where it gave up.
template <size_t Width>
size_t BlockFlaggedFor(const std::string& bytes, size_t tag_offset) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t positions = bytes.size() - 3;
  size_t index = 0;
  for (;;) {
    index = NextCandidateBlockWith<Width>(data, index, positions);
    if (index + CandidateBlockSize > tag_offset || index + CandidateBlockSize > positions) {
      return index;
    }
    index += CandidateBlockSize;
  }
}

template <size_t Width>
void ExpectNoTagSkipped() {
  for (const ModuleSignature& signature : ModuleSignatures) {
    for (size_t offset = 0; offset < 3 * CandidateBlockSize; ++offset) {
      std::string bytes = Filler(4 * CandidateBlockSize + 3, static_cast<uint32_t>(offset));
      bytes.replace(offset, 4, signature.tag, 4);
      const size_t block = BlockFlaggedFor<Width>(bytes, offset);
      EXPECT_LE(block, offset) << Width << "-byte lanes skipped " << std::string(signature.tag, 4)
                               << " at " << offset;
      EXPECT_LT(offset, block + CandidateBlockSize);
    }
  }
}

TEST(CandidateBlocksTest, NeverSkipsATagAtAnyLane) {
  ExpectNoTagSkipped<16>();
  ExpectNoTagSkipped<32>();
}

TEST(CandidateBlocksTest, SkipsBlocksWithoutCandidatesAndStopsBeforeTheTail) {
  const std::string bytes = Filler(10 * CandidateBlockSize + 50);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t positions = bytes.size() - 3;
  // No tag letters at all: every whole block is skipped; what is left is
  // shorter than a block.
  const size_t end = NextCandidateBlock(data, 0, positions);
  EXPECT_EQ(end, 10 * CandidateBlockSize);
  EXPECT_EQ(NextCandidateBlockWith<16>(data, 0, positions), end);
}

}  // namespace
