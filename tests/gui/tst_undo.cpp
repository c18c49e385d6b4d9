// Undo and redo as a person meets them: a drag, a typed value and a slider
// drag are one step each, the Edit menu names it, the modified flag follows
// the saved state, Ctrl+Z over the view undoes on a key press but not when
// it modifies a click, a copy outlives the undo of an earlier step, and
// New forgets.
#include <QAction>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>

#include "app/control_panel.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "app/panel_widgets.h"
#include "gui_test.h"
#include "scene/scene_check.h"

namespace modra::test {

class TestUndo : public EditorTest {
  Q_OBJECT
 public:
  TestUndo() : EditorTest(EditorStart::kDemo) {}

 private:
  History& history() { return window_->document().history(); }
  EditSession& session() { return window_->document().session(); }
  QAction* undo() { return window_->action(QStringLiteral("Undo")); }
  QAction* redo() { return window_->action(QStringLiteral("Redo")); }
  QAction* paste() { return window_->action(QStringLiteral("Paste")); }
  Vec3 translation(int g) { return scene().groups[g].translation; }
  QLineEdit* translateX() {
    return window_->findChild<QWidget*>("CFormObjTrans")
        ->findChild<QLineEdit*>(QStringLiteral("TransformPanel_FieldX"));
  }
  size_t topLevelGroups() {
    size_t n = 0;
    ForEachSibling(scene(), scene().rootHead, [&](int g) { n += IsLiveGroup(scene(), g) ? 1 : 0; });
    return n;
  }
  // Where the slider's handle is drawn.
  static QPoint handleOf(QSlider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.subControls = QStyle::SC_SliderHandle;
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center();
  }
  void drag(QPoint by) {
    const QPoint from = view()->rect().center();
    QTest::mousePress(view(), Qt::LeftButton, {}, from);
    for (int i = 1; i <= 4; ++i)
      QTest::mouseMove(view(), from + by * i / 4);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, from + by);
  }

 private slots:
  void aDragIsOneStepThatUndoTakesBackExactly() {
    QVERIFY(!undo()->isEnabled());
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    const Vec3 before = translation(g);
    drag({view()->width() / 10, -view()->height() / 10});
    const Vec3 after = translation(g);
    QVERIFY(after != before);
    QCOMPARE(history().StepCount(), size_t{1});
    QTRY_VERIFY(undo()->isEnabled());
    QCOMPARE(undo()->text(), QStringLiteral("&Undo Translate"));
    QVERIFY(!redo()->isEnabled());

    undo()->trigger();
    QCOMPARE(translation(g), before);
    QVERIFY(!doc().modified);
    QTRY_COMPARE(translateX()->text(), FieldText(before[0]));
    QTRY_VERIFY(redo()->isEnabled());
    redo()->trigger();
    QCOMPARE(translation(g), after);
    QVERIFY(doc().modified);
  }

