#include "cli/render_command.h"

#include <array>
#include <charconv>
#include <string_view>

extern "C" {
#include <libavutil/log.h>
}

#include "cli/cli_document.h"
#include "images/gl_texture_upload.h"
#include "render/headless_gl.h"
#include "render/render_job.h"

namespace modra {

namespace {

// In the order of the format numbers.
constexpr std::array<const char*, 7> kFormatNames = {"mpeg", "jpeg", "bmp", "ppm",
                                                     "gif",  "mp4",  "png"};
constexpr std::array<const char*, kViewCount> kViewNames = {
    "front", "top", "left", "back", "bottom", "right", "perspective", "camera"};
constexpr std::array<const char*, 3> kModeNames = {"wire", "solid", "textured"};

template <size_t N>
std::optional<int> IndexOf(const std::array<const char*, N>& names, const std::string& name) {
  for (size_t i = 0; i < N; ++i)
    if (name == names[i]) return static_cast<int>(i);
  return std::nullopt;
}

bool ParseInt(std::string_view text, int* value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

// Mesa chooses a hardware renderer when it finds one; where that fails
// (no render node, no permission) the software rasteriser still works.
bool MakeContext(HeadlessGl& gl, int width, int height, std::string* error) {
  return gl.Create(width, height, error) || gl.Create(width, height, error, GlRenderer::kSoftware);
}

// The settings of the options, or a usage problem in *problem.
bool SettingsOf(const RenderArgs& args, RenderSettings* s, std::string* problem) {
  s->outputName = args.output;
  const std::optional<int> format =
      args.format.empty() ? RenderFormatOfFile(args.output) : RenderFormatNamed(args.format);
  if (!format) {
    *problem = args.format.empty()
                   ? "can't tell the format from " + args.output +
                         ": give --format or end the name in .mpg, .mp4, .gif, .jpg, .bmp, "
                         ".ppm or .png"
                   : "unknown format " + args.format + " (mpeg, mp4, jpeg, bmp, ppm, gif or png)";
    return false;
  }
  s->format = *format;
  if (!ParseRenderSize(args.size, &s->width, &s->height)) {
    *problem = "--size must be WxH, as in 320x240";
    return false;
  }
  s->oversampling = args.oversample;
  if (!ParseRenderFrames(args.frames, s)) {
    *problem = "--frames must be current, all or A-B";
    return false;
  }
  s->gamma = args.gamma;
  s->blurSamples = args.blur;
  s->blurRange = args.blurRange;
  s->composite = !args.composite.empty();
  s->compositeMovie = args.composite;
  s->fitSquare = args.fitSquare;
  return true;
}

// The --frames text of a settings record's range.
std::string FramesText(const RenderSettings& s) {
  switch (s.frameRange) {
    case kRenderCurrentFrame:
      return "current";
    case kRenderFromTo:
      return std::to_string(s.from) + "-" + std::to_string(s.to);
    default:
      return "all";
  }
}

}  // namespace

RenderArgs::RenderArgs() {
  const RenderSettings defaults;
  size = std::to_string(defaults.width) + "x" + std::to_string(defaults.height);
  oversample = defaults.oversampling;
  frames = FramesText(defaults);
  gamma = defaults.gamma;
  blur = defaults.blurSamples;
  blurRange = defaults.blurRange;
  fitSquare = defaults.fitSquare;
}

std::optional<int> RenderFormatNamed(const std::string& name) {
  return IndexOf(kFormatNames, name);
}

std::optional<int> RenderFormatOfFile(const std::string& output) {
  struct Extension {
    std::string_view text;
    int format;
  };
  static constexpr Extension kExtensions[] = {
      {".mpg", kRenderMpeg},  {".mpeg", kRenderMpeg}, {".jpg", kRenderJpeg},
      {".jpeg", kRenderJpeg}, {".bmp", kRenderBmp},   {".ppm", kRenderPpm},
      {".gif", kRenderGif},   {".mp4", kRenderMp4},   {".png", kRenderPng}};
  for (const Extension& e : kExtensions)
    if (EndsWith(output, e.text)) return e.format;
  return std::nullopt;
}

std::optional<int> ViewNamed(const std::string& name) {
  return IndexOf(kViewNames, name);
}

std::optional<int> DisplayModeNamed(const std::string& name) {
  return IndexOf(kModeNames, name);
}

bool ParseRenderSize(const std::string& text, int* width, int* height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  int w = 0, h = 0;
  if (!ParseInt(std::string_view(text).substr(0, x), &w) ||
      !ParseInt(std::string_view(text).substr(x + 1), &h) || w < 1 || h < 1)
    return false;
  *width = w;
  *height = h;
  return true;
}

bool ParseRenderFrames(const std::string& text, RenderSettings* s) {
  if (text == "current") {
    s->frameRange = kRenderCurrentFrame;
    return true;
  }
  if (text == "all") {
    s->frameRange = kRenderAllFrames;
    return true;
  }
  const size_t dash = text.find('-', 1);
  if (dash == std::string::npos) return false;
  int from = 0, to = 0;
  if (!ParseInt(std::string_view(text).substr(0, dash), &from) ||
      !ParseInt(std::string_view(text).substr(dash + 1), &to))
    return false;
  s->frameRange = kRenderFromTo;
  s->from = from;
  s->to = to;
  return true;
}

bool ParseRenderPart(const std::string& text, RenderPart* part) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos) return false;
  RenderPart p;
  if (!ParseInt(std::string_view(text).substr(0, slash), &p.index) ||
      !ParseInt(std::string_view(text).substr(slash + 1), &p.count) || p.count < 1 ||
      p.count > kMaxRenderParts || p.index < 0 || p.index >= p.count)
    return false;
  *part = p;
  return true;
}

