// The movie writer of a render: RGB frames in, an MPEG-1 movie out: an
// MPEG-1 program stream (mpeg_program_writer.h) whose one stream is the
// video of libavcodec's mpeg1video encoder, every picture with its time,
// so that players show the movie's length and seek in it. Every frame is
// intra-coded with the fixed quantiser scale 3 at 30 frames per second, so
// a frame never depends on its neighbours, and carries a check value
// (picture_check.h) that lets a join refuse a damaged part.
//
// The movie goes to a temporary file beside the target and replaces it at
// Finish, so a render that fails before writing anything leaves the
// previous movie alone; Finish after a failed frame keeps the frames
// written before it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace modra {

class MpegWriter {
 public:
  MpegWriter();
  MpegWriter(const MpegWriter&) = delete;
  MpegWriter& operator=(const MpegWriter&) = delete;
  // Finishes a movie still open.
  ~MpegWriter();

  // Largest picture side the MPEG-1 sequence header can state.
  static constexpr int kMaxSide = 4095;

  // Starts a movie of `frameCount` frames at `path`. Returns 0, or -1 when
  // frameCount is below 1 or firstFrame below 0, the encoder is missing or
  // the file cannot be created. The picture size is fixed by the first
  // frame.
  //
  // Every picture carries its frame number (from `firstFrame` on) in the
  // time code of its group header and is shown at that frame's time, so
  // that the pictures of the parts of a render, each starting where the
  // one before ended, join into the very movie one render would have
  // written, and a join can tell a missing or repeated part.
  int Open(const std::string& path, int frameCount, int firstFrame = 0);
  // Encodes width x height RGB pixels (3 bytes a pixel, rows packed, top
  // row first). The first frame fixes the movie's size; a later frame of
  // another size is scaled to it. Returns 0, or -1 when no movie is open,
  // a side is below 1 or above kMaxSide, or encoding or writing fails.
  int AddFrame(const uint8_t* rgb, int width, int height);
  // Drains the encoder, ends the video with the sequence end code and the
  // stream with its end code, and puts the file in place. Returns 0, or -1 when nothing was open or
  // the file could not be completed; a movie with no frame at all is discarded (-1). The writer can
  // then be opened again.
  int Finish();

  bool IsOpen() const;
  int FramesWritten() const;
  // The movie's path and, when the last Open or Finish failed for the
  // file's sake, why: "<path>: <reason>" (output_file.h).
  const std::string& Error() const;
  int Width() const;
  int Height() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace modra