  void aTypedValueIsOneStep() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    const Vec3 before = translation(g);
    Retype(translateX(), QStringLiteral("0.955"));
    QTest::keyClick(translateX(), Qt::Key_Return);
    QCOMPARE(translation(g)[0], 0.955f);
    QCOMPARE(history().StepCount(), size_t{1});
    QTRY_COMPARE(undo()->text(), QStringLiteral("&Undo Translate"));
    undo()->trigger();
    QCOMPARE(translation(g), before);
    QTRY_COMPARE(translateX()->text(), FieldText(before[0]));
    // Return in a field nobody typed in changes nothing.
    QTest::keyClick(window_->findChild<QWidget*>("CFormObjTrans")
                        ->findChild<QLineEdit*>(QStringLiteral("TransformPanel_FieldY")),
                    Qt::Key_Return);
    QCOMPARE(translation(g), before);
    QVERIFY(!doc().modified);
  }

  void aSliderDragIsOneStep() {
    const int g = PickVase(*window_, 7);
    QVERIFY(g != -1);
    auto* red = window_->findChild<QSlider*>(QStringLiteral("Color_Red"));
    QTRY_VERIFY(red->isEnabled());
    const Vec3 before = scene().groups[g].color;
    const QPoint from = handleOf(red);
    QTest::mousePress(red, Qt::LeftButton, {}, from);
    for (int dx : {-10, -25, -40, -60})
      QTest::mouseMove(red, from + QPoint(dx, 0));
    QTest::mouseRelease(red, Qt::LeftButton, {}, from + QPoint(-60, 0));
    QVERIFY(scene().groups[g].color[0] < before[0]);
    QCOMPARE(history().StepCount(), size_t{1});
    QTRY_COMPARE(undo()->text(), QStringLiteral("&Undo Color"));
    undo()->trigger();
    QCOMPARE(scene().groups[g].color, before);
  }

  // The clipboard lives beside the undoable scene: undoing the step before
  // a copy leaves the copy whole, and a paste after new groups adds just
  // what was copied.
  void aCopySurvivesTheUndoOfAnEarlierStep() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    const std::string name = scene().groups[g].name;
    Retype(translateX(), QStringLiteral("1"));
    QTest::keyClick(translateX(), Qt::Key_Return);
    window_->action(QStringLiteral("Copy"))->trigger();
    QTRY_COMPARE(undo()->text(), QStringLiteral("&Undo Translate"));  // the copy is no step
    undo()->trigger();
    QVERIFY(!session().CanUndo());
    const size_t groups = topLevelGroups();
    window_->setEditMode(8);
    QTest::mouseClick(window_->findChild<QWidget*>("CFormCreate_Torus"), Qt::LeftButton);
    QTRY_VERIFY(paste()->isEnabled());
    paste()->trigger();
    QCOMPARE(topLevelGroups(), groups + 2);
    QCOMPARE(scene().groups[scene().selectedGroup].name, name);
    QCOMPARE(QString::fromStdString(CheckScene(scene())), QString());
    // The copy is the vase as it was copied, moved to 1.
    QCOMPARE(scene().groups[scene().selectedGroup].translation[0], 1.0f);
    QTRY_COMPARE(undo()->text(), QStringLiteral("&Undo Paste"));
    undo()->trigger();
    QTRY_COMPARE(undo()->text(), QStringLiteral("&Undo Create Torus"));
    undo()->trigger();
    QCOMPARE(topLevelGroups(), groups);
    QCOMPARE(QString::fromStdString(CheckScene(scene())), QString());
  }

  void undoingBackToTheSavedStateClearsTheModifiedFlag() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    const float x0 = translation(g)[0];
    Retype(translateX(), FieldText(x0 + 1));
    QVERIFY(doc().modified);
    QTemporaryDir dir;
    prompts_.files << dir.filePath(QStringLiteral("saved.knf"));
    window_->action(QStringLiteral("SaveAs"))->trigger();
    QVERIFY(!doc().modified);
    Retype(translateX(), FieldText(x0 + 2));
    QVERIFY(doc().modified);

    QVERIFY(window_->document().undo());
    QVERIFY(!doc().modified);
    QCOMPARE(translation(g)[0], x0 + 1);
    QVERIFY(window_->document().undo());
    QVERIFY(doc().modified);
    QCOMPARE(translation(g)[0], x0);
    QVERIFY(window_->document().redo());
    QVERIFY(!doc().modified);
  }

  void commandsFromMenusAndPanelsAreSteps() {
    const int g = PickVase(*window_, 8);
    QVERIFY(g != -1);
    const std::string name = scene().groups[g].name;
    const auto atTopLevel = [&] {
      for (int h = scene().rootHead; h != -1; h = scene().groups[h].next)
        if (h == g) return true;
      return false;
    };
    QVERIFY(atTopLevel());
    window_->action(QStringLiteral("Cut"))->trigger();
    QVERIFY(!atTopLevel());
    QTRY_COMPARE(undo()->text(), QStringLiteral("&Undo Cut"));
    undo()->trigger();
    QVERIFY(atTopLevel());
    QCOMPARE(scene().groups[g].name, name);

    const size_t groups = scene().groups.size();
    QTest::mouseClick(window_->findChild<QWidget*>("CFormCreate_Torus"), Qt::LeftButton);
    const int torus = scene().selectedGroup;
    QVERIFY(IsLiveGroup(scene(), torus) && scene().groups[torus].kind == kKindTorus);
    QTRY_COMPARE(undo()->text(), QStringLiteral("&Undo Create Torus"));
    undo()->trigger();
    QVERIFY(!IsLiveGroup(scene(), torus));
    QVERIFY(scene().groups.size() >= groups);
  }

  void ctrlZOverTheViewUndoesOnlyWhenNoClickUsedIt() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    const float x0 = translation(g)[0];
    Retype(translateX(), FieldText(x0 + 1));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    view()->setFocus();
    QTRY_VERIFY(view()->hasFocus());

    // Z held with Ctrl while clicking is a modifier of the click.
    QTest::keyPress(view(), Qt::Key_Z, Qt::ControlModifier);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ControlModifier, view()->rect().center());
    QTest::keyRelease(view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(translation(g)[0], x0 + 1);

    // Pressed and let go on its own, it undoes.
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(translation(g)[0], x0);
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(translation(g)[0], x0 + 1);
  }

  void newAndOpenForgetTheHistory() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    Retype(translateX(), FieldText(translation(g)[0] + 1));
    QVERIFY(session().CanUndo());
    prompts_.answers << true;
    window_->action(QStringLiteral("New"))->trigger();
    QVERIFY(!session().CanUndo());
    QTRY_VERIFY(!undo()->isEnabled());
  }
};

MODRA_GUI_TEST(TestUndo);

}  // namespace modra::test

#include "tst_undo.moc"
