// The render settings: one record filled by the Render Options dialog and
// by `modra render`, kept by the main frame between renders, and the rules
// that turn it into what a render needs (frame range, drawing size,
// viewport, gamma tables, frame file names, motion-blur sample times).
//
// Nothing here touches OpenGL or a file; the render window and the command
// line call these and show what they return.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace modra {

// The numbers are stored with the settings: new formats come at the end.
enum RenderFormat : int {
  kRenderMpeg = 0,
  kRenderJpeg = 1,
  kRenderBmp = 2,
  kRenderPpm = 3,
  kRenderGif = 4,
  kRenderMp4 = 5,
  kRenderPng = 6,
};

enum RenderFrameRange : int {
  kRenderCurrentFrame = 0,
  kRenderAllFrames = 1,
  kRenderFromTo = 2,
};

struct RenderSettings {
  std::string outputName = "movie.mpg";  // the movie, or the pattern of frame files
  int width = 256, height = 256;         // output size in pixels
  int format = kRenderMpeg;
  int oversampling = 2;  // 1..4: drawn this many times larger, then scaled down
  int frameRange = kRenderAllFrames;
  int from = 0, to = 0;    // for kRenderFromTo
  float gamma = 1.7f;      // exactly 1.0: no correction
  int blurSamples = 0;     // 0: no motion blur
  float blurRange = 0.5f;  // frames covered by the samples
  bool composite = false;  // draw an MPEG movie behind the scene
  std::string compositeMovie;
  bool fitSquare = false;  // "Fit largest square": viewport = whole area
};

// Limits past which a render is refused before anything is allocated or
// written. A drawing area side of 16384 is what current GL drivers offer
// at most; 64 motion-blur samples already keep 64 full pictures in memory.
constexpr int kMaxRenderSide = 4096;
constexpr int kMaxBlurSamples = 64;
constexpr int kLastAnimationFrame = 9999;

// The formats that write one movie (or GIF) file rather than a file per
// frame: a split render makes one part of them per share.
inline bool IsMovieFormat(int format) {
  return format == kRenderMpeg || format == kRenderGif || format == kRenderMp4;
}

// --- Render Options dialog rules ---

// Opening the dialog: "from" starts at 0 and "to" at the animation's last
// frame; everything else stays as stored.
void PrepareRenderOptions(RenderSettings& settings, int lastFrame);
// Chooses a format (kRenderMpeg..kRenderPng; others are ignored) and gives
// the output name that format's extension: the name is cut at the last "."
// of its file name part and ".mpg", ".jpg", ".bmp", ".ppm", ".gif", ".mp4"
// or ".png" appended.
void SetRenderFormat(RenderSettings& settings, int format);
// "On" always starts from 4 samples, "Off" sets 0.
void SetMotionBlur(RenderSettings& settings, bool on);
// "On" always starts from 1.7, "Off" sets 1.0.
void SetGammaCorrection(RenderSettings& settings, bool on);
inline bool MotionBlurOn(const RenderSettings& s) {
  return s.blurSamples != 0;
}
inline bool GammaOn(const RenderSettings& s) {
  return s.gamma != 1.0f;
}
// The range slider runs 0..1000; the range is position / 1000.
void SetBlurRangeFromSlider(RenderSettings& settings, int position);
int BlurRangeSliderPosition(const RenderSettings& settings);
// The slider's label: "%.2f" of the range, empty while motion blur is off.
std::string BlurRangeLabel(const RenderSettings& settings);
// The save dialog's defaults for a format: "*.mpg" / "movie.mpg",
// "*.jpg" / "image.jpg", ... Empty strings for an unknown format.
const char* OutputDefaultExtension(int format);
const char* OutputDefaultName(int format);
// The save and open dialogs' filter texts.
extern const char kOutputFileFilter[];
extern const char kCompositeMovieFilter[];

// What the Render Options dialog refuses to accept, as the reason shown
// beside its disabled OK button; empty when OK may close it. These are the
// checks of RenderSettingsProblem that need no scene (the animation's
// length is not known until the render starts), plus compositing with no
// movie chosen, which could only fail once the render had begun.
std::string RenderOptionsProblem(const RenderSettings& settings);

// --- What a render makes of the settings ---

struct FrameSpan {
  int first = 0, last = -1;
  int Count() const { return last - first + 1; }
};

// The frames to render: the current frame, 0 .. lastFrame, or from .. to,
// with the end lowered to lastFrame. Count() < 1 means nothing to render.
FrameSpan RenderFrames(const RenderSettings& settings, int currentFrame, int lastFrame);

// One of `count` shares of a render's frames, numbered from 0, for
// splitting a long render over processes or machines.
struct RenderPart {
  int index = 0, count = 1;
};
// Enough shares for a frame each; more could only be empty.
constexpr int kMaxRenderParts = kLastAnimationFrame + 1;

// The frames of share `part` of `whole`: equal shares by frame count, the
// remainder spread one each over the first shares. With more shares than
// frames the last ones are empty (Count() 0). Needs 0 <= index < count.
FrameSpan PartOfFrames(const FrameSpan& whole, RenderPart part);

// Empty when a render with these settings can start; otherwise the message
// to show: a size below 1 or above kMaxRenderSide, oversampling outside
// 1..4, an unknown format or frame range, negative or too many motion-blur
// samples, a gamma or range that is not a number, frames outside
// 0..9999, "to" before "from", and "No frames to render" when the range is
// empty once clamped to the animation.
std::string RenderSettingsProblem(const RenderSettings& settings, int currentFrame, int lastFrame);

// The render window's drawing area: the output size times the oversampling.
inline int DrawingWidth(const RenderSettings& s) {
  return s.width * s.oversampling;
}
inline int DrawingHeight(const RenderSettings& s) {
  return s.height * s.oversampling;
}

// The viewport on a W x H drawing area: the whole area with "Fit largest
// square", otherwise the square of side max(W, H) centred on it (halves
// rounded toward zero), and the aspect ratio that goes with it.
struct RenderViewport {
  int x = 0, y = 0, width = 0, height = 0;
  float aspect = 1.0f;
};
RenderViewport RenderViewportFor(int drawingWidth, int drawingHeight, bool fitSquare);

// Time offset, in frames, of motion-blur sample `index` of `samples`:
// spread evenly over `range` centred on the frame; 0 without blur.
float BlurSampleTime(int index, int samples, float range);

// A frame file's name: the output name split at the last "." of its file
// name part into base and extension, printed as "%s%d.%s". A name without
// an extension ("out", "out.") takes the one of `format`, so that the
// files open as what they are: "out" becomes "out7.bmp".
std::string FrameFileName(const std::string& outputName, int frame, int format);

// A movie part's name: the output name with ".partNN" before its
// extension ("movie.mpg" -> "movie.part03.mpg"), NN the share's number in
// as many digits as the last one needs, at least two, so that the parts
// sort in order by name.
std::string PartFileName(const std::string& outputName, RenderPart part);

// Gamma tables: with a gamma of exactly 1.0, `b` is the identity and `a`
// is not applied (`correct` false; it holds the identity too). Otherwise a
// gamma of 0 or less counts as 0.0001 and, with x = i / 255,
// a[i] = x^(1/gamma) * 255 (brightens the rendered picture) and
// b[i] = x^gamma * 255 (darkens the composite movie so that the later
// correction gives its pixels back), truncated.
struct GammaTables {
  bool correct = false;
  std::array<uint8_t, 256> a{}, b{};
};
GammaTables BuildGammaTables(float gamma);

}  // namespace modra
