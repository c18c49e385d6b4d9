#include "render/mpeg_join.h"

#include "render/movie_join.h"
#include "render/mpeg_picture_decoder.h"
#include "render/mpeg_program_writer.h"
#include "render/mpeg_stream.h"
#include "render/picture_check.h"

namespace modra {

std::string JoinMpegs(const std::string& out, const std::vector<std::string>& names,
                      const std::vector<std::span<const uint8_t>>& parts) {
  if (parts.empty() || names.size() != parts.size()) return "no parts to join";
  // Every part is read through before anything is written, then again to
  // copy its pictures: one picture at a time is in memory, whatever the
  // length of the parts.
  MpegStreamInfo first;
  bool known = true;
  int expected = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    MpegStreamInfo b;
    // Each picture must decode: a check value holds as well for a picture
    // that was damaged before it was checked.
    MpegPictureDecoder decoder;
    if (!decoder.Start()) return "can't decode " + names[i] + ": libavcodec has no MPEG-1 decoder";
    const std::string problem = ScanMpegMovie(parts[i], &b, [&](std::span<const uint8_t> picture) {
      return decoder.Decode(picture, b.width, b.height);
    });
    if (!problem.empty()) return names[i] + " " + problem;
    if (i == 0) first = b;
    const MpegStreamInfo& a = first;
    if (b.width != a.width || b.height != a.height)
      return names[i] + " is " + std::to_string(b.width) + "x" + std::to_string(b.height) + ", " +
             names[0] + " " + std::to_string(a.width) + "x" + std::to_string(a.height);
    if (b.rateCode != a.rateCode) return names[i] + " has another frame rate than " + names[0];
    // The frame numbers run on from part to part, from frame 0 on, as far
    // as the parts tell them.
    if (known && b.numbered) {
      const std::string run = FrameRunProblem(i == 0 ? std::string() : names[i - 1], names[i],
                                              expected, b.firstFrame, b.lastFrame);
      if (!run.empty()) return run;
    }
    known = b.numbered;
    expected = b.lastFrame + 1;
  }

  // The pictures, headers and check values as the parts hold them, at the
  // times of the whole movie; pictures of older parts get the check value
  // a render now gives them.
  MpegProgramWriter writer;
  if (!writer.Open(out, FrameRateOfCode(first.rateCode)))
    return "can't create " + writer.error();
  int64_t frame = 0;
  std::vector<uint8_t> checked;
  for (size_t i = 0; i < parts.size(); ++i) {
    MpegStreamInfo info;
    const std::string problem =
        ScanMpegMovie(parts[i], &info, [&](std::span<const uint8_t> picture) {
          checked.assign(picture.begin(), picture.end());
          AddMpegPictureCheck(&checked);
          writer.AddPicture(checked, frame++);
          return std::string();
        });
    if (!problem.empty()) return names[i] + " " + problem;  // changed since the first reading
  }
  if (!writer.Finish()) return "can't write " + writer.error();
  return {};
}

}  // namespace modra
