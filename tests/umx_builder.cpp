#include "tests/umx_builder.h"

#include <cstdlib>
#include <vector>

namespace {

void PutU32(std::string& out, size_t at, uint32_t value) {
  std::string bytes;
  AppendU32(bytes, value);
  out.replace(at, 4, bytes);
}

// The names of a music package, in table order.
enum Name { None, Core, Engine, Package, Class, Music, Object, Format, NameCount };

}  // namespace

void AppendU16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void AppendU32(std::string& out, uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

void AppendCompactIndex(std::string& out, int32_t value) {
  uint32_t magnitude = static_cast<uint32_t>(std::abs(static_cast<int64_t>(value)));
  uint8_t first = static_cast<uint8_t>((value < 0 ? 0x80 : 0) | (magnitude & 0x3F));
  magnitude >>= 6;
  if (magnitude != 0) first |= 0x40;
  out += static_cast<char>(first);
  while (magnitude != 0) {
    uint8_t next = magnitude & 0x7F;
    magnitude >>= 7;
    if (magnitude != 0) next |= 0x80;
    out += static_cast<char>(next);
  }
}

MusicPackage BuildMusicPackage(const std::string& module, const std::string& format,
                               const PackageLayout& layout) {
  const std::vector<std::string> names = {"None",  "Core",  "Engine",           "Package",
                                          "Class", "Music", layout.object_name, format};
  std::string out;
  AppendU32(out, 0x9E2A83C1);
  AppendU16(out, static_cast<uint32_t>(layout.version));
  AppendU16(out, static_cast<uint32_t>(layout.licensee_version));
  AppendU32(out, 0x0001);  // Package flags: allow download.
  const size_t counts_at = out.size();
  out.append(24, '\0');  // Name, export and import counts and offsets, set below.
  size_t heritage_offset_at = 0;
  if (layout.version >= 68) {
    out += std::string("\x3A\x51\x17\x7B\x42\x0C\xD2\x11\x9C\x6E\x00\x60\x08\x9F\x62\x84", 16);
    AppendU32(out, 1);  // One generation:
    AppendU32(out, 1);  //   its export count
    AppendU32(out, NameCount);  //   and name count.
  } else {
    AppendU32(out, 1);
    heritage_offset_at = out.size();
    AppendU32(out, 0);
    PutU32(out, heritage_offset_at, static_cast<uint32_t>(out.size()));
    out += std::string("\x8C\x2F\x44\x02\x6B\x44\xD2\x11\x90\x3C\x00\x60\x08\x9F\x62\x84", 16);
  }

  const size_t name_offset = out.size();
  for (const std::string& name : names) {
    if (layout.version >= 64) AppendCompactIndex(out, static_cast<int32_t>(name.size() + 1));
    out += name;
    out += '\0';
    AppendU32(out, 0x04070010);  // Object flags of the name.
  }

  const size_t import_offset = out.size();
  // Core.Package "Engine", then Core.Class "Music" inside it.
  AppendCompactIndex(out, Core);
  AppendCompactIndex(out, Package);
  AppendU32(out, 0);
  AppendCompactIndex(out, Engine);
  AppendCompactIndex(out, Core);
  AppendCompactIndex(out, Class);
  AppendU32(out, static_cast<uint32_t>(-1));  // Inside import 0, Engine.
  AppendCompactIndex(out, Music);

  for (size_t i = 0; i < layout.data_before_object; ++i) {
    out += static_cast<char>((i * 7 + 3) & 0x3F);  // No tag letters here.
  }

  // The Music object: its (empty) property list, its format, the offset past
  // its data (from version 62 on), and the module as a sized byte array.
  const size_t object_offset = out.size();
  std::string object;
  AppendCompactIndex(object, None);
  AppendCompactIndex(object, Format);
  std::string sized_module;
  AppendCompactIndex(sized_module, static_cast<int32_t>(module.size()));
  sized_module += module;
  const size_t past_object =
      object_offset + object.size() + (layout.version >= 62 ? 4 : 0) + sized_module.size();
  if (layout.version >= 62) AppendU32(object, static_cast<uint32_t>(past_object));
  const size_t module_offset = object_offset + object.size() + sized_module.size() - module.size();
  object += sized_module;
  out += object;

  const size_t export_offset = out.size();
  AppendCompactIndex(out, -2);  // Class: import 1, Music.
  AppendCompactIndex(out, 0);   // Super: none.
  AppendU32(out, 0);            // Package: none.
  AppendCompactIndex(out, Object);
  AppendU32(out, 0x00070004);   // Object flags: public, standalone, loaded everywhere.
  AppendCompactIndex(out, static_cast<int32_t>(object.size()));
  AppendCompactIndex(out, static_cast<int32_t>(object_offset));

  PutU32(out, counts_at, NameCount);
  PutU32(out, counts_at + 4, static_cast<uint32_t>(name_offset));
  PutU32(out, counts_at + 8, 1);
  PutU32(out, counts_at + 12, static_cast<uint32_t>(export_offset));
  PutU32(out, counts_at + 16, 2);
  PutU32(out, counts_at + 20, static_cast<uint32_t>(import_offset));
  return {out, module_offset};
}
