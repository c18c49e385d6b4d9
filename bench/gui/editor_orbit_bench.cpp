// Frames per second while the editor's view turns round a scene, as in a
// Rotate View drag: every frame turns the current view by 2 degrees and
// asks for the next paint as soon as the last one has reached the window.
// Two scenes: the demo scene, and a torus of 1,000,000 triangles read from
// a Wavefront file written beforehand (one model, as an import makes it).
// Each scene is turned twice, drawn the old way (every vertex sent each
// frame as client arrays) and from buffer objects, and the two rates are
// printed side by side, with the process's memory after each.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
//   -DMODRA_BENCH=ON && cmake --build build/release --target editor_orbit_bench &&
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
//   build/release/bench/gui/editor_orbit_bench [--path=both|arrays|buffers] [FILE ...]
// With files, those are measured instead. --path=arrays or buffers turns
// each scene one way only, so that the memory printed (VmHWM above all)
// is that path's alone. Each scene is drawn a few times before the clock
// starts; then frames are counted for about three seconds (at least five
// frames). bench/draw_ratios.sh prints the ratios.
#include <sys/resource.h>
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
#include <cstring>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

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
  double cpuMs = 0;  // of every thread of the process, llvmpipe's too
};

// User and system time of the whole process: on a busy machine the wall
// clock counts the other programs' time too.
double ProcessCpuMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// Turns the view of `window` frame after frame until the clock has run.
Figures Orbit(modra::MainWindow& window) {
  modra::Document& doc = window.document().doc();
  modra::COglView* view = window.view();
  Figures f;
  int drawn = 0;
  QElapsedTimer clock;
  double cpuStart = 0;
  // A loop of its own: the application's quit() would close the window.
  QEventLoop loop;
  QObject::connect(view, &QOpenGLWidget::frameSwapped, &loop, [&] {
    ++drawn;
    if (drawn == kWarmUpFrames) {
      clock.start();
      cpuStart = ProcessCpuMs();
    }
    if (drawn > kWarmUpFrames) {
      f.frames = drawn - kWarmUpFrames;
      f.ms = clock.elapsed();
      f.cpuMs = ProcessCpuMs() - cpuStart;
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

// VmRSS and VmHWM of this process, in MB.
std::string Memory() {
  std::ifstream status("/proc/self/status");
  std::string line, out;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0 || line.rfind("VmHWM:", 0) == 0) {
      const long kb = std::strtol(line.c_str() + 6, nullptr, 10);
      if (!out.empty()) out += ", ";
      out += line.substr(0, 5) + " " + std::to_string(kb / 1024) + " MB";
    }
  return out;
}

const char* PathName(modra::DrawPath path) {
  return path == modra::DrawPath::kBuffers ? "buffers" : "arrays";
}

}  // namespace

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  modra::configureApplication();
  QApplication app(argc, argv);
  QStringList files = QApplication::arguments().mid(1);
  std::vector<modra::DrawPath> paths = {modra::DrawPath::kClientArrays, modra::DrawPath::kBuffers};
  if (!files.isEmpty() && files.front().startsWith(QStringLiteral("--path="))) {
    const QString which = files.takeFirst().mid(7);
    if (which == QStringLiteral("arrays"))
      paths = {modra::DrawPath::kClientArrays};
    else if (which == QStringLiteral("buffers"))
      paths = {modra::DrawPath::kBuffers};
    else if (which != QStringLiteral("both")) {
      std::fprintf(stderr, "editor_orbit_bench: --path is both, arrays or buffers\n");
      return 2;
    }
  }
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
    std::printf("%s: %ld triangles (read in %lld ms), view %dx%d\n",
                qPrintable(QFileInfo(file).fileName()), triangles, static_cast<long long>(loadMs),
                window.view()->width(), window.view()->height());
    for (modra::DrawPath path : paths) {
      window.view()->setDrawPath(path);
      const Figures f = Orbit(window);
      std::printf("  %-7s: %d frames in %lld ms, %.1f fps, %.1f ms a frame (%.1f ms CPU); %s\n",
                  PathName(path), f.frames, static_cast<long long>(f.ms), 1000.0 * f.frames / f.ms,
                  static_cast<double>(f.ms) / f.frames, f.cpuMs / f.frames, Memory().c_str());
      std::fflush(stdout);
    }
  }
  return 0;
}
