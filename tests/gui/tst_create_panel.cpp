// The Create panel in the editor: each button makes its primitive the new
// current group, typed sizes and drags of the view resize it, and the text
// and resolution dialogs build what the user filled in.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>

#include "app/form_create.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "geometry/primitive_params.h"
#include "gui_test.h"

namespace modra::test {

class TestCreatePanel : public QObject {
  Q_OBJECT
 private:
  FakePrompts prompts_;
  std::unique_ptr<MainWindow> window_;

  Scene& scene() { return window_->document().doc().scene; }
  CFormCreate* panel() { return window_->findChild<CFormCreate*>(QStringLiteral("CFormCreate")); }
  template <typename T>
  T* child(QWidget* in, const QString& name) {
    return in->findChild<T*>(name);
  }
  void press(const char* name) {
    auto* button = child<QPushButton>(panel(), QStringLiteral("CFormCreate_") + name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
  }
  QLineEdit* field(int i) {
    return child<QLineEdit>(panel(), QStringLiteral("CFormCreate_Field%1").arg(i));
  }
  float size(int i) {
    std::array<std::string, kMaxSizeParams> labels;
    std::array<float, kMaxSizeParams> values{};
    GetSizeParams(scene(), scene().selectedGroup, labels, values);
    return values[i];
  }
  static void retype(QWidget* edit, const QString& text) {
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
  }

 private slots:
  void init() {
    window_ = NewEditor(prompts_, EditorStart::kShown);
    QVERIFY(window_);
    window_->setEditMode(8);
    QVERIFY(panel());
  }
  void cleanup() {
    window_->document().doc().modified = false;
    window_.reset();
  }

  void eachButtonMakesItsPrimitiveTheCurrentGroup_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("firstLabel");
    QTest::addColumn<int>("fields");
    QTest::newRow("Rectangle") << "Rectangle" << kKindRectangle << "Rectangle"
                               << "Width" << 2;
    QTest::newRow("Block") << "Block" << kKindBlock << "Block"
                           << "Width" << 3;
    QTest::newRow("Cone") << "Cone" << kKindCone << "Cone"
                          << "Bottom Radius" << 3;
    QTest::newRow("Rounded Cone") << "RoundedCone" << kKindRoundedCone << "Rounded Cone"
                                  << "Bottom Radius" << 3;
    QTest::newRow("Tube") << "Tube" << kKindTube << "Tube"
                          << "Radius" << 2;
    QTest::newRow("Cylinder") << "Cylinder" << kKindCylinder << "Cylinder"
                              << "Radius" << 2;
    QTest::newRow("Torus") << "Torus" << kKindTorus << "Torus"
                           << "Major Radius" << 2;
    QTest::newRow("Sphere1") << "Sphere1" << kKindSphere << "Sphere"
                             << "Radius" << 1;
    QTest::newRow("Sphere 2") << "Sphere2" << kKindSphere2 << "Sphere"
                              << "Radius" << 1;
    QTest::newRow("Extrusion") << "Extrusion" << kKindExtrusion << "Extrusion"
                               << "" << 0;
    QTest::newRow("Revolution") << "Revolution" << kKindRevolution << "Surface of Revolution"
                                << "" << 0;
  }
  void eachButtonMakesItsPrimitiveTheCurrentGroup() {
    QFETCH(QString, button);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, firstLabel);
    QFETCH(int, fields);
    QCOMPARE(window_->statusBar()->currentMessage(),
             QStringLiteral("Create objects by clicking a button"));
    QVERIFY(!field(0)->isEnabled());
    press("Block");
    const int block = scene().selectedGroup;
    QVERIFY(block != -1);

