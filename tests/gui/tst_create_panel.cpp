// The Create panel in the editor: each button makes its primitive the new
// current group, typed sizes and drags of the view resize it, and the text
// and resolution dialogs build what the user filled in.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "app/form_create.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "geometry/primitive_params.h"
#include "gui_test.h"

namespace modra::test {

class TestCreatePanel : public EditorTest {
  Q_OBJECT
 public:
  TestCreatePanel() : EditorTest(EditorStart::kShown) {}

 private:
  CFormCreate* panel() { return window_->findChild<CFormCreate*>(QStringLiteral("CFormCreate")); }
  template <typename T>
  static T* child(QWidget* in, const char* name) {
    return in->findChild<T*>(QLatin1String(name));
  }
  void press(const QString& name) {
    auto* button = panel()->findChild<QPushButton*>(QStringLiteral("CFormCreate_") + name);
    QVERIFY2(button, qPrintable(name));
    QTRY_VERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
  }
  QLineEdit* field(int i) {
    return panel()->findChild<QLineEdit*>(QStringLiteral("CFormCreate_Field%1").arg(i));
  }
  float size(int i) {
    std::array<std::string, kMaxSizeParams> labels;
    std::array<float, kMaxSizeParams> values{};
    GetSizeParams(scene(), scene().selectedGroup, labels, values);
    return values[i];
  }

 private slots:
  void init() {
    EditorTest::init();
    QVERIFY(window_);
    window_->setEditMode(8);
    QVERIFY(panel());
  }

  void eachButtonMakesItsPrimitiveTheCurrentGroup_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fields");
    QTest::newRow("Rectangle") << "Rectangle" << kKindRectangle << "Rectangle" << 2;
    QTest::newRow("Block") << "Block" << kKindBlock << "Block" << 3;
    QTest::newRow("Cone") << "Cone" << kKindCone << "Cone" << 3;
    QTest::newRow("Rounded Cone") << "RoundedCone" << kKindRoundedCone << "Rounded Cone" << 3;
    QTest::newRow("Tube") << "Tube" << kKindTube << "Tube" << 2;
    QTest::newRow("Cylinder") << "Cylinder" << kKindCylinder << "Cylinder" << 2;
    QTest::newRow("Torus") << "Torus" << kKindTorus << "Torus" << 2;
    QTest::newRow("Sphere1") << "Sphere1" << kKindSphere << "Sphere" << 1;
    QTest::newRow("Sphere 2") << "Sphere2" << kKindSphere2 << "Sphere" << 1;
    QTest::newRow("Extrusion") << "Extrusion" << kKindExtrusion << "Extrusion" << 0;
    QTest::newRow("Revolution") << "Revolution" << kKindRevolution << "Surface of Revolution" << 0;
  }
  void eachButtonMakesItsPrimitiveTheCurrentGroup() {
    QFETCH(QString, button);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(int, fields);
    press(QStringLiteral("Block"));
    const int block = scene().selectedGroup;
    QVERIFY(block != -1);

    press(button);
    const int g = scene().selectedGroup;
    QVERIFY(g != -1 && g != block);
    QCOMPARE(scene().groups[g].kind, kind);
    QVERIFY(!(scene().groups[block].flags & Selected));
    QTRY_COMPARE(child<QLineEdit>(window_.get(), "AnimationBar_Name")->text(), name);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(field(i)->isEnabled(), i < fields);
      QCOMPARE(field(i)->text().isEmpty(), i >= fields);
    }
    QCOMPARE(child<QPushButton>(panel(), "CFormCreate_EditResolution")->isEnabled(), fields > 0);
  }

  void typingASizeRebuildsTheGroup() {
    press(QStringLiteral("Block"));
    QTRY_COMPARE(field(0)->text(), QStringLiteral("0.5000"));
    Retype(field(0), QStringLiteral("0.8"));
    QCOMPARE(scene().groups[scene().selectedGroup].bboxMax[0], 0.4f);
    // Leaving a field that holds no number keeps the size and shows it again.
    Retype(field(1), QStringLiteral("x"));
    QTest::keyClick(field(1), Qt::Key_Return);
    QCOMPARE(size(1), 0.05f);
    QTRY_COMPARE(field(1)->text(), QStringLiteral("0.0500"));
  }

  void aDragOfTheViewResizesTheCurrentPrimitive() {
    press(QStringLiteral("Block"));
    COglView* view = window_->view();
    const QPoint from = view->rect().center();
    const QPoint by(view->width() / 4, -view->height() / 4);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, from + by);
    QTest::mouseRelease(view, Qt::LeftButton, {}, from + by);
    // A drag across the whole view is two units.
    const float dx = 2.0f * static_cast<float>(by.x()) / view->width();
    const float dy = -2.0f * static_cast<float>(by.y()) / view->height();
    QVERIFY(std::abs(size(0) - (0.5f + dx)) < 1e-5f);
    QVERIFY(std::abs(size(1) - (0.05f + dy)) < 1e-5f);
    QCOMPARE(size(2), 0.3f);
    // A drag shows the sizes it made in its shorter form.
    QTRY_COMPARE(field(0)->text(), QString::number(0.5 + dx, 'f', 3));
  }

  void theTextDialogBuildsTheTextInTheChosenFont() {
    QString firstFont;
    panel()->setDialogRunner([&](QDialog& dialog) {
      dialog.show();
      auto* fonts = child<QListWidget>(&dialog, "TextDialog_Font");
      firstFont = fonts->currentItem()->text();
      QTest::keyClicks(child<QLineEdit>(&dialog, "TextDialog_Text"), QStringLiteral("ii"));
      Retype(child<QLineEdit>(&dialog, "TextDialog_Scale"), QStringLiteral("2"));
      QTest::mouseClick(fonts->viewport(), Qt::LeftButton, {},
                        fonts->visualItemRect(fonts->item(2)).center());
      QTest::mouseClick(child<QPushButton>(&dialog, "TextDialog_Ok"), Qt::LeftButton);
      return dialog.result();
    });
    press(QStringLiteral("Text"));
    QCOMPARE(firstFont, QStringLiteral("Arial"));
    int letters = 0;
    for (const DisplayGroup& g : scene().groups) {
      if (g.name != "Text" || (g.flags & Deleted)) continue;
      ++letters;
      QCOMPARE(g.scale[0], 2 * 0.16f);  // Serifa's factor
    }
    QCOMPARE(letters, 4);  // two parts an "i"
  }

  void theResolutionDialogRebuildsTheGroup() {
    press(QStringLiteral("Cylinder"));
    int shown = -1;
    panel()->setDialogRunner([&](QDialog& dialog) {
      dialog.show();
      auto* radius = child<QSpinBox>(&dialog, "ResolutionDialog_Value0");
      shown = radius->value();
      Retype(radius, QStringLiteral("8"));
      QTest::mouseClick(child<QPushButton>(&dialog, "ResolutionDialog_Ok"), Qt::LeftButton);
      return dialog.result();
    });
    press(QStringLiteral("EditResolution"));
    QCOMPARE(shown, 20);
    // Every strip now runs round 8 ring points.
    for (const DisplayPrimitive& p : scene().groups[scene().selectedGroup].primitives)
      QCOMPARE(p.vertexCount, 16);
  }
};

MODRA_GUI_TEST(TestCreatePanel);

}  // namespace modra::test

#include "tst_create_panel.moc"
