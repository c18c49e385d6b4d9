// The spline editor window as a person uses it: opened from the Animation
// menu on the picked vase, a value point of its rotation dragged with the
// mouse while the status bar reads it out, written back by "&Done" or the
// close box, and undone from the main window, which the open editor
// follows; Home and F fit the view.
#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <cmath>

#include "anim/playback.h"
#include "app/main_window.h"
#include "app/spline_editor_window.h"
#include "document/document.h"
#include "gui_test.h"

namespace modra::test {

class TestSplineEditor : public EditorTest {
  Q_OBJECT
 public:
  TestSplineEditor() : EditorTest(EditorStart::kDemo) {}

 private:
  // Opens the editor from the menu on the vase's rotation; null when any
  // step fails.
  SplineEditorWindow* openOnRotation() {
    if (PickVase(*window_, 0) < 0) return nullptr;
    window_->action(QStringLiteral("EditSpline"))->trigger();
    auto* editor = window_->findChild<SplineEditorWindow*>();
    if (!editor || !QTest::qWaitForWindowExposed(editor)) return nullptr;
    auto* rotation = editor->findChild<QAbstractButton*>(QStringLiteral("SplineEditor_Param1"));
    if (!rotation) return nullptr;
    QTest::mouseClick(rotation, Qt::LeftButton);
    return editor;
  }
  // Where the view shows an entry.
  static QPoint pixelOfEntry(SplineEditorWindow* editor, int entry) {
    const SplineEditor& e = editor->editor();
    const SplineEntry& p = e.curve.entries[entry];
    return editor->curveView()
        ->pixelOf(SplineWindowX(e.view, p.x), SplineWindowY(e.view, p.y))
        .toPoint();
  }
  // Drags the first key's first value point `pixels` up; the key-store
  // index of that key.
  int dragFirstValue(SplineEditorWindow* editor, int pixels) {
    const SplineEditor& e = editor->editor();
    const SplineEntry& entry = e.curve.entries[SplineEntryIndex(0, 0, false)];
    SplineCurveView* view = editor->curveView();
    const QPoint at =
        view->pixelOf(SplineWindowX(e.view, entry.x), SplineWindowY(e.view, entry.y)).toPoint();
    QTest::mousePress(view, Qt::LeftButton, {}, at);
    QTest::mouseMove(view, at - QPoint(0, pixels / 2));
    QTest::mouseMove(view, at - QPoint(0, pixels));
    QTest::mouseRelease(view, Qt::LeftButton, {}, at - QPoint(0, pixels));
    return e.curve.keys[0].key;
  }

 private slots:
  void dragThenDoneKeepsTheValueUntilUndo() {
    QPointer<SplineEditorWindow> editor = openOnRotation();
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QStringLiteral("Animation Spline Editor"));
    QVERIFY(
        editor->findChild<QAbstractButton*>(QStringLiteral("SplineEditor_Owner0"))->isChecked());
    const SplineEditor& e = editor->editor();
    QVERIFY(e.loaded);
    QCOMPARE(e.curve.param, int(kSplineRotation));
    QVERIFY(e.curve.keys.size() >= 2);
    QVERIFY(e.curve.keys[0].hasSegment && !e.curve.keys[0].step);
    const int group = scene().selectedGroup;
    const int frame = e.curve.keys[0].frame;
    const std::vector<KnfKeyInfo> before = scene().anim.keys;
    const float start = e.curve.keys[0].p[0];
    doc().modified = false;

    const int pixels = 40;
    const int key = dragFirstValue(editor, pixels);
    const float expected = start + units(pixels, editor->curveView()->height()) * e.view.yScale;
    QVERIFY2(near(scene().anim.keys[key].values[0], expected, 0.05f * e.view.yScale),
             qPrintable(QStringLiteral("%1 instead of %2")
                            .arg(scene().anim.keys[key].values[0])
                            .arg(expected)));

    editor->findChild<QAction*>(QStringLiteral("SplineEditor_Done"))->trigger();
    QTRY_VERIFY(editor.isNull());
    QVERIFY(doc().modified);
    GoToFrame(doc(), frame);
    QVERIFY(near(scene().groups[group].rotation[0], scene().anim.keys[key].values[0], 1e-2f));
    QVERIFY(!near(scene().groups[group].rotation[0], start, 1e-2f));

    QVERIFY(WaitForRefresh(*window_));
    window_->action(QStringLiteral("Undo"))->trigger();
    QCOMPARE(scene().anim.keys.size(), before.size());
    for (size_t k = 0; k < before.size(); ++k)
      QCOMPARE(scene().anim.keys[k].values, before[k].values);
  }

