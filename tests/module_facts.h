// What a player makes of a module, read with libopenmpt: the facts that
// decide what a listener hears. Only modules are handed to it, never
// packages.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

struct ModuleFacts {
  bool loaded = false;
  std::string type;
  std::string title;
  double duration_seconds = 0;
  int channels = 0;
  int orders = 0;
  int patterns = 0;
  int instruments = 0;
  int samples = 0;
  // A hash of the first two seconds as the player renders them; 0 for a
  // module that renders differently every time (instruments may ask for
  // random variations of volume and panning).
  uint64_t opening_audio_hash = 0;

  bool operator==(const ModuleFacts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ModuleFacts& facts);

// Whether the tests were built with libopenmpt.
bool ModulePlayerAvailable();

// Loads bytes as a module; loaded is false when libopenmpt refuses them.
ModuleFacts ReadModuleFacts(const std::string& bytes);
