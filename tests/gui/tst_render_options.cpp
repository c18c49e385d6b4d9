// The Render Options dialog on its own: its radios follow the core's rules
// after taking what was typed, the browse buttons ask through the prompts,
// and OK is off while the values make no sense.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "app/render_options_dialog.h"
#include "document/file_filters.h"
#include "gui_test.h"

namespace modra::test {

class TestRenderOptions : public QObject {
  Q_OBJECT
 private:
  FakePrompts prompts_;
  std::unique_ptr<RenderOptionsDialog> dialog_;

  template <typename T>
  T* child(const char* name) {
    return dialog_->findChild<T*>(QStringLiteral("RenderOptions_") + QLatin1String(name));
  }
  QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
  void click(const char* name) {
    auto* button = child<QAbstractButton>(name);
    QVERIFY2(button, name);
    // On the indicator: a radio's label takes clicks only as far as its text.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  void retype(const char* name, const QString& text) {
    QLineEdit* e = edit(name);
    QVERIFY2(e, name);
    e->selectAll();
    e->del();
    QTest::keyClicks(e, text);
  }
  bool okEnabled() { return child<QPushButton>("Ok")->isEnabled(); }

 private slots:
  void init() {
    prompts_ = FakePrompts{};
    dialog_ = std::make_unique<RenderOptionsDialog>(prompts_);
    dialog_->setValues(RenderSettings{});
  }
  void cleanup() { dialog_.reset(); }

  void showsTheSettingsItWasGiven() {
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Render Options"));
    RenderSettings s;
    s.outputName = "/tmp/shots/clip.gif";
    s.format = kRenderGif;
    s.width = 320;
    s.height = 200;
    s.oversampling = 3;
    s.frameRange = kRenderFromTo;
    s.from = 4;
    s.to = 9;
    s.gamma = 2.2f;
    s.blurSamples = 6;
    s.blurRange = 0.75f;
    s.composite = true;
    s.compositeMovie = "/data/movies/sky.mpg";
    s.fitSquare = true;
    dialog_->setValues(s);
    QVERIFY(child<QRadioButton>("Format4")->isChecked());
    QVERIFY(child<QRadioButton>("Oversampling3")->isChecked());
    QVERIFY(child<QRadioButton>("Frames2")->isChecked());
    QVERIFY(edit("From")->isEnabled());
    QCOMPARE(edit("Gamma")->text(), QStringLiteral("2.2"));
    QCOMPARE(child<QLabel>("RangeLabel")->text(), QStringLiteral("0.75"));
    // Only the movie's file name is shown; the full path comes back.
    QCOMPARE(edit("CompositeName")->text(), QStringLiteral("sky.mpg"));
    const RenderSettings back = dialog_->values();
    QCOMPARE(back.outputName, s.outputName);
    QCOMPARE(back.width, 320);
    QCOMPARE(back.height, 200);
    QCOMPARE(back.oversampling, 3);
    QCOMPARE(back.from, 4);
    QCOMPARE(back.to, 9);
    QCOMPARE(back.gamma, 2.2f);
    QCOMPARE(back.blurSamples, 6);
    QCOMPARE(back.blurRange, 0.75f);
    QCOMPARE(back.compositeMovie, s.compositeMovie);
    QVERIFY(back.composite && back.fitSquare);
  }

