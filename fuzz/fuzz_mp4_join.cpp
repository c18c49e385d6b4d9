// MP4 parts of any shape through the whole join, alone and as two parts.
// A part the join takes must be proven whole: what it joins into joins
// again, and the second join keeps the same pictures.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fuzz_files.h"
#include "render/mp4_join.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

// The joined files go to a folder of this process, made once.
const std::string& Folder() {
  static const std::string folder = modra::fuzz::MakeFolder("mp4-join");
  return folder;
}

}  // namespace

// libavformat's and libavcodec's notes on every damaged input would slow
// the fuzzer down.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  av_log_set_level(AV_LOG_QUIET);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> part(data, size);
  const std::string out = Folder() + "/out.mp4", again = Folder() + "/again.mp4";
  // Two parts cut where the first byte says.
  const size_t cut = size ? data[0] * size / 256 : 0;
  modra::JoinMp4s(out, {"a.mp4", "b.mp4"}, {part.first(cut), part.subspan(cut)});
  if (!modra::JoinMp4s(out, {"a.mp4"}, {part}).empty()) return 0;
  const std::vector<uint8_t> joined = modra::fuzz::ReadBytes(out);
  if (!modra::JoinMp4s(again, {"out.mp4"}, {joined}).empty()) __builtin_trap();
  return 0;
}
