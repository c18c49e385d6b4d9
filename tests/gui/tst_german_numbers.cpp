// The editor under a German locale, as QApplication leaves the C library
// for a user whose language is de_DE.UTF-8 (where printf writes "0,5" and
// scanf reads "0.5" as 0): a typed "0.5" is one half in every panel, the
// panels and dialogs show a decimal point, and the files saved and exported
// are byte for byte those of the C locale.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <clocale>

#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/render_options_dialog.h"
#include "edit/create_edits.h"
#include "gui_test.h"

namespace modra::test {

namespace {

constexpr char kGerman[] = "de_DE.UTF-8";

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestGermanNumbers : public EditorTest {
  Q_OBJECT
 public:
  TestGermanNumbers() : EditorTest(EditorStart::kDemo) {}

 private:
  std::string previous_;
  QTemporaryDir dir_;

  template <typename T>
  T* child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (!found) qWarning("no widget %s", name);
    return found;
  }
  void type(QLineEdit* field, const QString& text) {
    Retype(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(WaitForRefresh(*window_));
  }
  // The scene written by every writer of the File menu into `folder`.
  void writeAll(const QString& folder) {
    QVERIFY(QDir().mkpath(folder));
    for (const char* item : {"SaveAs", "SaveAsSource", "ExportWavefront", "ExportSkyloom"}) {
      prompts_.files << folder + QStringLiteral("/scene");
      window_->action(QLatin1String(item))->trigger();
    }
  }

 private slots:
  void initTestCase() {
    previous_ = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, kGerman))
      QSKIP("the de_DE.UTF-8 locale is not installed; tools/install-packages.sh generates it");
    QCOMPARE(QString::fromLatin1(std::localeconv()->decimal_point), QStringLiteral(","));
  }
  void cleanupTestCase() { std::setlocale(LC_ALL, previous_.c_str()); }

  void typedHalvesAndShownPointsAsInTheCLocale() {
    window_->setEditMode(static_cast<int>(EditMode::kCreateObjects));
    QTest::mouseClick(child<QPushButton>(window_.get(), "CFormCreate_Block"), Qt::LeftButton);
    QVERIFY(WaitForRefresh(*window_));
    auto* width = child<QLineEdit>(window_.get(), "CFormCreate_Field0");
    type(width, QStringLiteral("0.5"));
    QCOMPARE(CreatePanelFields(scene()).values[0], 0.5f);
    QCOMPARE(width->text(), QStringLiteral("0.5000"));
    const int block = scene().selectedGroup;

    window_->setEditMode(static_cast<int>(EditMode::kTranslateObject));
    QWidget* panel = window_->findChild<QWidget*>(QStringLiteral("CFormObjTrans"));
    auto* x = child<QLineEdit>(panel, "TransformPanel_FieldX");
    type(x, QStringLiteral("0.5"));
    QCOMPARE(scene().groups[block].translation[0], 0.5f);
    QCOMPARE(x->text(), QStringLiteral("0.500"));

    window_->setEditMode(static_cast<int>(EditMode::kColor));
    QVERIFY(WaitForRefresh(*window_));
    QVERIFY(child<QLabel>(window_.get(), "Color_RedValue")
                ->text()
                .contains(QRegularExpression(QStringLiteral("^\\d\\.\\d{3}$"))));

    window_->action(QStringLiteral("RenderScene"))->trigger();
    auto* options = child<RenderOptionsDialog>(window_.get(), "RenderOptionsDialog");
    QVERIFY(options);
    auto* blurOn = child<QRadioButton>(options, "RenderOptions_BlurOn");
    QTest::mouseClick(blurOn, Qt::LeftButton, {}, QPoint(8, blurOn->height() / 2));
    QCOMPARE(child<QLabel>(options, "RenderOptions_RangeLabel")->text(), QStringLiteral("0.50"));
    options->reject();

    // What was typed is in the file, as the command line reads it.
    const QString folder = dir_.filePath(QStringLiteral("german"));
    writeAll(folder);
    QVERIFY(prompts_.messages.isEmpty());
    const QJsonArray groups = QJsonDocument::fromJson(Dump(folder + QStringLiteral("/scene.knf")))
                                  .object()["groups"]
                                  .toArray();
    int found = 0;
    for (const QJsonValue& g : groups) {
      if (g["name"] != QStringLiteral("Block")) continue;
      ++found;
      QCOMPARE(g["translation"][0].toDouble(), 0.5);
      QCOMPARE(g["bboxMax"][0].toDouble() - g["bboxMin"][0].toDouble(), 0.5);
    }
    QCOMPARE(found, 1);

    // Every file is what the C locale writes.
    std::setlocale(LC_ALL, "C");
    writeAll(dir_.filePath(QStringLiteral("c")));
    QVERIFY(std::setlocale(LC_ALL, kGerman));
    for (const char* file : {"scene.knf", "scene.cpp", "scene.obj", "scene.mtl", "scene.gfx"}) {
      const QByteArray german = Contents(folder + '/' + QLatin1String(file));
      QVERIFY2(!german.isEmpty(), file);
      QVERIFY2(german == Contents(dir_.filePath(QStringLiteral("c/")) + QLatin1String(file)), file);
    }
  }
};

MODRA_GUI_TEST(TestGermanNumbers);

}  // namespace modra::test

#include "tst_german_numbers.moc"
