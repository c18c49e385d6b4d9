// The thumbnail cache file read back field by field, independently of the
// cache's own reader, and pictures to store in it.
#pragma once

#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "browser/thumbnail_cache.h"
#include "test_util.h"

namespace modra::thumbtest {

using test::Bytes;

inline uint32_t Word(const Bytes& b, size_t at) {
  return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t{b.at(at + 3)} << 24;
}
inline void SetWord(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b.at(at + size_t(i)) = uint8_t(v >> (8 * i));
}

inline size_t BlockAt(uint32_t block) {
  return 28 + 160000 + size_t{block} * 1024;
}

struct Record {
  uint32_t fileTime = 0, nameLength = 0, nameSkip = 0, dataBlockCount = 0, listBlock = 0,
           jpegSize = 0, width = 0, height = 0;
  std::string name;
  std::vector<uint32_t> dataBlocks;
  Bytes jpeg;
};

struct CacheFile {
  uint32_t header[7];
  std::vector<uint32_t> freeList;  // the first freeCount
  std::vector<uint32_t> slots;     // the first entryCount
  std::vector<Record> records;
  uint32_t freeCount() const { return header[2]; }
  uint32_t entryCount() const { return header[4]; }
};

// A whole file at once (test::ReadBytes goes byte by byte).
inline Bytes ReadFile(const std::string& path) {
  Bytes b(std::filesystem::file_size(path));
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(b.data()), long(b.size()));
  return b;
}

inline CacheFile ReadCacheFile(const std::string& path) {
  const Bytes b = ReadFile(path);
  CacheFile f;
  for (int i = 0; i < 7; ++i)
    f.header[i] = Word(b, size_t(i) * 4);
  for (uint32_t i = 0; i < f.freeCount(); ++i)
    f.freeList.push_back(Word(b, 28 + size_t{i} * 4));
  for (uint32_t i = 0; i < f.entryCount(); ++i)
    f.slots.push_back(Word(b, 28 + 80000 + size_t{i} * 4));
  for (uint32_t first : f.slots) {
    const size_t at = BlockAt(first);
    Record r;
    uint32_t* fields[] = {&r.fileTime,  &r.nameLength, &r.nameSkip, &r.dataBlockCount,
                          &r.listBlock, &r.jpegSize,   &r.width,    &r.height};
    for (size_t k = 0; k < 8; ++k)
      *fields[k] = Word(b, at + 4 + 4 * k);
    r.name.assign(reinterpret_cast<const char*>(&b.at(at + 36)), r.nameLength - 1);
    for (uint32_t i = 0; i < r.dataBlockCount; ++i)
      r.dataBlocks.push_back(Word(b, BlockAt(r.listBlock) + size_t{i} * 4));
    for (uint32_t i = 0; i < r.dataBlockCount; ++i) {
      const size_t from = BlockAt(r.dataBlocks[i]), part = std::min(1024u, r.jpegSize - i * 1024);
      if (from + part > b.size()) break;
      r.jpeg.insert(r.jpeg.end(), b.begin() + long(from), b.begin() + long(from + part));
    }
    f.records.push_back(std::move(r));
  }
  return f;
}

// The header's freeCount alone, read quickly.
inline uint32_t FreeCount(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  uint8_t b[12] = {};
  in.read(reinterpret_cast<char*>(b), 12);
  return Word(Bytes(b, b + 12), 8);
}

inline Thumbnail Solid(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  Thumbnail t{width, height, {}};
  for (int i = 0; i < width * height; ++i)
    t.rgb.insert(t.rgb.end(), {r, g, b});
  return t;
}

// Noise compresses badly: each picture takes many blocks.
inline Thumbnail Noise(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  Thumbnail t{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 3)};
  for (uint8_t& v : t.rgb)
    v = uint8_t(random());
  return t;
}

// A file at `path` with the modification time `seconds`: what the cache
// keys its thumbnails by.
inline std::string Touch(const std::string& path, long seconds) {
  if (!std::filesystem::exists(path)) test::WriteText(path, "x");
  const timeval times[2] = {{seconds, 0}, {seconds, 0}};
  utimes(path.c_str(), times);
  return path;
}

inline void WritePpm(const std::string& path, const Thumbnail& t) {
  std::string text = "P6\n" + std::to_string(t.width) + " " + std::to_string(t.height) + "\n255\n";
  text.append(t.rgb.begin(), t.rgb.end());
  test::WriteText(path, text);
}

// Whether every pixel of `a` is within `tolerance` of `b`'s.
inline bool Near(const Thumbnail& a, const Thumbnail& b, int tolerance) {
  if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) return false;
  for (size_t i = 0; i < a.rgb.size(); ++i)
    if (std::abs(int(a.rgb[i]) - int(b.rgb[i])) > tolerance) return false;
  return true;
}

}  // namespace modra::thumbtest
