#include "app/application.h"

#include <QApplication>
#include <QLocale>
#include <QSurfaceFormat>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>

extern "C" {
#include <libavutil/log.h>
}

#include "app/main_window.h"

namespace modra {

void configureApplication() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(24);
  QSurfaceFormat::setDefaultFormat(format);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // Numbers look the same under every locale: spin boxes and progress
  // bars would otherwise write "1.000" for a thousand under de_DE.
  QLocale::setDefault(QLocale::c());
  QCoreApplication::setOrganizationName(QStringLiteral("Lon's Vexmoor"));
  QCoreApplication::setApplicationName(QStringLiteral("Modra"));
  // The encoders' own reports of every movie would fill the terminal the
  // editor was started from; their errors reach the user through ours.
  av_log_set_level(AV_LOG_ERROR);
}

namespace {

bool HaveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int RunEditor(int argc, char** argv, const triangulation::DebugSettings& triangulatorDebug) {
  if (!HaveDisplay()) {
    std::fputs(
        "modra: no display to open the editor on (DISPLAY is not set); "
        "the commands of 'modra --help' work without one\n",
        stderr);
    return 1;
  }
  configureApplication();
  QApplication app(argc, argv);
  // QApplication has put the user's locale in force. The core reads and
  // writes numbers as the C locale does whatever is in force; this keeps
  // any C library call outside it (a GL driver's, a codec's) in step.
  std::setlocale(LC_NUMERIC, "C");
  MainWindow window(nullptr, triangulatorDebug);
  window.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    const QString file = args.at(1);
    // After the first paint, so that a slow load shows the window first.
    QTimer::singleShot(0, &window, [&window, file] { window.document().openFile(file); });
  }
  return app.exec();
}

}  // namespace modra