    press(button.toLatin1().constData());
    const int g = scene().selectedGroup;
    QVERIFY(g != -1 && g != block);
    QCOMPARE(scene().groups[g].kind, kind);
    QVERIFY(!(scene().groups[block].flags & Selected));
    auto* nameBox = child<QLineEdit>(window_.get(), QStringLiteral("AnimationBar_Name"));
    QTRY_COMPARE(nameBox->text(), name);
    QCOMPARE(child<QLabel>(panel(), QStringLiteral("CFormCreate_Label0"))->text(), firstLabel);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(field(i)->isEnabled(), i < fields);
      QCOMPARE(field(i)->text().isEmpty(), i >= fields);
    }
    QCOMPARE(child<QPushButton>(panel(), QStringLiteral("CFormCreate_EditResolution"))->isEnabled(),
             fields > 0);
  }

  void typingASizeRebuildsTheGroup() {
    press("Block");
    const int g = scene().selectedGroup;
    QTRY_COMPARE(field(0)->text(), QStringLiteral("0.5000"));
    retype(field(0), QStringLiteral("0.8"));
    QCOMPARE(size(0), 0.8f);
    QCOMPARE(scene().groups[g].bboxMax[0], 0.4f);
    QVERIFY(window_->document().doc().modified);
    // Leaving a field that holds no number restores the size it shows.
    retype(field(1), QStringLiteral("x"));
    QTest::keyClick(field(1), Qt::Key_Return);
    QCOMPARE(size(1), 0.05f);
    QTRY_COMPARE(field(1)->text(), QStringLiteral("0.0500"));
  }

  void aDragInCreateModeResizesTheCurrentPrimitive() {
    press("Block");
    COglView* view = window_->view();
    const QPoint from = view->rect().center();
    // A quarter of the width right and of the height up: half a unit each.
    const QPoint to = from + QPoint(view->width() / 4, -view->height() / 4);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
    const float dx = 2.0f * static_cast<float>(view->width() / 4) / view->width();
    const float dy = 2.0f * static_cast<float>(view->height() / 4) / view->height();
    QVERIFY(std::abs(size(0) - (0.5f + dx)) < 1e-5f);
    QVERIFY(std::abs(size(1) - (0.05f + dy)) < 1e-5f);
    QCOMPARE(size(2), 0.3f);
    QCOMPARE(field(0)->text(), QString::number(0.5 + dx, 'f', 3));
  }

  void theTextDialogBuildsTheTextInTheChosenFont() {
    QString title, firstFont;
    int rowAtStart = -1;
    panel()->setDialogRunner([&](QDialog& dialog) {
      dialog.show();
      title = dialog.windowTitle();
      auto* fonts = child<QListWidget>(&dialog, QStringLiteral("TextDialog_Font"));
      firstFont = fonts->item(0)->text();
      rowAtStart = fonts->currentRow();
      QTest::keyClicks(child<QLineEdit>(&dialog, QStringLiteral("TextDialog_Text")),
                       QStringLiteral("ii"));
      retype(child<QLineEdit>(&dialog, QStringLiteral("TextDialog_Scale")), QStringLiteral("2"));
      QListWidgetItem* serifa = fonts->item(2);
      QTest::mouseClick(fonts->viewport(), Qt::LeftButton, {},
                        fonts->visualItemRect(serifa).center());
      QTest::mouseClick(child<QPushButton>(&dialog, QStringLiteral("TextDialog_Ok")),
                        Qt::LeftButton);
      return dialog.result();
    });
    press("Text");
    QCOMPARE(title, QStringLiteral("Create 3D Text"));
    QCOMPARE(firstFont, QStringLiteral("Arial"));
    QCOMPARE(rowAtStart, 0);
    int letters = 0;
    for (const DisplayGroup& g : scene().groups) {
      if (g.name != "Text" || (g.flags & Deleted)) continue;
      ++letters;
      QCOMPARE(g.scale[0], 2 * 0.16f);  // Serifa's factor
      QVERIFY(g.flags & Selected);
    }
    QCOMPARE(letters, 4);  // two parts an "i"

    // Cancel builds nothing.
    panel()->setDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    const size_t groups = scene().groups.size();
    press("Text");
    QCOMPARE(scene().groups.size(), groups);
  }

  void theResolutionDialogRebuildsTheGroup() {
    press("Cylinder");
    const int g = scene().selectedGroup;
    QStringList labels;
    int radiusAtStart = -1;
    panel()->setDialogRunner([&](QDialog& dialog) {
      dialog.show();
      for (int i = 0; i < 4; ++i) {
        auto* label = child<QLabel>(&dialog, QStringLiteral("ResolutionDialog_Label%1").arg(i));
        if (label->isVisible()) labels << label->text();
      }
      auto* radius = child<QSpinBox>(&dialog, QStringLiteral("ResolutionDialog_Value0"));
      radiusAtStart = radius->value();
      retype(radius, QStringLiteral("8"));
      QTest::mouseClick(child<QPushButton>(&dialog, QStringLiteral("ResolutionDialog_Ok")),
                        Qt::LeftButton);
      return dialog.result();
    });
    QTRY_VERIFY(
        child<QPushButton>(panel(), QStringLiteral("CFormCreate_EditResolution"))->isEnabled());
    press("EditResolution");
    QCOMPARE(radiusAtStart, 20);
    QCOMPARE(labels, QStringList({"Radius Resolution", "Length Resolution", "End Cap Resolution"}));
    // Every strip now runs round 8 ring points.
    for (const DisplayPrimitive& p : scene().groups[g].primitives)
      QCOMPARE(p.vertexCount, 16);
  }
};

MODRA_GUI_TEST(TestCreatePanel);

}  // namespace modra::test

#include "tst_create_panel.moc"
