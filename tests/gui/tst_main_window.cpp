// The window's commands: files through the File menu with their questions,
// the title, the recent-file list, the animation bar's boxes, action
// enabling and the Edit Mode panels.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>

#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/window_fit.h"
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

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QMenu* Menu(MainWindow& w, const QString& title) {
  for (QAction* a : w.menuBar()->actions())
    if (a->text().remove(QLatin1Char('&')) == title) return a->menu();
  return nullptr;
}

}  // namespace

class TestMainWindow : public EditorTest {
  Q_OBJECT
 public:
  TestMainWindow() : EditorTest(EditorStart::kHidden) {}

 private:
  QTemporaryDir dir_;

  MainWindow& w() { return *window_; }
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
  void startsAsNewScene() {
    QCOMPARE(ShownTitle(w()), QStringLiteral("Modra: new.knf"));
    QCOMPARE(w().editMode(), 1);
    QCOMPARE(w().findChild<QStackedWidget*>("MainWindow_Panels")->currentWidget()->objectName(),
             QStringLiteral("CFormViewer"));
    QCOMPARE(box("AnimationBar_Name")->text(), QStringLiteral("Nothing Selected"));
    QCOMPARE(box("AnimationBar_Frame")->text(), QStringLiteral("0"));
  }

  // A window larger than the screen (the default size on a small one, or a
  // layout saved on a larger monitor) shrinks to the free area; one that
  // hangs over an edge moves in; its frame keeps its size around it.
  void windowFitsTheFreeAreaOfItsScreen_data() {
    QTest::addColumn<QRect>("inner");
    QTest::addColumn<QRect>("fitted");
    // A frame of 4 at the sides and bottom and 30 at the top; the free
    // area is 1024 x 740 below a 28-pixel panel.
    QTest::newRow("fits") << QRect(100, 100, 600, 400) << QRect(100, 100, 600, 400);
    QTest::newRow("too large") << QRect(50, 50, 1100, 760) << QRect(4, 58, 1016, 706);
    QTest::newRow("over the right edge") << QRect(800, 100, 600, 400) << QRect(420, 100, 600, 400);
    QTest::newRow("above the top") << QRect(100, 0, 600, 400) << QRect(100, 58, 600, 400);
  }
  void windowFitsTheFreeAreaOfItsScreen() {
    QFETCH(QRect, inner);
    QFETCH(QRect, fitted);
    const QRect available(0, 28, 1024, 740);
    const QRect frame = inner.adjusted(-4, -30, 4, 4);
    QCOMPARE(FitWindow(frame, inner, available), fitted);
    QVERIFY(available.contains(fitted.adjusted(-4, -30, 4, 4)));
  }

  // The title carries the unsaved mark while there is unsaved work.
  void titleMarksUnsavedWork() {
    QVERIFY(openCube());
    const QString saved = "Modra: " + dir_.filePath("cube.knf");
    QTRY_COMPARE(ShownTitle(w()), saved);
    trigger("SelectAll");
    QTRY_VERIFY(w().action("Copy")->isEnabled());
    trigger("Copy");
    QTRY_VERIFY(w().action("Paste")->isEnabled());
    trigger("Paste");
    QTRY_COMPARE(ShownTitle(w()), saved + "*");
    trigger("Save");
    QTRY_COMPARE(ShownTitle(w()), saved);
  }

  void openAModelNamesTheDocumentNative() {
    QVERIFY(openCube());
    QCOMPARE(prompts_.questions, QStringList{});  // nothing to erase
    QCOMPARE(prompts_.filters.size(), 1);
    QVERIFY(prompts_.filters[0].startsWith(
        "All Supported Formats (*.knf *.obj *.cob *.3ds *.dxf *.gltf *.glb *.ply *.stl *.fbx "
        "*.dae *.3mf *.off *.x *.lwo *.ase *.blend);;"
        "Kelmar's Native Format (*.knf);;"));
    QVERIFY(prompts_.filters[0].endsWith(";;All Files (*)"));
    QVERIFY(doc().scene.rootHead != -1);
    QTRY_COMPARE(ShownTitle(w()), "Modra: " + dir_.filePath("cube.knf"));
    QCOMPARE(QString::fromStdString(doc().name), dir_.filePath("cube.knf"));
    QVERIFY(prompts_.messages.isEmpty());
  }

