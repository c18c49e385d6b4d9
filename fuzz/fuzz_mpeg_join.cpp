// MPEG-1 parts of any shape through the whole join, alone and as two
// parts. A part the join takes must be proven whole: what it joins into
// joins again into the same, and every picture of it decodes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fuzz_files.h"
#include "render/mpeg_join.h"
#include "render/mpeg_picture_decoder.h"
#include "render/mpeg_stream.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

// The joined files go to a folder of this process, made once.
const std::string& Folder() {
  static const std::string folder = modra::fuzz::MakeFolder("mpeg-join");
  return folder;
}

}  // namespace

// libavcodec's notes on every damaged input would slow the fuzzer down.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  av_log_set_level(AV_LOG_QUIET);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> part(data, size);
  const std::string out = Folder() + "/out.mpg", again = Folder() + "/again.mpg";
  // Two parts cut where the first byte says.
  const size_t cut = size ? data[0] * size / 256 : 0;
  modra::JoinMpegs(out, {"a.mpg", "b.mpg"}, {part.first(cut), part.subspan(cut)});
  if (!modra::JoinMpegs(out, {"a.mpg"}, {part}).empty()) return 0;
  const std::vector<uint8_t> joined = modra::fuzz::ReadBytes(out);
  if (!modra::JoinMpegs(again, {"out.mpg"}, {joined}).empty()) __builtin_trap();
  if (modra::fuzz::ReadBytes(again) != joined) __builtin_trap();
  // The joined movie is a render's: numbered from frame 0, each picture whole.
  modra::MpegStreamInfo info;
  modra::MpegPictureDecoder decoder;
  if (!decoder.Start()) __builtin_trap();
  const std::string problem =
      modra::ScanMpegMovie(joined, &info, [&](std::span<const uint8_t> picture) {
        return decoder.Decode(picture, info.width, info.height);
      });
  if (!problem.empty() || !info.numbered || info.firstFrame != 0) __builtin_trap();
  return 0;
}
