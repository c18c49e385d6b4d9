// GIF parts of any shape through the join's part reader, alone and as two
// parts. What one part joins into must join again into the same: the
// pictures it copied keep their numbers and check values.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_files.h"
#include "render/gif_join.h"

namespace {

// The joined files go to a folder of this process, made once.
const std::string& Folder() {
  static const std::string folder = modra::fuzz::MakeFolder("gif-join");
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> part(data, size);
  const std::string out = Folder() + "/out.gif", again = Folder() + "/again.gif";
  modra::JoinGifs(out, {"a.gif", "b.gif"}, {part, part});
  if (!modra::JoinGifs(out, {"a.gif"}, {part}).empty()) return 0;
  const std::vector<uint8_t> joined = modra::fuzz::ReadBytes(out);
  if (!modra::JoinGifs(again, {"out.gif"}, {joined}).empty()) __builtin_trap();
  if (modra::fuzz::ReadBytes(again) != joined) __builtin_trap();
  return 0;
}
