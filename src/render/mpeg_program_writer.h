// Puts MPEG-1 video pictures, already coded, into an MPEG-1 program stream
// (ISO 11172-1 system stream): each picture starts a packet of its own
// that carries its presentation time, so players and ffprobe see the
// movie's true length and seek in it, which they cannot in a bare video
// stream. The render writes its movies through it, and a join copies the
// parts' pictures through it unchanged, so a joined movie is byte for byte
// the one a whole render makes.
//
// libavformat's "mpeg" muxer is not used: it fills each packet before it
// starts the next, so small pictures share packets, only the first of them
// gets a time, and libavformat's own demuxer then gives pictures the times
// of their neighbours.
//
// The stream goes to a temporary file beside the target and replaces it at
// Finish; a writer destroyed or failed before that leaves the target alone.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/output_file.h"
#include "render/mpeg_stream.h"

namespace modra {

class MpegProgramWriter {
 public:
  // Packs are at most this long, as on a disc sector.
  static constexpr size_t kPackBytes = 2048;

  // Starts a stream at `path` whose pictures come `rate` a second. false
  // when the rate is not positive or the file cannot be created.
  bool Open(const std::string& path, MpegFrameRate rate);
  // Adds one picture (its coded bytes with the headers before it), shown
  // at frame `frame` of the movie: at (frame + 1) / rate seconds, each
  // picture arriving during the frame before its own. Frames must rise. A
  // failure is remembered and told by Finish.
  void AddPicture(std::span<const uint8_t> picture, int64_t frame);
  // Ends the video with the sequence end code and the stream with its end
  // code, and puts the file in place. false, with the target untouched,
  // when no picture came or anything failed. The writer can then be opened
  // again.
  bool Finish();
  // Drops what was written; the target stays as it was.
  void Abandon();

  bool IsOpen() const { return file_.has_value(); }
  // The file and why the last Open or Finish failed ("<path>: <reason>",
  // output_file.h), kept until the next Open.
  const std::string& error() const { return error_; }
  int Pictures() const { return pictures_; }

 private:
  void Write(std::span<const uint8_t> picture, int64_t frame);
  // 90 kHz clock ticks at the start of frame `frame`.
  int64_t Ticks(int64_t frame) const;

  std::optional<OutputFile> file_;
  std::string error_;
  MpegFrameRate rate_;
  // The last picture waits for the next or for Finish, which closes the
  // video with the sequence end code inside it.
  std::vector<uint8_t> held_;
  int64_t heldFrame_ = 0;
  bool holding_ = false;
  int pictures_ = 0;
  bool ok_ = false;
  bool wroteSystemHeader_ = false;
  int64_t lastScr_ = -1;
  size_t lastPackBytes_ = 0;
  std::vector<uint8_t> pack_;
};

}  // namespace modra
