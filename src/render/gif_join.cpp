#include "render/gif_join.h"

#include <gif_lib.h>

#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "images/gif_loop.h"
#include "io/output_file.h"
#include "render/movie_join.h"

namespace modra {
namespace {

const char* ErrorText(int error) {
  const char* text = GifErrorString(error);
  return text ? text : "unknown error";
}

int PutBytes(GifFileType* gif, const GifByteType* bytes, int count) {
  auto* file = static_cast<OutputFile*>(gif->UserData);
  return count >= 0 && file->Write(bytes, static_cast<size_t>(count)) ? count : 0;
}

// The frame numbers a render's GIF pictures carry (gif_movie_writer.h).
constexpr char kNumberApplication[] = "MODRAFRMNUM";
constexpr uint32_t kMaxNumber = 1u << 30;

struct GifIn {
  GifFileType* gif = nullptr;
  ~GifIn() {
    if (gif) DGifCloseFile(gif, nullptr);
  }
};

struct GifOut {
  GifFileType* gif = nullptr;
  // Ends the stream; true when giflib wrote the trailer.
  bool Close() {
    int error = 0;
    const bool closed = !gif || EGifCloseFile(gif, &error) == GIF_OK;
    gif = nullptr;
    return closed;
  }
  ~GifOut() { Close(); }
};

// The screen of the joined file, taken from the first part.
struct Screen {
  int width = 0, height = 0, colorResolution = 8, background = 0;
  std::optional<int> loop;
};

class Joiner {
 public:
  explicit Joiner(const std::string& out) : outPath_(out) {}

