// Module extraction: finding the tracker module in a package, naming the
// file it goes to, and copying it there. The package's own structure is
// never interpreted: it is a flat run of bytes in which a module lies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"

// File names are at most this many single-byte characters.
constexpr size_t MaxNameLength = 255;

// One kind of module the scan knows, by the 4-byte tag in its header.
struct ModuleSignature {
  char tag[4];
  // Where the tag stands in the module's header, from its first byte.
  int tag_offset;
  // The status line that announces the module, without the marker.
  const char* found_text;
  // The output file's extension, with its dot.
  const char* extension;
};

// The signatures, in the order they are tested at each offset.
extern const ModuleSignature ModuleSignatures[3];

// Where the scan found a module.
struct ModuleMatch {
  const ModuleSignature* signature;
  // Offset of the tag's first byte in the input file.
  int64_t tag_position;

  int64_t ModuleStart() const { return tag_position - signature->tag_offset; }
};

// Reads the open input from its position 0 to its end and gives the first
// offset where a tag stands whose module starts inside the file. A tag too
// near the start of the file for its header is passed over. I/O failures
// end the run with the failure report.
std::optional<ModuleMatch> FindModule(File input);

// The input name with its extension (if any) replaced by extension, cut to
// MaxNameLength. The extension is what follows the last dot that comes after
// every backslash, colon and slash.
std::string MakeOutputName(const std::string& input_name, const char* extension);

enum class CopyOutcome {
  // The module's bytes are in the output file.
  Copied,
  // The output is the input file itself and the module starts at 0: the
  // file already is the module. Nothing was written.
  AlreadyModule,
  // The output is the input file itself and the module starts later:
  // copying would destroy it. Nothing was written.
  OutputIsInput,
};

// The size of each read and write of the copy.
constexpr size_t CopyChunkSize = 65535;

// Copies every byte of the input from module_start to its end into the
// output file, which is created or emptied, through a second handle on the
// input. show_progress is called after each chunk, the final empty read
// included. I/O failures (the opens included) and a failed allocation end
// the run with the failure report; the output keeps what was written.
CopyOutcome CopyModuleTail(const std::string& input_name,
                           const std::string& output_name, int64_t module_start,
                           const std::function<void()>& show_progress);
