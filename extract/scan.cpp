#include "extract/scan.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "extract/candidate_blocks.h"
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
  // Every tag ends in 'M' or ':'; most positions fail this cheap test.
  if (data[index + TagLength - 1] != 'M' && data[index + TagLength - 1] != ':') {
    return std::nullopt;
  }
  const int64_t position = base + static_cast<int64_t>(index);
  for (const ModuleSignature& signature : ModuleSignatures) {
    if (std::memcmp(data + index, signature.tag, TagLength) == 0) {
      if (position < signature.tag_offset) return std::nullopt;
      return ModuleMatch{&signature, position};
    }
  }
  return std::nullopt;
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
  while (index < positions) {
    index = NextCandidateBlock(data, index, positions);
    const size_t block_end = std::min(index + CandidateBlockSize, positions);
    for (; index < block_end; ++index) {
      if (auto match = MatchAt(data, index, base)) return match;
    }
  }
  return std::nullopt;
}

std::optional<ModuleMatch> FindModuleIn(ScanSource& source) {
  // Reads go to a page-aligned area, which the system copies into fastest;
  // the last bytes of each read, which may begin a tag that the next read
  // completes, are carried into the lead just before it.
  constexpr size_t Lead = 4096;
  const std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[Lead + ScanBufferSize + Lead]);
  if (!buffer) OUT_OF_MEMORY();
  uint8_t* const read_area = buffer.get() + Lead * 2 - reinterpret_cast<uintptr_t>(buffer.get()) % Lead;
  // The file offset of the first byte in the search window.
  int64_t base = 0;
  size_t kept = 0;
  while (!source.AtEnd()) {
    const size_t count = source.Read(read_area, ScanBufferSize);
    if (count == 0) break;
    const uint8_t* const window = read_area - kept;
    const size_t filled = kept + count;
    if (auto match = FindTagIn(window, filled, base)) return match;
    const size_t carried = std::min(filled, TagLength - 1);
    std::memmove(read_area - carried, window + filled - carried, carried);
    base += static_cast<int64_t>(filled - carried);
    kept = carried;
  }
  return std::nullopt;
}

std::optional<ModuleMatch> FindModule(File input) {
  FileScanSource source(input);
  return FindModuleIn(source);
}
