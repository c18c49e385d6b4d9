// Files the fuzz targets write and read back: the whole-file entry points
// of the joins and the texture table take paths.
#pragma once

#include <stdlib.h>

#include <cstdint>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace modra::fuzz {

// A folder of this process for `tag`'s files, made on first use.
inline std::string MakeFolder(const char* tag) {
  std::string name = std::string("/tmp/fuzz-") + tag + "-XXXXXX";
  if (!mkdtemp(name.data())) __builtin_trap();
  return name;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace modra::fuzz
