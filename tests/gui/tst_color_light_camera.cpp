// The colour, light and camera panels on the demo scene: sliders and typed
// values reach the document through the edit layer, controls that do not
// apply are off, and drags in Lights mode move the chosen light.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <cmath>

#include "app/control_panel.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "app/panel_widgets.h"
#include "gui_test.h"

namespace modra::test {

class TestColorLightCamera : public EditorTest {
  Q_OBJECT
 public:
  TestColorLightCamera() : EditorTest(EditorStart::kDemo) {}

 private:
  template <typename T>
  T* child(const char* name) {
    T* found = window_->findChild<T*>(QString::fromLatin1(name));
    if (!found) qWarning("no widget %s", name);
    return found;
  }
  QLabel* valueOf(const char* sliderName) {
    return child<QLabel>(QByteArray(sliderName).append("Value").constData());
  }
  int groupNamed(const char* name) {
    for (int g = 0; g < static_cast<int>(scene().groups.size()); ++g)
      if (IsLiveGroup(scene(), g) && scene().groups[g].name == name) return g;
    return -1;
  }
  // A radio takes clicks on its circle and text only, not on the rest of
  // its cell.
  void clickRadio(const char* name) {
    QRadioButton* radio = child<QRadioButton>(name);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
  }

 private slots:
  void colourSlidersSkipVertexColouredGroupsButShineReachesAll() {
    const int vase = PickVase(*window_, 7);
    const int ring = groupNamed("Ring");
    const int title = groupNamed("Title");
    QCOMPARE(vase, groupNamed("Vase"));
    QVERIFY(ring != -1 && title != -1 && (scene().groups[title].flags & VertexColors));
    // Added to the selection as right clicks would, the vase staying current.
    scene().groups[ring].flags |= Selected;
    scene().groups[title].flags |= Selected;
    const Vec3 titleColor = scene().groups[title].color;

    auto* red = child<QSlider>("Color_Red");
    QVERIFY(red->isEnabled());
    QTest::keyClick(red, Qt::Key_End);
    for (int g : {vase, ring})
      QCOMPARE(scene().groups[g].color[0], 1.0f);
    QCOMPARE(scene().groups[title].color, titleColor);
    QTRY_COMPARE(valueOf("Color_Red")->text(), QStringLiteral("1.000"));

    auto* shine = child<QSlider>("Color_Shine");
    QTest::keyClick(shine, Qt::Key_End);
    for (int g : {vase, ring, title})
      QCOMPARE(scene().groups[g].shininess, 128.0f);
    QTRY_COMPARE(valueOf("Color_Shine")->text(), QStringLiteral("128.000"));
    QVERIFY(doc().modified);
  }

  void colourPanelIsOffForAParentOrNoGroup() {
    window_->setEditMode(7);
    WaitForRefresh(*window_);
    auto* green = child<QSlider>("Color_Green");
    QVERIFY(!green->isEnabled());
    QVERIFY(valueOf("Color_Green")->text().isEmpty());
    PickVase(*window_, 7);
    QVERIFY(green->isEnabled());
    QCOMPARE(valueOf("Color_Green")->text(),
             FieldText(scene().groups[groupNamed("Vase")].color[1]));
    // The pedestal carries the star.
    const int pedestal = groupNamed("Pedestal");
    scene().selectedGroup = pedestal;
    scene().groups[pedestal].flags |= Selected;
    NotifyChanged(doc(), kSelectionChanged);
    QTRY_VERIFY(!green->isEnabled());
    QVERIFY(valueOf("Color_Green")->text().isEmpty());
    QTest::keyClick(green, Qt::Key_End);
    QVERIFY(!doc().modified);
  }

  void backgroundEntryEditsTheBackgroundAndHasNoType() {
    window_->setEditMode(11);
    WaitForRefresh(*window_);
    auto* list = child<QComboBox>("Lights_List");
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(list->currentText(), QStringLiteral("Background"));
    WaitForRefresh(*window_);
    for (const char* type : {"Lights_Type_Off", "Lights_Type_Directional", "Lights_Type_Cone"})
      QVERIFY2(!child<QRadioButton>(type)->isEnabled(), type);
    QVERIFY(!child<QSlider>("Lights_Cutoff")->isEnabled());
    const Vec3 ambient = scene().lights[0].color;
    QTest::keyClick(child<QSlider>("Lights_Red"), Qt::Key_End);
    QTest::keyClick(child<QSlider>("Lights_Blue"), Qt::Key_Home);
    QCOMPARE(scene().global.background, (Vec3{1.0f, 0.12f, 0.0f}));
    QCOMPARE(scene().lights[0].color, ambient);
    QTRY_COMPARE(valueOf("Lights_Red")->text(), QStringLiteral("1.000"));
  }

