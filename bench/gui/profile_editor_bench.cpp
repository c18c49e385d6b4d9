// Frames per second while a point of an extrusion profile is dragged in
// the extrusion editor: every frame moves the pointer, which rebuilds the
// group and redraws the editor (and the main view behind it) before the
// next move. The profile has 200 points: an outline of 170 and five holes
// of 6, read from a file through the editor's File > Open.
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
//   -DMODRA_BENCH=ON && cmake --build build/release --target profile_editor_bench &&
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
//   build/release/bench/gui/profile_editor_bench
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "app/application.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/profile_editor_view.h"
#include "app/profile_editor_window.h"
#include "geometry/ext_file.h"
#include "profile/profile_editors.h"

namespace {

constexpr int kWarmUpFrames = 3;
constexpr int kMinFrames = 5;
constexpr qint64 kMeasureMs = 3000;

// A ring of n points about (cx, cy), counter-clockwise for the outline and
// clockwise for a hole.
void AddRing(modra::ExtrusionProfile& p, int n, float cx, float cy, float r, bool hole) {
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * (hole ? n - i : i) / n;
    p.points.push_back(cx + r * static_cast<float>(std::cos(a)));
    p.points.push_back(cy + r * static_cast<float>(std::sin(a)));
    p.corners.push_back(0);
    p.selected.push_back(0);
  }
  p.pointCounts.push_back(n);
}

void Send(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
  QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

}  // namespace

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  modra::configureApplication();
  QApplication app(argc, argv);
  QTemporaryDir dir;
  modra::ExtrusionProfile profile;
  AddRing(profile, 170, 0, 0, 0.9f, false);
  for (int h = 0; h < 5; ++h)
    AddRing(profile, 6, -0.5f + 0.25f * h, 0, 0.08f, true);
  const std::string path = dir.filePath(QStringLiteral("bench.ext")).toStdString();

  modra::MainWindow window;
  window.show();
  modra::GuiDocument& document = window.document();
  if (modra::WriteExtFile(profile, path, document) != 0 ||
      document.run(modra::CommandId::kCreateExtrusion) != 0 ||
      document.run(modra::CommandId::kExtOpen, modra::TextArgs(path)) != 0) {
    std::fprintf(stderr, "profile_editor_bench: can't make the profile\n");
    return 1;
  }
  modra::ProfileEditorWindow* editor = nullptr;
  QElapsedTimer wait;
  wait.start();
  while (!(editor = window.findChild<modra::ProfileEditorWindow*>()) && wait.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  if (!editor) {
    std::fprintf(stderr, "profile_editor_bench: the editor did not open\n");
    return 1;
  }
  editor->resize(1000, 640);
  modra::ProfileEditorView* view = editor->view();
  const modra::ExtEditor& ed = document.session().profiles().ext;

  // Press on the first point, then move round a small circle.
  const QPointF start = view->pixelOf(
      modra::ProfileToWindowX(modra::ProfileEditorKind::kExtrusion, ed.profile.points[0]),
      ed.profile.points[1]);
  int drawn = 0, frames = 0;
  qint64 ms = 0;
  QElapsedTimer clock;
  QEventLoop loop;
  bool pressed = false;
  QObject::connect(view, &QOpenGLWidget::frameSwapped, &loop, [&] {
    if (!pressed) {
      Send(view, QEvent::MouseButtonPress, start, Qt::LeftButton);
      pressed = true;
      return;
    }
    ++drawn;
    if (drawn == kWarmUpFrames) clock.start();
    if (drawn > kWarmUpFrames) {
      frames = drawn - kWarmUpFrames;
      ms = clock.elapsed();
      if (ms >= kMeasureMs && frames >= kMinFrames) {
        loop.quit();
        return;
      }
    }
    const double a = 0.3 * drawn;
    Send(view, QEvent::MouseMove, start + QPointF(10 * std::cos(a), 10 * std::sin(a)),
         Qt::LeftButton);
  });
  view->update();
  loop.exec();
  Send(view, QEvent::MouseButtonRelease, start, Qt::NoButton);
  std::printf(
      "profile editor drag, %zu points in %zu contours, editor %dx%d: %d frames in %lld ms, "
      "%.1f fps, %.1f ms a frame\n",
      ed.profile.corners.size(), ed.profile.pointCounts.size(), view->width(), view->height(),
      frames, static_cast<long long>(ms), 1000.0 * frames / ms, static_cast<double>(ms) / frames);
  return 0;
}
