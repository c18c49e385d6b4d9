// Rendering a scene file to a movie as `modra render` does: 120 frames (or
// the scene's whole animation when it is shorter) at 256 x 256 with 2x
// oversampling, to MPEG-1 and to an animated GIF, in the headless context.
// Prints seconds per frame and the shares of drawing, reading back,
// reducing (scaling, flipping, gamma) and encoding.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
//   -DMODRA_TESTS=OFF && cmake --build build/release --target render_bench &&
//   build/release/bench/render_bench [scene.knf]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "cli/cli_document.h"
#include "images/gl_texture_upload.h"
#include "io/heap_policy.h"
#include "render/headless_gl.h"
#include "render/render_job.h"

namespace {

using namespace modra;
using Seconds = std::chrono::duration<double>;

double Share(RenderTimes::Clock::duration part, double total) {
  return 100.0 * Seconds(part).count() / total;
}

bool RenderOnce(const std::string& scene, int format, const std::string& output) {
  RenderSettings settings;
  settings.width = settings.height = 256;
  settings.oversampling = 2;
  settings.format = format;
  settings.outputName = output;
  settings.frameRange = kRenderFromTo;
  settings.from = 0;
  settings.to = 119;

  HeadlessGl gl;
  std::string error;
  // llvmpipe, as the pixel tests: figures that compare from machine to machine.
  if (!gl.Create(DrawingWidth(settings), DrawingHeight(settings), &error, GlRenderer::kSoftware)) {
    std::cerr << "no context: " << error << "\n";
    return false;
  }
  // The document `modra render` makes: textures uploaded into this context.
  GlTextureUpload upload;
  CliDocument cli(std::cerr, &upload);
  Document& doc = cli.doc;
  if (!Load(doc, scene)) return false;
  PrepareDocumentForRender(doc);

  RenderJob job(doc, settings);
  job.SetProfiling(true);
  const auto start = std::chrono::steady_clock::now();
  if (!job.Start()) return false;
  job.Resize(gl.Width(), gl.Height());
  while (job.Step()) {
  }
  job.Finish();
  const double total = Seconds(std::chrono::steady_clock::now() - start).count();
  const RenderTimes& t = job.Times();
  std::printf(
      "%-5s %3d frames: %.4f s/frame (%.2f frames/s); draw %.0f%%, read back %.0f%%, "
      "reduce %.0f%%, encode %.0f%%, rest %.0f%%; %ju bytes\n",
      format == kRenderMpeg  ? "MPEG"
      : format == kRenderMp4 ? "MP4"
                             : "GIF",
      job.FramesWritten(), total / job.FramesWritten(), job.FramesWritten() / total,
      Share(t.draw, total), Share(t.readBack, total), Share(t.scale, total), Share(t.encode, total),
      100 - Share(t.draw + t.readBack + t.scale + t.encode, total),
      static_cast<uintmax_t>(std::filesystem::file_size(output)));
  return !job.Failed();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string scene = argc > 1 ? argv[1] : MODRA_SOURCE_DIR "/examples/demo.knf";
  SetHeapPolicy();
  av_log_set_level(AV_LOG_ERROR);
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  std::printf("%s at 256 x 256, 2x oversampling\n", scene.c_str());
  bool ok = RenderOnce(scene, kRenderMpeg, (dir / "render_bench.mpg").string());
  ok = RenderOnce(scene, kRenderMp4, (dir / "render_bench.mp4").string()) && ok;
  ok = RenderOnce(scene, kRenderGif, (dir / "render_bench.gif").string()) && ok;
  return ok ? 0 : 1;
}
