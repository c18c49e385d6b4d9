#include "render/render_settings.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "io/text_out.h"

namespace modra {
namespace {

const char* const kExtensions[] = {".mpg", ".jpg", ".bmp", ".ppm", ".gif", ".mp4", ".png"};
const char* const kDefaultNames[] = {"movie.mpg", "image.jpg", "image.bmp", "image.ppm",
                                     "movie.gif", "movie.mp4", "image.png"};
const char* const kDefaultPatterns[] = {"*.mpg", "*.jpg", "*.bmp", "*.ppm",
                                        "*.gif", "*.mp4", "*.png"};
static_assert(std::size(kExtensions) == kRenderPng + 1 &&
              std::size(kDefaultNames) == kRenderPng + 1 &&
              std::size(kDefaultPatterns) == kRenderPng + 1);

bool KnownFormat(int format) {
  return format >= kRenderMpeg && format <= kRenderPng;
}

// Where the extension starts: the last "." after the last "/", or npos.
// note: a dot in a directory name ("renders.old/movie") is not an
// extension; cutting there would write the frames into another directory.
size_t ExtensionDot(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return dot;
  if (slash != std::string::npos && dot < slash) return std::string::npos;
  return dot;
}

uint8_t TableEntry(double x, double power) {
  // x^power lies in 0..1 for x in 0..1 and any positive power, so the
  // product stays in 0..255.
  return static_cast<uint8_t>(static_cast<int>(std::pow(x, power) * 255.0) & 0xFF);
}

}  // namespace

const char kOutputFileFilter[] =
    "All Types (*.mpg;*.gif;*.jpg;*.bmp;*.ppm;*.mp4;*.png)|*.mpg;*.gif;*.jpg;*.bmp;*.ppm;*.mp4;*."
    "png|MPEG Movie (*.mpg)|*.mpg|Animated GIF (*.gif)|*.gif|JPEG Image (*.jpeg)|*.jpeg|Windows "
    "Bitmap Image (*.bmp)|*.bmp|Portable Pixel Map Image (*.ppm)|*.ppm|MP4 Movie (*.mp4)|*.mp4|PNG "
    "Image (*.png)|*.png||";
const char kCompositeMovieFilter[] = "MPEG Movie (*.mpg)|*.mpg|MP4 Movie (*.mp4)|*.mp4|";

void PrepareRenderOptions(RenderSettings& settings, int lastFrame) {
  settings.from = 0;
  settings.to = lastFrame;
}

void SetRenderFormat(RenderSettings& settings, int format) {
  if (!KnownFormat(format)) return;
  settings.format = format;
  const size_t dot = ExtensionDot(settings.outputName);
  if (dot != std::string::npos) settings.outputName.resize(dot);
  settings.outputName += kExtensions[format];
}

void SetMotionBlur(RenderSettings& settings, bool on) {
  settings.blurSamples = on ? 4 : 0;
}

void SetGammaCorrection(RenderSettings& settings, bool on) {
  settings.gamma = on ? 1.7f : 1.0f;
}

void SetBlurRangeFromSlider(RenderSettings& settings, int position) {
  settings.blurRange = static_cast<float>(position * 0.001);
}

int BlurRangeSliderPosition(const RenderSettings& settings) {
  const double position = std::round(static_cast<double>(settings.blurRange) * 1000.0);
  if (!(position >= 0)) return 0;  // also catches NaN
  return static_cast<int>(std::min(position, 1000.0));
}

std::string BlurRangeLabel(const RenderSettings& settings) {
  if (!MotionBlurOn(settings)) return {};
  char text[kMaxFixedChars];
  return {text, FormatFixed(text, settings.blurRange, 2)};
}

const char* OutputDefaultExtension(int format) {
  return KnownFormat(format) ? kDefaultPatterns[format] : "";
}

const char* OutputDefaultName(int format) {
  return KnownFormat(format) ? kDefaultNames[format] : "";
}

FrameSpan RenderFrames(const RenderSettings& settings, int currentFrame, int lastFrame) {
  FrameSpan span;
  switch (settings.frameRange) {
    case kRenderCurrentFrame:
      span = {currentFrame, currentFrame};
      break;
    case kRenderAllFrames:
      span = {0, lastFrame};
      break;
    case kRenderFromTo:
      span = {settings.from, settings.to};
      break;
    default:
      return FrameSpan{};
  }
  span.last = std::min(span.last, lastFrame);
  return span;
}

std::string RenderSettingsProblem(const RenderSettings& s, int currentFrame, int lastFrame) {
  char text[160];
  if (s.width < 1 || s.height < 1 || s.width > kMaxRenderSide || s.height > kMaxRenderSide) {
    std::snprintf(text, sizeof text, "Output size %d x %d: width and height must be 1 to %d",
                  s.width, s.height, kMaxRenderSide);
    return text;
  }
  if (s.oversampling < 1 || s.oversampling > 4) {
    std::snprintf(text, sizeof text, "Oversampling %d: it must be 1 to 4", s.oversampling);
    return text;
  }
  if (!KnownFormat(s.format)) return "Unknown output format";
  if (s.outputName.empty()) return "No output file name";
  if (s.blurSamples < 0 || s.blurSamples > kMaxBlurSamples) {
    std::snprintf(text, sizeof text, "Motion blur samples %d: they must be 0 to %d", s.blurSamples,
                  kMaxBlurSamples);
    return text;
  }
  if (!std::isfinite(s.blurRange)) return "Motion blur range must be a number";
  if (!std::isfinite(s.gamma)) return "Gamma must be a number";
  if (s.frameRange < kRenderCurrentFrame || s.frameRange > kRenderFromTo)
    return "Unknown frame range";
  if (s.frameRange == kRenderFromTo) {
    if (s.from < 0 || s.to < 0 || s.from > kLastAnimationFrame || s.to > kLastAnimationFrame) {
      std::snprintf(text, sizeof text, "Frames %d to %d: frames must be 0 to %d", s.from, s.to,
                    kLastAnimationFrame);
      return text;
    }
    if (s.to < s.from) {
      std::snprintf(text, sizeof text, "Frames %d to %d: \"To\" comes before \"From\"", s.from,
                    s.to);
      return text;
    }
  }
  if (RenderFrames(s, currentFrame, lastFrame).Count() < 1) return "No frames to render";
  return {};
}

std::string RenderOptionsProblem(const RenderSettings& s) {
  // Frame 0 is current and every frame exists: the range is judged on its
  // own, never emptied by the clamp to the animation.
  std::string problem = RenderSettingsProblem(s, 0, kLastAnimationFrame);
  if (problem.empty() && s.composite && s.compositeMovie.empty())
    problem = "Choose the MPEG movie to composite with";
  return problem;
}

RenderViewport RenderViewportFor(int w, int h, bool fitSquare) {
  RenderViewport v;
  if (fitSquare) {
    v = {0, 0, w, h, h > 0 ? static_cast<float>(w) / static_cast<float>(h) : 1.0f};
  } else if (w > h) {
    v = {0, -(w - h) / 2, w, w, 1.0f};
  } else {
    v = {-(h - w) / 2, 0, h, h, 1.0f};
  }
  return v;
}

float BlurSampleTime(int index, int samples, float range) {
  if (samples < 2) return 0.0f;
  return static_cast<float>(index) * range / static_cast<float>(samples - 1) - range / 2.0f;
}

std::string FrameFileName(const std::string& outputName, int frame, int format) {
  const size_t dot = ExtensionDot(outputName);
  const std::string base = dot == std::string::npos ? outputName : outputName.substr(0, dot);
  std::string extension = dot == std::string::npos ? std::string() : outputName.substr(dot + 1);
  if (extension.empty() && KnownFormat(format)) extension = kExtensions[format] + 1;
  return base + std::to_string(frame) + "." + extension;
}

FrameSpan PartOfFrames(const FrameSpan& whole, RenderPart part) {
  assert(part.count >= 1 && part.index >= 0 && part.index < part.count);
  const int frames = std::max(whole.Count(), 0);
  const int share = frames / part.count, spread = frames % part.count;
  FrameSpan span;
  span.first = whole.first + part.index * share + std::min(part.index, spread);
  span.last = span.first + share + (part.index < spread ? 1 : 0) - 1;
  return span;
}

std::string PartFileName(const std::string& outputName, RenderPart part) {
  const size_t dot = ExtensionDot(outputName);
  const size_t digits = std::max<size_t>(2, std::to_string(part.count - 1).size());
  std::string number = std::to_string(part.index);
  number.insert(0, digits - std::min(digits, number.size()), '0');
  if (dot == std::string::npos) return outputName + ".part" + number;
  return outputName.substr(0, dot) + ".part" + number + outputName.substr(dot);
}

GammaTables BuildGammaTables(float gamma) {
  GammaTables t;
  for (int i = 0; i < 256; ++i)
    t.a[i] = t.b[i] = static_cast<uint8_t>(i);
  // note: NaN cannot reach a render (RenderSettingsProblem refuses it);
  // here it means no correction rather than an undefined conversion.
  if (gamma == 1.0f || std::isnan(gamma)) return t;
  const double g = gamma <= 0.0f ? 0.0001 : static_cast<double>(gamma);
  t.correct = true;
  for (int i = 0; i < 256; ++i) {
    const double x = i / 255.0;
    t.a[i] = TableEntry(x, 1.0 / g);
    t.b[i] = TableEntry(x, g);
  }
  return t;
}

}  // namespace modra
