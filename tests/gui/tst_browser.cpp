// The visual browser as a person uses it: opened from the Texture panel's
// "Load Texture ...", walked up and back down by clicking, a picture picked
// and taken with OK or let go with Cancel; zoomed; and a big folder shown
// at once and scrolled while its thumbnails are still being made.
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/browse_window.h"
#include "app/gui_document.h"
#include "app/main_window.h"
#include "app/thumbnail_service.h"
#include "document/document.h"
#include "edit/edit_layer.h"
#include "gui_test.h"
#include "images/jpeg.h"

namespace modra::test {

class TestBrowser : public EditorTest {
  Q_OBJECT
 public:
  TestBrowser() : EditorTest(EditorStart::kDemo) {}

 private:
  QTemporaryDir cache_;
  const QString images_ = QDir(QStringLiteral(MODRA_TESTDATA_DIR "/images")).absolutePath();

  static int indexOf(const CBrowse* b, const std::string& name) {
    for (size_t i = 0; i < b->items().size(); ++i)
      if (b->items()[i].name == name) return static_cast<int>(i);
    return -1;
  }
  static void click(CBrowse* b, const std::string& name) {
    const int i = indexOf(b, name);
    QVERIFY2(i >= 0, name.c_str());
    QTest::mouseClick(b->grid(), Qt::LeftButton, {}, b->cellCenter(static_cast<size_t>(i)));
  }
  static void press(CBrowse* b, const char* button) {
    QTest::mouseClick(
        b->findChild<QPushButton*>(QStringLiteral("CBrowse_") + QLatin1String(button)),
        Qt::LeftButton);
  }
  // The vase picked in the Texture mode, the browser opened from the list
  // in the test pictures' folder.
  CBrowse* openFromTexturePanel() {
    if (PickVase(*window_, static_cast<int>(EditMode::kTexture)) < 0) return nullptr;
    doc().textures.lastPath = MODRA_TESTDATA_DIR "/images/";
    prompts_.realBrowser = true;
    auto* list = window_->findChild<QComboBox*>(QStringLiteral("CFormTexture_Textures"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);  // "Load Texture ..."
    auto* b = window_->findChild<CBrowse*>();
    if (!b || !QTest::qWaitForWindowExposed(b)) return nullptr;
    return b;
  }

 private slots:
  void init() {
    // Thumbnails go to a cache of the test's own.
    qputenv("XDG_CACHE_HOME", cache_.path().toUtf8());
    EditorTest::init();
  }

  void walkingUpAndBackDownThenOkTexturesTheGroupWithThePicture() {
    QPointer<CBrowse> b = openFromTexturePanel();
    QVERIFY(b);
    QCOMPARE(QString::fromStdString(b->folder()), images_);
    QCOMPARE(b->windowTitle(), images_);
    QCOMPARE(b->items().front().name, std::string(kParentItemName));

    press(b, "Up");
    const QString testdata = QStringLiteral(MODRA_TESTDATA_DIR);
    QCOMPARE(QString::fromStdString(b->folder()), QDir(testdata).absolutePath());
    click(b, "images");
    QCOMPARE(QString::fromStdString(b->folder()), images_);

    const int jpg = indexOf(b, "testorig.jpg");
    QVERIFY(jpg > 0);
    // The folder shows at once; its thumbnails fill in as they are made.
    QTRY_VERIFY(b->pictureArrived(static_cast<size_t>(jpg)));
    click(b, "testorig.jpg");
    QVERIFY(b->items()[static_cast<size_t>(jpg)].selected);
    const int group = scene().selectedGroup;
    const size_t textures = doc().textures.entries.size();
    press(b, "OK");
    QTRY_VERIFY(b.isNull());
    QCOMPARE(doc().textures.entries.size(), textures + 1);
    QCOMPARE(doc().textures.entries.back().name, std::string("testorig.jpg"));
    QCOMPARE(scene().groups[group].textureIndex, static_cast<int>(textures));
    QVERIFY(scene().groups[group].flags & Textured);
    QVERIFY(prompts_.messages.isEmpty());
  }

  void cancelAndTheCloseBoxChangeNothing() {
    for (bool closeBox : {false, true}) {
      QPointer<CBrowse> b = openFromTexturePanel();
      QVERIFY(b);
      const std::vector<DisplayGroup> groups = scene().groups;
      const size_t textures = doc().textures.entries.size();
      click(b, "testorig.ppm");
      if (closeBox)
        b->close();
      else
        press(b, "Cancel");
      QTRY_VERIFY(b.isNull());
      QCOMPARE(doc().textures.entries.size(), textures);
      QCOMPARE(scene().groups[scene().selectedGroup].textureIndex,
               groups[static_cast<size_t>(scene().selectedGroup)].textureIndex);
    }
  }

  void zoomStepsAndTheOwnersContract() {
    ThumbnailService thumbnails(window_->document(), cache_.filePath("zoom.bin").toStdString());
    auto* b = new CBrowse(thumbnails, window_->document(), {});
    b->SetDirectory(images_.toStdString());
    b->show();
    QVERIFY(QTest::qWaitForWindowExposed(b));
    QVERIFY(!b->findChild<QPushButton*>(QStringLiteral("CBrowse_SelectAll"))->isEnabled());
    for (int i = 0; i < 4; ++i)
      press(b, "ZoomIn");
    QCOMPARE(b->layout().cellWidth, 387);
    QCOMPARE(b->layout().cellHeight, 337);
    // Every cell is still reachable by a click.
    click(b, "testorig.ppm");
    QCOMPARE(SelectedBrowseCount(b->items()), 1);

    // A folder that cannot be read is said so; the places are shown.
    b->SetDirectory("/nowhere/at/all");
    QCOMPARE(prompts_.messages.value(0),
             QStringLiteral("Can't load directory \"/nowhere/at/all\""));
    QVERIFY(!b->items().empty());
    QCOMPARE(b->items().front().kind, BrowseKind::kLocation);
    QCOMPARE(b->items().front().path, std::string("/"));
    prompts_.messages.clear();

    // An owner that forgot the callback hears why nothing happens.
    QPointer<CBrowse> gone = b;
    press(b, "OK");
    QTRY_VERIFY(gone.isNull());
    QCOMPARE(prompts_.messages.value(0),
             QStringLiteral("Need to call CBrowse::SetCallBack() to register handler for close"));
  }

  void iconsComeFromTheIconFolderWhenItHasThem() {
    QTemporaryDir icons;
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(icons.filePath(QStringLiteral("folder.png"))));
    const BrowseIcons loaded = LoadBrowseIcons(icons.path() + QLatin1Char('/'));
    QCOMPARE(loaded.folder.size(), QSize(8, 8));
    QCOMPARE(loaded.folder.pixelColor(3, 3), QColor(Qt::red));
    // The others are drawn: a red arrow on grey, a green square on grey.
    QCOMPARE(loaded.up.pixelColor(1, 1), loaded.place.pixelColor(1, 1));
    QCOMPARE(loaded.place.pixelColor(48, 48), QColor(0, 176, 0));
    qputenv("MODRA_ICON_DIR", icons.path().toUtf8());
    QCOMPARE(BrowseIconFolder(), icons.path() + QLatin1Char('/'));
    qunsetenv("MODRA_ICON_DIR");
    QCOMPARE(BrowseIconFolder(), QStringLiteral("icons/"));
  }

