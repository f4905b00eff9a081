// Built when libopenmpt isn't installed: the tests that need a player say
// SKIPPED.
#include "tests/module_facts.h"

std::ostream& operator<<(std::ostream& out, const ModuleFacts& facts) {
  return out << (facts.loaded ? "loaded" : "not loaded");
}

bool ModulePlayerAvailable() { return false; }

ModuleFacts ReadModuleFacts(const std::string&) { return {}; }
