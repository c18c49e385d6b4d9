// The File menu as the user meets it when a file is in the way: every save
// asks once, under the name it writes, before replacing a file.
#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/gui_document.h"
#include "app/main_window.h"
#include "gui_test.h"

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
};

MODRA_GUI_TEST(TestFileCommands);

}  // namespace modra::test

#include "tst_file_commands.moc"
