#include "extract/candidate_blocks.h"

size_t NextCandidateBlock(const uint8_t* data, size_t from, size_t positions) {
  return NextCandidateBlockWith<16>(data, from, positions);
}