  void openEditorFollowsUndoAndClosingWritesNothingStale() {
    QPointer<SplineEditorWindow> editor = openOnRotation();
    QVERIFY(editor);
    const std::vector<KnfKeyInfo> before = scene().anim.keys;
    const float start = editor->editor().curve.keys[0].p[0];
    dragFirstValue(editor, 30);
    QVERIFY(!near(editor->editor().curve.keys[0].p[0], start));

    // The menu item brings the one editor forward rather than a second.
    window_->action(QStringLiteral("EditSpline"))->trigger();
    QCOMPARE(window_->findChildren<SplineEditorWindow*>().size(), 1);

    // A person sees Undo offered before choosing it.
    QVERIFY(WaitForRefresh(*window_));
    window_->action(QStringLiteral("Undo"))->trigger();
    QTRY_VERIFY(near(editor->editor().curve.keys[0].p[0], start));
    // The close box writes back what the editor shows, which is the
    // restored curve: the keys stay as they were before the drag.
    editor->close();
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(scene().anim.keys.size(), before.size());
    for (size_t k = 0; k < before.size(); ++k)
      QCOMPARE(scene().anim.keys[k].values, before[k].values);
  }

  void homeFitsEveryPointAndFTheSelectedOnes() {
    QPointer<SplineEditorWindow> editor = openOnRotation();
    QVERIFY(editor);
    const SplineEditor& e = editor->editor();
    SplineCurveView* view = editor->curveView();
    QVERIFY(e.curve.keys.size() >= 2);
    const SplineView whole = FitSplineView(e.curve.entries);
    // A value point clicked brings its handle into the selection.
    QTest::mouseClick(view, Qt::LeftButton, {},
                      pixelOfEntry(editor, SplineEntryIndex(0, 0, false)));
    QVERIFY(e.curve.entries[SplineEntryIndex(0, 0, true)].selected);

    QTest::keyClick(view, Qt::Key_F);
    int outside = 0;
    for (const SplineEntry& p : e.curve.entries) {
      const float x = SplineWindowX(e.view, p.x), y = SplineWindowY(e.view, p.y);
      const bool in = std::fabs(x) <= 0.801f && std::fabs(y) <= 0.801f;
      if (p.selected)
        QVERIFY2(in, qPrintable(QStringLiteral("selected at %1, %2").arg(x).arg(y)));
      else if (!in)
        ++outside;
    }
    // The other key lies far off in a view fitted to one key.
    QVERIFY(outside > 0);
    QVERIFY(!near(e.view.xScale, whole.xScale));

    QTest::keyClick(view, Qt::Key_Home);
    QVERIFY(near(e.view.xScale, whole.xScale, 1e-6f));
    QVERIFY(near(e.view.yScale, whole.yScale, 1e-6f));
    QVERIFY(near(e.view.xOffset, whole.xOffset, 1e-6f));
    QVERIFY(near(e.view.yOffset, whole.yOffset, 1e-6f));
    // The scroll bars follow the fitted view.
    QCOMPARE(editor->findChild<QScrollBar*>(QStringLiteral("SplineEditor_VScroll"))->value(),
             whole.vScroll);
  }

  void dragShowsTheFrameAndValueInTheStatusBar() {
    QPointer<SplineEditorWindow> editor = openOnRotation();
    QVERIFY(editor);
    const SplineEditor& e = editor->editor();
    SplineCurveView* view = editor->curveView();
    auto* status = editor->findChild<QLabel*>(QStringLiteral("SplineEditor_Status"));
    QVERIFY(status);
    const QPoint at = pixelOfEntry(editor, SplineEntryIndex(0, 0, false));
    QTest::mousePress(view, Qt::LeftButton, {}, at);
    QTest::mouseMove(view, at - QPoint(0, 25));
    // The point sits under the pointer, and the status says where.
    const float value = e.curve.keys[0].p[0];
    QVERIFY(near(SplineWindowY(e.view, value), view->windowOf(at - QPoint(0, 25)).y(), 1e-3f));
    QCOMPARE(status->text(), QStringLiteral("Frame %1  Value %2 degrees")
                                 .arg(e.curve.keys[0].frame)
                                 .arg(double(value), 0, 'f', 3));
    QTest::mouseRelease(view, Qt::LeftButton, {}, at - QPoint(0, 25));
    QCOMPARE(status->text(), QString());
  }
};

MODRA_GUI_TEST(TestSplineEditor);

}  // namespace modra::test

#include "tst_spline_editor.moc"
