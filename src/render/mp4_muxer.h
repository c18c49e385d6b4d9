// One video stream into an MP4 file through libavformat's mp4 muxer: the
// render's MP4 movies and the join of their parts. The muxer writes
// through an OutputFile (a temporary file beside the target) and the file
// reaches its name only at Finish, so a movie that fails or is dropped
// half-way never stands under the name.
//
// The movie carries the number of its first frame in the render as the
// metadata tag kMp4FirstFrameKey, so that the parts of a split render
// tell a join where they belong, and a CRC-32 of all its coded pictures
// (picture_check.h) as kMp4CheckKey, so that a join refuses a part whose
// pictures were damaged in a way that still decodes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "io/output_file.h"
#include "render/ffmpeg_handles.h"
#include "render/picture_check.h"

namespace modra {

inline constexpr char kMp4FirstFrameKey[] = "modra_first_frame";
inline constexpr char kMp4CheckKey[] = "modra_check";
// The check tag's text: eight lower-case hex digits.
std::string Mp4CheckText(uint32_t check);

// How the coded pictures of a stream with these parameters are framed:
// kMp4WholePackets (MPEG-4 part 2), kMp4StartCodes (H.264 as encoders give
// it), or the size of the big-endian length before each H.264 unit, 1 to
// 4 (H.264 as MP4 stores it).
constexpr int kMp4WholePackets = -1, kMp4StartCodes = 0;
int Mp4PictureFraming(const AVCodecParameters& params);
// Adds a coded picture to `check`. An H.264 picture adds the bytes of its
// units without what frames them, since the mp4 muxer turns start codes
// into lengths: the same picture checks the same either way.
void AddToMp4Check(PictureCheck& check, std::span<const uint8_t> picture, int framing);

class Mp4Muxer {
 public:
  Mp4Muxer() = default;
  Mp4Muxer(const Mp4Muxer&) = delete;
  Mp4Muxer& operator=(const Mp4Muxer&) = delete;
  // Drops a movie not finished; the target stays as it was.
  ~Mp4Muxer() { Abandon(); }

  // Creates the temporary file for `path`. false, with Error() saying why,
  // when it cannot be made.
  bool Open(const std::string& path);
  // Adds the video stream, coded as `params` say, whose packets are timed
  // in `timeBase` and come `frameRate` a second, and writes the header.
  // false when the muxer refuses the stream or the file fails.
  bool Start(const AVCodecParameters& params, AVRational timeBase, AVRational frameRate,
             int firstFrame);
  // Writes one packet timed in the Start time base, and takes its data.
  bool Write(AVPacket* packet);
  // Writes the check tag and the index (the mp4 muxer writes its tags
  // with the index, at the end) and puts the file in place. false, with the target
  // untouched, when anything failed or Start never succeeded.
  bool Finish();
  // Drops what was written.
  void Abandon();

  bool IsOpen() const { return format_ != nullptr; }
  bool Started() const { return started_; }
  // "<path>: <reason>" after a failure (the path alone before one).
  const std::string& Error() const { return error_; }

 private:
  bool Fail(int averror);

  std::unique_ptr<OutputFile> file_;
  ffmpeg::Io io_;
  ffmpeg::OutputFormat format_;
  AVStream* stream_ = nullptr;
  AVRational timeBase_{1, 1};  // of the packets given, not the muxer's own
  PictureCheck check_;
  int framing_ = kMp4WholePackets;
  bool started_ = false;
  std::string path_, error_;
};

}  // namespace modra
