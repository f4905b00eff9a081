// Fuzzes the scan: whatever the bytes and however the reads cut them, it
// finds what a plain search one offset at a time finds.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "extract/scan.h"

namespace {

// The input's bytes after its first two, handed out in reads whose sizes
// follow from those two.
struct PiecewiseSource : ScanSource {
  PiecewiseSource(const uint8_t* data, size_t size, uint32_t seed)
      : data(data), size(size), state(seed) {}

  bool AtEnd() override { return position == size; }

  size_t Read(uint8_t* buffer, size_t wanted) override {
    state = state * 1103515245u + 12345u;
    size_t count = 1 + (state >> 16) % 300;
    if (state & 1) count = wanted;
    if (count > wanted) count = wanted;
    if (count > size - position) count = size - position;
    std::memcpy(buffer, data + position, count);
    position += count;
    return count;
  }

  const uint8_t* data;
  size_t size;
  uint32_t state;
  size_t position = 0;
};

std::optional<ModuleMatch> Reference(const uint8_t* data, size_t size) {
  for (size_t position = 0; position + 4 <= size; ++position) {
    for (const ModuleSignature& signature : ModuleSignatures) {
      if (std::memcmp(data + position, signature.tag, 4) == 0 &&
          static_cast<int64_t>(position) >= signature.tag_offset) {
        return ModuleMatch{&signature, static_cast<int64_t>(position)};
      }
    }
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint32_t seed = data[0] | (data[1] << 8);
  data += 2;
  size -= 2;
  const std::optional<ModuleMatch> expected = Reference(data, size);
  PiecewiseSource source(data, size, seed);
  const std::optional<ModuleMatch> found = FindModuleIn(source);
  if (found.has_value() != expected.has_value()) __builtin_trap();
  if (found && (found->signature != expected->signature ||
                found->tag_position != expected->tag_position ||
                found->ModuleStart() < 0)) {
    __builtin_trap();
  }
  return 0;
}
