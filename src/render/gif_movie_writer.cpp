#include "render/gif_movie_writer.h"

#include <gif_lib.h>

#include <array>
#include <optional>
#include <vector>

#include "images/gif_loop.h"
#include "io/output_file.h"
#include "render/picture_check.h"

namespace modra {
namespace {

int PutBytes(GifFileType* gif, const GifByteType* bytes, int count) {
  auto* file = static_cast<OutputFile*>(gif->UserData);
  return count >= 0 && file->Write(bytes, static_cast<size_t>(count)) ? count : 0;
}

struct MapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

struct GifMovieWriter::State {
  std::optional<OutputFile> file;
  std::string error;
  GifFileType* gif = nullptr;
  int width = 0, height = 0;
  int framesWritten = 0;
  int firstNumber = -1;  // below 0: pictures carry no frame number
  // Work buffers, sized once at Create and reused by every frame.
  std::vector<GifByteType> red, green, blue, indices;

  // Ends the GIF stream; true when giflib wrote the trailer.
  bool CloseGif() {
    if (!gif) return true;
    int error = 0;
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    gif = nullptr;
    return closed;
  }

  void Reset() {
    CloseGif();
    file.reset();  // removes the temporary file unless committed
    width = height = framesWritten = 0;
    firstNumber = -1;
  }

  // The quantiser works on 5 bits a channel and reports the centre of
  // each colour box, so white comes out as 248. Each entry becomes the
  // mean of the pixels that use it instead: flat areas keep their exact
  // colour and the error of the rest shrinks.
  void RefineMap(const uint8_t* rgb, size_t pixels, GifColorType* colors, int mapSize) {
    uint64_t sum[256][3] = {};
    uint64_t count[256] = {};
    for (size_t i = 0; i < pixels; ++i) {
      const int k = indices[i];
      ++count[k];
      for (int c = 0; c < 3; ++c)
        sum[k][c] += rgb[3 * i + c];
    }
    for (int k = 0; k < mapSize; ++k) {
      if (!count[k]) continue;
      const uint64_t half = count[k] / 2;  // round to nearest
      colors[k].Red = static_cast<GifByteType>((sum[k][0] + half) / count[k]);
      colors[k].Green = static_cast<GifByteType>((sum[k][1] + half) / count[k]);
      colors[k].Blue = static_cast<GifByteType>((sum[k][2] + half) / count[k]);
    }
  }

  bool WriteFrame(const uint8_t* rgb, int delay) {
    const size_t pixels = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < pixels; ++i) {
      red[i] = rgb[3 * i];
      green[i] = rgb[3 * i + 1];
      blue[i] = rgb[3 * i + 2];
    }
    GifColorType colors[256] = {};
    int mapSize = 256;
    if (GifQuantizeBuffer(static_cast<unsigned>(width), static_cast<unsigned>(height), &mapSize,
                          red.data(), green.data(), blue.data(), indices.data(), colors) != GIF_OK)
      return false;
    if (mapSize < 1 || mapSize > 256) return false;
    RefineMap(rgb, pixels, colors, mapSize);
    // A picture of few colours gets a smaller map; GIF maps come in powers
    // of two, the unused entries black.
    if (mapSize < 2) mapSize = 2;
    std::unique_ptr<ColorMapObject, MapDeleter> map(
        GifMakeMapObject(1 << GifBitSize(mapSize), colors));
    if (!map) return false;

    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.UserInputFlag = false;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    std::array<GifByteType, 4> extension;
    if (EGifGCBToExtension(&control, extension.data()) != extension.size()) return false;
    if (firstNumber >= 0) {
      GifPictureHead head;
      head.number = firstNumber + framesWritten;
      head.screenWidth = head.width = width;
      head.screenHeight = head.height = height;
      head.loop = 0;
      head.control = extension;
      head.map = map.get();
      PictureCheck check = StartGifPictureCheck(head);
      check.Add({indices.data(), pixels});
      if (!WriteGifFrameNumber(gif, head.number, check.Value())) return false;
    }
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extension.size()),
                         extension.data()) != GIF_OK)
      return false;
    if (EGifPutImageDesc(gif, 0, 0, width, height, false, map.get()) != GIF_OK) return false;
    for (int y = 0; y < height; ++y)
      if (EGifPutLine(gif, indices.data() + static_cast<size_t>(y) * width, width) != GIF_OK)
        return false;
    return true;
  }
};

GifMovieWriter::GifMovieWriter() : state_(std::make_unique<State>()) {}

GifMovieWriter::~GifMovieWriter() {
  if (IsOpen()) Finish();
}

bool GifMovieWriter::IsOpen() const {
  return state_->gif != nullptr;
}
int GifMovieWriter::FramesWritten() const {
  return state_->framesWritten;
}
const std::string& GifMovieWriter::Error() const {
  return state_->error;
}

int GifMovieWriter::Create(const std::string& path, int width, int height) {
  if (IsOpen()) Finish();
  State& s = *state_;
  s.error = path;
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide ||
      int64_t{width} * height > kMaxPixels)
    return -1;
  s.file.emplace();
  int error = 0;
  if (!s.file->Open(path) || !(s.gif = EGifOpen(&*s.file, PutBytes, &error))) {
    s.error = s.file->error();
    s.Reset();
    return -1;
  }
  // The extensions need the 89a header, which giflib's sequential writer
  // does not choose by itself.
  EGifSetGifVersion(s.gif, true);
  if (EGifPutScreenDesc(s.gif, width, height, 8, 0, nullptr) != GIF_OK ||
      !WriteGifLoopExtension(s.gif, 0)) {
    s.error = s.file->error();
    s.Reset();
    return -1;
  }
  s.width = width;
  s.height = height;
  const size_t pixels = static_cast<size_t>(width) * height;
  s.red.resize(pixels);
  s.green.resize(pixels);
  s.blue.resize(pixels);
  s.indices.resize(pixels);
  return 0;
}

void GifMovieWriter::NumberFrames(int first) {
  state_->firstNumber = first;
}

int GifMovieWriter::AddFrame(const uint8_t* rgb, int delay) {
  State& s = *state_;
  if (!IsOpen() || !rgb || delay < 0 || delay > 0xFFFF) return -1;
  if (!s.WriteFrame(rgb, delay)) {
    Finish();
    return -1;
  }
  ++s.framesWritten;
  return 0;
}

int GifMovieWriter::Finish() {
  State& s = *state_;
  if (!IsOpen()) return -1;
  const bool closed = s.CloseGif();
  const bool ok = closed && s.framesWritten > 0 && s.file->Commit();
  if (!ok) s.error = s.file->error();
  s.Reset();
  // The buffers go too: a finished writer may sit in a closed render
  // window for a long time.
  s.red = {};
  s.green = {};
  s.blue = {};
  s.indices = {};
  return ok ? 0 : -1;
}

}  // namespace modra
