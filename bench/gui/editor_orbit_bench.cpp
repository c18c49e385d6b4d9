// Frames per second while the editor's view turns round a scene, as in a
// Rotate View drag: every frame turns the current view by 2 degrees and
// asks for the next paint as soon as the last one has reached the window.
// Two scenes: the demo scene, and a torus of 1,000,000 triangles read from
// a Wavefront file written beforehand (one model, as an import makes it).
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
//   -DMODRA_BENCH=ON && cmake --build build/release --target editor_orbit_bench &&
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
//   build/release/bench/gui/editor_orbit_bench [FILE ...]
// With files, those are measured instead. Each scene is drawn a few times
// before the clock starts; then frames are counted for about three seconds
// (at least five frames).
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "app/application.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"

namespace {

constexpr int kWarmUpFrames = 3;
constexpr int kMinFrames = 5;
constexpr qint64 kMeasureMs = 3000;

// A torus of rings x segments quads, each two triangles, as OBJ text.
bool WriteTorus(const QString& path, int rings, int segments) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray text;
  text.reserve(64 * 1024 * 1024);
  char line[128];
  for (int r = 0; r < rings; ++r) {
    const double u = 2 * std::numbers::pi * r / rings;
    for (int s = 0; s < segments; ++s) {
      const double v = 2 * std::numbers::pi * s / segments;
      const double w = 1 + 0.35 * std::cos(v);
      const int n = std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", w * std::cos(u),
                                  0.35 * std::sin(v), w * std::sin(u));
      text.append(line, n);
    }
  }
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < segments; ++s) {
      const int a = r * segments + s + 1, b = r * segments + (s + 1) % segments + 1;
      const int c = ((r + 1) % rings) * segments + s + 1,
                d = ((r + 1) % rings) * segments + (s + 1) % segments + 1;
      const int n = std::snprintf(line, sizeof line, "f %d %d %d\nf %d %d %d\n", a, c, d, a, d, b);
      text.append(line, n);
    }
  return file.write(text) == text.size();
}

long Triangles(const modra::DisplayPrimitive& p) {
  const long n = p.vertexCount;
  switch (p.type) {
    case modra::kTriangles:
      return n / 3;
    case modra::kQuads:
      return n / 4 * 2;
    case modra::kTriangleStrip:
    case modra::kQuadStrip:
      return n > 2 ? n - 2 : 0;
  }
  return 0;
}

struct Figures {
  int frames = 0;
  qint64 ms = 0;
};

// Turns the view of `window` frame after frame until the clock has run.
Figures Orbit(modra::MainWindow& window) {
  modra::Document& doc = window.document().doc();
  modra::COglView* view = window.view();
  Figures f;
  int drawn = 0;
  QElapsedTimer clock;
  // A loop of its own: the application's quit() would close the window.
  QEventLoop loop;
  QObject::connect(view, &QOpenGLWidget::frameSwapped, &loop, [&] {
    ++drawn;
    if (drawn == kWarmUpFrames) clock.start();
    if (drawn > kWarmUpFrames) {
      f.frames = drawn - kWarmUpFrames;
      f.ms = clock.elapsed();
      if (f.ms >= kMeasureMs && f.frames >= kMinFrames) {
        loop.quit();
        return;
      }
    }
    modra::ViewSetting& v = doc.display.views[doc.display.currentView];
    v.rotation[1] = std::fmod(v.rotation[1] + 2, 360.0f);
    view->update();
  });
  view->update();
  loop.exec();
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  modra::configureApplication();
  QApplication app(argc, argv);
  QStringList files = QApplication::arguments().mid(1);
  QTemporaryDir dir;
  if (files.isEmpty()) {
    const QString torus = dir.filePath(QStringLiteral("torus.obj"));
    if (!WriteTorus(torus, 1000, 500)) {
      std::fprintf(stderr, "editor_orbit_bench: can't write %s\n", qPrintable(torus));
      return 1;
    }
    files = {QStringLiteral(MODRA_SOURCE_DIR "/examples/demo.knf"), torus};
  }
  modra::MainWindow window;
  window.show();
  for (const QString& file : files) {
    QElapsedTimer load;
    load.start();
    if (!window.document().openFile(file)) {
      std::fprintf(stderr, "editor_orbit_bench: can't open %s\n", qPrintable(file));
      return 1;
    }
    const qint64 loadMs = load.elapsed();
    const modra::Scene& s = window.document().doc().scene;
    long triangles = 0;
    for (int g = 0; g < static_cast<int>(s.groups.size()); ++g)
      if (modra::IsLiveGroup(s, g))
        for (const modra::DisplayPrimitive& p : s.groups[g].primitives)
          triangles += Triangles(p);
    const Figures f = Orbit(window);
    std::printf(
        "%s: %ld triangles (read in %lld ms), view %dx%d: %d frames in %lld ms, "
        "%.1f fps, %.1f ms a frame\n",
        qPrintable(QFileInfo(file).fileName()), triangles, static_cast<long long>(loadMs),
        window.view()->width(), window.view()->height(), f.frames, static_cast<long long>(f.ms),
        1000.0 * f.frames / f.ms, static_cast<double>(f.ms) / f.frames);
  }
  return 0;
}
