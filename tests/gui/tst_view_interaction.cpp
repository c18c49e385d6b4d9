// The mouse on the 3D view, with real events on the demo scene: picking
// and the name box, the modifier shortcuts, moving, turning and spinning
// the view, and Reset View.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "app/time_slider.h"
#include "gui_test.h"

namespace modra::test {

class TestViewInteraction : public EditorTest {
  Q_OBJECT
 public:
  TestViewInteraction() : EditorTest(EditorStart::kDemo) {}

 private:
  QPoint centre() { return view()->rect().center(); }
  const ViewSetting& perspective() { return doc().display.views[kViewPerspective]; }
  QLineEdit* field(const char* panel, const char* axis) {
    return window_->findChild<QWidget*>(panel)->findChild<QLineEdit*>(
        QStringLiteral("ViewPanel_Field") + axis);
  }
  // Press at `from`, move by `by` in two steps, release where the last
  // move ended plus `fling`.
  void drag(Qt::MouseButton button, QPoint from, QPoint by, Qt::KeyboardModifiers keys = {},
            QPoint fling = {}) {
    QTest::mousePress(view(), button, keys, from);
    QTest::mouseMove(view(), from + by / 2);
    QTest::mouseMove(view(), from + by);
    QTest::mouseRelease(view(), button, keys, from + by + fling);
  }

