// The panels that edit: typed values reach the model and the model's
// values come back into the fields.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "app/form_pick.h"
#include "app/form_viewer.h"
#include "app/form_viewer_trans.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/preferences_dialog.h"
#include "document/group_edit.h"
#include "gui_test.h"

namespace modra::test {

class TestPanels : public EditorTest {
  Q_OBJECT
 public:
  TestPanels() : EditorTest(EditorStart::kHidden) {}

 private:
  QTemporaryDir dir_;

  template <typename T>
  T* child(const QString& panel, const char* name) {
    QWidget* p = window_->findChild<QWidget*>(panel);
    return p ? p->findChild<T*>(QString::fromLatin1(name)) : nullptr;
  }

 private slots:
  void typedRotationTurnsThePerspectiveView() {
    auto* x = child<QLineEdit>("CFormViewer", "ViewPanel_FieldX");
    auto* z = child<QLineEdit>("CFormViewer", "ViewPanel_FieldZ");
    QVERIFY(x && z);
    x->selectAll();
    QTest::keyClicks(x, "30");
    z->selectAll();
    QTest::keyClicks(z, "junk");  // unparsable counts as 0
    const Vec3 rotation = doc().display.views[kViewPerspective].rotation;
    QCOMPARE(rotation[0], 30.0f);
    QCOMPARE(rotation[2], 0.0f);
    // Back through the model: another panel of the same values shows them.
    window_->setEditMode(2);
    window_->setEditMode(1);
    QTRY_COMPARE(x->text(), QStringLiteral("30.000"));
  }

  void typedTranslationMovesTheView() {
    window_->setEditMode(2);
    auto* y = child<QLineEdit>("CFormViewerTrans", "ViewPanel_FieldY");
    y->selectAll();
    QTest::keyClicks(y, "0.5");
    QCOMPARE(doc().display.views[kViewPerspective].translation[1], 0.5f);
  }

  void slidersSetThePerspectiveAndFollowTheView() {
    auto* fov = child<QSlider>("CFormViewer", "ViewPanel_FieldOfView");
    auto* nearPlane = child<QSlider>("CFormViewer", "ViewPanel_NearPlane");
    QVERIFY(fov->isEnabled());  // the Perspective view
    fov->setValue(455);
    nearPlane->setValue(-250);
    QCOMPARE(doc().display.views[kViewPerspective].fieldOfView, 45.5f);
    QCOMPARE(doc().display.views[kViewPerspective].nearOffset, -2.5f);
    // An orthographic view keeps its own and has no field of view.
    child<QRadioButton>("CFormViewer", "ViewPanel_ViewFront")->click();
    QCOMPARE(doc().display.currentView, static_cast<int>(kViewFront));
    QTRY_VERIFY(!fov->isEnabled());
    const float frontNear = doc().display.views[kViewFront].nearOffset;
    nearPlane->setValue(100);
    QCOMPARE(doc().display.views[kViewFront].nearOffset, frontNear);
  }

  void pickPanelDrawsSelectionAsBoxes() {
    QVERIFY(window_->document().openFile(WriteCube(dir_)));
    window_->setEditMode(0);
    auto* box = child<QRadioButton>("CFormPick", "CFormPick_DrawAs1");
    QTRY_VERIFY(!box->isEnabled());  // nothing current
    SelectAll(doc());
    NotifyChanged(doc(), kSelectionChanged);
    QTRY_VERIFY(box->isEnabled());
    box->click();
    const int g = doc().scene.selectedGroup;
    QVERIFY(doc().scene.groups[g].flags & drawAsBox);
    child<QRadioButton>("CFormPick", "CFormPick_DrawAs0")->click();
    QVERIFY(!(doc().scene.groups[g].flags & drawAsBox));
  }

  void pickPanelSwitchesSelectedGroupsOff() {
    QVERIFY(window_->document().openFile(WriteCube(dir_)));
    window_->setEditMode(0);
    SelectAll(doc());
    const int g = doc().scene.selectedGroup;
    child<QPushButton>("CFormPick", "CFormPick_Disable")->click();
    QVERIFY(!(doc().scene.groups[g].flags & Enabled));
    QCOMPARE(doc().scene.selectedGroup, -1);
    QVERIFY(doc().modified);
    // Shown again among the disabled ones, then switched back on.
    child<QRadioButton>("CFormPick", "CFormPick_DrawMode1")->click();
    QVERIFY(doc().display.disabledDisplay);
    doc().scene.groups[g].flags |= Selected;
    doc().scene.selectedGroup = g;
    child<QPushButton>("CFormPick", "CFormPick_Enable")->click();
    QVERIFY(doc().scene.groups[g].flags & Enabled);
    QCOMPARE(doc().scene.selectedGroup, -1);
    QVERIFY(!(doc().scene.groups[g].flags & Selected));
  }

  // The undo memory is typed in megabytes and held to its range.
  void preferencesTakeTheUndoMemory() {
    PreferencesDialog dialog;
    PreferencesDialog::Values shown;
    shown.undoMegabytes = 64;
    dialog.setValues(shown);
    auto* memory = dialog.findChild<QSpinBox*>(QStringLiteral("PreferencesDialog_UndoMemory"));
    QCOMPARE(memory->value(), 64);
    memory->selectAll();
    QTest::keyClicks(memory, QStringLiteral("512"));
    QCOMPARE(dialog.values().undoMegabytes, 512);
    memory->selectAll();
    QTest::keyClicks(memory, QStringLiteral("999999"));
    QVERIFY(dialog.values().undoMegabytes <= 65536);
  }
};

MODRA_GUI_TEST(TestPanels);

}  // namespace modra::test

#include "tst_panels.moc"