CLI::App* AddRenderCommand(CLI::App& app, RenderArgs& a) {
  CLI::App* render = app.add_subcommand(
      "render",
      "Render a scene to a movie (MPEG-1 or MP4), an animated GIF, frame files or one still "
      "picture");
  render->add_option("FILE", a.file, "scene or model file")->required();
  render->add_option("-o,--output", a.output, "movie, GIF, frame-file pattern or picture")
      ->required();
  render->add_option("--format", a.format,
                     "mpeg, mp4, jpeg, bmp, ppm, gif or png (default: from the output name)");
  render->add_option("--size", a.size, "output size WxH")->capture_default_str();
  render->add_option("--oversample", a.oversample, "draw this many times larger, then reduce")
      ->capture_default_str();
  render->add_option("--frames", a.frames, "current, all or A-B")->capture_default_str();
  render->add_option("--part", a.part,
                     "render share I of N (I from 0) of the frames; a movie or GIF goes to "
                     "OUT with .partI before its extension, for `modra join`");
  render->add_option("--gamma", a.gamma, "gamma correction (1.0: off)")->capture_default_str();
  render->add_option("--blur", a.blur, "motion-blur samples per frame (0: off)")
      ->capture_default_str();
  render->add_option("--blur-range", a.blurRange, "frames the blur samples cover")
      ->capture_default_str();
  render->add_option("--composite", a.composite, "MPEG movie drawn behind the scene");
  render->add_flag("--fit-square", a.fitSquare,
                   "use the whole picture instead of the largest centred square");
  render->add_option("--view", a.view,
                     "one picture of the current frame through this view: front, top, left, "
                     "back, bottom, right, perspective or camera");
  render->add_option("--mode", a.mode, "wire, solid or textured (default: textured)");
  return render;
}

int RunRender(const RenderArgs& args, std::ostream& err, bool progress,
              const triangulation::DebugSettings& triangulatorDebug) {
  RenderSettings settings;
  std::string problem;
  if (!SettingsOf(args, &settings, &problem)) {
    err << "modra render: " << problem << "\n";
    return 2;
  }
  std::optional<int> view = kViewCamera;
  if (!args.view.empty()) {
    view = ViewNamed(args.view);
    if (!view) {
      err << "modra render: unknown view " << args.view << "\n";
      return 2;
    }
    if (args.frames != "all" && args.frames != "current") {
      err << "modra render: --view makes one picture of the current frame; drop --frames\n";
      return 2;
    }
    settings.frameRange = kRenderCurrentFrame;
  }
  RenderPart part;
  if (!args.part.empty()) {
    if (!ParseRenderPart(args.part, &part)) {
      err << "modra render: --part must be I/N with 0 <= I < N <= " << kMaxRenderParts
          << ", as in 2/8\n";
      return 2;
    }
    if (!args.view.empty()) {
      err << "modra render: --view makes one picture; drop --part\n";
      return 2;
    }
    // Frame files keep their frame numbers; a movie has one file per part.
    if (IsMovieFormat(settings.format))
      settings.outputName = PartFileName(settings.outputName, part);
  }
  std::optional<int> mode = kTexturedMode;
  if (!args.mode.empty() && !(mode = DisplayModeNamed(args.mode))) {
    err << "modra render: unknown mode " << args.mode << " (wire, solid or textured)\n";
    return 2;
  }
  // Everything but the frame range can be checked before the scene is read.
  problem = RenderSettingsProblem(settings, 0, kLastAnimationFrame);
  if (!problem.empty()) {
    err << problem << "\n";
    return 1;
  }

  av_log_set_level(AV_LOG_ERROR);
  HeadlessGl gl;
  std::string error;
  if (!MakeContext(gl, DrawingWidth(settings), DrawingHeight(settings), &error)) {
    err << "Bogus OpenGL Context: " << error << "\n";
    return 1;
  }
  GlTextureUpload upload;
  CliDocument cli(err, &upload, triangulatorDebug);
  Document& doc = cli.doc;
  if (!Load(doc, args.file)) return 1;
  doc.display.displayMode = *mode;
  if (args.view.empty()) PrepareDocumentForRender(doc);

  RenderJob job(doc, settings, *view);
  job.SetExactName(!args.view.empty());
  job.SetPart(part);
  if (!job.Start()) return 1;
  job.Resize(gl.Width(), gl.Height());
  while (job.Step())
    if (progress) err << "\r" << job.Title() << "\033[K" << std::flush;
  if (progress && !job.Title().empty()) err << "\r" << job.Title() << "\033[K\n";
  job.Finish();
  return job.Failed() ? 1 : 0;
}

}  // namespace modra
