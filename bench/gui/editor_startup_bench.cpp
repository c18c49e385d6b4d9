// How long the editor takes from main() to the first picture of a scene,
// the way `modra FILE` starts: the window is shown first, the file is read
// after its first paint, and the clock stops when the first frame holding
// the scene reaches the window. One start per process, so run it a few
// times:
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
//   -DMODRA_BENCH=ON && cmake --build build/release --target editor_startup_bench &&
//   for i in 1 2 3 4 5; do xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//   LIBGL_ALWAYS_SOFTWARE=1 build/release/bench/gui/editor_startup_bench; done
// Prints the milliseconds to the empty window's first frame, to the scene
// read, and to the first frame of the scene. The settings are a private
// test location, so a saved window layout never changes the figures.
#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                : QStringLiteral(MODRA_SOURCE_DIR "/examples/demo.knf");
  QStandardPaths::setTestModeEnabled(true);
  modra::configureApplication();
  QApplication app(argc, argv);
  modra::MainWindow window;
  qint64 firstFrame = -1, loaded = -1, sceneFrame = -1;
  QObject::connect(window.view(), &QOpenGLWidget::frameSwapped, &app, [&] {
    if (firstFrame < 0) firstFrame = clock.elapsed();
    if (loaded >= 0 && sceneFrame < 0) {
      sceneFrame = clock.elapsed();
      app.exit(0);
    }
  });
  window.show();
  QTimer::singleShot(0, &window, [&] {
    if (!window.document().openFile(file)) app.exit(1);
    loaded = clock.elapsed();
  });
  // A window that never paints is a failure, not a figure.
  QTimer::singleShot(60000, &app, [&] { app.exit(2); });
  const int status = app.exec();
  if (status != 0) {
    std::fprintf(stderr, "editor_startup_bench: %s\n",
                 status == 1 ? "the scene did not load" : "no frame within a minute");
    return 1;
  }
  std::printf("first frame %lld ms, scene read %lld ms, first frame of the scene %lld ms\n",
              static_cast<long long>(firstFrame), static_cast<long long>(loaded),
              static_cast<long long>(sceneFrame));
  return 0;
}
