// The 3D view: it draws the scene (from buffer objects, to the pixel as
// the client arrays draw it), tells the status bar what the mouse
// does in each mode, and playback runs until Stop and holds while paused.
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <cmath>

#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "app/playback_clock.h"
#include "geometry/primitive_params.h"
#include "gui_test.h"

namespace modra::test {

namespace {

// Pixels whose colour is not the clear colour (within rounding).
int SceneCoverage(const QImage& image, const Vec3& background) {
  const QColor clear = QColor::fromRgbF(background[0], background[1], background[2]);
  int covered = 0;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - clear.red()) + std::abs(c.green() - clear.green()) +
              std::abs(c.blue() - clear.blue()) >
          6)
        ++covered;
    }
  return covered;
}

}  // namespace

class TestOglView : public EditorTest {
  Q_OBJECT
 public:
  TestOglView() : EditorTest(EditorStart::kShown) {}

 private:
  QTemporaryDir dir_;

  bool sameBothWays() {
    view()->setDrawPath(DrawPath::kClientArrays);
    const QImage arrays = view()->grabFramebuffer();
    view()->setDrawPath(DrawPath::kBuffers);
    const QImage buffers = view()->grabFramebuffer();
    return !arrays.isNull() && arrays == buffers;
  }

 private slots:
  void drawsTheScene() {
    const QImage empty = view()->grabFramebuffer();
    QVERIFY(!empty.isNull());
    const Vec3 background = doc().scene.global.background;
    const int before = SceneCoverage(empty, background);
    QVERIFY(window_->document().openFile(WriteCube(dir_)));
    const QImage drawn = view()->grabFramebuffer();
    const int after = SceneCoverage(drawn, background);
    // The cube fills a good part of the middle of the view.
    QVERIFY2(after > before + (drawn.width() * drawn.height() / 4) / 20,
             qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
    const QColor centre = drawn.pixelColor(drawn.width() / 2, drawn.height() / 2);
    QVERIFY(centre != QColor::fromRgbF(background[0], background[1], background[2]));
    // Opaque: the window shows the clear colour, not itself through it.
    const QImage shown = window_->grab().toImage();
    const QPoint corner = view()->mapTo(window_.get(), QPoint(2, 2)) * shown.devicePixelRatio();
    QCOMPARE(SceneCoverage(shown.copy(QRect(corner, QSize(8, 8))), background), 0);
  }

  void buffersDrawWhatTheClientArraysDraw() {
    GuiDocument& d = window_->document();
    QVERIFY(d.openFile(QStringLiteral(MODRA_SOURCE_DIR "/examples/demo.knf")));
    QVERIFY2(sameBothWays(), "open");
    QCOMPARE(d.run(CommandId::kCreateSphere1), 0);
    QVERIFY2(sameBothWays(), "create");
    std::array<std::string, kMaxResolutionParams> labels;
    CommandArgs resolution;
    QVERIFY(GetResolutionParams(scene(), scene().selectedGroup, labels, resolution.numbers) > 0);
    resolution.numbers[0] += 5;
    QCOMPARE(d.run(CommandId::kModifyResolution, resolution), 0);
    QVERIFY2(sameBothWays(), "resolution");
    QVERIFY(d.undo());
    QVERIFY2(sameBothWays(), "undo");
    const int sphere = scene().selectedGroup;
    d.run(CommandId::kCopy);
    d.run(CommandId::kTranslate, FieldArgs(0, "0.5"));
    d.run(CommandId::kPaste);
    QVERIFY(scene().selectedGroup != sphere);  // the pasted copy
    QVERIFY2(sameBothWays(), "paste");
    d.run(CommandId::kWireFrame);
    QVERIFY2(sameBothWays(), "wire frame");
  }

  void statusTextFollowsTheMode() {
    QTest::mouseMove(view(), view()->rect().center());
    QTRY_COMPARE(window_->statusBar()->currentMessage(),
                 QStringLiteral("Left to rotate X-Y,  Right to rotate Z"));
    window_->setEditMode(0);
    QTest::mouseMove(view(), view()->rect().center() + QPoint(3, 3));
    QTRY_COMPARE(window_->statusBar()->currentMessage(),
                 QStringLiteral("Left to Select,  Right to add to selection"));
  }

  void playAdvancesTheFrameBoxUntilStop() {
    QVERIFY(window_->document().openFile(DemoScene()));
    QTest::mouseClick(window_->findChild<QPushButton*>("AnimationBar_Play"), Qt::LeftButton);
    QVERIFY(doc().scene.anim.playing);
    QVERIFY(window_->playback().running());
    QTRY_VERIFY(window_->findChild<QLineEdit*>("AnimationBar_Frame")->text().toInt() > 0);
    QTest::mouseClick(window_->findChild<QPushButton*>("AnimationBar_Stop"), Qt::LeftButton);
    QVERIFY(!doc().scene.anim.playing);
    QVERIFY(!window_->playback().running());
  }

  void pauseHoldsPlayback() {
    // Time moves only when the test moves it, so every tick's frames are
    // known exactly.
    qint64 now = 0;
    PlaybackClock clock(nullptr, [&now] { return now; });
    int lastBatch = 0;
    connect(&clock, &PlaybackClock::advance, this, [&](int n) { lastBatch = n; });
    clock.start();
    now = 100;  // three frames at 30 a second
    QTRY_COMPARE(clock.framesAdvanced(), 3LL);
    {
      const PlaybackClock::Pause pause(&clock);
      now += 300;
      QCoreApplication::processEvents();
      QCOMPARE(clock.framesAdvanced(), 3LL);
    }
    // The paused time never turns into frames: a frame's time after the
    // pause is one frame, not the nine that were held.
    now += 34;
    QTRY_COMPARE(clock.framesAdvanced(), 4LL);
    QCOMPARE(lastBatch, 1);
    // A stall of five seconds is not caught up: one second's frames, and
    // then the animation goes on from there.
    now += 5000;
    QTRY_COMPARE(clock.framesAdvanced(), 4LL + PlaybackClock::kFramesPerSecond);
    now += 34;
    QTRY_COMPARE(clock.framesAdvanced(), 5LL + PlaybackClock::kFramesPerSecond);
    QCOMPARE(lastBatch, 1);
  }
};

MODRA_GUI_TEST(TestOglView);

}  // namespace modra::test

#include "tst_ogl_view.moc"
