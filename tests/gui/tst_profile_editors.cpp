// The extrusion and surface editors as a person uses them: opened from the
// Create panel, points dragged, picked, banded and cut with the mouse and
// keys, numbers typed into the control bar, the pane zoomed and panned,
// profiles saved and read back, and every change taken back from the main
// window's Edit > Undo while the editor follows.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <numeric>

#include "app/main_window.h"
#include "app/profile_editor_view.h"
#include "app/profile_editor_window.h"
#include "document/document.h"
#include "edit/edit_session.h"
#include "gui_test.h"
#include "profile/profile_editors.h"

namespace modra::test {

class TestProfileEditors : public EditorTest {
  Q_OBJECT
 public:
  TestProfileEditors() : EditorTest(EditorStart::kShown) {}

 private:
  ProfileEditors& editors() { return window_->document().session().profiles(); }

  // Presses a Create panel button and waits for the editor it opens.
  template <class Window>
  Window* openFromCreatePanel(const char* button) {
    window_->setEditMode(8);
    auto* b =
        window_->findChild<QPushButton*>(QStringLiteral("CFormCreate_") + QLatin1String(button));
    if (!b) return nullptr;
    QTest::mouseClick(b, Qt::LeftButton);
    Window* editor = nullptr;
    if (!QTest::qWaitFor([&] { return (editor = window_->findChild<Window*>()) != nullptr; }))
      return nullptr;
    // Keys go where a person's would only in the active window.
    editor->activateWindow();
    if (!QTest::qWaitForWindowActive(editor)) return nullptr;
    return editor;
  }

  static const std::vector<float>& points(const ProfileEditors& e, ProfileEditorKind kind) {
    return kind == ProfileEditorKind::kExtrusion ? e.ext.profile.points : e.surf.profile.points;
  }
  static const PaneView& paneView(const ProfileEditors& e, ProfileEditorKind kind) {
    return kind == ProfileEditorKind::kExtrusion ? e.ext.view : e.surf.view;
  }
  // Where profile point i is drawn in the editor's view.
  QPoint pixelOfPoint(ProfileEditorWindow* w, size_t i) {
    const std::vector<float>& p = points(editors(), w->kind());
    const PanePoint shown =
        ProfileToShown(paneView(editors(), w->kind()), {p[2 * i], p[2 * i + 1]});
    return w->view()->pixelOf(ProfileToWindowX(w->kind(), shown.x), shown.y).toPoint();
  }
  // The profile point under a pixel of the view.
  PanePoint profileAt(ProfileEditorWindow* w, QPoint pixel) {
    const QPointF at = w->view()->windowOf(pixel);
    return PanePointAt(w->kind(), paneView(editors(), w->kind()), static_cast<float>(at.x()),
                       static_cast<float>(at.y()));
  }
  static void drag(QWidget* view, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
                   Qt::KeyboardModifiers mods = {}) {
    QTest::mousePress(view, button, mods, from);
    QTest::mouseMove(view, (from + to) / 2);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, button, mods, to);
  }
  static double geometrySum(const DisplayGroup& g) {
    double sum = 0;
    for (const DisplayPrimitive& p : g.primitives)
      sum = std::accumulate(p.vertices.begin(), p.vertices.end(), sum);
    return sum;
  }
  // The left (3D) part of the view's picture.
  static QImage preview(ProfileEditorWindow* w) {
    const QImage all = w->view()->grabFramebuffer();
    return all.copy(0, 0, all.width() / 2, all.height());
  }
  static QString text(ProfileEditorWindow* w, ProfileField f) { return w->field(f)->text(); }
  void undo() { window_->action(QStringLiteral("Undo"))->trigger(); }
  // Clicks into a field, then types over its text.
  static void typeInto(QLineEdit* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    Retype(field, text);
  }