  std::string Part(const std::string& path, bool first) {
    int error = 0;
    GifIn in;
    in.gif = DGifOpenFileName(path.c_str(), &error);
    if (!in.gif) return "can't read " + path + ": " + ErrorText(error);
    GifFileType* gif = in.gif;
    if (first) {
      screen_.width = gif->SWidth;
      screen_.height = gif->SHeight;
      screen_.colorResolution = gif->SColorResolution;
      screen_.background = gif->SBackGroundColor;
    } else if (gif->SWidth != screen_.width || gif->SHeight != screen_.height) {
      return path + " is " + std::to_string(gif->SWidth) + "x" + std::to_string(gif->SHeight) +
             ", the first part " + std::to_string(screen_.width) + "x" +
             std::to_string(screen_.height);
    }
    std::optional<int> loop;
    std::optional<std::array<GifByteType, 4>> control;
    std::optional<int> number;  // of the next picture
    int pictures = 0;
    int firstNumber = 0;
    bool numbered = true;  // every picture so far had the number after the last
    for (;;) {
      GifRecordType type;
      if (DGifGetRecordType(gif, &type) != GIF_OK) return Damaged(path, gif);
      if (type == TERMINATE_RECORD_TYPE) break;
      if (type == EXTENSION_RECORD_TYPE) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) != GIF_OK) return Damaged(path, gif);
        bool netscape = false, ours = false;
        if (block && code == GRAPHICS_EXT_FUNC_CODE && block[0] == 4)
          control = std::array<GifByteType, 4>{block[1], block[2], block[3], block[4]};
        if (block && code == APPLICATION_EXT_FUNC_CODE && block[0] == 11)
          netscape = std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
        if (block && code == APPLICATION_EXT_FUNC_CODE && block[0] == 11)
          ours = std::memcmp(block + 1, kNumberApplication, 11) == 0;
        while (block) {
          if (DGifGetExtensionNext(gif, &block) != GIF_OK) return Damaged(path, gif);
          if (ours && block && block[0] == 4) {
            const uint32_t n = block[1] | block[2] << 8 | block[3] << 16 | uint32_t{block[4]} << 24;
            if (n <= kMaxNumber) number = static_cast<int>(n);
            ours = false;
          }
          if (netscape && block && block[0] >= 3 && block[1] == 1) {
            loop = block[2] | block[3] << 8;
            netscape = false;
          }
        }
        if (first && !started_) screen_.loop = loop;
      } else if (type == IMAGE_DESC_RECORD_TYPE) {
        if (DGifGetImageDesc(gif) != GIF_OK) return Damaged(path, gif);
        if (!started_) {
          std::string problem = Start();
          if (!problem.empty()) return problem;
        }
        if (pictures == 0) firstNumber = number.value_or(0);
        numbered = numbered && number == firstNumber + pictures;
        std::string problem = CopyImage(path, gif, number, control);
        if (!problem.empty()) return problem;
        control.reset();
        number.reset();
        ++pictures;
      } else {
        return Damaged(path, gif);
      }
    }
    if (pictures == 0) return path + " holds no picture";
    if (loop != screen_.loop) return path + " loops otherwise than the first part";
    // The numbers run on from part to part, as far as the parts tell them.
    if (numberedSoFar_ && numbered) {
      const std::string run =
          FrameRunProblem(previous_, path, nextNumber_, firstNumber, firstNumber + pictures - 1);
      if (!run.empty()) return run;
    }
    numberedSoFar_ = numbered;
    nextNumber_ = firstNumber + pictures;
    previous_ = path;
    return {};
  }

  std::string Finish() {
    if (!out_.Close() || !file_.Commit()) return "can't write " + outPath_;
    return {};
  }

 private:
  static std::string Damaged(const std::string& path, GifFileType* gif) {
    return path + " is damaged: " + ErrorText(gif->Error);
  }

  std::string Start() {
    started_ = true;
    int error = 0;
    if (!file_.Open(outPath_) || !(out_.gif = EGifOpen(&file_, PutBytes, &error)))
      return "can't create " + outPath_;
    // The extensions need the 89a header.
    EGifSetGifVersion(out_.gif, true);
    if (EGifPutScreenDesc(out_.gif, screen_.width, screen_.height, screen_.colorResolution,
                          screen_.background, nullptr) != GIF_OK ||
        (screen_.loop && !WriteGifLoopExtension(out_.gif, *screen_.loop)))
      return "can't write " + outPath_;
    return {};
  }

  // One picture, its pixels as they are coded: no colour is quantised again.
  std::string CopyImage(const std::string& path, GifFileType* gif, std::optional<int> number,
                        const std::optional<std::array<GifByteType, 4>>& control) {
    const GifImageDesc& d = gif->Image;
    // A picture must lie on the screen; its colours come from its own map
    // or the part's global one, which the joined file gives it as its own.
    if (d.Width < 1 || d.Height < 1 || d.Left < 0 || d.Top < 0 ||
        d.Left + d.Width > screen_.width || d.Top + d.Height > screen_.height)
      return path + " has a picture off its screen";
    ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map) return path + " has a picture without colours";
    if (number && !WriteNumber(*number)) return "can't write " + outPath_;
    if (control && EGifPutExtension(out_.gif, GRAPHICS_EXT_FUNC_CODE, 4, control->data()) != GIF_OK)
      return "can't write " + outPath_;
    if (EGifPutImageDesc(out_.gif, d.Left, d.Top, d.Width, d.Height, d.Interlace, map) != GIF_OK)
      return "can't write " + outPath_;
    line_.resize(static_cast<size_t>(d.Width));
    for (int y = 0; y < d.Height; ++y) {
      if (DGifGetLine(gif, line_.data(), d.Width) != GIF_OK) return Damaged(path, gif);
      if (EGifPutLine(out_.gif, line_.data(), d.Width) != GIF_OK) return "can't write " + outPath_;
    }
    return {};
  }

  bool WriteNumber(int number) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
        static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
    return EGifPutExtensionLeader(out_.gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(out_.gif, 11, kNumberApplication) == GIF_OK &&
           EGifPutExtensionBlock(out_.gif, sizeof bytes, bytes) == GIF_OK &&
           EGifPutExtensionTrailer(out_.gif) == GIF_OK;
  }

  std::string outPath_;
  std::string previous_;
  bool numberedSoFar_ = true;
  int nextNumber_ = 0;
  Screen screen_;
  bool started_ = false;
  OutputFile file_;
  GifOut out_;
  std::vector<GifByteType> line_;
};

}  // namespace

std::string JoinGifs(const std::string& out, const std::vector<std::string>& parts) {
  Joiner joiner(out);
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string problem = joiner.Part(parts[i], i == 0);
    if (!problem.empty()) return problem;
  }
  return joiner.Finish();
}

}  // namespace modra
