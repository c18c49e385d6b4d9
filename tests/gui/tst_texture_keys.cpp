// The Texture panel and the four key frame dialogs, driven as a person
// would: typed parameters and list choices reach every selected group,
// "Load Texture ..." asks through the prompts, and each dialog's OK changes
// the key store or is refused with the core's message.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <cmath>

#include "anim/keying.h"
#include "anim/playback.h"
#include "app/gui_document.h"
#include "app/key_range_dialogs.h"
#include "app/main_window.h"
#include "document/group_edit.h"
#include "edit/edit_layer.h"
#include "gui_test.h"

namespace modra::test {

class TestTextureKeys : public EditorTest {
  Q_OBJECT
 public:
  TestTextureKeys() : EditorTest(EditorStart::kHidden) {}

 private:
  QTemporaryDir dir_;

  template <typename T>
  T* texturePanel(const char* name) {
    return window_->findChild<QWidget*>(QStringLiteral("CFormTexture"))
        ->findChild<T*>(QStringLiteral("CFormTexture_") + QLatin1String(name));
  }
  std::vector<int> selected() { return EditLayer(doc()).SelectedGroups(); }
  // Two cubes, both selected, in the Texture mode.
  void twoSelectedCubes() {
    QVERIFY(window_->document().openFile(WriteCube(dir_)));
    QVERIFY(window_->document().appendFile(WriteCube(dir_)));
    window_->action(QStringLiteral("SelectAll"))->trigger();
    window_->setEditMode(static_cast<int>(EditMode::kTexture));
    QVERIFY(WaitForRefresh(*window_));
    QVERIFY(selected().size() >= 2);
  }
  void chooseInList(Qt::Key key) {
    QComboBox* list = texturePanel<QComboBox>("Textures");
    list->setFocus();
    QTest::keyClick(list, key);
  }

 private slots:
  void typedParametersReachEverySelectedGroup() {
    window_->setEditMode(static_cast<int>(EditMode::kTexture));
    auto* scaleS = texturePanel<QLineEdit>("ScaleS");
    auto* rotateY = texturePanel<QLineEdit>("RotateY");
    QVERIFY(!scaleS->isEnabled() && scaleS->text().isEmpty());
    QVERIFY(!texturePanel<QComboBox>("Textures")->isEnabled());
    twoSelectedCubes();
    QTRY_VERIFY(scaleS->isEnabled());
    QCOMPARE(scaleS->text(), QStringLiteral("1.000"));
    scaleS->selectAll();
    QTest::keyClicks(scaleS, "2");
    rotateY->selectAll();
    QTest::keyClicks(rotateY, "-45");
    for (int g : selected()) {
      QCOMPARE(scene().groups[g].textureTransform[6], 2.0f);
      QCOMPARE(scene().groups[g].textureTransform[1], -45.0f);
    }
    QVERIFY(doc().modified);
  }

  void loadingAndChoosingTexturesTextureEverySelectedGroup() {
    twoSelectedCubes();
    const std::string firstFolder = doc().textures.lastPath;
    const QString image = QStringLiteral(MODRA_TESTDATA_DIR "/images/testorig.ppm");
    prompts_.files << image;
    chooseInList(Qt::Key_End);  // "Load Texture ..."
    QCOMPARE(prompts_.folders, QStringList{QString::fromStdString(firstFolder)});
    QCOMPARE(CurrentTextureCount(doc().textures), 2);
    QCOMPARE(doc().textures.entries[1].name, std::string("testorig.ppm"));
    QVERIFY(prompts_.messages.isEmpty());
    for (int g : selected()) {
      const DisplayGroup& group = scene().groups[g];
      QCOMPARE(group.textureIndex, 1);
      QVERIFY((group.flags & Textured) && (group.flags & TexCoords));
    }
    const QString folder = QStringLiteral(MODRA_TESTDATA_DIR "/images");
    QCOMPARE(QString::fromStdString(doc().textures.lastPath), folder);
    QCOMPARE(QSettings().value(QStringLiteral("Texture/LastPath")).toString(), folder);
    auto* list = texturePanel<QComboBox>("Textures");
    QTRY_COMPARE(list->currentText(), QStringLiteral("testorig.ppm"));
    QCOMPARE(list->itemText(2), QStringLiteral("Load Texture ..."));

    chooseInList(Qt::Key_Home);  // "Checker"
    for (int g : selected())
      QCOMPARE(scene().groups[g].textureIndex, 0);

    prompts_.files << QStringLiteral("/nowhere/missing.ppm");
    chooseInList(Qt::Key_End);
    QVERIFY(
        prompts_.messages.contains(QStringLiteral("Can't Load /nowhere/missing.ppm correctly")));
    QCOMPARE(CurrentTextureCount(doc().textures), 2);
    QTRY_COMPARE(list->currentText(), QStringLiteral("Checker"));
  }

