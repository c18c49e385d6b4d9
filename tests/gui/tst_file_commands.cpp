// The File menu as the user meets it when a file is in the way: every save
// asks once, under the name it writes, before replacing a file; a file
// that does not open, or holds nothing to draw, leaves the work alone.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "app/gui_document.h"
#include "app/main_window.h"
#include "document/document.h"
#include "gui_test.h"
#include "scene/scene.h"

namespace modra::test {

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first `size` bytes of `from`, written to `to`.
bool WriteStart(const QString& from, const QString& to, qsizetype size) {
  return WriteFile(to, ReadFile(from).left(size));
}

QString ReplaceQuestion(const QString& path) {
  return path + QStringLiteral(" already exists.  Is it ok to replace it?");
}

}  // namespace

class TestFileCommands : public EditorTest {
  Q_OBJECT
 public:
  TestFileCommands() : EditorTest(EditorStart::kHidden) {}

 private:
  QTemporaryDir dir_;

  void trigger(const QString& name) {
    QAction* a = window_->action(name);
    QVERIFY2(a, qPrintable(name));
    a->trigger();
  }

 private slots:
  void savesAskOnceUnderTheNameWritten_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("ending");
    QTest::newRow("Save As") << "SaveAs"
                             << ".knf";
    QTest::newRow("Save As Source") << "SaveAsSource"
                                    << ".cpp";
    QTest::newRow("Export to Wavefront") << "ExportWavefront"
                                         << ".obj";
    QTest::newRow("Export to SkyLoom") << "ExportSkyloom"
                                       << ".gfx";
  }
  // The user types "x" while x.obj is there: the program writes x.obj, so
  // that is what it asks about, and No keeps it.
  void savesAskOnceUnderTheNameWritten() {
    QFETCH(QString, command);
    QFETCH(QString, ending);
    QVERIFY(window_->document().openFile(WriteCube(dir_)));
    const QString typed = dir_.filePath(QStringLiteral("x")), written = typed + ending;
    QVERIFY(WriteFile(written, "mine"));
    const QString name = QString::fromStdString(doc().name);

    prompts_.files << typed;
    trigger(command);
    QCOMPARE(prompts_.questions, QStringList{ReplaceQuestion(written)});
    QCOMPARE(ReadFile(written), QByteArray("mine"));
    QCOMPARE(QString::fromStdString(doc().name), name);
    QVERIFY(prompts_.messages.isEmpty());

    prompts_.files << typed;
    prompts_.answers << true;
    trigger(command);
    QCOMPARE(prompts_.questions.size(), 2);
    QVERIFY(ReadFile(written) != QByteArray("mine"));
    // No dialog asked on its own: the core's question was the only one.
    QCOMPARE(prompts_.askingSaveDialogs, 0);
    QVERIFY(prompts_.messages.isEmpty());
  }
  void openOrAppendThatGivesUpKeepsTheWork_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    const QString cut = dir_.filePath(QStringLiteral("cut.knf")),
                  picture = dir_.filePath(QStringLiteral("picture.3ds")),
                  points = QStringLiteral(MODRA_TESTDATA_DIR "/models/obj/point_cloud.obj");
    const qsizetype half = QFileInfo(DemoScene()).size() / 2;
    QVERIFY(WriteStart(DemoScene(), cut, half));
    QVERIFY(
        WriteFile(picture, ReadFile(QStringLiteral(MODRA_TESTDATA_DIR "/images/testorig.jpg"))));
    QTest::newRow("damaged scene") << cut << "Can't decode " + cut + " correctly\n";
    QTest::newRow("picture") << picture << "Can't decode " + picture + " correctly\n";
    QTest::newRow("nothing to draw") << points << points + " holds nothing to draw";
  }
  // Unsaved work, then Open (erasing it, since the user said Yes) and
  // Append of a file that will not do: one message each, and the scene,
  // title, unsaved mark and Undo are what they were.
  void openOrAppendThatGivesUpKeepsTheWork() {
    QFETCH(QString, file);
    QFETCH(QString, message);
    QVERIFY(window_->document().openFile(WriteCube(dir_)));
    trigger("SelectAll");
    QTRY_VERIFY(window_->action("Copy")->isEnabled());
    trigger("Copy");
    QTRY_VERIFY(window_->action("Paste")->isEnabled());
    trigger("Paste");
    QVERIFY(doc().modified);
    QVERIFY(WaitForRefresh(*window_));
    QAction* undo = window_->action("Undo");
    const QString title = window_->windowTitle(), undoText = undo->text();
    const std::string name = doc().name;
    const size_t slotCount = scene().groups.size();
    const int root = scene().rootHead;

    prompts_.answers << true;
    prompts_.files << file << file;
    trigger("Open");
    trigger("Append");
    QCOMPARE(prompts_.questions.size(), 1);  // may the unsaved work go?
    QCOMPARE(prompts_.messages, QStringList(2, message));
    QVERIFY(WaitForRefresh(*window_));
    QCOMPARE(window_->windowTitle(), title);
    QCOMPARE(doc().name, name);
    QVERIFY(doc().modified);
    QCOMPARE(scene().groups.size(), slotCount);
    QCOMPARE(scene().rootHead, root);
    QCOMPARE(undo->text(), undoText);
    // The paste is still there to take back.
    undo->trigger();
    QVERIFY(!doc().modified);
    QVERIFY(scene().rootHead != root);
  }
};

MODRA_GUI_TEST(TestFileCommands);

}  // namespace modra::test

#include "tst_file_commands.moc"
