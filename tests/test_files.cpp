#include "tests/test_files.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempDir::TempDir() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/sonorift-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("can't write " + path);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("can't read " + path);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

std::string Filler(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  uint32_t state = seed * 2654435761u + 1;
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    unsigned char value = static_cast<unsigned char>(state >> 24);
    if (value == 'I' || value == 'S' || value == 'u') value ^= 0x80;
    byte = static_cast<char>(value);
  }
  return bytes;
}

size_t TagOffset(ModuleKind kind) {
  switch (kind) {
    case ModuleKind::ImpulseTracker: return 0;
    case ModuleKind::ScreamTracker3: return 44;
    case ModuleKind::FastTracker: return 12;
  }
  return 0;
}

std::string FakeModule(ModuleKind kind, size_t size) {
  std::string header;
  switch (kind) {
    case ModuleKind::ImpulseTracker:
      header = "IMPM";
      break;
    case ModuleKind::ScreamTracker3:
      header = std::string("Test song") + std::string(19, '\0') + "\x1a\x10" +
               std::string(14, '\0') + "SCRM";
      break;
    case ModuleKind::FastTracker:
      header = "Extended Module: ";
      break;
  }
  if (size < header.size()) throw std::invalid_argument("module too small for its header");
  return header + Filler(size - header.size(), static_cast<uint32_t>(size));
}
