// Rendering from the editor: File > Render Scene to File through the
// dialog to files on disk, with the editor's view painting between the
// samples, and the display put back afterwards.
#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QOpenGLWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdlib>

#include "anim/playback.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/panel_widgets.h"
#include "app/render_options_dialog.h"
#include "app/render_window.h"
#include "document/group_edit.h"
#include "gui_test.h"
#include "images/jpeg.h"
#include "images/ppm.h"
#include "images/texture_table.h"
#include "scene/key_store.h"

namespace modra::test {

namespace {

// Under the sanitizers and a software rasteriser a frame takes a while.
constexpr int kRenderTimeout = 180000;

// More than JPEG's ringing around one colour: the scene was drawn, not
// only the background.
bool Varied(const uint8_t* rgb, int width, int height) {
  int spread = 0;
  for (size_t i = 0; i < static_cast<size_t>(width) * height * 3; ++i)
    spread = std::max(spread, std::abs(rgb[i] - rgb[i % 3]));
  return spread > 32;
}

}  // namespace

class TestRenderWindow : public QObject {
  Q_OBJECT
 private:
  FakePrompts prompts_;
  std::unique_ptr<MainWindow> window_;
  QTemporaryDir dir_;

  Document& doc() { return window_->document().doc(); }
  RenderController* controller() { return window_->findChild<RenderController*>(); }
  RenderOptionsDialog* openDialog() {
    window_->action(QStringLiteral("RenderScene"))->trigger();
    return controller() ? controller()->dialog() : nullptr;
  }
  template <typename T>
  static T* child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QStringLiteral("RenderOptions_") + QLatin1String(name));
  }
  static void retype(QWidget* dialog, const char* name, const QString& text) {
    QLineEdit* e = child<QLineEdit>(dialog, name);
    QVERIFY2(e, name);
    e->selectAll();
    e->del();
    QTest::keyClicks(e, text);
  }
  static void click(QWidget* dialog, const char* name) {
    auto* button = child<QAbstractButton>(dialog, name);
    QVERIFY2(button, name);
    // On the indicator: a radio's label takes clicks only as far as its text.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  // Small frames of the demo scene into the temporary folder.
  void fillDialog(RenderOptionsDialog* dialog, const char* format, const QString& name, int from,
                  int to, int width = 32, int height = 24) {
    click(dialog, format);
    retype(dialog, "OutputName", dir_.filePath(name));
    retype(dialog, "Width", QString::number(width));
    retype(dialog, "Height", QString::number(height));
    click(dialog, "Oversampling2");
    click(dialog, "Frames2");
    retype(dialog, "From", QString::number(from));
    retype(dialog, "To", QString::number(to));
  }
  // Renders frame 0 at 64 x 48 to `name` (a .ppm) through the dialog and
  // the render window, and reads the picture back into *rgb.
  void renderStill(const QString& name, QByteArray* rgb) {
    RenderOptionsDialog* dialog = openDialog();
    QVERIFY(dialog);
    fillDialog(dialog, "Format3", name, 0, 0, 64, 48);
    QTest::mouseClick(child<QPushButton>(dialog, "Ok"), Qt::LeftButton);
    QPointer<CRendWnd> render = controller()->renderWindow();
    QVERIFY(render);
    QTRY_VERIFY_WITH_TIMEOUT(render.isNull(), kRenderTimeout);
    QString file = dir_.filePath(name);
    file.insert(file.lastIndexOf(QLatin1Char('.')), QLatin1Char('0'));
    int width = 0, height = 0;
    const std::unique_ptr<uint8_t[]> pixels = ReadPpm(file.toStdString(), &width, &height);
    QVERIFY2(pixels, qPrintable(file));
    QCOMPARE(width, 64);
    QCOMPARE(height, 48);
    *rgb = QByteArray(reinterpret_cast<const char*>(pixels.get()), 64 * 48 * 3);
  }
  // Where every group stands: what the view shows of a frame.
  std::vector<float> placement() {
    std::vector<float> values;
    for (const DisplayGroup& g : doc().scene.groups)
      for (const Vec3& v : {g.rotation, g.translation, g.scale})
        values.insert(values.end(), v.begin(), v.end());
    return values;
  }

 private slots:
  void init() {
    QSettings().clear();
    prompts_ = FakePrompts{};
    window_ = std::make_unique<MainWindow>(&prompts_);
    window_->resize(640, 480);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QVERIFY(window_->document().openFile(DemoScene()));
  }
  void cleanup() {
    // A render still running at a failure is ended before its document goes.
    if (controller() && controller()->renderWindow()) controller()->renderWindow()->close();
    QTRY_VERIFY(!window_->findChild<CRendWnd*>());
    doc().modified = false;
    window_.reset();
  }

  void rendersFramesAndPutsTheDisplayBack() {
    SelectAll(doc());
    QVERIFY(doc().scene.selectedGroup != -1);
    doc().display.currentView = kViewPerspective;
    doc().display.lightDisplay = true;

    RenderOptionsDialog* dialog = openDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    fillDialog(dialog, "Format3", QStringLiteral("frame.ppm"), 0, 1);
    QTest::mouseClick(child<QPushButton>(dialog, "Ok"), Qt::LeftButton);

    QPointer<CRendWnd> render = controller()->renderWindow();
    QVERIFY(render);
    QVERIFY(render->isVisible());
    // Meanwhile the render looks through the camera, without light models
    // or a selection.
    QCOMPARE(doc().display.currentView, static_cast<int>(kViewCamera));
    QVERIFY(!doc().display.lightDisplay);
    QCOMPARE(doc().scene.selectedGroup, -1);
    auto* progress = render->findChild<QProgressBar*>(QStringLiteral("RenderWindow_Progress"));
    QVERIFY(progress);
    QCOMPARE(progress->maximum(), 2);
    QSignalSpy titles(render.data(), &QWidget::windowTitleChanged);
    QTRY_VERIFY_WITH_TIMEOUT(render.isNull(), kRenderTimeout);

    QVERIFY2(prompts_.messages.isEmpty(), qPrintable(prompts_.messages.join(QLatin1Char('\n'))));
    QVERIFY(!titles.isEmpty());
    // Frames 0 and 1: two of two, as the bar counted them.
    QCOMPARE(titles.last().first().toString(), QStringLiteral("Frame 2 of 2: Motion Blur 1 of 1"));
    const QByteArray header = "P6\n32 24\n255\n";
    for (const char* name : {"frame0.ppm", "frame1.ppm"}) {
      QFile file(dir_.filePath(QLatin1String(name)));
      QVERIFY2(file.open(QIODevice::ReadOnly), name);
      const QByteArray bytes = file.readAll();
      QCOMPARE(bytes.size(), header.size() + 32 * 24 * 3);
      QVERIFY(bytes.startsWith(header));
      // The scene was drawn, not only the background: more than one colour.
      const QByteArray first = bytes.mid(header.size(), 3);
      bool varied = false;
      for (qsizetype at = header.size(); at < bytes.size() && !varied; at += 3)
        varied = bytes.mid(at, 3) != first;
      QVERIFY2(varied, name);
    }
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("frame2.ppm"))));

    // The view and the light display come back; the selection stays empty.
    QCOMPARE(doc().display.currentView, static_cast<int>(kViewPerspective));
    QVERIFY(doc().display.lightDisplay);
    QCOMPARE(doc().scene.selectedGroup, -1);
    QCOMPARE(doc().scene.levelStack.size(), size_t{0});
    QCOMPARE(window_->document().groupNameText(), QStringLiteral("Nothing Selected"));

    // Reopened, the dialog keeps the settings but not the frame range.
    dialog = openDialog();
    QVERIFY(dialog);
    const RenderSettings again = dialog->values();
    QCOMPARE(again.format, static_cast<int>(kRenderPpm));
    QCOMPARE(again.width, 32);
    QCOMPARE(again.frameRange, static_cast<int>(kRenderFromTo));
    QCOMPARE(again.from, 0);
    QCOMPARE(again.to, LastKeyFrame(doc().scene.anim));
    QVERIFY(again.to > 1);
    // Cancel: nothing renders, and the stored settings stay.
    QTest::mouseClick(child<QPushButton>(dialog, "Cancel"), Qt::LeftButton);
    QTRY_VERIFY(!controller()->dialog());
    QVERIFY(!controller()->renderWindow());
    QCOMPARE(controller()->settings().to, 1);
  }

  void rendersJpegFramesThatDecode() {
    RenderOptionsDialog* dialog = openDialog();
    QVERIFY(dialog);
    fillDialog(dialog, "Format1", QStringLiteral("shot.jpg"), 0, 2);
    QTest::mouseClick(child<QPushButton>(dialog, "Ok"), Qt::LeftButton);
    QPointer<CRendWnd> render = controller()->renderWindow();
    QVERIFY(render);
    QTRY_VERIFY_WITH_TIMEOUT(render.isNull(), kRenderTimeout);
    QVERIFY2(prompts_.messages.isEmpty(), qPrintable(prompts_.messages.join(QLatin1Char('\n'))));

    JpegImage jpeg;
    for (int frame = 0; frame <= 2; ++frame) {
      const QString name = dir_.filePath(QStringLiteral("shot%1.jpg").arg(frame));
      const uint8_t* rgb = jpeg.DecodeFile(name.toStdString());
      QVERIFY2(rgb, qPrintable(name));
      QCOMPARE(jpeg.Width(), 32);
      QCOMPARE(jpeg.Height(), 24);
      QVERIFY2(Varied(rgb, 32, 24), qPrintable(name));
    }
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("shot3.jpg"))));
  }

  // The render draws with the textures the view made, in a context that
  // shares them: a textured group looks otherwise than untextured.
  void texturedGroupsDrawWithTheViewsTextures() {
    auto* view = window_->findChild<QOpenGLWidget*>(QStringLiteral("COglView"));
    QVERIFY(view);
    // The view paints first, so the texture objects are its own.
    QVERIFY(!view->grabFramebuffer().isNull());
    QByteArray textured, plain;
    renderStill(QStringLiteral("textured.ppm"), &textured);
    if (QTest::currentTestFailed()) return;

    NoTextureUpload none;
    const QScopedValueRollback<TextureUploader*> noTextures(doc().uploader, &none);
    renderStill(QStringLiteral("plain.ppm"), &plain);
    if (QTest::currentTestFailed()) return;
    QVERIFY2(prompts_.messages.isEmpty(), qPrintable(prompts_.messages.join(QLatin1Char('\n'))));

    // The marble darkens the lit colour by a fifth on average, more in its
    // veins; JPEG plays no part here, so the rest is the same to the bit.
    int marked = 0, different = 0;
    for (qsizetype i = 0; i < plain.size(); ++i) {
      const int delta =
          std::abs(static_cast<uint8_t>(textured[i]) - static_cast<uint8_t>(plain[i]));
      different += delta != 0;
      marked += delta > 16;
    }
    QVERIFY2(marked >= 200, qPrintable(QString::number(marked)));
    QVERIFY2(different < plain.size() / 2, qPrintable(QString::number(different)));
  }

  void endingMidRenderFinishesTheMovie_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
  }
  void endingMidRenderFinishesTheMovie() {
    QFETCH(bool, closeBox);
    doc().display.lightDisplay = true;
    RenderOptionsDialog* dialog = openDialog();
    QVERIFY(dialog);
    const int last = LastKeyFrame(doc().scene.anim);
    fillDialog(dialog, "Format4", QStringLiteral("clip.gif"), 0, last);
    QTest::mouseClick(child<QPushButton>(dialog, "Ok"), Qt::LeftButton);
    QPointer<CRendWnd> render = controller()->renderWindow();
    QVERIFY(render);
    auto* progress = render->findChild<QProgressBar*>(QStringLiteral("RenderWindow_Progress"));
    QSignalSpy finished(controller(), &RenderController::finished);
    QTRY_VERIFY_WITH_TIMEOUT(render.isNull() || progress->value() >= 1, kRenderTimeout);
    QVERIFY2(render, "the whole animation rendered before the test could end it");
    const int done = progress->value();
    QVERIFY(done < last + 1);
    // The title, the status line and the bar count the same frames.
    QCOMPARE(progress->maximum(), last + 1);
    const QString title =
        QStringLiteral("Frame %1 of %2: Motion Blur 1 of 1").arg(done).arg(last + 1);
    QCOMPARE(render->windowTitle(), title);
    QCOMPARE(render->findChild<QLabel*>(QStringLiteral("RenderWindow_Status"))->text(), title);
    if (closeBox) {
      // What the window system sends when the user closes the window.
      QVERIFY(render->windowHandle());
      QCloseEvent close;
      QCoreApplication::sendEvent(render->windowHandle(), &close);
      QVERIFY(close.isAccepted());
    } else {
      QTest::mouseClick(render->findChild<QPushButton*>(QStringLiteral("RenderWindow_Cancel")),
                        Qt::LeftButton);
    }
    QCOMPARE(finished.count(), 1);
    QTRY_VERIFY(render.isNull());

    QFile file(dir_.filePath(QStringLiteral("clip.gif")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("GIF89a"));
    QCOMPARE(bytes.back(), ';');  // the trailer: the file was finished
    // One image descriptor per finished frame: ",", then the whole 32 x 24
    // screen from 0, 0.
    const QByteArray descriptor("\x2C\x00\x00\x00\x00\x20\x00\x18\x00", 9);
    QCOMPARE(bytes.count(descriptor), done);
    QCOMPARE(doc().display.currentView, static_cast<int>(kViewPerspective));
    QVERIFY(doc().display.lightDisplay);
    QVERIFY(prompts_.messages.isEmpty());
  }

  // A render shows its own frames; afterwards the editor is back at the
  // frame it showed before, in the scene, the frame box and the next edit.
  void theEditorComesBackToItsFrameAfterARender_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("finished") << false << false;
    QTest::newRow("cancelled") << true << false;
    QTest::newRow("closed") << true << true;
  }
  void theEditorComesBackToItsFrameAfterARender() {
    QFETCH(bool, cancel);
    QFETCH(bool, closeBox);
    // Between the demo's key frames (every 30th), so that an edit makes one.
    constexpr int kShown = 20;
    auto* frameBox = window_->findChild<QLineEdit*>(QStringLiteral("AnimationBar_Frame"));
    QVERIFY(frameBox);
    Retype(frameBox, QString::number(kShown));
    QCOMPARE(doc().scene.anim.currentFrame, kShown);
    const std::vector<float> shown = placement();
    ShowFrameAt(doc(), 3, 0);
    QVERIFY2(placement() != shown, "frames 20 and 3 must look different");
    GoToFrame(doc(), kShown);

    RenderOptionsDialog* dialog = openDialog();
    QVERIFY(dialog);
    fillDialog(dialog, "Format3", QStringLiteral("back.ppm"), 2,
               cancel ? LastKeyFrame(doc().scene.anim) : 3);
    QTest::mouseClick(child<QPushButton>(dialog, "Ok"), Qt::LeftButton);
    QPointer<CRendWnd> render = controller()->renderWindow();
    QVERIFY(render);
    if (cancel) {
      auto* progress = render->findChild<QProgressBar*>(QStringLiteral("RenderWindow_Progress"));
      QTRY_VERIFY_WITH_TIMEOUT(render.isNull() || progress->value() >= 2, kRenderTimeout);
      QVERIFY2(render, "the whole animation rendered before the test could end it");
      if (closeBox) {
        QCloseEvent close;
        QCoreApplication::sendEvent(render->windowHandle(), &close);
      } else {
        QTest::mouseClick(render->findChild<QPushButton*>(QStringLiteral("RenderWindow_Cancel")),
                          Qt::LeftButton);
      }
    }
    QTRY_VERIFY_WITH_TIMEOUT(render.isNull(), kRenderTimeout);
    QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("back3.ppm"))));
    QVERIFY2(prompts_.messages.isEmpty(), qPrintable(prompts_.messages.join(QLatin1Char('\n'))));

    QCOMPARE(doc().scene.anim.currentFrame, kShown);
    QVERIFY(WaitForRefresh(*window_));
    QCOMPARE(frameBox->text(), QString::number(kShown));
    QVERIFY(placement() == shown);

    // A typed value becomes a key of the frame shown, and of no other.
    const KeyStore& anim = doc().scene.anim;
    QVERIFY(!IsKeyFrame(anim, kShown));
    const auto keyFrames = [&] {
      return std::count_if(anim.frameKeys.begin(), anim.frameKeys.end(),
                           [](int32_t first) { return first != -1; });
    };
    const auto keyFramesBefore = keyFrames();
    const int g = PickVase(*window_, 3);
    QVERIFY(g != -1);
    QLineEdit* x = window_->findChild<QWidget*>(QStringLiteral("CFormObjTrans"))
                       ->findChild<QLineEdit*>(QStringLiteral("TransformPanel_FieldX"));
    QVERIFY(x);
    QTRY_VERIFY(x->isEnabled());
    Retype(x, FieldText(doc().scene.groups[g].translation[0] + 1.5f));
    QTest::keyClick(x, Qt::Key_Return);
    QVERIFY(IsKeyFrame(anim, kShown));
    QCOMPARE(keyFrames(), keyFramesBefore + 1);
  }

  void aRenderThatCannotStartSaysWhyAndPutsTheDisplayBack() {
    doc().display.currentView = kViewTop;
    RenderOptionsDialog* dialog = openDialog();
    QVERIFY(dialog);
    // From a frame past the end of the animation: nothing to render.
    fillDialog(dialog, "Format3", QStringLiteral("none.ppm"), 9000, 9001);
    QTest::mouseClick(child<QPushButton>(dialog, "Ok"), Qt::LeftButton);
    QTRY_VERIFY(!window_->findChild<CRendWnd*>());
    QCOMPARE(prompts_.messages, QStringList{QStringLiteral("No frames to render")});
    QCOMPARE(doc().display.currentView, static_cast<int>(kViewTop));
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("none9000.ppm"))));
  }
};

MODRA_GUI_TEST(TestRenderWindow);

}  // namespace modra::test

#include "tst_render_window.moc"
