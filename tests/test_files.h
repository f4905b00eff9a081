// Files for the tests: a temporary directory of the test's own, and the
// bytes of packages and modules built by code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A fresh directory, removed with everything in it when the test ends.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The full path of name inside the directory.
  std::string Path(const std::string& name) const { return path + "/" + name; }

  std::string path;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

// Deterministic bytes that hold no tag: they never contain the first letter
// of one.
std::string Filler(size_t size, uint32_t seed = 1);

enum class ModuleKind { ImpulseTracker, ScreamTracker3, FastTracker };

// A module-like run of size bytes (at least the header) whose header
// carries the kind's tag where real modules do; the rest is filler.
std::string FakeModule(ModuleKind kind, size_t size);

// Where the tag of a kind stands in its header.
size_t TagOffset(ModuleKind kind);
