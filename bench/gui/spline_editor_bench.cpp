// Redraws per second of the spline editor's curves: one group whose
// translation has 100 keys, shown in the Animation Spline Editor at about
// 800x600, the curve view painted again and again, as while a drag moves
// a point.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
//   -DMODRA_BENCH=ON && cmake --build build/release --target spline_editor_bench &&
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
//   build/release/bench/gui/spline_editor_bench
// A few paints before the clock starts; then paints are counted for about
// three seconds (at least five). Each paint is the whole picture reaching
// the window, not only the drawing into the back buffer.
#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QWindow>
#include <cmath>
#include <cstdio>

#include "anim/keying.h"
#include "anim/playback.h"
#include "app/application.h"
#include "app/gui_document.h"
#include "app/spline_editor_window.h"
#include "scene/group_fields.h"
#include "scene/scene.h"

namespace {

constexpr int kKeys = 100;
constexpr int kFramesPerKey = 10;
constexpr int kWarmUpFrames = 3;
constexpr int kMinFrames = 5;
constexpr qint64 kMeasureMs = 3000;

// A triangle keyed at frame 0 and every kFramesPerKey frames after it, on
// a wave per component so no curve is flat; the group is selected.
void AnimateOneGroup(modra::Document& doc) {
  modra::Scene& s = doc.scene;
  const int g = modra::NewGroup(s, "Wave");
  modra::DisplayPrimitive triangle;
  triangle.type = modra::kTriangles;
  triangle.vertexCount = 3;
  triangle.vertices = {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1};
  s.groups[g].primitives.push_back(triangle);
  s.groups[g].flags |= modra::Enabled;
  s.selectedGroup = g;
  // Keying the first frame after 0 keys frame 0 too.
  for (int k = 1; k < kKeys; ++k) {
    modra::GoToFrame(doc, k * kFramesPerKey);
    modra::EnsureKeyed(doc, g, modra::kKeyTranslation);
    const float t = 0.3f * static_cast<float>(k);
    s.groups[g].translation = {std::sin(t), 2 * std::cos(0.7f * t), 0.1f * t};
    modra::BuildGroupMatrix(s, g);
    modra::StoreKey(doc, g, modra::kKeyTranslation);
  }
  modra::GoToFrame0(doc);
}

}  // namespace

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  modra::configureApplication();
  QApplication app(argc, argv);
  modra::DialogPrompts prompts(nullptr, nullptr);
  modra::GuiDocument document(prompts);
  AnimateOneGroup(document.doc());

  modra::SplineEditorWindow editor(document);
  editor.setAttribute(Qt::WA_DeleteOnClose, false);
  editor.resize(800, 600);
  editor.show();
  QElapsedTimer wait;
  wait.start();
  while (!(editor.windowHandle() && editor.windowHandle()->isExposed())) {
    if (wait.elapsed() > 10000) {
      std::fprintf(stderr, "spline_editor_bench: the window never showed\n");
      return 1;
    }
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  const size_t keys = editor.editor().curve.keys.size();
  if (keys != kKeys) {
    std::fprintf(stderr, "spline_editor_bench: %zu keys loaded instead of %d\n", keys, kKeys);
    return 1;
  }

  modra::SplineCurveView* view = editor.curveView();
  for (int i = 0; i < kWarmUpFrames; ++i)
    view->repaint();
  int frames = 0;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < kMeasureMs || frames < kMinFrames) {
    view->repaint();
    ++frames;
    QApplication::processEvents();
  }
  const qint64 ms = clock.elapsed();
  std::printf(
      "spline editor, %d keys: %.1f frames/s (%d frames in %lld ms, view %dx%d, %.2f ms a frame)\n",
      kKeys, 1000.0 * frames / ms, frames, static_cast<long long>(ms), view->width(),
      view->height(), static_cast<double>(ms) / frames);
  return 0;
}
