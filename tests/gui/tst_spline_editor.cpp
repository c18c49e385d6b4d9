// The spline editor window as a person uses it: opened from the Animation
// menu on the picked vase, a value point of its rotation dragged with the
// mouse, written back by "&Done" or the close box, and undone from the
// main window, which the open editor follows.
#include <QAbstractButton>
#include <QAction>
#include <QPointer>
#include <QTest>

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
};

MODRA_GUI_TEST(TestSplineEditor);

}  // namespace modra::test

#include "tst_spline_editor.moc"
