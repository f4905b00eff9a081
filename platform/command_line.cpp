#include "platform/command_line.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  for (;;) {
    while (i < line.size() &&
           (IsSeparator(line[i]) || line.substr(i, 2) == "\"\"")) {
      i += IsSeparator(line[i]) ? 1 : 2;
    }
    if (i == line.size()) break;
    std::string word;
    while (i < line.size() && !IsSeparator(line[i])) {
      if (line[i] != '"') {
        word += line[i++];
        continue;
      }
      const size_t closing = line.find('"', i + 1);
      const size_t end = closing == std::string_view::npos ? line.size() : closing;
      word += line.substr(i + 1, end - i - 1);
      i = closing == std::string_view::npos ? line.size() : closing + 1;
    }
    if (word.empty()) break;
    words.push_back(word);
  }
  return words;
}
