// Runs every registered test class in one process; the exit status is the
// number of failed classes. A first argument naming a class (TestPanels)
// runs that class alone; Qt Test's own arguments (-v2, function names)
// follow it and reach every class that runs.
#include <dlfcn.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include "app/application.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "gui_test.h"

namespace modra::test {

std::vector<TestFactory>& TestClasses() {
  static std::vector<TestFactory> classes;
  return classes;
}

QString WriteCube(const QTemporaryDir& dir, const QString& name) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return QString();
  file.write(
      "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
      "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n");
  return path;
}

int WriteScreenshots(const QString& folder);

QByteArray Dump(const QString& path, const QStringList& options) {
  QProcess dump;
  dump.setWorkingDirectory(QFileInfo(path).absolutePath());
  dump.start(QStringLiteral(MODRA_EXECUTABLE), QStringList{QStringLiteral("dump"), path} + options);
  if (!dump.waitForFinished(60000) || dump.exitStatus() != QProcess::NormalExit ||
      dump.exitCode() != 0)
    return {};
  return dump.readAllStandardOutput();
}

bool WaitForRefresh(MainWindow& window) {
  return QTest::qWaitFor([&] { return !window.document().refreshPending(); });
}

void Retype(QWidget* field, const QString& text) {
  // A person waits for the window to show what happened before typing.
  if (auto* window = qobject_cast<MainWindow*>(field->window())) WaitForRefresh(*window);
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(field, text);
}

int PickVase(MainWindow& window, int mode) {
  window.setEditMode(0);
  QTest::mouseClick(window.view(), Qt::LeftButton, {}, window.view()->rect().center());
  window.setEditMode(mode);
  WaitForRefresh(window);
  return window.document().doc().scene.selectedGroup;
}

// Out of line, where MainWindow is complete, as its owner's destructor
// must be.
EditorTest::EditorTest(EditorStart start) : start_(start) {}
EditorTest::~EditorTest() = default;

Document& EditorTest::doc() {
  return window_->document().doc();
}

Scene& EditorTest::scene() {
  return doc().scene;
}

COglView* EditorTest::view() {
  return window_->view();
}

void EditorTest::init() {
  window_ = NewEditor(prompts_, start_);
  QVERIFY(window_);
}

void EditorTest::cleanup() {
  if (window_) doc().modified = false;
  window_.reset();
}

QString ShownTitle(const QWidget& window) {
  QString title = window.windowTitle();
  return title.replace(QStringLiteral("[*]"),
                       window.isWindowModified() ? QStringLiteral("*") : QString());
}

QString DemoScene() {
  return QStringLiteral(MODRA_SOURCE_DIR "/examples/demo.knf");
}

std::unique_ptr<MainWindow> NewEditor(FakePrompts& prompts, EditorStart start) {
  QSettings().clear();
  prompts = FakePrompts{};
  auto window = std::make_unique<MainWindow>(&prompts);
  if (start == EditorStart::kHidden) return window;
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
  if (start == EditorStart::kShown) return window;
  if (!window->document().openFile(DemoScene())) return nullptr;
  // The opening's own refresh is done before the test goes on.
  if (!QTest::qWaitFor([&] { return ShownTitle(*window).endsWith(QStringLiteral("demo.knf")); }))
    return nullptr;
  return window;
}

}  // namespace modra::test

int main(int argc, char** argv) {
  // The GL driver is unloaded when the display closes, before the leak
  // check runs; kept loaded, what it leaks is reported against it (and
  // suppressed) instead of against an address no library owns any more.
  for (const char* driver : {"libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
    dlopen(driver, RTLD_NOW | RTLD_NODELETE);
  // Settings go to a test location that the tests clear.
  QStandardPaths::setTestModeEnabled(true);
  modra::configureApplication();
  QApplication app(argc, argv);
  const QString screenshots = qEnvironmentVariable("MODRA_SCREENSHOT_DIR");
  if (!screenshots.isEmpty()) return modra::test::WriteScreenshots(screenshots);
  QString only;
  if (argc > 1 && QByteArray(argv[1]).startsWith("Test")) {
    only = QString::fromLatin1(argv[1]);
    argv[1] = argv[0];
    --argc;
    ++argv;
  }
  int failed = 0;
  for (const modra::test::TestFactory& make : modra::test::TestClasses()) {
    const std::unique_ptr<QObject> test = make();
    const QString name = QString::fromLatin1(test->metaObject()->className());
    if (!only.isEmpty() && !name.endsWith(QStringLiteral("::") + only)) continue;
    if (QTest::qExec(test.get(), argc, argv) != 0) ++failed;
  }
  return failed;
}
