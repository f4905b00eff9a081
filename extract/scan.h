// The signature scan over any source of bytes. FindModule() runs it on the
// open package; tests and benchmarks run it on bytes of their own, cut into
// reads of any size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "extract/extract.h"

// Where the scan reads from.
struct ScanSource {
  virtual ~ScanSource() = default;
  // True when the position has reached the size: nothing is left to read.
  virtual bool AtEnd() = 0;
  // Reads up to size bytes: the count read, 0 at the end.
  virtual size_t Read(uint8_t* buffer, size_t size) = 0;
};

// How much the scan asks of each read: as much as cat does, so that the
// system calls per byte stay few.
constexpr size_t ScanBufferSize = 128 * 1024;

// Reads source until a tag is found or nothing is left; a tag split between
// two reads is found like any other.
std::optional<ModuleMatch> FindModuleIn(ScanSource& source);

// The first tag in data[0, size) whose module starts at or after offset 0,
// where data[0] is at offset base in the file. Only positions with all four
// tag bytes in data are tested.
std::optional<ModuleMatch> FindTagIn(const uint8_t* data, size_t size, int64_t base);
