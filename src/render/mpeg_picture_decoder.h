// Decodes the coded pictures of an MPEG-1 movie one by one with
// libavcodec, to prove that each of them decodes, undamaged, to the
// movie's size before a join copies it: a check value only says that a
// picture is what was written, not that what was written decodes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace modra {

class MpegPictureDecoder {
 public:
  MpegPictureDecoder();
  MpegPictureDecoder(const MpegPictureDecoder&) = delete;
  MpegPictureDecoder& operator=(const MpegPictureDecoder&) = delete;
  ~MpegPictureDecoder();

  // Readies libavcodec's MPEG-1 decoder. false when it has none or no
  // memory.
  bool Start();
  // Decodes the next coded picture of a movie of pictures `width` x
  // `height` (the picture with the headers before it, as ScanMpegMovie
  // hands it over). Empty, or what is wrong with it: it does not decode,
  // or not cleanly, or to another size.
  std::string Decode(std::span<const uint8_t> picture, int width, int height);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace modra
