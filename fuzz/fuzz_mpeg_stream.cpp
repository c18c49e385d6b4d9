// The movies a join reads as MPEG-1: program streams and bare video
// streams of any shape. Every picture handed on must lie whole in what was
// read, and a check value added to it, as the join adds one to the
// pictures of older movies, must then hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/mpeg_stream.h"
#include "render/picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::MpegStreamInfo info;
  int pictures = 0;
  std::vector<uint8_t> picture;
  const std::string problem =
      modra::ScanMpegMovie({data, size}, &info, [&](std::span<const uint8_t> bytes) {
        if (bytes.size() > modra::kMaxPictureBytes) __builtin_trap();
        picture.assign(bytes.begin(), bytes.end());  // the sanitizer reads every byte
        if (modra::AddMpegPictureCheck(&picture)) {
          // The block sits right before the picture start code.
          size_t at = 0;
          while (at + 4 <= picture.size() && !(picture[at] == 0 && picture[at + 1] == 0 &&
                                               picture[at + 2] == 1 && picture[at + 3] == 0))
            ++at;
          if (at < modra::kMpegPictureCheckSize ||
              !modra::MpegPictureCheckHolds(picture, at - modra::kMpegPictureCheckSize,
                                            modra::kMpegPictureCheckSize))
            __builtin_trap();
        }
        ++pictures;
        return std::string();
      });
  if (problem.empty()) {
    // A movie that can be joined has a size, a rate and its pictures.
    if (info.width < 1 || info.height < 1 || info.rateCode < 1 || info.rateCode > 8 ||
        info.pictures < 1 || info.pictures != pictures)
      __builtin_trap();
    if (info.numbered && info.lastFrame != info.firstFrame + info.pictures - 1) __builtin_trap();
  }
  return 0;
}
