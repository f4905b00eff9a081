// Fuzzes output naming: the name never exceeds the limit, keeps the input's
// name up to its extension, ends in the new extension when there is room,
// and is the input itself when the input already ends in it.
#include <cstdint>
#include <string>

#include "extract/extract.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const char* extension = ModuleSignatures[data[0] % 3].extension;
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string output = MakeOutputName(input, extension);
  const std::string ext = extension;

  if (output.size() > MaxNameLength) __builtin_trap();
  const size_t special = input.find_last_of(".:\\/");
  const bool has_extension = special != std::string::npos && input[special] == '.';
  const std::string stem = has_extension ? input.substr(0, special) : input;
  const std::string joined = stem + ext;
  if (output != joined.substr(0, MaxNameLength)) __builtin_trap();
  if (joined.size() <= MaxNameLength && output.substr(output.size() - ext.size()) != ext) {
    __builtin_trap();
  }
  if (input.size() <= MaxNameLength && input.size() >= ext.size() &&
      input.compare(input.size() - ext.size(), ext.size(), ext) == 0 && output != input) {
    __builtin_trap();
  }
  return 0;
}