  void formatRadiosChangeTheOutputName() {
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("movie.mpg"));
    click("Format4");
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("movie.gif"));
    QCOMPARE(dialog_->values().format, static_cast<int>(kRenderGif));
    // The typed name is taken first, and one without "." gets the extension.
    retype("OutputName", QStringLiteral("renders/take"));
    click("Format3");
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("renders/take.ppm"));
    click("Format1");
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("renders/take.jpg"));
  }

  // The MP4 and PNG radios come after the older five and give the name
  // their endings; the save dialog then suggests their default names.
  void mp4AndPngRadiosFollowTheOthers() {
    QCOMPARE(child<QRadioButton>("Format4")->text(), QStringLiteral("Animated GIF"));
    QCOMPARE(child<QRadioButton>("Format5")->text(), QStringLiteral("MP4 Movie"));
    QCOMPARE(child<QRadioButton>("Format6")->text(), QStringLiteral("Individual PNG Frames"));
    QVERIFY(!child<QRadioButton>("Format7"));
    click("Format5");
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("movie.mp4"));
    QCOMPARE(dialog_->values().format, static_cast<int>(kRenderMp4));
    QVERIFY(okEnabled());
    click("BrowseOutput");  // cancelled
    click("Format6");
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("movie.png"));
    QCOMPARE(dialog_->values().format, static_cast<int>(kRenderPng));
    click("BrowseOutput");
    QCOMPARE(prompts_.suggestions,
             QStringList({QStringLiteral("movie.mp4"), QStringLiteral("image.png")}));
    click("Format0");
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("movie.mpg"));

    RenderSettings s;
    s.format = kRenderMp4;
    s.outputName = "clip.mp4";
    dialog_->setValues(s);
    QVERIFY(child<QRadioButton>("Format5")->isChecked());
    QVERIFY(!child<QRadioButton>("Format0")->isChecked());
  }

  void motionBlurOnStartsFromFourSamples() {
    QVERIFY(child<QRadioButton>("BlurOff")->isChecked());
    QVERIFY(!edit("Samples")->isEnabled());
    QVERIFY(!child<QSlider>("Range")->isEnabled());
    QCOMPARE(child<QLabel>("RangeLabel")->text(), QString());
    click("BlurOn");
    QCOMPARE(edit("Samples")->text(), QStringLiteral("4"));
    QVERIFY(edit("Samples")->isEnabled());
    QVERIFY(child<QSlider>("Range")->isEnabled());
    QCOMPARE(child<QLabel>("RangeLabel")->text(), QStringLiteral("0.50"));
    child<QSlider>("Range")->setValue(250);
    QCOMPARE(child<QLabel>("RangeLabel")->text(), QStringLiteral("0.25"));
    QCOMPARE(dialog_->values().blurRange, 0.25f);
    retype("Samples", QStringLiteral("9"));
    click("BlurOff");
    QCOMPARE(edit("Samples")->text(), QStringLiteral("0"));
    click("BlurOn");  // not the 9 typed before
    QCOMPARE(edit("Samples")->text(), QStringLiteral("4"));
    // Samples typed as 0 turn it off at the next update.
    retype("Samples", QStringLiteral("0"));
    click("Oversampling1");
    QVERIFY(child<QRadioButton>("BlurOff")->isChecked());
    QVERIFY(!edit("Samples")->isEnabled());
  }

  void gammaTypedAsOneShowsOffAfterAnUpdate() {
    QVERIFY(child<QRadioButton>("GammaOn")->isChecked());
    QCOMPARE(edit("Gamma")->text(), QStringLiteral("1.7"));
    retype("Gamma", QStringLiteral("1.0"));
    QVERIFY(child<QRadioButton>("GammaOn")->isChecked());  // typing alone updates nothing
    click("Oversampling3");
    QVERIFY(child<QRadioButton>("GammaOff")->isChecked());
    QVERIFY(!edit("Gamma")->isEnabled());
    QCOMPARE(dialog_->values().gamma, 1.0f);
    QCOMPARE(dialog_->values().oversampling, 3);
    click("GammaOn");
    QCOMPARE(edit("Gamma")->text(), QStringLiteral("1.7"));
    QVERIFY(edit("Gamma")->isEnabled());
  }

  void frameEditsAreLiveOnlyForFromTo() {
    QVERIFY(child<QRadioButton>("Frames1")->isChecked());
    QVERIFY(!edit("From")->isEnabled() && !edit("To")->isEnabled());
    click("Frames2");
    QVERIFY(edit("From")->isEnabled() && edit("To")->isEnabled());
    click("Frames0");
    QVERIFY(!edit("From")->isEnabled());
    QCOMPARE(dialog_->values().frameRange, static_cast<int>(kRenderCurrentFrame));
  }

  void okIsOffWhileAValueMakesNoSense_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("bad");
    QTest::addColumn<QString>("good");
    QTest::newRow("width 0") << "Width"
                             << "0"
                             << "64";
    QTest::newRow("empty height") << "Height"
                                  << ""
                                  << "48";
    QTest::newRow("height past the limit") << "Height"
                                           << "4097"
                                           << "4096";
    QTest::newRow("too many samples") << "Samples"
                                      << "65"
                                      << "64";
    QTest::newRow("to before from") << "To"
                                    << "3"
                                    << "7";
    QTest::newRow("empty gamma") << "Gamma"
                                 << ""
                                 << "2";
  }
  void okIsOffWhileAValueMakesNoSense() {
    QFETCH(QString, field);
    QFETCH(QString, bad);
    QFETCH(QString, good);
    click("BlurOn");
    click("Frames2");
    retype("From", QStringLiteral("5"));
    retype("To", QStringLiteral("5"));
    QVERIFY(okEnabled());
    const QByteArray name = field.toLatin1();
    retype(name.constData(), bad);
    QVERIFY(!okEnabled());
    QVERIFY(!dialog_->problem().isEmpty());
    retype(name.constData(), good);
    QVERIFY(okEnabled());
    QCOMPARE(dialog_->problem(), QString());
  }

  void editsTakeNoLetters() {
    retype("Width", QStringLiteral("12ab"));
    QCOMPARE(edit("Width")->text(), QStringLiteral("12"));
    retype("Gamma", QStringLiteral("x2.5y"));
    QCOMPARE(edit("Gamma")->text(), QStringLiteral("2.5"));
  }

  void browseAsksThroughThePrompts() {
    prompts_.files << QStringLiteral("/tmp/out/frames.bmp");
    click("BrowseOutput");
    QCOMPARE(prompts_.filters.size(), 1);
    QCOMPARE(prompts_.filters[0], QString::fromStdString(QtFilterString(kOutputFileFilter)));
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("/tmp/out/frames.bmp"));
    // A cancelled dialog leaves the name.
    click("BrowseOutput");
    QCOMPARE(edit("OutputName")->text(), QStringLiteral("/tmp/out/frames.bmp"));

    // Compositing is refused until a movie is chosen.
    click("Composite");
    QVERIFY(!okEnabled());
    prompts_.files << QStringLiteral("/data/back ground.mpg");
    click("BrowseComposite");
    QCOMPARE(prompts_.filters.last(),
             QString::fromStdString(QtFilterString(kCompositeMovieFilter)));
    QCOMPARE(edit("CompositeName")->text(), QStringLiteral("back ground.mpg"));
    QCOMPARE(dialog_->values().compositeMovie, std::string("/data/back ground.mpg"));
    QVERIFY(okEnabled());
    // The browse took the typed values first: the check box stays on.
    QVERIFY(child<QCheckBox>("Composite")->isChecked());
  }
};

MODRA_GUI_TEST(TestRenderOptions);

}  // namespace modra::test

#include "tst_render_options.moc"