  // Every file dialog of the File menu opens in the folder of the document
  // being edited; a new scene's leave the dialog where it was.
  void fileDialogsOpenInTheDocumentsFolder() {
    trigger("Open");
    QVERIFY(openCube());
    const QStringList dialogs{"Append",       "LoadMaterial",    "SaveAs",
                              "SaveAsSource", "ExportWavefront", "ExportSkyloom"};
    for (const QString& name : dialogs)
      trigger(qPrintable(name));
    trigger("New");
    trigger("Open");
    QStringList expected{QString(), QString()};
    for (qsizetype i = 0; i < dialogs.size(); ++i)
      expected << dir_.path();
    expected << QString();
    QCOMPARE(prompts_.startFolders, expected);
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
    QTRY_COMPARE(ShownTitle(w()), "Modra: " + dir_.filePath("m1.knf"));
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
    QTRY_COMPARE(ShownTitle(w()), QStringLiteral("Modra: new.knf"));
  }

  // After Save As the file written is the document: the title shows it
  // and the next Save goes there, never over the file the user kept.
  void saveAsMakesTheWrittenFileTheDocument() {
    prompts_.files << WriteCube(dir_, QStringLiteral("kept.obj"));
    trigger("Open");
    const QString kept = dir_.filePath("kept.knf");
    QTRY_COMPARE(ShownTitle(w()), "Modra: " + kept);
    MarkModified(doc());
    prompts_.files << dir_.filePath("copy");
    trigger("SaveAs");
    QCOMPARE(prompts_.suggestions, QStringList{kept});
    QCOMPARE(prompts_.filters.last(), QStringLiteral("Kelmar's Native Format (*.knf)"));
    const QString copy = dir_.filePath("copy.knf");
    QVERIFY(QFileInfo::exists(copy));
    QVERIFY(!doc().modified);
    QTRY_COMPARE(ShownTitle(w()), "Modra: " + copy);
    QCOMPARE(QString::fromStdString(doc().name), copy);

    // An edit, then Save: the copy grows by a group, nothing else is written.
    const qint64 before = QFileInfo(copy).size();
    trigger("SelectAll");
    QTRY_VERIFY(w().action("Copy")->isEnabled());
    trigger("Copy");
    QTRY_VERIFY(w().action("Paste")->isEnabled());
    trigger("Paste");
    QVERIFY(doc().modified);
    trigger("Save");
    QVERIFY(!doc().modified);
    QVERIFY(QFileInfo(copy).size() > before);
    QVERIFY(!QFileInfo::exists(kept));
    QVERIFY(prompts_.questions.isEmpty());
  }

  // The model's native namesake may be another scene of the user's.
  void saveAsksBeforeReplacingTheModelsNamesake() {
    const QString namesake = dir_.filePath("twin.knf");
    QVERIFY(WriteFile(namesake, "mine"));
    prompts_.files << WriteCube(dir_, QStringLiteral("twin.obj"));
    trigger("Open");
    QVERIFY(doc().scene.rootHead != -1);
    QVERIFY(prompts_.questions.isEmpty());
    trigger("Save");  // no scripted answer: No
    const QString replace = namesake + QStringLiteral(" already exists.  Is it ok to replace it?");
    QCOMPARE(prompts_.questions, QStringList{replace});
    QCOMPARE(ReadFile(namesake), QByteArray("mine"));
    QVERIFY(prompts_.messages.isEmpty());

    prompts_.answers << true;
    trigger("Save");
    QCOMPARE(prompts_.questions.size(), 2);
    QVERIFY(ReadFile(namesake).size() > 4);
    // The file is the document's own now.
    MarkModified(doc());
    trigger("Save");
    QCOMPARE(prompts_.questions.size(), 2);
    QVERIFY(!doc().modified);
  }

  void failedSaveSaysSoAndKeepsTheWork() {
    QTemporaryDir gone;
    prompts_.files << WriteCube(gone);
    trigger("Open");
    QVERIFY(doc().scene.rootHead != -1);
    MarkModified(doc());
    const QString name = gone.filePath("cube.knf");
    QVERIFY(gone.remove());
    trigger("Save");
    QCOMPARE(prompts_.messages,
             QStringList{"Can't open " + name + " for write: No such file or directory"});
    QVERIFY(doc().modified);

    prompts_.files << QStringLiteral("/nonexistent-folder/scene");
    trigger("SaveAs");
    QCOMPARE(prompts_.messages.last(),
             QStringLiteral("Can't open /nonexistent-folder/scene.knf for write: No such file or "
                            "directory"));
    QVERIFY(doc().modified);
    QTRY_COMPARE(ShownTitle(w()), "Modra: " + name + "*");
    // The work is still guarded.
    trigger("New");
    QCOMPARE(prompts_.questions, QStringList{kErase});
    QVERIFY(doc().scene.rootHead != -1);
  }

