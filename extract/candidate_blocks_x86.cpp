// x86: 16 bytes at once with the SSE2 every x86-64 processor has, 32 with
// AVX2 where the processor has it; the scan then runs at the speed of
// reading the file.
#include "extract/candidate_blocks.h"

namespace {

[[gnu::target("avx2")]] size_t NextCandidateBlockAvx2(const uint8_t* data, size_t from,
                                                      size_t positions) {
  return NextCandidateBlockWith<32>(data, from, positions);
}

}  // namespace

size_t NextCandidateBlock(const uint8_t* data, size_t from, size_t positions) {
  static const bool has_avx2 = __builtin_cpu_supports("avx2");
  return has_avx2 ? NextCandidateBlockAvx2(data, from, positions)
                  : NextCandidateBlockWith<16>(data, from, positions);
}