 private slots:
  void eachEditorOpensOnItsNewGroupAndADragRebuildsItUntilUndo_data() {
    QTest::addColumn<bool>("extrusion");
    QTest::newRow("extrusion") << true;
    QTest::newRow("surface") << false;
  }
  void eachEditorOpensOnItsNewGroupAndADragRebuildsItUntilUndo() {
    QFETCH(bool, extrusion);
    ProfileEditorWindow* w =
        extrusion
            ? static_cast<ProfileEditorWindow*>(openFromCreatePanel<CExtEditorWnd>("Extrusion"))
            : openFromCreatePanel<CSurfEditWnd>("Revolution");
    QVERIFY(w);
    const ProfileEditorKind kind = w->kind();
    const int group = scene().selectedGroup;
    QCOMPARE(extrusion ? editors().ext.group : editors().surf.group, group);
    QCOMPARE(w->windowTitle(), extrusion
                                   ? QStringLiteral("new.ext - Extrusion Editor")
                                   : QStringLiteral("new.surf - Surface of Revolution Editor"));
    const ProfileField px = extrusion ? ProfileField::kExtPointX : ProfileField::kSurfPointX;
    const ProfileField py = extrusion ? ProfileField::kExtPointY : ProfileField::kSurfPointY;
    QVERIFY(text(w, px).isEmpty() && !w->field(px)->isEnabled());

    const std::vector<float> before = points(editors(), kind);
    const double geometry = geometrySum(scene().groups[group]);
    const QImage pictureBefore = preview(w);
    const size_t i = 1;
    const QPoint from = pixelOfPoint(w, i);
    const QPoint to = from + QPoint(-12, 15);
    const PanePoint start = profileAt(w, from), end = profileAt(w, to);
    const size_t steps = window_->document().history().Position();
    drag(w->view(), from, to);

    const std::vector<float>& after = points(editors(), kind);
    QVERIFY(near(after[2 * i], before[2 * i] + end.x - start.x));
    QVERIFY(near(after[2 * i + 1], before[2 * i + 1] + end.y - start.y));
    QVERIFY(geometrySum(scene().groups[group]) != geometry);
    QTRY_COMPARE(text(w, px), QString::number(after[2 * i], 'f', 3));
    QCOMPARE(text(w, py), QString::number(after[2 * i + 1], 'f', 3));
    QTRY_VERIFY(preview(w) != pictureBefore);
    // The press, both moves and the release are one step.
    QCOMPARE(window_->document().history().Position(), steps + 1);
    QVERIFY(doc().modified);

    undo();
    QCOMPARE(points(editors(), kind), before);
    QCOMPARE(geometrySum(scene().groups[group]), geometry);
    QTRY_COMPARE(text(w, px), QString::number(before[2 * i], 'f', 3));

    // "D&one" leaves the group in the scene and lets it go.
    QPointer<ProfileEditorWindow> closing = w;
    w->findChild<QAction*>(QLatin1String(extrusion ? "ExtEditor_Done" : "SurfEditor_Done"))
        ->trigger();
    QTRY_VERIFY(closing.isNull());
    QVERIFY(IsLiveGroup(scene(), group));
    QCOMPARE(extrusion ? editors().ext.group : editors().surf.group, -1);
  }

