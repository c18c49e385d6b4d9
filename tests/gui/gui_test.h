// What the editor's test classes share: registration with the one test
// binary, scripted answers to the editor's questions, and small files.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "app/user_prompts.h"

namespace modra {
class COglView;
class MainWindow;
struct Document;
struct Scene;
}  // namespace modra

namespace modra::test {

// Each test class registers itself; main() runs them all.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory>& TestClasses();
struct RegisterTest {
  explicit RegisterTest(TestFactory factory) { TestClasses().push_back(std::move(factory)); }
};
#define MODRA_GUI_TEST(Class)                                \
  static const ::modra::test::RegisterTest register##Class { \
    [] { return std::unique_ptr<QObject>(new Class); }       \
  }

// Answers from a script and remembers every question. A question with no
// scripted answer gets No, and a file dialog with none is cancelled.
class FakePrompts : public UserPrompts {
 public:
  void message(const QString& text) override { messages << text; }
  bool ask(const QString& question) override {
    questions << question;
    return answers.isEmpty() ? false : answers.takeFirst();
  }
  QString openFileName(const QString& filter) override {
    filters << filter;
    startFolders << startFolder();
    return files.isEmpty() ? QString() : files.takeFirst();
  }
  QString openFileNameIn(const QString& filter, const QString& folder) override {
    folders << folder;
    return openFileName(filter);
  }
  QString saveFileName(const QString& filter) override {
    ++askingSaveDialogs;
    return openFileName(filter);
  }
  QString saveFileNameFor(const QString& filter, const QString& suggestedName) override {
    suggestions << suggestedName;
    return saveFileName(filter);
  }
  QString fileToWrite(const QString& filter, const QString& suggestedName) override {
    suggestions << suggestedName;
    return openFileName(filter);
  }
  // The texture file comes from `files` unless the test drives the real
  // browser.
  void chooseTexture(const QString& folder, Chosen chosen) override {
    if (realBrowser)
      UserPrompts::chooseTexture(folder, std::move(chosen));
    else
      chooseTextureFile(folder, chosen);
  }
  bool realBrowser = false;

  // `folders` holds the folders named by the caller, `startFolders` where
  // the other dialogs opened.
  QStringList messages, questions, filters, suggestions, folders, startFolders;
  QList<bool> answers;
  QStringList files;
  // Save dialogs that would ask themselves before replacing a file.
  int askingSaveDialogs = 0;
};

// Whether a value the window worked out is the one expected, within what
// float arithmetic leaves over.
inline bool near(float a, float b, float tolerance = 1e-3f) {
  return std::abs(a - b) < tolerance;
}
// How far a drag of `px` pixels across a view `extent` pixels wide or high
// goes, in view units (the view spans -1 to 1).
inline float units(int px, int extent) {
  return 2.0f * static_cast<float>(px) / static_cast<float>(extent);
}

// A unit cube as a Wavefront file in `dir`.
QString WriteCube(const QTemporaryDir& dir, const QString& name = QStringLiteral("cube.obj"));
QString DemoScene();
// The title as the window manager shows it: Qt puts the unsaved mark in
// place of the "[*]" placeholder.
QString ShownTitle(const QWidget& window);

// What `modra dump` prints for a file (with `options` after it); empty when
// it fails. Run from the file's folder, where its textures are looked for
// first, so that the same scene in two folders, each with its textures,
// dumps the same.
QByteArray Dump(const QString& path, const QStringList& options = {});

// Waits until the window has refreshed from the document's last notice;
// false when it never did.
bool WaitForRefresh(MainWindow& window);
// Replaces a field's text as a person does: once the window shows what
// happened, select all, then type it one key at a time.
void Retype(QWidget* field, const QString& text);
// Picks the group at the middle of the view (the demo's vase) in Selection
// mode, then enters `mode` and waits for its panel; the current group, or -1.
int PickVase(MainWindow& window, int mode);

// A new main window answering through `prompts`, the settings cleared
// first: hidden, shown and exposed, or shown with the demo scene open and
// its refresh done. Null when the window could not be shown or the demo
// not opened.
enum class EditorStart { kHidden, kShown, kDemo };
std::unique_ptr<MainWindow> NewEditor(FakePrompts& prompts, EditorStart start);

// The fixture of the classes that drive one main window: a new window for
// each test function, started as `start` says, whose unsaved changes are
// dropped at the end so that closing it asks nothing.
class EditorTest : public QObject {
  Q_OBJECT
 public:
  explicit EditorTest(EditorStart start);
  ~EditorTest() override;

 protected:
  Document& doc();
  Scene& scene();
  COglView* view();

  FakePrompts prompts_;
  std::unique_ptr<MainWindow> window_;

 protected slots:
  // Qt Test calls these by name before and after each test function; a
  // class that needs more defines its own and calls them.
  void init();
  void cleanup();

 private:
  EditorStart start_;
};

}  // namespace modra::test
