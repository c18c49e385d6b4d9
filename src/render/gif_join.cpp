#include "render/gif_join.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "images/gif_loop.h"
#include "images/gif_memory.h"
#include "io/output_file.h"
#include "render/movie_join.h"
#include "render/picture_check.h"

namespace modra {
namespace {

// giflib's words for `error`, after what the join was doing when it came.
std::string Why(const char* what, int error) {
  const char* text = GifErrorString(error);
  return text ? std::string(what) + " (" + text + ")" : std::string(what);
}

int PutBytes(GifFileType* gif, const GifByteType* bytes, int count) {
  auto* file = static_cast<OutputFile*>(gif->UserData);
  return count >= 0 && file->Write(bytes, static_cast<size_t>(count)) ? count : 0;
}

// The frame numbers a render's GIF pictures carry (picture_check.h).
constexpr uint32_t kMaxNumber = 1u << 30;

uint32_t Little32(const GifByteType* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t{bytes[3]} << 24;
}

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

  std::string Part(const std::string& path, std::span<const uint8_t> bytes, bool first) {
    int error = 0;
    GifIn in;
    GifMemory source{bytes};
    source_ = &source;
    lastWhole_.clear();
    in.gif = DGifOpen(&source, ReadGifMemory, &error);
    if (!in.gif && (error == D_GIF_ERR_READ_FAILED || source.at >= bytes.size()))
      return Truncated(path);
    if (!in.gif) return path + " is damaged: " + Why("its screen cannot be read", error);
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
    std::optional<int> number;      // of the next picture
    std::optional<uint32_t> check;  // of the next picture
    int pictures = 0, checked = 0;
    int firstNumber = 0;
    bool numbered = false;  // the pictures carry frame numbers
    for (;;) {
      GifRecordType type;
      if (DGifGetRecordType(gif, &type) != GIF_OK)
        return Damaged(path, gif, "it holds a record of no known kind");
      if (type == TERMINATE_RECORD_TYPE) break;
      if (type == EXTENSION_RECORD_TYPE) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) != GIF_OK)
          return Damaged(path, gif, "an extension cannot be read");
        bool netscape = false, ours = false;
        if (block && code == GRAPHICS_EXT_FUNC_CODE && block[0] == 4)
          control = std::array<GifByteType, 4>{block[1], block[2], block[3], block[4]};
        if (block && code == APPLICATION_EXT_FUNC_CODE && block[0] == 11)
          netscape = std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
        if (block && code == APPLICATION_EXT_FUNC_CODE && block[0] == 11)
          ours = std::memcmp(block + 1, kGifNumberApplication, 11) == 0;
        // A render writes these three and no other: anything else is what
        // damage made of one of them, and may have hidden a check value.
        if (code != GRAPHICS_EXT_FUNC_CODE && !netscape && !ours)
          return path + " is damaged: it holds an extension no render writes";
        while (block) {
          if (DGifGetExtensionNext(gif, &block) != GIF_OK)
            return Damaged(path, gif, "an extension cannot be read");
          if (ours && block && (block[0] == 4 || block[0] == 8)) {
            const uint32_t n = Little32(block + 1);
            // No render numbers so far; a check value covers the number.
            if (n > kMaxNumber) return path + " is damaged: a frame number is out of range";
            number = static_cast<int>(n);
            if (block[0] == 8) check = Little32(block + 5);
            ours = false;
          }
          if (netscape && block && block[0] >= 3 && block[1] == 1) {
            loop = block[2] | block[3] << 8;
            netscape = false;
          }
        }
        if (first && !started_) screen_.loop = loop;
      } else if (type == IMAGE_DESC_RECORD_TYPE) {
        if (DGifGetImageDesc(gif) != GIF_OK)
          return Damaged(path, gif, "a picture's descriptor cannot be read");
        if (!started_) {
          std::string problem = Start();
          if (!problem.empty()) return problem;
        }
        // A render numbers every picture of a part, one after the other:
        // pictures out of order were moved, and one without its number
        // may have lost more.
        if (pictures == 0) {
          firstNumber = number.value_or(0);
          numbered = number.has_value();
        } else if (number.has_value() != numbered) {
          return path + " is damaged: the picture after " + lastWhole_ +
                 (numbered ? " lost its frame number"
                           : " has a frame number, the ones before none");
        } else if (numbered && *number != firstNumber + pictures) {
          return path + " is damaged: frame " + std::to_string(*number) + " follows " + lastWhole_;
        }
        std::string problem = CopyImage(path, gif, number, check, loop, control);
        if (!problem.empty()) return problem;
        lastWhole_ =
            number ? "frame " + std::to_string(*number) : "picture " + std::to_string(pictures + 1);
        control.reset();
        number.reset();
        checked += check.has_value();
        check.reset();
        ++pictures;
      } else {
        return Damaged(path, gif, "it holds a record of no known kind");
      }
    }
    if (pictures == 0) return path + " holds no picture";
    // Check values come with every picture, or with none in older files.
    if (checked != 0 && checked != pictures)
      return path + " is damaged: a picture lost its check value";
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
    if (!out_.Close() || !file_.Commit()) return "can't write " + file_.error();
    return {};
  }

 private:
  // A part that ends before its trailer: giflib's reads came up short.
  std::string Truncated(const std::string& path) const {
    return path + " is truncated " +
           (lastWhole_.empty() ? "before its first whole picture" : "after " + lastWhole_);
  }

  // giflib tells a short read in more than one way: a part whose bytes
  // were all read when it failed was cut short.
  std::string Damaged(const std::string& path, GifFileType* gif, const char* what) const {
    if (gif->Error == D_GIF_ERR_READ_FAILED || source_->at >= source_->bytes.size())
      return Truncated(path);
    return path + " is damaged: " + Why(what, gif->Error);
  }

  std::string Start() {
    started_ = true;
    int error = 0;
    if (!file_.Open(outPath_)) return "can't create " + file_.error();
    if (!(out_.gif = EGifOpen(&file_, PutBytes, &error)))
      return "can't create " + outPath_ + ": " + Why("giflib cannot write", error);
    // The extensions need the 89a header.
    EGifSetGifVersion(out_.gif, true);
    if (EGifPutScreenDesc(out_.gif, screen_.width, screen_.height, screen_.colorResolution,
                          screen_.background, nullptr) != GIF_OK ||
        (screen_.loop && !WriteGifLoopExtension(out_.gif, *screen_.loop)))
      return "can't write " + file_.error();
    return {};
  }

  // One picture, its pixels as they are coded: no colour is quantised
  // again. With a check value, what the picture shows must match it; the
  // joined picture carries the same value, since the screen's size and
  // loop count it covers are the first part's.
  std::string CopyImage(const std::string& path, GifFileType* gif, std::optional<int> number,
                        std::optional<uint32_t> check, std::optional<int> loop,
                        const std::optional<std::array<GifByteType, 4>>& control) {
    const GifImageDesc& d = gif->Image;
    // A picture must lie on the screen; its colours come from its own map
    // or the part's global one, which the joined file gives it as its own.
    if (d.Width < 1 || d.Height < 1 || d.Left < 0 || d.Top < 0 ||
        d.Left + d.Width > screen_.width || d.Top + d.Height > screen_.height)
      return path + " has a picture off its screen";
    ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map) return path + " has a picture without colours";
    if (number && !WriteGifFrameNumber(out_.gif, *number, check))
      return "can't write " + file_.error();
    GifPictureHead head;
    head.number = number.value_or(0);
    head.screenWidth = gif->SWidth;
    head.screenHeight = gif->SHeight;
    head.loop = loop;
    head.control = control;
    head.left = d.Left;
    head.top = d.Top;
    head.width = d.Width;
    head.height = d.Height;
    head.interlace = d.Interlace;
    head.map = map;
    PictureCheck shown = StartGifPictureCheck(head);
    if (control && EGifPutExtension(out_.gif, GRAPHICS_EXT_FUNC_CODE, 4, control->data()) != GIF_OK)
      return "can't write " + file_.error();
    if (EGifPutImageDesc(out_.gif, d.Left, d.Top, d.Width, d.Height, d.Interlace, map) != GIF_OK)
      return "can't write " + file_.error();
    line_.resize(static_cast<size_t>(d.Width));
    for (int y = 0; y < d.Height; ++y) {
      if (DGifGetLine(gif, line_.data(), d.Width) != GIF_OK)
        return Damaged(path, gif, "a picture's pixels cannot be decoded");
      shown.Add(line_);
      if (EGifPutLine(out_.gif, line_.data(), d.Width) != GIF_OK)
        return "can't write " + file_.error();
    }
    if (check && shown.Value() != *check)
      return path + " is damaged: " +
             (number ? "frame " + std::to_string(*number) : std::string("a picture")) +
             " does not match its check value";
    return {};
  }

  std::string outPath_;
  std::string previous_;
  std::string lastWhole_;           // the last picture of the part copied whole, named
  const GifMemory* source_ = nullptr;  // of the part being read
  bool numberedSoFar_ = true;
  int nextNumber_ = 0;
  Screen screen_;
  bool started_ = false;
  OutputFile file_;
  GifOut out_;
  std::vector<GifByteType> line_;
};

}  // namespace

std::string JoinGifs(const std::string& out, const std::vector<std::string>& names,
                     const std::vector<std::span<const uint8_t>>& parts) {
  Joiner joiner(out);
  for (size_t i = 0; i < parts.size() && i < names.size(); ++i) {
    const std::string problem = joiner.Part(names[i], parts[i], i == 0);
    if (!problem.empty()) return problem;
  }
  return joiner.Finish();
}

}  // namespace modra
