// The transform panels on the demo scene: typed values reach every
// selected group, lock boxes hold an axis during a drag in the panel's own
// mode but not during a borrowed one, and a typed value at a later frame
// becomes a key that the frames in between interpolate.
#include <QAction>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/control_panel.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "app/panel_widgets.h"
#include "edit/transform_edits.h"
#include "gui_test.h"

namespace modra::test {

class TestTransformPanels : public EditorTest {
  Q_OBJECT
 public:
  TestTransformPanels() : EditorTest(EditorStart::kDemo) {}

 private:
  QPoint centre() { return view()->rect().center(); }
  QWidget* panel(const char* name) { return window_->findChild<QWidget*>(name); }
  QLineEdit* field(const char* panelName, const char* axis) {
    return panel(panelName)->findChild<QLineEdit*>(QStringLiteral("TransformPanel_Field") + axis);
  }
  QCheckBox* lock(const char* panelName, const char* axis) {
    return panel(panelName)->findChild<QCheckBox*>(QStringLiteral("TransformPanel_Lock") + axis);
  }
  Vec3 translation(int g) { return scene().groups[g].translation; }

  void drag(QPoint from, QPoint by, Qt::KeyboardModifiers keys = {}) {
    QTest::mousePress(view(), Qt::LeftButton, keys, from);
    QTest::mouseMove(view(), from + by / 2);
    QTest::mouseMove(view(), from + by);
    QTest::mouseRelease(view(), Qt::LeftButton, keys, from + by);
  }

 private slots:
  void panelsShowTheCoreNamesAndEmptyFieldsWithoutAGroup_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("lockX");
    QTest::addColumn<int>("shown");
    QTest::newRow("Translate Object") << 3 << "CFormObjTrans"
                                      << "Lock X" << int(TransformPanel::kTranslation);
    QTest::newRow("Rotate Object") << 4 << "CFormObjRot"
                                   << "Lock RX" << int(TransformPanel::kRotation);
    QTest::newRow("Translate Center") << 5 << "CFormCTrans"
                                      << "Lock X" << int(TransformPanel::kCenter);
    QTest::newRow("Rotate Center") << 6 << "CFormCRot"
                                   << "Lock RX" << int(TransformPanel::kCenterRotation);
    QTest::newRow("Scale Object") << 10 << "CFormObjScale"
                                  << "Lock X" << int(TransformPanel::kScale);
  }
  void panelsShowTheCoreNamesAndEmptyFieldsWithoutAGroup() {
    QFETCH(int, mode);
    QFETCH(QString, name);
    QFETCH(QString, lockX);
    QFETCH(int, shown);
    const QByteArray panelName = name.toLatin1();
    window_->setEditMode(mode);
    QCOMPARE(scene().selectedGroup, -1);
    QLineEdit* x = field(panelName.constData(), "X");
    QVERIFY(x);
    QCOMPARE(lock(panelName.constData(), "X")->text(), lockX);
    QVERIFY(!x->isEnabled());
    QVERIFY(x->text().isEmpty());

    const int g = PickVase(*window_, mode);
    QVERIFY(g != -1);
    QTRY_VERIFY(x->isEnabled());
    for (const char* axis : {"X", "Y", "Z"}) {
      const int i = *axis - 'X';
      QCOMPARE(field(panelName.constData(), axis)->text(),
               FieldText(PanelValue(scene(), g, static_cast<TransformPanel>(shown))[i]));
    }

    window_->action(QStringLiteral("DeselectAll"))->trigger();
    QTRY_VERIFY(!x->isEnabled());
    QVERIFY(x->text().isEmpty());
    QVERIFY(!doc().modified);
  }

  void typingMovesEverySelectedGroupByTheSameDifference() {
    window_->setEditMode(3);
    window_->action(QStringLiteral("SelectAll"))->trigger();
    std::vector<int> selected;
    std::vector<Vec3> before;
    for (int g = 0; g < static_cast<int>(scene().groups.size()); ++g) {
      if (!IsLiveGroup(scene(), g) || !(scene().groups[g].flags & Selected)) continue;
      selected.push_back(g);
      before.push_back(translation(g));
    }
    QVERIFY(selected.size() >= 2);
    const int current = scene().selectedGroup;
    QVERIFY(current != -1);
    QLineEdit* x = field("CFormObjTrans", "X");
    QTRY_VERIFY(x->isEnabled());

    const float target = scene().groups[current].translation[0] + 2.5f;
    Retype(x, FieldText(target));
    QVERIFY(near(translation(current)[0], target));
    for (size_t i = 0; i < selected.size(); ++i) {
      const Vec3 now = translation(selected[i]);
      QVERIFY2(near(now[0] - before[i][0], 2.5f), qPrintable(QString::number(i)));
      QCOMPARE(now[1], before[i][1]);
      QCOMPARE(now[2], before[i][2]);
    }
    QVERIFY(doc().modified);

    // A lone minus sign waits for its digits; leaving the field with it
    // counts as 0.
    const float xBefore = translation(current)[0];
    Retype(x, QStringLiteral("-"));
    QCOMPARE(translation(current)[0], xBefore);
    QTest::keyClick(x, Qt::Key_Return);
    QCOMPARE(translation(current)[0], 0.0f);
  }

  void dragInOwnModeHoldsALockedAxis() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    lock("CFormObjTrans", "Y")->setChecked(true);
    const Vec3 before = translation(g);
    const QPoint by(view()->width() / 8, -view()->height() / 8);
    drag(centre(), by);
    QVERIFY(near(translation(g)[0], before[0] + units(by.x(), view()->width())));
    QCOMPARE(translation(g)[1], before[1]);
    QCOMPARE(translation(g)[2], before[2]);
    // The panel shows the new value as the drag goes.
    QTRY_COMPARE(field("CFormObjTrans", "X")->text(), FieldText(translation(g)[0]));