  // Saved, reopened and saved again, the scene is what the command line's
  // dump showed of the original.
  void saveAndReopenKeepsTheScene() {
    // The scene file names its texture; the picture goes along with it.
    QVERIFY(QFile::copy(QFileInfo(DemoScene()).dir().filePath("marble.ppm"),
                        dir_.filePath("marble.ppm")));
    prompts_.files << DemoScene();
    trigger("Open");
    QVERIFY(doc().scene.rootHead != -1);
    const QString saved = dir_.filePath("resaved.knf");
    prompts_.files << saved;
    trigger("SaveAs");
    const QByteArray original = Dump(DemoScene());
    QVERIFY(!original.isEmpty());
    QCOMPARE(Dump(saved), original);

    // An edit through the name box survives the round trip.
    trigger("SelectAll");
    const int g = doc().scene.selectedGroup;
    QVERIFY(g != -1);
    QLineEdit* name = box("AnimationBar_Name");
    QTRY_COMPARE(name->text(), QString::fromStdString(doc().scene.groups[g].name));
    name->selectAll();
    QTest::keyClicks(name, "Renamed");
    trigger("Save");
    const QByteArray edited = Dump(saved);
    QVERIFY(edited != original);
    QVERIFY(edited.contains("\"Renamed\""));

    trigger("New");
    QVERIFY(prompts_.questions.isEmpty());  // saved: nothing to lose
    QCOMPARE(doc().scene.rootHead, -1);
    prompts_.files << saved << dir_.filePath("again.knf");
    trigger("Open");
    QTRY_COMPARE(ShownTitle(w()), "Modra: " + saved);
    trigger("SaveAs");
    QCOMPARE(Dump(dir_.filePath("again.knf")), edited);
  }

  void openRefusesAnUnknownFileType() {
    const QString notes = dir_.filePath("notes.txt");
    QVERIFY(WriteFile(notes, "v 0 0 0\n"));
    prompts_.files << notes;
    trigger("Open");
    QCOMPARE(prompts_.messages, QStringList{QStringLiteral("Unrecognized File Type")});
    QCOMPARE(doc().scene.rootHead, -1);
    // Append says the same and leaves the scene alone.
    QVERIFY(openCube());
    const int root = doc().scene.rootHead;
    prompts_.files << notes;
    trigger("Append");
    QCOMPARE(prompts_.messages.size(), 2);
    QCOMPARE(prompts_.messages.last(), QStringLiteral("Unrecognized File Type"));
    QCOMPARE(doc().scene.rootHead, root);
  }

  void exportFailureIsReported() {
    QVERIFY(openCube());
    prompts_.files << QStringLiteral("/nonexistent-folder/scene");
    trigger("ExportWavefront");
    QCOMPARE(prompts_.messages.last(),
             QStringLiteral("Can't save to /nonexistent-folder/scene.obj"));
    prompts_.files << dir_.filePath("scene.gfx");
    trigger("ExportSkyloom");
    QVERIFY(QFileInfo::exists(dir_.filePath("scene.gfx")));
  }

  void quitAsksWhenModified() {
    w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
    w().close();  // nothing to lose, nothing asked
    QVERIFY(prompts_.questions.isEmpty());
    QVERIFY(!w().isVisible());

    w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
    MarkModified(doc());
    prompts_.answers << false;
    QVERIFY(!w().close());  // the close box
    QCOMPARE(prompts_.questions, QStringList{kQuit});
    QVERIFY(w().isVisible());
    QVERIFY(doc().modified);
    prompts_.answers << true;
    trigger("Exit");
    QCOMPARE(prompts_.questions, (QStringList{kQuit, kQuit}));
    QVERIFY(!w().isVisible());
  }

  void frameBoxStepsAndHolds() {
    QLineEdit* frame = box("AnimationBar_Frame");
    frame->setFocus();
    frame->selectAll();
    QTest::keyClicks(frame, "5");
    QCOMPARE(doc().scene.anim.currentFrame, 5);
    QTest::keyClicks(frame, "+");
    QCOMPARE(doc().scene.anim.currentFrame, 6);
    QTRY_COMPARE(frame->text(), QStringLiteral("6"));
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
    QTRY_COMPARE(name->text(), QStringLiteral("Nothing Selected"));
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