  void aThousandPicturesShowAtOnceAndScrollWhileTheirThumbnailsAreMade() {
    QTemporaryDir folder;
    std::vector<uint8_t> rgb(32 * 24 * 3);
    for (int i = 0; i < 2000; ++i) {
      for (size_t p = 0; p < rgb.size(); ++p)
        rgb[p] = static_cast<uint8_t>(p * 7 + static_cast<size_t>(i));
      JpegImage jpeg;
      const QString name = folder.filePath(QStringLiteral("p%1.jpg").arg(10000 + i));
      QCOMPARE(jpeg.EncodeFile(name.toStdString(), rgb.data(), 32, 24), 0);
    }
    ThumbnailService thumbnails(window_->document(), cache_.filePath("many.bin").toStdString());
    CBrowse b(thumbnails, window_->document(), {});
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));
    QElapsedTimer clock;
    clock.start();
    b.SetDirectory(folder.path().toStdString());
    // The listing does not wait for a single thumbnail.
    QCOMPARE(b.items().size(), kMostBrowseItems);
    QVERIFY(!b.pictureArrived(kMostBrowseItems - 1));

    b.verticalBar()->setValue(kBrowseScrollRange);
    const size_t last = kMostBrowseItems - 1;
    QTRY_VERIFY_WITH_TIMEOUT(b.pictureArrived(last), 20000);
    // What was scrolled into view came before what was left behind.
    size_t arrived = 0;
    for (size_t i = 0; i < b.items().size(); ++i)
      arrived += b.pictureArrived(i);
    QVERIFY2(arrived < kMostBrowseItems, qPrintable(QString::number(arrived)));
    QVERIFY(b.cellCenter(last).y() > 0 && b.cellCenter(last).y() < b.grid()->height());
    b.SetCallBack([](int) {});
  }
};

MODRA_GUI_TEST(TestBrowser);

}  // namespace modra::test

#include "tst_browser.moc"
