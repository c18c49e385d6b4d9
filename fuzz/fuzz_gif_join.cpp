// GIF parts of any shape through the join's part reader, alone and as two
// parts. What one part joins into must join again into the same: the
// pictures it copied keep their numbers and check values.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/gif_join.h"

namespace {

// The joined files go to a folder of this process, made once.
const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/fuzz-gif-join-XXXXXX";
    if (!mkdtemp(name)) __builtin_trap();
    return std::string(name);
  }();
  return folder;
}

std::vector<uint8_t> Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> part(data, size);
  const std::string out = Folder() + "/out.gif", again = Folder() + "/again.gif";
  modra::JoinGifs(out, {"a.gif", "b.gif"}, {part, part});
  if (!modra::JoinGifs(out, {"a.gif"}, {part}).empty()) return 0;
  const std::vector<uint8_t> joined = Read(out);
  if (!modra::JoinGifs(again, {"out.gif"}, {joined}).empty()) __builtin_trap();
  if (Read(again) != joined) __builtin_trap();
  return 0;
}
