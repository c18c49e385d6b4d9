// `modra render`: a render to files without a display, with the options
// of the Render Options dialog, or one still picture through any view.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "geometry/triangulate_settings.h"
#include "render/render_settings.h"

namespace modra {

// The options as typed. Their defaults are those of RenderSettings{}, so
// the dialog and the command line start from the same render.
struct RenderArgs {
  RenderArgs();
  std::string file, output;
  std::string format;  // empty: from the output name's extension
  std::string size;
  int oversample;
  std::string frames;
  std::string part;  // empty: the whole render
  float gamma;
  int blur;
  float blurRange;
  std::string composite;
  bool fitSquare;
  std::string view;  // set: one picture through this view
  std::string mode;  // empty: the scene's display mode (Textured)
};

// Registers the sub-command and its options on `app`.
CLI::App* AddRenderCommand(CLI::App& app, RenderArgs& args);

// The pieces of the options, each nullopt when the text is not one of
// their forms.
std::optional<int> RenderFormatNamed(const std::string& name);     // mpeg, jpeg, ... png
std::optional<int> RenderFormatOfFile(const std::string& output);  // by extension, any case
std::optional<int> ViewNamed(const std::string& name);             // front .. camera
std::optional<int> DisplayModeNamed(const std::string& name);      // wire, solid, textured
// "WxH" with positive decimal sides.
bool ParseRenderSize(const std::string& text, int* width, int* height);
// "current", "all" or "A-B" into the frame range of `settings`.
bool ParseRenderFrames(const std::string& text, RenderSettings* settings);
// "I/N": share I (0 .. N-1) of N, N from 1 to kMaxRenderParts.
bool ParseRenderPart(const std::string& text, RenderPart* part);

// Runs the render; `progress` writes the render window's title to `err`
// as one line that keeps being rewritten. Exit status 0, 1 or 2.
int RunRender(const RenderArgs& args, std::ostream& err, bool progress,
              const triangulation::DebugSettings& triangulatorDebug = {});

}  // namespace modra
