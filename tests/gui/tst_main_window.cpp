// The window's commands: files through the File menu with their questions,
// the title, the recent-file list, the animation bar's boxes, action
// enabling and the Edit Mode panels.
#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>

#include "app/gui_document.h"
#include "app/main_window.h"
#include "document/group_edit.h"
#include "gui_test.h"

namespace modra::test {

namespace {

const QString kErase =
    QStringLiteral("The current scene has not been saved.  Is it ok to erase it?");
const QString kQuit =
    QStringLiteral("The current scene has not been saved.  Is it ok to quit without saving?");

QStringList ItemTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* a : menu->actions())
    if (!a->isSeparator() && a->isVisible()) texts << a->text().remove(QLatin1Char('&'));
  return texts;
}

QMenu* Menu(MainWindow& w, const QString& title) {
  for (QAction* a : w.menuBar()->actions())
    if (a->text().remove(QLatin1Char('&')) == title) return a->menu();
  return nullptr;
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT
 private:
  FakePrompts prompts_;
  std::unique_ptr<MainWindow> window_;
  QTemporaryDir dir_;

  MainWindow& w() { return *window_; }
  Document& doc() { return window_->document().doc(); }
  QLineEdit* box(const char* name) { return w().findChild<QLineEdit*>(name); }
  void trigger(const char* name) {
    QAction* a = w().action(QString::fromLatin1(name));
    QVERIFY2(a, name);
    a->trigger();
  }
  bool openCube() {
    prompts_.files << WriteCube(dir_);
    trigger("Open");
    return !doc().modified && doc().scene.rootHead != -1;
  }

 private slots:
  void init() {
    QSettings().clear();
    prompts_ = FakePrompts{};
    window_ = std::make_unique<MainWindow>(&prompts_);
  }
  void cleanup() {
    doc().modified = false;  // no quit question at the end
    window_.reset();
  }

  void menusHoldEveryCommand_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("File") << "File"
                          << QStringList{"New", "Open ...", "Append ...", "Load Wavefront Material",
                                         "Save", "Save As ...", "Save As Source ...",
                                         "Export to Wavefront ...", "Export to SkyLoom ...",
                                         "Render Scene to File ...", "Exit"};
    QTest::newRow("Edit") << "Edit"
                          << QStringList{"Cut", "Copy", "Paste", "Group", "Ungroup", "Select All",
                                         "Deselect All"};
    QTest::newRow("View") << "View"
                          << QStringList{"Toolbar", "Status Bar", "Reset View", "Wire Frame",
                                         "Solid", "Textured", "Show Normals", "Hide Normals"};
    QTest::newRow("Animation")
        << "Animation"
        << QStringList{"Cut Current Key Frame", "Copy Current Key Frame", "Paste Key Frame",
                       "Remove Key Frame Info ...", "Copy Key to Range ...",
                       "Copy Keys in Range to Range ...", "Strech/Squeeze Key Frame ...",
                       "Edit Spline ..."};
    QTest::newRow("Options") << "Options"
                             << QStringList{"Set General Options ...", "Reverse Normals"};
    QTest::newRow("Edit Mode") << "Edit Mode"
                               << QStringList{"Selection", "Rotate View", "Translate View",
                                              "Translate Object", "Rotate Object",
                                              "Translate Center", "Rotate Center", "Color",
                                              "Create Objects", "Texture", "Scale Object",
                                              "Lights", "Camera"};
    QTest::newRow("Help") << "Help"
                          << QStringList{"About modra...", "General Help ...",
                                         "Keyboard Short Cuts .."};
  }
  void menusHoldEveryCommand() {
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QMenu* m = Menu(w(), menu);
    QVERIFY(m);
    QCOMPARE(ItemTexts(m), items);
  }

  void standardShortcuts() {
    QCOMPARE(w().action("New")->shortcut(), QKeySequence(QKeySequence::New));
    QCOMPARE(w().action("Open")->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(w().action("Save")->shortcut(), QKeySequence(QKeySequence::Save));
    QCOMPARE(w().action("Cut")->shortcut(), QKeySequence(QKeySequence::Cut));
    QCOMPARE(w().action("Copy")->shortcut(), QKeySequence(QKeySequence::Copy));
    QCOMPARE(w().action("Paste")->shortcut(), QKeySequence(QKeySequence::Paste));
    QCOMPARE(w().action("SelectAll")->shortcut(), QKeySequence(QKeySequence::SelectAll));
  }

  void startsAsNewScene() {
    QCOMPARE(w().windowTitle(), QStringLiteral("Modra: new.knf"));
    QCOMPARE(w().editMode(), 1);
    QCOMPARE(w().findChild<QStackedWidget*>("MainWindow_Panels")->currentWidget()->objectName(),
             QStringLiteral("CFormViewer"));
    QCOMPARE(box("AnimationBar_Name")->text(), QStringLiteral("Nothing Selected"));
    QCOMPARE(box("AnimationBar_Frame")->text(), QStringLiteral("0"));
  }

  void openAModelNamesTheDocumentNative() {
    QVERIFY(openCube());
    QCOMPARE(prompts_.questions, QStringList{});  // nothing to erase
    QCOMPARE(prompts_.filters.size(), 1);
    QVERIFY(prompts_.filters[0].startsWith(
        "All Supported Formats (*.knf *.obj *.cob *.3ds *.dxf);;Kelmar's Native Format (*.knf);;"));
    QVERIFY(prompts_.filters[0].endsWith(";;All Files (*)"));
    QVERIFY(doc().scene.rootHead != -1);
    QTRY_COMPARE(w().windowTitle(), "Modra: " + dir_.filePath("cube.knf"));
    QCOMPARE(QString::fromStdString(doc().name), dir_.filePath("cube.knf"));
    QVERIFY(prompts_.messages.isEmpty());
  }

  void recentFilesKeepTheLastFour() {
    for (int i = 0; i < 5; ++i) {
      prompts_.files << WriteCube(dir_, QStringLiteral("m%1.obj").arg(i));
      trigger("Open");
    }
    QStringList recent;
    for (int i = 0; i < 4; ++i)
      recent << w().action(QStringLiteral("Recent%1").arg(i))->text();
    QCOMPARE(recent, (QStringList{"&1 m4.obj", "&2 m3.obj", "&3 m2.obj", "&4 m1.obj"}));
    QVERIFY(ItemTexts(Menu(w(), "File")).contains("1 m4.obj"));
    // Choosing one opens it.
    w().action("Recent3")->trigger();
    QTRY_COMPARE(w().windowTitle(), "Modra: " + dir_.filePath("m1.knf"));
  }

  void eraseQuestionGuardsUnsavedWork() {
    QVERIFY(openCube());
    MarkModified(doc());
    const int root = doc().scene.rootHead;
    prompts_.answers << false;
    trigger("New");
    QCOMPARE(prompts_.questions, QStringList{kErase});
    QCOMPARE(doc().scene.rootHead, root);
    QVERIFY(doc().modified);
    // Open asks the same, before any dialog.
    trigger("Open");
    QCOMPARE(prompts_.questions.size(), 2);
    QCOMPARE(prompts_.filters.size(), 1);
    prompts_.answers << true;
    trigger("New");
    QCOMPARE(doc().scene.rootHead, -1);
    QVERIFY(!doc().modified);
    QTRY_COMPARE(w().windowTitle(), QStringLiteral("Modra: new.knf"));
  }

  void saveAsKeepsTheTitle() {
    QVERIFY(openCube());
    const QString title = "Modra: " + dir_.filePath("cube.knf");
    QTRY_COMPARE(w().windowTitle(), title);
    MarkModified(doc());
    prompts_.files << dir_.filePath("copy");
    trigger("SaveAs");
    QVERIFY(QFileInfo::exists(dir_.filePath("copy.knf")));
    QVERIFY(!doc().modified);
    QCOMPARE(prompts_.filters.last(),
             QStringLiteral("Kelmar's Native Format (*.knf)"));
    QTRY_COMPARE(w().windowTitle(), title);
    QCOMPARE(QString::fromStdString(doc().name), dir_.filePath("cube.knf"));
    // Save writes the document's own name.
    trigger("Save");
    QVERIFY(QFileInfo::exists(dir_.filePath("cube.knf")));
  }

  void exportFailureIsReported() {
    QVERIFY(openCube());
    prompts_.files << QStringLiteral("/nonexistent-folder/scene");
    trigger("ExportWavefront");
    QCOMPARE(prompts_.messages.last(), QStringLiteral("Can't save to /nonexistent-folder/scene.obj"));
    prompts_.files << dir_.filePath("scene.gfx");
    trigger("ExportSkyloom");
    QVERIFY(QFileInfo::exists(dir_.filePath("scene.gfx")));
  }

  void quitAsksWhenModified() {
    w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
    MarkModified(doc());
    prompts_.answers << false;
    QVERIFY(!w().close());
    QCOMPARE(prompts_.questions, QStringList{kQuit});
    QVERIFY(w().isVisible());
  }

  void frameBoxStepsAndHolds() {
    QLineEdit* frame = box("AnimationBar_Frame");
    frame->setFocus();
    frame->selectAll();
    QTest::keyClicks(frame, "5");
    QCOMPARE(doc().scene.anim.currentFrame, 5);
    QTest::keyClicks(frame, "+");
    QCOMPARE(doc().scene.anim.currentFrame, 6);
    QCOMPARE(frame->text(), QStringLiteral("6"));
    QTest::keyClicks(frame, "-");
    QCOMPARE(doc().scene.anim.currentFrame, 5);
    frame->selectAll();
    QTest::keyClicks(frame, "12000");
    QCOMPARE(doc().scene.anim.currentFrame, 9999);
    QTRY_COMPARE(frame->text(), QStringLiteral("9999"));
  }

  void nameBoxRenamesTheCurrentGroup() {
    QLineEdit* name = box("AnimationBar_Name");
    name->setFocus();
    QTest::keyClicks(name, "x");
    QCOMPARE(name->text(), QStringLiteral("Nothing Selected"));
    QVERIFY(!doc().modified);

    QVERIFY(openCube());
    trigger("SelectAll");
    const int g = doc().scene.selectedGroup;
    QVERIFY(g != -1);
    QTRY_COMPARE(name->text(), QString::fromStdString(doc().scene.groups[g].name));
    name->selectAll();
    QTest::keyClicks(name, "Lid");
    QCOMPARE(QString::fromStdString(doc().scene.groups[g].name), QStringLiteral("Lid"));
    QVERIFY(doc().modified);
  }

  void actionsFollowTheSelection() {
    QVERIFY(openCube());
    QTRY_VERIFY(!w().action("Cut")->isEnabled());
    QVERIFY(!w().action("Paste")->isEnabled());
    QVERIFY(!w().action("ReverseNormals")->isEnabled());
    QVERIFY(w().action("RenderScene")->isEnabled());  // with or without a selection
    trigger("SelectAll");
    QTRY_VERIFY(w().action("Cut")->isEnabled());
    QVERIFY(w().action("ReverseNormals")->isEnabled());
    trigger("Copy");
    QTRY_VERIFY(w().action("Paste")->isEnabled());
    trigger("DeselectAll");
    QTRY_VERIFY(!w().action("Copy")->isEnabled());
    QCOMPARE(box("AnimationBar_Name")->text(), QStringLiteral("Nothing Selected"));
  }

  void displayModeIsChecked() {
    trigger("WireFrame");
    QCOMPARE(doc().display.displayMode, 0);
    QTRY_VERIFY(w().action("WireFrame")->isChecked());
    QVERIFY(!w().action("Textured")->isChecked());
    trigger("ShowNormals");
    QVERIFY(doc().display.showNormals);
    trigger("HideNormals");
    QVERIFY(!doc().display.showNormals);
  }

  void editModeSwitchesPanels_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("panel");
    QTest::newRow("Selection") << 0 << "CFormPick";
    QTest::newRow("Rotate View") << 1 << "CFormViewer";
    QTest::newRow("Translate View") << 2 << "CFormViewerTrans";
    QTest::newRow("Translate Object") << 3 << "CFormObjTrans";
    QTest::newRow("Color") << 7 << "CFormColor";
    QTest::newRow("Camera") << 12 << "CFormCamera";
  }
  void editModeSwitchesPanels() {
    QFETCH(int, mode);
    QFETCH(QString, panel);
    w().action(QStringLiteral("Mode%1").arg(mode))->trigger();
    QCOMPARE(w().editMode(), mode);
    QVERIFY(w().action(QStringLiteral("Mode%1").arg(mode))->isChecked());
    auto* panels = w().findChild<QStackedWidget*>("MainWindow_Panels");
    QCOMPARE(panels->currentWidget()->objectName(), panel);
    QCOMPARE(panels->count(), 13);  // built once, never re-created
  }
};

MODRA_GUI_TEST(TestMainWindow);

}  // namespace modra::test

#include "tst_main_window.moc"
