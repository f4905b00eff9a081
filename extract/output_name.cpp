#include "extract/extract.h"

std::string MakeOutputName(const std::string& input_name, const char* extension) {
  // The search for the extension's dot stops at the directory separators
  // and the drive colon, so a dot in a directory's name is never taken for
  // one. Both slashes count: Windows accepts either.
  std::string name = input_name;
  const size_t last_special = name.find_last_of(".:\\/");
  if (last_special != std::string::npos && name[last_special] == '.') {
    name.erase(last_special);
  }
  name += extension;
  if (name.size() > MaxNameLength) name.resize(MaxNameLength);
  return name;
}
