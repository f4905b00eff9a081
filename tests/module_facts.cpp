#include "tests/module_facts.h"

#include <libopenmpt/libopenmpt.h>

#include <cstring>
#include <vector>

std::ostream& operator<<(std::ostream& out, const ModuleFacts& facts) {
  return out << (facts.loaded ? "" : "(not loaded) ") << facts.type << " \"" << facts.title
             << "\", " << facts.duration_seconds << " s, " << facts.channels << " channels, "
             << facts.orders << " orders, " << facts.patterns << " patterns, "
             << facts.instruments << " instruments, " << facts.samples << " samples, audio "
             << std::hex << facts.opening_audio_hash << std::dec;
}

bool ModulePlayerAvailable() { return true; }

namespace {

std::string Metadata(openmpt_module* module, const char* key) {
  const char* value = openmpt_module_get_metadata(module, key);
  std::string text = value != nullptr ? value : "";
  openmpt_free_string(value);
  return text;
}

openmpt_module* Load(const std::string& bytes) {
  return openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr,
                                            nullptr, nullptr, nullptr, nullptr, nullptr);
}

// A hash of the module's first two seconds, rendered to floating point: the
// 16-bit output is dithered with random noise.
uint64_t OpeningAudioHash(openmpt_module* module) {
  constexpr int Rate = 44100;
  std::vector<float> audio(2 * Rate * 2);
  const size_t frames =
      openmpt_module_read_interleaved_float_stereo(module, Rate, audio.size() / 2, audio.data());
  uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (size_t i = 0; i < frames * 2; ++i) {
    uint32_t bits;
    std::memcpy(&bits, &audio[i], sizeof bits);
    hash = (hash ^ bits) * 1099511628211u;
  }
  return hash;
}

}  // namespace

ModuleFacts ReadModuleFacts(const std::string& bytes) {
  ModuleFacts facts;
  openmpt_module* module = Load(bytes);
  if (module == nullptr) return facts;
  facts.loaded = true;
  facts.type = Metadata(module, "type");
  facts.title = Metadata(module, "title");
  facts.duration_seconds = openmpt_module_get_duration_seconds(module);
  facts.channels = openmpt_module_get_num_channels(module);
  facts.orders = openmpt_module_get_num_orders(module);
  facts.patterns = openmpt_module_get_num_patterns(module);
  facts.instruments = openmpt_module_get_num_instruments(module);
  facts.samples = openmpt_module_get_num_samples(module);
  facts.opening_audio_hash = OpeningAudioHash(module);
  openmpt_module_destroy(module);

  openmpt_module* again = Load(bytes);
  if (again == nullptr || OpeningAudioHash(again) != facts.opening_audio_hash) {
    facts.opening_audio_hash = 0;
  }
  openmpt_module_destroy(again);
  return facts;
}
