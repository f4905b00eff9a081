// Writes an Unreal engine package holding one Music object around a module's
// bytes, laid out as the games of that era store their music: header, name
// table, import table, the object's data, export table. Used by the tests
// and by the generator of the sample package.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct PackageLayout {
  // 61 to 69 for the games that used music packages.
  int version = 69;
  int licensee_version = 0;
  // The Music object's name.
  std::string object_name = "Song";
  // Bytes of other data between the import table and the object's data.
  size_t data_before_object = 0;
};

struct MusicPackage {
  std::string bytes;
  // Where the module's first byte stands in the package.
  size_t module_offset;
};

// format is the module's kind as the package names it: "it", "s3m" or "xm".
MusicPackage BuildMusicPackage(const std::string& module, const std::string& format,
                               const PackageLayout& layout);

// Append value in little-endian byte order, as every number in a package
// and in a module's header is stored.
void AppendU16(std::string& out, uint32_t value);
void AppendU32(std::string& out, uint32_t value);

// Appends value as a compact index: sign and six bits in the first byte,
// seven in each further one.
void AppendCompactIndex(std::string& out, int32_t value);
