// The scan's fast path: skipping, a block of positions at a time, the parts
// of a buffer where no tag can start. A position is a candidate when its
// byte and the byte three on agree with a tag's first and last bytes; the
// scan confirms candidates one by one. The build picks the implementation of
// NextCandidateBlock: portable, or for x86 with a wider one where the
// processor has it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr size_t CandidateBlockSize = 64;

// The start of the first block of CandidateBlockSize positions, stepping
// from `from`, that holds a candidate; or the first position from which
// fewer than a block's worth remain before `positions`. data must hold three
// bytes past the last position.
size_t NextCandidateBlock(const uint8_t* data, size_t from, size_t positions);

// NextCandidateBlock with Width bytes compared at once; the compiler maps
// the lanes onto the vector instructions of the target it compiles for.
template <size_t Width>
[[gnu::always_inline]] inline size_t NextCandidateBlockWith(const uint8_t* data, size_t from,
                                                            size_t positions) {
  typedef uint8_t Lanes __attribute__((vector_size(Width)));
  size_t index = from;
  for (; index + CandidateBlockSize <= positions; index += CandidateBlockSize) {
    Lanes hits = {};
    for (size_t lane = 0; lane < CandidateBlockSize; lane += Width) {
      Lanes first;
      Lanes last;
      std::memcpy(&first, data + index + lane, Width);
      std::memcpy(&last, data + index + lane + 3, Width);
      // "IMPM", "SCRM", "ule:". 'I' (0x49) and 'S' (0x53) are the same once
      // ORed with 0x1A, which saves a comparison; the six other bytes that
      // pass this way are weeded out by the confirmation.
      hits |= (Lanes)((((first | 0x1A) == 0x5B) & (last == 'M')) |
                      ((first == 'u') & (last == ':')));
    }
    uint64_t words[Width / 8];
    std::memcpy(words, &hits, Width);
    uint64_t any = 0;
    for (uint64_t word : words) any |= word;
    if (any != 0) return index;
  }
  return index;
}