  void keyDialogsChangeTheKeyStore_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("startFrame");
    QTest::addColumn<QStringList>("typed");  // B, C ("" leaves A as shown)
    QTest::addColumn<QString>("typedA");
    QTest::addColumn<QList<int>>("frames");
    QTest::addColumn<float>("xAt20");  // NaN: not looked at
    QTest::addColumn<QString>("message");
    const float skip = std::nanf("");
    QTest::newRow("remove") << "RemoveKeyInfo" << 0 << QStringList{} << "" << QList<int>{} << skip
                            << "";
    QTest::newRow("copy key") << "CopyKeyToRange" << 0 << QStringList{"20"} << "5"
                              << QList<int>{0, 10, 20} << 0.0f << "";
    QTest::newRow("copy range") << "CopyRangeToRange" << 0 << QStringList{"20", "30"} << "10"
                                << QList<int>{0, 10, 20, 30, 40} << 20.0f << "";
    QTest::newRow("squeeze") << "StretchKeys" << 0 << QStringList{"20", "10"} << ""
                             << QList<int>{0, 5, 10} << skip << "";
    QTest::newRow("refused") << "StretchKeys" << 0 << QStringList{"20", "10000"} << ""
                             << QList<int>{0, 10, 20} << 20.0f << "C must be less than 9999";
    QTest::newRow("not at a key") << "CopyKeyToRange" << 5 << QStringList{"20"} << ""
                                  << QList<int>{0, 10, 20} << 20.0f
                                  << "Need to be at a key frame for copy range";
  }
  void keyDialogsChangeTheKeyStore() {
    QFETCH(QString, action);
    QFETCH(int, startFrame);
    QFETCH(QStringList, typed);
    QFETCH(QString, typedA);
    QFETCH(QList<int>, frames);
    QFETCH(float, xAt20);
    QFETCH(QString, message);
    twoSelectedCubes();
    const int g = scene().rootHead;
    for (int f : {0, 10, 20}) {
      GoToFrame(doc(), f);
      EnsureKeyed(doc(), g, kKeyTranslation);
      scene().groups[g].translation = {static_cast<float>(f), 0, 0};
      StoreKey(doc(), g, kKeyTranslation);
    }
    GoToFrame(doc(), startFrame);
    // The keys made here are where the dialogs' steps start.
    window_->document().history().Settle();

    window_->action(action)->trigger();
    auto* dialog = window_->findChild<KeyRangeDialog*>();
    QVERIFY(dialog);
    const QStringList names{"A", "B", "C"};
    if (auto* a = dialog->findChild<QLineEdit*>(QStringLiteral("KeyRangeDialog_A"))) {
      QCOMPARE(a->text(), QString::number(startFrame));
      if (!typedA.isEmpty()) {
        a->selectAll();
        QTest::keyClicks(a, typedA);
      }
    }
    for (int i = 0; i < typed.size(); ++i) {
      auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("KeyRangeDialog_") + names[i + 1]);
      QVERIFY(field);
      field->selectAll();
      QTest::keyClicks(field, typed[i]);
    }
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("KeyRangeDialog_Ok")),
                      Qt::LeftButton);

    const std::vector<int32_t>& list = scene().anim.keyFrameList;
    QCOMPARE(QList<int>(list.begin(), list.end()), frames);
    if (!std::isnan(xAt20)) {
      GoToFrame(doc(), 20);
      QCOMPARE(scene().groups[g].translation[0], xAt20);
    }
    QCOMPARE(prompts_.messages, message.isEmpty() ? QStringList{} : QStringList{message});
    QTRY_VERIFY(!window_->findChild<KeyRangeDialog*>());
  }
};

MODRA_GUI_TEST(TestTextureKeys);

}  // namespace modra::test

#include "tst_texture_keys.moc"
