#include "extract/scan.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/failure_report.h"

const ModuleSignature ModuleSignatures[3] = {
    {{'I', 'M', 'P', 'M'}, 0, " Found Impulse Tracker Module.", ".it"},
    {{'S', 'C', 'R', 'M'}, 44, " Found Scream Tracker III Module.", ".s3m"},
    // The last four bytes of "Extended Module", the opening of the header.
    {{'u', 'l', 'e', ':'}, 12, " Found Fast Tracker Module.", ".xm"},
};

namespace {

constexpr size_t TagLength = 4;

// The tag that starts at data[index] and leaves room in the file for the
// header before it, if any.
std::optional<ModuleMatch> MatchAt(const uint8_t* data, size_t index, int64_t base) {
  const int64_t position = base + static_cast<int64_t>(index);
  for (const ModuleSignature& signature : ModuleSignatures) {
    if (std::memcmp(data + index, signature.tag, TagLength) == 0) {
      if (position < signature.tag_offset) return std::nullopt;
      return ModuleMatch{&signature, position};
    }
  }
  return std::nullopt;
}

// Sixteen bytes compared at once; the compiler maps this onto the
// machine's vector instructions, or onto plain ones where there are none.
typedef uint8_t Lanes __attribute__((vector_size(16)));

// Whether some lane may start a tag: its first and last bytes agree with a
// tag's. Few positions pass this, and MatchAt() confirms them.
bool AnyCandidate(const uint8_t* data) {
  Lanes first;
  Lanes last;
  std::memcpy(&first, data, sizeof first);
  std::memcpy(&last, data + TagLength - 1, sizeof last);
  const auto ends_in_m = last == 'M';
  const auto hits = ((first == 'I') & ends_in_m) | ((first == 'S') & ends_in_m) |
                    ((first == 'u') & (last == ':'));
  uint64_t halves[2];
  std::memcpy(halves, &hits, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

// The open input, read through the platform; every call checked here.
struct FileScanSource : ScanSource {
  explicit FileScanSource(File file) : file(file) {}

  bool AtEnd() override {
    int64_t position;
    int64_t size;
    if (!FilePosition(file, &position)) IO_FAILED();
    if (!FileSize(file, &size)) IO_FAILED();
    return position >= size;
  }

  size_t Read(uint8_t* buffer, size_t size) override {
    const int64_t count = ReadFromFile(file, buffer, size);
    if (count < 0) IO_FAILED();
    return static_cast<size_t>(count);
  }

  File file;
};

}  // namespace

std::optional<ModuleMatch> FindTagIn(const uint8_t* data, size_t size, int64_t base) {
  if (size < TagLength) return std::nullopt;
  const size_t positions = size - TagLength + 1;
  size_t index = 0;
  for (; index + sizeof(Lanes) <= positions; index += sizeof(Lanes)) {
    if (!AnyCandidate(data + index)) continue;
    for (size_t lane = 0; lane < sizeof(Lanes); ++lane) {
      if (auto match = MatchAt(data, index + lane, base)) return match;
    }
  }
  for (; index < positions; ++index) {
    if (auto match = MatchAt(data, index, base)) return match;
  }
  return std::nullopt;
}

std::optional<ModuleMatch> FindModuleIn(ScanSource& source) {
  const std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[ScanBufferSize]);
  if (!buffer) OUT_OF_MEMORY();
  // The bytes in the buffer start at this file offset.
  int64_t base = 0;
  // The last bytes of the previous read, which may begin a tag that the
  // next read completes.
  size_t kept = 0;
  while (!source.AtEnd()) {
    const size_t count = source.Read(buffer.get() + kept, ScanBufferSize - kept);
    if (count == 0) break;
    const size_t filled = kept + count;
    if (auto match = FindTagIn(buffer.get(), filled, base)) return match;
    kept = filled < TagLength - 1 ? filled : TagLength - 1;
    std::memmove(buffer.get(), buffer.get() + filled - kept, kept);
    base += static_cast<int64_t>(filled - kept);
  }
  return std::nullopt;
}

std::optional<ModuleMatch> FindModule(File input) {
  FileScanSource source(input);
  return FindModuleIn(source);
}