    // Without the lock the same drag moves up as well.
    lock("CFormObjTrans", "Y")->setChecked(false);
    const float y = translation(g)[1];
    drag(centre(), by);
    QVERIFY(near(translation(g)[1], y + units(-by.y(), view()->height())));
  }

  void borrowedDragIgnoresTheLockBoxes() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    lock("CFormObjTrans", "Y")->setChecked(true);
    QLineEdit* y = field("CFormObjTrans", "Y");
    const QString shownBefore = y->text();
    window_->setEditMode(1);
    const Vec3 before = translation(g);
    const Vec3 turn = doc().display.views[kViewPerspective].rotation;
    const QPoint by(0, -view()->height() / 8);
    drag(centre(), by, Qt::ShiftModifier | Qt::ControlModifier);
    QVERIFY(near(translation(g)[1], before[1] + units(-by.y(), view()->height())));
    QCOMPARE(translation(g)[0], before[0]);
    QCOMPARE(doc().display.views[kViewPerspective].rotation, turn);
    QCOMPARE(window_->editMode(), 1);
    // The borrowed drag shows nothing in the hidden panel; entering its
    // mode does.
    QCOMPARE(y->text(), shownBefore);
    window_->setEditMode(3);
    QTRY_COMPARE(y->text(), FieldText(translation(g)[1]));
  }

  void typedValueAtALaterFrameInterpolates() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    auto* frame = window_->findChild<QLineEdit*>("AnimationBar_Frame");
    QLineEdit* x = field("CFormObjTrans", "X");
    const float atStart = translation(g)[0];

    Retype(frame, QStringLiteral("10"));
    QCOMPARE(scene().anim.currentFrame, 10);
    QTRY_COMPARE(x->text(), FieldText(atStart));
    const float atTen = atStart + 4.0f;
    Retype(x, FieldText(atTen));
    QVERIFY(near(translation(g)[0], atTen));

    Retype(frame, QStringLiteral("5"));
    QCOMPARE(scene().anim.currentFrame, 5);
    const float atFive = translation(g)[0];
    QVERIFY2(atFive > atStart + 0.1f && atFive < atTen - 0.1f, qPrintable(QString::number(atFive)));
    QTRY_COMPARE(x->text(), FieldText(atFive));

    // Frame 0 keeps the value the group had before the edit.
    Retype(frame, QStringLiteral("0"));
    QVERIFY(near(translation(g)[0], atStart));
    Retype(frame, QStringLiteral("10"));
    QVERIFY(near(translation(g)[0], atTen));
  }
  // Two keys by hand (frame 0 as it is, frame 30 moved), played, saved,
  // and the saved file's frame 15 through the command line: what the
  // editor shows is what a script reading the file gets.
  void twoKeyAnimationPlaysAndSavesAsTheCommandLineSeesIt() {
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    auto* frame = window_->findChild<QLineEdit*>("AnimationBar_Frame");
    const Vec3 start = translation(g);
    Retype(frame, QStringLiteral("30"));
    Retype(field("CFormObjTrans", "X"), FieldText(start[0] + 6.0f));
    Retype(field("CFormObjTrans", "Y"), FieldText(start[1] - 3.0f));
    const Vec3 end = translation(g);
    QVERIFY(near(end[1], start[1] - 3.0f));
    Retype(frame, QStringLiteral("0"));
    QVERIFY(near(translation(g)[0], start[0]));

    // Playing passes through the frames in between, each between the keys.
    QTest::mouseClick(window_->findChild<QWidget*>("AnimationBar_Play"), Qt::LeftButton);
    QVERIFY(scene().anim.playing);
    QTRY_VERIFY_WITH_TIMEOUT(scene().anim.playFrame > 5 && scene().anim.playFrame < 25, 10000);
    const float x = translation(g)[0];
    QVERIFY2(x > start[0] && x < end[0], qPrintable(QString::number(x)));
    QTest::mouseClick(window_->findChild<QWidget*>("AnimationBar_Stop"), Qt::LeftButton);
    QVERIFY(!scene().anim.playing);
    QCOMPARE(scene().anim.currentFrame, 0);

    Retype(frame, QStringLiteral("15"));
    const Vec3 atFifteen = translation(g);
    QVERIFY(atFifteen[0] > start[0] + 0.1f && atFifteen[0] < end[0] - 0.1f);
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("two-keys.knf"));
    prompts_.files << saved;
    window_->action(QStringLiteral("SaveAs"))->trigger();
    QVERIFY(!doc().modified);

    const QJsonDocument dumped =
        QJsonDocument::fromJson(Dump(saved, {QStringLiteral("--frame"), QStringLiteral("15")}));
    const QJsonArray groups = dumped.object().value(QStringLiteral("groups")).toArray();
    QJsonObject vase;
    for (const QJsonValue& v : groups)
      if (v.toObject().value(QStringLiteral("index")).toInt() == g) vase = v.toObject();
    QCOMPARE(vase.value(QStringLiteral("name")).toString(),
             QString::fromStdString(scene().groups[g].name));
    const QJsonArray t = vase.value(QStringLiteral("translation")).toArray();
    QCOMPARE(t.size(), 3);
    for (int i = 0; i < 3; ++i)
      QVERIFY2(near(static_cast<float>(t[i].toDouble()), atFifteen[i], 1e-4f),
               qPrintable(QString::number(i)));
  }
};

MODRA_GUI_TEST(TestTransformPanels);

}  // namespace modra::test

#include "tst_transform_panels.moc"
