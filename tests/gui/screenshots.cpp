// Pictures of the main window in every edit mode, for people to look at
// (tools/screenshots.sh): the demo scene, one PNG per mode.
#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTest>

#include "app/main_window.h"
#include "app/ogl_view.h"
#include "gui_test.h"

namespace modra::test {

int WriteScreenshots(const QString& folder) {
  QSettings().clear();
  QDir().mkpath(folder);
  FakePrompts prompts;
  MainWindow window(&prompts);
  window.resize(1200, 800);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  if (!window.document().openFile(DemoScene())) return 1;
  int failures = 0;
  for (int mode = 0; mode < 13; ++mode) {
    window.setEditMode(mode);
    QTest::qWait(100);  // let the coalesced refresh and the repaint run
    const QImage picture = window.grab().toImage();
    const std::string_view menu = EditModeMenuText(static_cast<EditMode>(mode));
    QString name = QString::fromUtf8(menu.data(), static_cast<qsizetype>(menu.size()));
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    const QString path = QDir(folder).filePath(
        QStringLiteral("%1-%2.png").arg(mode, 2, 10, QLatin1Char('0')).arg(name));
    if (!picture.save(path)) ++failures;
  }
  window.document().doc().modified = false;
  return failures;
}

}  // namespace modra::test
