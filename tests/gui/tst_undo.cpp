// Undo and redo as a person meets them: a drag is one step, the Edit menu
// names it, the modified flag follows the saved state, Ctrl+Z over the view
// undoes on a key press but not when it modifies a click, and New forgets.
#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "app/control_panel.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "app/panel_widgets.h"
#include "gui_test.h"

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
  Vec3 translation(int g) { return scene().groups[g].translation; }
  QLineEdit* translateX() {
    return window_->findChild<QWidget*>("CFormObjTrans")
        ->findChild<QLineEdit*>(QStringLiteral("TransformPanel_FieldX"));
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