  void editGeometryReopensTheEditorOnTheCurrentGroup() {
    QPointer<CSurfEditWnd> w = openFromCreatePanel<CSurfEditWnd>("Revolution");
    QVERIFY(w);
    const int surface = scene().selectedGroup;
    w->close();
    QTRY_VERIFY(w.isNull());
    auto* edit = window_->findChild<QPushButton*>(QStringLiteral("CFormCreate_EditGeometry"));
    QTRY_VERIFY(edit->isEnabled());
    QTest::mouseClick(edit, Qt::LeftButton);
    QTRY_VERIFY(window_->findChild<CSurfEditWnd*>());
    QCOMPARE(editors().surf.group, surface);
    // A block has no profile to edit.
    QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("CFormCreate_Block")),
                      Qt::LeftButton);
    QTRY_VERIFY(!edit->isEnabled());
  }

  void picksTogglesBandsAndCutsWithMouseAndKeys() {
    CExtEditorWnd* w = openFromCreatePanel<CExtEditorWnd>("Extrusion");
    QVERIFY(w);
    const ExtEditor& ed = editors().ext;
    const size_t count = ed.profile.corners.size();
    QTest::mouseClick(w->view(), Qt::LeftButton, {}, pixelOfPoint(w, 3));
    QCOMPARE(ed.current, 3);
    // Ctrl adds a point, a right click takes one out again.
    QTest::mouseClick(w->view(), Qt::LeftButton, Qt::ControlModifier, pixelOfPoint(w, 5));
    QCOMPARE(ed.current, 5);
    QTest::mouseClick(w->view(), Qt::RightButton, {}, pixelOfPoint(w, 5));
    QCOMPARE(ed.current, 3);
    QTest::mouseClick(w->view(), Qt::RightButton, {}, pixelOfPoint(w, 3));
    QCOMPARE(ed.current, -1);
    QTRY_VERIFY(text(w, ProfileField::kExtPointX).isEmpty());

    // A band round points 3 and 4 selects exactly those.
    const QPoint a = pixelOfPoint(w, 3), b = pixelOfPoint(w, 4);
    const QPoint lo(std::min(a.x(), b.x()) - 3, std::min(a.y(), b.y()) - 3);
    const QPoint hi(std::max(a.x(), b.x()) + 3, std::max(a.y(), b.y()) + 3);
    drag(w->view(), lo, hi);
    QCOMPARE(std::count(ed.profile.selected.begin(), ed.profile.selected.end(), 1), 2);
    QVERIFY(ed.profile.selected[3] && ed.profile.selected[4]);
    QCOMPARE(ed.current, 4);

    // The corner box gives both the current point's new flag.
    auto* corner = w->findChild<QCheckBox*>(QStringLiteral("ExtEditor_Corner"));
    QTRY_VERIFY(corner->isEnabled());
    const bool wasCorner = ed.profile.corners[4];
    QTest::mouseClick(corner, Qt::LeftButton);
    QCOMPARE(bool(ed.profile.corners[3]), !wasCorner);
    QCOMPARE(bool(ed.profile.corners[4]), !wasCorner);
    QCOMPARE(corner->isChecked(), !wasCorner);

    // Delete in the view cuts them; in a field it only edits the text.
    w->view()->setFocus();
    QTest::keyClick(w->view(), Qt::Key_Delete);
    QCOMPARE(ed.profile.corners.size(), count - 2);
    QLineEdit* depth = w->field(ProfileField::kDepth);
    QTest::mouseClick(depth, Qt::LeftButton);
    depth->setCursorPosition(0);
    QTest::keyClick(depth, Qt::Key_Delete);
    QCOMPARE(ed.profile.corners.size(), count - 2);
    undo();
    QCOMPARE(ed.profile.corners.size(), count);
  }

  void typedNumbersCountWhenLeftAndTextThatIsNoNumberIsMarked() {
    CSurfEditWnd* w = openFromCreatePanel<CSurfEditWnd>("Revolution");
    QVERIFY(w);
    const SurfEditor& ed = editors().surf;
    QLineEdit* steps = w->field(ProfileField::kSteps);
    QLineEdit* degrees = w->field(ProfileField::kDegrees);
    QTRY_COMPARE(steps->text(), QStringLiteral("30"));
    const size_t before = window_->document().history().Position();

    // Return in a field nobody typed in changes nothing.
    QTest::mouseClick(degrees, Qt::LeftButton);
    QTest::keyClick(degrees, Qt::Key_Return);
    QCOMPARE(window_->document().history().Position(), before);

    // "1" on its way to "12" is not replaced by the least count under the
    // typist's fingers.
    typeInto(steps, QStringLiteral("12"));
    QCOMPARE(steps->text(), QStringLiteral("12"));
    // Tab to the next field ends the field's step.
    QTest::keyClick(steps, Qt::Key_Tab);
    QVERIFY(w->field(ProfileField::kDeltaY)->hasFocus());
    QCOMPARE(ed.params.steps, 12);
    QCOMPARE(window_->document().history().Position(), before + 1);
    typeInto(steps, QStringLiteral("-5"));
    QTest::keyClick(steps, Qt::Key_Return);
    QCOMPARE(ed.params.steps, 4);
    QTRY_COMPARE(steps->text(), QStringLiteral("4"));

    typeInto(degrees, QStringLiteral("abc"));
    QVERIFY(degrees->property("marked").toBool());
    QTest::mouseClick(steps, Qt::LeftButton);
    QCOMPARE(ed.params.degrees, 360.0f);
    QTRY_COMPARE(degrees->text(), QStringLiteral("360.00"));
    QVERIFY(!degrees->property("marked").toBool());

    undo();
    QCOMPARE(ed.params.steps, 12);
    QTRY_COMPARE(steps->text(), QStringLiteral("12"));
  }

  void theWheelZoomsAboutThePointerAndTheMiddleButtonPans() {
    CExtEditorWnd* w = openFromCreatePanel<CExtEditorWnd>("Extrusion");
    QVERIFY(w);
    ProfileEditorView* view = w->view();
    const QPoint at(view->width() * 3 / 4 + 20, view->height() / 3);
    const PanePoint under = profileAt(w, at);
    const size_t steps = window_->document().history().Position();
    QWheelEvent wheel(at, view->mapToGlobal(at), {}, QPoint(0, 240), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QVERIFY(near(editors().ext.view.scale, kPaneZoomPerNotch * kPaneZoomPerNotch));
    const PanePoint still = profileAt(w, at);
    QVERIFY(near(still.x, under.x) && near(still.y, under.y));

    const PanePoint before = profileAt(w, at);
    drag(view, at, at + QPoint(30, 0), Qt::MiddleButton);
    const PanePoint after = profileAt(w, at);
    QVERIFY(after.x < before.x && near(after.y, before.y));
    // The pane's view is the editor's, no step of the document.
    QCOMPARE(window_->document().history().Position(), steps);

    w->findChild<QAction*>(QStringLiteral("ExtEditor_ZoomToFit"))->trigger();
    const std::vector<float>& p = editors().ext.profile.points;
    for (size_t i = 0; i < p.size() / 2; ++i) {
      const PanePoint shown = ProfileToShown(editors().ext.view, {p[2 * i], p[2 * i + 1]});
      QVERIFY(shown.x > -1 && shown.x < 1 && shown.y > -1 && shown.y < 1);
    }
  }

  void snapToGridPutsTheDraggedPointOnTheGrid() {
    CExtEditorWnd* w = openFromCreatePanel<CExtEditorWnd>("Extrusion");
    QVERIFY(w);
    auto* snap = w->findChild<QCheckBox*>(QStringLiteral("ExtEditor_Snap"));
    QVERIFY(!snap->isChecked());
    QTest::mouseClick(snap, Qt::LeftButton);
    QVERIFY(editors().ext.snap);
    const QPoint from = pixelOfPoint(w, 2);
    drag(w->view(), from, from + QPoint(17, -9));
    const std::vector<float>& p = editors().ext.profile.points;
    for (float v : {p[4], p[5]}) {
      const float steps = v / kPaneSnapStep;
      QVERIFY2(near(steps, std::round(steps)), qPrintable(QString::number(v)));
    }
  }

  void theParameterChoiceDragsTheDepthAsOneStep() {
    CExtEditorWnd* w = openFromCreatePanel<CExtEditorWnd>("Extrusion");
    QVERIFY(w);
    QTest::mouseClick(w->findChild<QRadioButton*>(QStringLiteral("ExtEditor_Mouse2")),
                      Qt::LeftButton);
    const float depth = editors().ext.profile.depth;
    const size_t steps = window_->document().history().Position();
    ProfileEditorView* view = w->view();
    const QPoint from(view->width() / 8, view->height() / 2);
    const QPoint to = from + QPoint(view->width() / 8, 0);
    drag(view, from, to);
    const float expected = depth + ProfileFieldDragRate(ProfileField::kDepth) *
                                       units(to.x() - from.x(), view->width());
    QVERIFY2(
        near(editors().ext.profile.depth, expected),
        qPrintable(
            QStringLiteral("%1 instead of %2").arg(editors().ext.profile.depth).arg(expected)));
    QCOMPARE(window_->document().history().Position(), steps + 1);
    QTRY_COMPARE(text(w, ProfileField::kDepth), QString::number(expected, 'f', 3));
    // Shift turns the view instead, whatever the choice.
    drag(view, from, to, Qt::LeftButton, Qt::ShiftModifier);
    QVERIFY(near(editors().ext.profile.depth, expected));
    QVERIFY(view->preview().angles[1] != 0);
  }

  void aSavedProfileOpensAgainAsTheSameGroup() {
    CExtEditorWnd* w = openFromCreatePanel<CExtEditorWnd>("Extrusion");
    QVERIFY(w);
    const int group = scene().selectedGroup;
    const QPoint from = pixelOfPoint(w, 0);
    drag(w->view(), from, from + QPoint(10, 10));
    const std::vector<float> drawn = editors().ext.profile.points;
    const double geometry = geometrySum(scene().groups[group]);

    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("bar"));
    prompts_.files << chosen;
    w->findChild<QAction*>(QStringLiteral("ExtEditor_SaveAs"))->trigger();
    QCOMPARE(prompts_.filters.last(), QStringLiteral("Modra Extrusion Files (*.ext)"));
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("bar.ext - Extrusion Editor"));
    QVERIFY(QFileInfo::exists(chosen + QStringLiteral(".ext")));

    w->findChild<QAction*>(QStringLiteral("ExtEditor_New"))->trigger();
    QVERIFY(editors().ext.profile.points != drawn);
    prompts_.files << chosen + QStringLiteral(".ext");
    w->findChild<QAction*>(QStringLiteral("ExtEditor_Open"))->trigger();
    QCOMPARE(editors().ext.profile.points, drawn);
    QCOMPARE(geometrySum(scene().groups[group]), geometry);
    QVERIFY(prompts_.messages.isEmpty());
  }

  void generalHelpShowsTheEditorsText() {
    CSurfEditWnd* w = openFromCreatePanel<CSurfEditWnd>("Revolution");
    QVERIFY(w);
    w->findChild<QAction*>(QStringLiteral("SurfEditor_GeneralHelp"))->trigger();
    auto* help = w->findChild<QDialog*>(QStringLiteral("SurfEditor_Help"));
    QVERIFY(help && help->isVisible());
    QVERIFY(help->findChild<QPlainTextEdit*>()->toPlainText().contains(
        QStringLiteral("Degrees to Rotate")));
  }
};

MODRA_GUI_TEST(TestProfileEditors);

}  // namespace modra::test

#include "tst_profile_editors.moc"