  void coneLightGetsItsCutOffSlider() {
    window_->setEditMode(11);
    WaitForRefresh(*window_);
    auto* list = child<QComboBox>("Lights_List");
    QCOMPARE(list->currentText(), QStringLiteral("Light #1"));
    auto* cutoff = child<QSlider>("Lights_Cutoff");
    QVERIFY(!cutoff->isEnabled());  // a directional light
    QVERIFY(valueOf("Lights_Cutoff")->text().isEmpty());
    clickRadio("Lights_Type_Cone");
    QCOMPARE(scene().lights[1].type, kLightCone);
    QTRY_VERIFY(cutoff->isEnabled());
    QTest::keyClick(cutoff, Qt::Key_End);
    QCOMPARE(scene().lights[1].cutoff, 90.0f);
    QTRY_COMPARE(valueOf("Lights_Cutoff")->text(), QStringLiteral("90.0"));
    QCOMPARE(scene().lights[2].cutoff, KnfLight{}.cutoff);
  }

  void dragInLightsModeMovesAPositionalLight() {
    window_->setEditMode(11);
    WaitForRefresh(*window_);
    QTest::keyClick(child<QComboBox>("Lights_List"), Qt::Key_Down);
    QCOMPARE(child<QComboBox>("Lights_List")->currentText(), QStringLiteral("Light #2"));
    clickRadio("Lights_Type_Positional");
    QCOMPARE(scene().lights[2].type, kLightPositional);
    // Turning means nothing for a positional light, so the mouse moves it.
    QTRY_VERIFY(!child<QRadioButton>("Lights_Mouse_Rot")->isEnabled());
    QVERIFY(child<QRadioButton>("Lights_Mouse_Pos")->isChecked());

    const Vec3 before = scene().lights[2].position;
    const QPoint from = view()->rect().center();
    const QPoint by(view()->width() / 8, -view()->height() / 8);
    QTest::mousePress(view(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view(), from + by);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, from + by);
    const Vec3 after = scene().lights[2].position;
    QVERIFY(near(after[0], before[0] + units(by.x(), view()->width())));
    QVERIFY(near(after[1], before[1] + units(-by.y(), view()->height())));
    QCOMPARE(after[2], before[2]);
    QCOMPARE(scene().lights[1].position, before);  // the other lights stay
    QTRY_COMPARE(child<QLineEdit>("Lights_PositionX")->text(), FieldText(after[0], 4));
  }

  void typedCameraPositionReAimsAtTheLookAtGroup() {
    window_->setEditMode(12);
    WaitForRefresh(*window_);
    const int vase = groupNamed("Vase");
    QCOMPARE(scene().camera.lookAtGroup, vase);
    QCOMPARE(scene().camera.mode, kCameraLookAt);
    // A camera that aims itself is moved, not turned, by the mouse.
    QVERIFY(child<QRadioButton>("Camera_Mouse_Pos")->isChecked());

    Retype(child<QLineEdit>("Camera_PositionX"), QStringLiteral("2"));
    const KnfCameraView& cam = scene().camera;
    QCOMPARE(cam.position[0], 2.0f);
    const Vec3 target = scene().groups[vase].translation;
    const double dx = target[0] - cam.position[0], dy = target[1] - cam.position[1],
                 dz = target[2] - cam.position[2];
    const double degrees = 180.0 / M_PI;
    QVERIFY(near(cam.rotation[1], static_cast<float>(90.0 - std::atan2(dz, dx) * degrees)));
    QVERIFY(near(cam.rotation[0],
                 static_cast<float>(std::atan2(-dy, std::sqrt(dx * dx + dz * dz)) * degrees)));
    QTRY_COMPARE(child<QLineEdit>("Camera_RotateY")->text(), FieldText(cam.rotation[1]));

    clickRadio("Camera_Mode_Manual");
    QCOMPARE(scene().camera.mode, kCameraManual);
    QTRY_VERIFY(child<QRadioButton>("Camera_Mouse_Rot")->isChecked());
  }

  void lookAtWithoutAGroupSaysSo() {
    window_->setEditMode(12);
    window_->action(QStringLiteral("DeselectAll"))->trigger();
    QTest::mouseClick(child<QPushButton>("Camera_SetLookAt"), Qt::LeftButton);
    QCOMPARE(
        prompts_.messages,
        QStringList{QStringLiteral("Must select a group to look at\nbefore pushing that button")});
    QCOMPARE(scene().camera.lookAtGroup, groupNamed("Vase"));
  }
};

MODRA_GUI_TEST(TestColorLightCamera);

}  // namespace modra::test

#include "tst_color_light_camera.moc"