 private slots:
  // The window opens with the keys in the view, and the name box shows the
  // current group even while it has the focus.
  void theKeysStartInTheViewAndTheNameBoxFollowsTheSelection() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QTRY_VERIFY(view()->hasFocus());
    auto* name = window_->findChild<QLineEdit*>("AnimationBar_Name");
    name->setFocus();
    QTRY_VERIFY(name->hasFocus());
    QCOMPARE(name->text(), QStringLiteral("Nothing Selected"));
    window_->action(QStringLiteral("SelectAll"))->trigger();
    const int g = doc().scene.selectedGroup;
    QVERIFY(g != -1);
    const QString was = QString::fromStdString(doc().scene.groups[g].name);
    QTRY_COMPARE(name->text(), was);
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, QStringLiteral("X"));
    QCOMPARE(QString::fromStdString(doc().scene.groups[g].name), was + QLatin1Char('X'));
  }

  // Z held while the pointer is over the view counts wherever the focus
  // is: Shift+Z+drag moves the view and types nothing into the frame box.
  void zOverTheViewCountsWhereverTheFocusIs() {
    window_->setEditMode(0);
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    auto* frame = window_->findChild<QLineEdit*>("AnimationBar_Frame");
    frame->setFocus();
    QTRY_VERIFY(frame->hasFocus());
    QTest::mouseMove(view(), centre());
    const Vec3 turn = window_->interaction().State().totalAngles;
    QTest::keyPress(frame, Qt::Key_Z, Qt::ShiftModifier);
    drag(Qt::LeftButton, centre(), QPoint(view()->width() / 8, 0), Qt::ShiftModifier);
    QTest::keyRelease(frame, Qt::Key_Z, Qt::ShiftModifier);
    QCOMPARE(frame->text(), QStringLiteral("0"));
    QVERIFY(window_->interaction().State().viewTranslation[0] > 0.1f);
    QCOMPARE(window_->interaction().State().totalAngles, turn);

    // A plain z typed with the pointer resting on the view is typed, in
    // this window and in a dialog above the view.
    auto* name = window_->findChild<QLineEdit*>("AnimationBar_Name");
    name->setFocus();
    QTRY_VERIFY(name->hasFocus());
    QTest::mouseMove(view(), centre());
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, QStringLiteral("z"));
    QCOMPARE(name->text(), QStringLiteral("Nothing Selectedz"));
    QLineEdit field;
    field.setWindowFlag(Qt::Dialog);
    field.move(view()->mapToGlobal(centre()) - QPoint(20, 10));
    field.show();
    field.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&field));
    QTest::mouseMove(&field, field.rect().center());
    QTest::keyClicks(&field, QStringLiteral("zZ"));
    QTest::keyClick(&field, Qt::Key_Z, Qt::ShiftModifier);
    QCOMPARE(field.text().toLower(), QStringLiteral("zzz"));
  }

  // The wheel zooms in every mode, as Translate View's right drag does.
  void theWheelZoomsTheViewInEveryMode() {
    for (int mode : {0, 3, 7}) {
      window_->setEditMode(mode);
      const float z = window_->interaction().State().viewTranslation[2];
      QWheelEvent wheel(QPointF(centre()), view()->mapToGlobal(QPointF(centre())), QPoint(),
                        QPoint(0, 2 * QWheelEvent::DefaultDeltasPerStep), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(view(), &wheel);
      QCOMPARE(window_->interaction().State().viewTranslation[2], z - 0.5f);
      QCOMPARE(perspective().translation[2], z - 0.5f);
    }
    QVERIFY(!doc().modified);
  }

  // The time slider runs from frame 0 to the last key frame with a tick at
  // each key frame of the current group; dragging it shows frames.
  void theTimeSliderScrubsAndMarksTheCurrentGroupsKeys() {
    auto* time = window_->findChild<TimeSlider*>(QStringLiteral("AnimationBar_Time"));
    QVERIFY(time);
    const int last = LastKeyFrame(doc().scene.anim);
    QVERIFY(last > 0);
    QTRY_COMPARE(time->maximum(), last);
    QVERIFY(time->keyFrames().empty());
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    QTRY_COMPARE(time->keyFrames(), OwnerKeyFrames(doc().scene.anim, g));
    QVERIFY(!time->keyFrames().empty());
    const QPoint from = time->rect().center();
    QTest::mousePress(time, Qt::LeftButton, {}, QPoint(8, from.y()));
    QTest::mouseMove(time, QPoint(time->width() / 2, from.y()));
    QTest::mouseRelease(time, Qt::LeftButton, {}, QPoint(time->width() / 2, from.y()));
    const int shown = doc().scene.anim.currentFrame;
    QVERIFY(shown > 0 && shown < last);
    QTRY_COMPARE(window_->findChild<QLineEdit*>("AnimationBar_Frame")->text(),
                 QString::number(shown));
    // A click on the track goes straight to the frame under the pointer.
    QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(time->width() - 2, from.y()));
    QTRY_COMPARE(doc().scene.anim.currentFrame, last);
    QVERIFY(!window_->document().session().CanUndo());
  }

  void selectionClickPicksAndTheNameBoxFollows() {
    window_->setEditMode(0);
    auto* name = window_->findChild<QLineEdit*>("AnimationBar_Name");
    auto* asBox = window_->findChild<QRadioButton*>("CFormPick_DrawAs1");
    QVERIFY(!asBox->isEnabled());
    QTest::mouseClick(view(), Qt::LeftButton, {}, centre());
    const int g = doc().scene.selectedGroup;
    QVERIFY(g != -1);
    QVERIFY(doc().scene.groups[g].flags & Selected);
    // The vase stands in the middle of the demo scene.
    QCOMPARE(QString::fromStdString(doc().scene.groups[g].name), QStringLiteral("Vase"));
    QTRY_COMPARE(name->text(), QStringLiteral("Vase"));
    QTRY_VERIFY(asBox->isEnabled());  // the panel refreshed from the same notice
    QVERIFY(!doc().modified);

    // Empty space above the scene selects nothing.
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(centre().x(), 3));
    QCOMPARE(doc().scene.selectedGroup, -1);
    QVERIFY(!(doc().scene.groups[g].flags & Selected));
    QTRY_COMPARE(name->text(), QStringLiteral("Nothing Selected"));
    QTRY_VERIFY(!asBox->isEnabled());
  }

  // A click selects a top-level group, a second click on it enters it and
  // picks among its children, and a click on empty space climbs back out.
  void secondClickEntersTheGroup() {
    window_->setEditMode(0);
    const Scene& s = doc().scene;
    int title = -1;
    ForEachSibling(s, s.rootHead, [&](int g) {
      if (s.groups[g].name == "Title") title = g;
    });
    QVERIFY(title != -1);
    // The title's letters stand across the top of the view: look down the
    // middle for one.
    QPoint letter;
    const qreal ratio = view()->devicePixelRatioF();
    for (int y = 2; y < view()->height() / 2 && letter.isNull(); y += 3) {
      const ViewPoint p =
          NormalizePoint(static_cast<float>(centre().x() * ratio), static_cast<float>(y * ratio),
                         static_cast<float>(view()->width() * ratio),
                         static_cast<float>(view()->height() * ratio));
      if (view()->pickAt(p.x, p.y) == title) letter = QPoint(centre().x(), y);
    }
    QVERIFY(!letter.isNull());
    auto* name = window_->findChild<QLineEdit*>("AnimationBar_Name");

    QTest::mouseClick(view(), Qt::LeftButton, {}, letter);
    QCOMPARE(s.selectedGroup, title);
    QVERIFY(s.levelStack.empty());
    QTRY_COMPARE(name->text(), QStringLiteral("Title"));

    QTest::mouseClick(view(), Qt::LeftButton, {}, letter);
    QCOMPARE(s.levelStack, std::vector<int32_t>{title});
    const int text = s.selectedGroup;
    QVERIFY(text != -1 && text != title);
    QCOMPARE(FindGroupLink(s, text).parent, title);
    QVERIFY(s.groups[text].flags & Selected);
    QTRY_COMPARE(name->text(), QStringLiteral("Text"));
    // Empty space at the bottom edge: one level up, the title current again.
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(centre().x(), view()->height() - 3));
    QVERIFY(s.levelStack.empty());
    QCOMPARE(s.selectedGroup, title);
    QTRY_COMPARE(name->text(), QStringLiteral("Title"));
    QVERIFY(!doc().modified);
  }

  void ctrlClickPicksFromRotateView() {
    QCOMPARE(window_->editMode(), 1);
    const Vec3 turned = perspective().rotation;
    // The Z key counts only with Ctrl or Shift: alone it is a plain click.
    QTest::keyPress(view(), Qt::Key_Z);
    QTest::mouseClick(view(), Qt::LeftButton, {}, centre());
    QCOMPARE(doc().scene.selectedGroup, -1);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ControlModifier, centre());
    QTest::keyRelease(view(), Qt::Key_Z);
    QVERIFY(doc().scene.selectedGroup != -1);
    QTRY_COMPARE(window_->findChild<QLineEdit*>("AnimationBar_Name")->text(),
                 QStringLiteral("Vase"));
    QCOMPARE(window_->editMode(), 1);
    QCOMPARE(perspective().rotation, turned);
  }

  void translateViewDragMovesTheView() {
    window_->setEditMode(2);
    const int w = view()->width(), h = view()->height();
    // The pointer is followed one to one: a drag across the view is two units.
    drag(Qt::LeftButton, centre(), QPoint(w / 4, -h / 8));
    const float x = units(w / 4, w);
    QVERIFY(near(perspective().translation[0], x));
    QVERIFY(near(perspective().translation[1], units(h / 8, h)));
    QCOMPARE(perspective().translation[2], 0.0f);
    QTRY_COMPARE(field("CFormViewerTrans", "X")->text(),
                 QString::number(perspective().translation[0], 'f', 3));
    // The right button moves along z by four times the vertical drag.
    drag(Qt::RightButton, centre(), QPoint(0, h / 8));
    QVERIFY(near(perspective().translation[2], -4 * units(h / 8, h)));
    QVERIFY(near(perspective().translation[0], x));

    // Shift+Z reaches the same from Rotate View, without turning.
    window_->setEditMode(1);
    const Vec3 turned = perspective().rotation;
    QTest::keyPress(view(), Qt::Key_Z);
    drag(Qt::LeftButton, centre(), QPoint(-w / 4, 0), Qt::ShiftModifier);
    QTest::keyRelease(view(), Qt::Key_Z);
    QVERIFY(near(perspective().translation[0], 0));
    QCOMPARE(perspective().rotation, turned);
  }

  void rotateViewDragTurnsAndAFlickSpins() {
    const QSize size = view()->size();
    drag(Qt::LeftButton, centre(), QPoint(size.width() / 8, size.height() / 8));
    // A drag across the whole view turns by 360 degrees.
    Vec3 after = perspective().rotation;
    const float y = 180 * units(size.width() / 8, size.width());
    QVERIFY(near(after[1], y));
    QVERIFY(near(after[0], 180 * units(size.height() / 8, size.height())));
    QTRY_COMPARE(field("CFormViewer", "Y")->text(), QString::number(after[1], 'f', 3));
    auto* spin = view()->findChild<QTimer*>("COglView_Spin");
    QVERIFY(!spin->isActive());  // a release where the drag stopped

    // Let go while still moving: the view turns on by itself, each step
    // by the flick's rate.
    drag(Qt::LeftButton, centre(), QPoint(size.width() / 8, 0), {}, QPoint(size.width() / 20, 0));
    QVERIFY(spin->isActive());
    after = perspective().rotation;
    QTRY_VERIFY(perspective().rotation[1] > after[1] + 20);
    QCOMPARE(perspective().rotation[0], after[0]);
    // The next press stops it.
    QTest::mousePress(view(), Qt::LeftButton, {}, centre());
    QVERIFY(!spin->isActive());
    QTest::mouseRelease(view(), Qt::LeftButton, {}, centre());
    QVERIFY(!spin->isActive());
  }

  void resetViewBringsTheViewBack() {
    const QSize size = view()->size();
    window_->setEditMode(2);
    drag(Qt::LeftButton, centre(), QPoint(size.width() / 4, 0));
    window_->setEditMode(1);
    auto* fov =
        window_->findChild<QWidget*>("CFormViewer")->findChild<QSlider*>("ViewPanel_FieldOfView");
    fov->setValue(600);
    QCOMPARE(perspective().fieldOfView, 60.0f);
    doc().display.views[kViewFront].scale = 3;
    drag(Qt::LeftButton, centre(), QPoint(size.width() / 8, 0), {}, QPoint(size.width() / 20, 0));
    QVERIFY(window_->interaction().Spinning());

    window_->action("ResetView")->trigger();
    QVERIFY(!window_->interaction().Spinning());
    QCOMPARE(perspective().rotation, (Vec3{0, 0, 0}));
    QCOMPARE(perspective().translation, (Vec3{0, 0, 0}));
    QCOMPARE(perspective().fieldOfView, 30.0f);
    QCOMPARE(doc().display.views[kViewFront].scale, 1.0f);
    QTRY_COMPARE(fov->value(), 300);
    QCOMPARE(field("CFormViewer", "Y")->text(), QStringLiteral("0.000"));
    // The spin's timer winds down by itself and turns nothing more.
    QTRY_VERIFY(!view()->findChild<QTimer*>("COglView_Spin")->isActive());
    QCOMPARE(perspective().rotation, (Vec3{0, 0, 0}));
  }
};

MODRA_GUI_TEST(TestViewInteraction);

}  // namespace modra::test

#include "tst_view_interaction.moc"
