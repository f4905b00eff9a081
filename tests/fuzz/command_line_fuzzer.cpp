// Fuzzes the Windows command-line splitter: no word is empty or keeps a
// quote, the words hold no more than the line did, and a line rebuilt from
// the words, each quoted, splits into the same words.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> words = SplitCommandLine(line);
  size_t total = 0;
  std::string rebuilt;
  for (const std::string& word : words) {
    if (word.empty() || word.find('"') != std::string::npos) __builtin_trap();
    total += word.size();
    rebuilt += "\"" + word + "\" ";
  }
  if (total > size) __builtin_trap();
  if (SplitCommandLine(rebuilt) != words) __builtin_trap();
  return 0;
}
