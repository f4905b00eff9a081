// Writes the sample package: a short Impulse Tracker song of our own (three
// patterns, one synthesized sample, a title) inside an Unreal music package.
//
//   make_sample OUTPUT.umx
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/umx_builder.h"

namespace {

void AppendText(std::string& out, const std::string& text, size_t size) {
  std::string field = text.substr(0, size);
  field.resize(size, '\0');
  out += field;
}

// Note numbers as the format counts them: C-0 is 0, C-5 is 60.
enum Note { G3 = 43, C4 = 48, F4 = 53, G4 = 55, C5 = 60, E5 = 64, F5 = 65, G5 = 67, A5 = 69, C6 = 72 };
constexpr uint8_t NoteOff = 255;

// One row's notes: (channel, note) pairs.
using Row = std::vector<std::pair<int, int>>;

// A pattern of 32 rows, packed: per note the channel with its mask flag,
// the mask (note and sample follow), the note and sample 1; a 0 ends a row.
std::string PackPattern(const std::vector<Row>& rows) {
  std::string packed;
  for (const Row& row : rows) {
    for (const auto& [channel, note] : row) {
      packed += static_cast<char>((channel + 1) | 0x80);
      packed += static_cast<char>(0x03);
      packed += static_cast<char>(note);
      packed += static_cast<char>(1);
    }
    packed += '\0';
  }
  std::string pattern;
  AppendU16(pattern, static_cast<uint32_t>(packed.size()));
  AppendU16(pattern, static_cast<uint32_t>(rows.size()));
  AppendU32(pattern, 0);
  return pattern + packed;
}

// Melody on channel 0, one note every four rows; bass on channel 1 every
// sixteen.
std::vector<Row> Pattern(const std::vector<int>& melody, int bass1, int bass2) {
  std::vector<Row> rows(32);
  for (size_t i = 0; i < melody.size() && i < 8; ++i) rows[i * 4].push_back({0, melody[i]});
  rows[0].push_back({1, bass1});
  rows[16].push_back({1, bass2});
  return rows;
}

std::string MakeModule() {
  const std::vector<std::string> patterns = {
      PackPattern(Pattern({C5, E5, G5, C6, G5, E5, C5, G4}, C4, G3)),
      PackPattern(Pattern({F5, A5, C6, A5, F5, C6, A5, F5}, F4, C4)),
      PackPattern(Pattern({G5, E5, C5, E5, C5, NoteOff}, C4, NoteOff)),
  };
  const std::vector<uint8_t> orders = {0, 1, 0, 2, 255};

  // One cycle of a triangle wave, signed 8-bit, looped: C-5 plays it at
  // 261.63 Hz.
  constexpr int Cycle = 64;
  std::string wave;
  for (int i = 0; i < Cycle; ++i) {
    const int value = i < Cycle / 2 ? -96 + i * 6 : 96 - (i - Cycle / 2) * 6;
    wave += static_cast<char>(static_cast<int8_t>(value));
  }

  const size_t header_size = 192 + orders.size() + 4 * (1 + patterns.size());
  const size_t sample_header_at = header_size;
  const size_t wave_at = sample_header_at + 80;
  size_t pattern_at = wave_at + wave.size();

  std::string out = "IMPM";
  AppendText(out, "SonoRifter Sample", 26);
  AppendU16(out, 0x1004);  // Row highlights: every 4 and 16 rows.
  AppendU16(out, static_cast<uint32_t>(orders.size()));
  AppendU16(out, 0);  // No instruments: notes play samples directly.
  AppendU16(out, 1);
  AppendU16(out, static_cast<uint32_t>(patterns.size()));
  AppendU16(out, 0x0214);  // Written as by tracker version 2.14,
  AppendU16(out, 0x0200);  // readable from 2.00.
  AppendU16(out, 0x0009);  // Stereo, linear slides.
  AppendU16(out, 0);
  out += static_cast<char>(128);  // Global volume.
  out += static_cast<char>(48);   // Mix volume.
  out += static_cast<char>(6);    // Speed: ticks per row.
  out += static_cast<char>(125);  // Tempo.
  out += static_cast<char>(128);  // Stereo separation.
  out += static_cast<char>(0);
  AppendU16(out, 0);  // No message.
  AppendU32(out, 0);
  AppendU32(out, 0);
  for (int channel = 0; channel < 64; ++channel) {
    // Melody a little left, bass a little right, the rest off.
    out += static_cast<char>(channel == 0 ? 20 : channel == 1 ? 44 : 32 | 128);
  }
  out.append(64, static_cast<char>(64));
  for (uint8_t order : orders) out += static_cast<char>(order);
  AppendU32(out, static_cast<uint32_t>(sample_header_at));
  for (const std::string& pattern : patterns) {
    AppendU32(out, static_cast<uint32_t>(pattern_at));
    pattern_at += pattern.size();
  }

  out += "IMPS";
  AppendText(out, "TRIANGLE.RAW", 12);
  out += '\0';
  out += static_cast<char>(64);    // Global volume.
  out += static_cast<char>(0x11);  // A sample, looped.
  out += static_cast<char>(64);    // Volume.
  AppendText(out, "Triangle", 26);
  out += static_cast<char>(0x01);  // Signed.
  out += static_cast<char>(32);    // Centre.
  AppendU32(out, Cycle);
  AppendU32(out, 0);
  AppendU32(out, Cycle);
  AppendU32(out, static_cast<uint32_t>(std::lround(Cycle * 261.63)));
  AppendU32(out, 0);
  AppendU32(out, 0);
  AppendU32(out, static_cast<uint32_t>(wave_at));
  out.append(4, '\0');  // No vibrato.

  out += wave;
  for (const std::string& pattern : patterns) out += pattern;
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: make_sample OUTPUT.umx\n");
    return 2;
  }
  PackageLayout layout;
  layout.object_name = "SonoRifterSample";
  const MusicPackage package = BuildMusicPackage(MakeModule(), "it", layout);
  FILE* file = fopen(argv[1], "wb");
  if (file == nullptr || fwrite(package.bytes.data(), 1, package.bytes.size(), file) !=
                             package.bytes.size() ||
      fclose(file) != 0) {
    perror(argv[1]);
    return 1;
  }
  return 0;
}
