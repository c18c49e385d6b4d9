// Pictures of the main window in every edit mode, for people to look at
// (tools/screenshots.sh, which made README's pictures): the demo scene, one
// PNG per mode, the spline editor, the profile editors, the visual browser,
// the Create panel's dialogs, the key-frame dialogs, then the Render Options
// dialog and the render window at work.
#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/browse_window.h"
#include "app/form_create.h"
#include "app/key_range_dialogs.h"
#include "app/main_window.h"
#include "app/ogl_view.h"
#include "app/profile_editor_view.h"
#include "app/profile_editor_window.h"
#include "app/render_options_dialog.h"
#include "app/render_window.h"
#include "app/spline_editor_window.h"
#include "app/thumbnail_service.h"
#include "gui_test.h"

namespace modra::test {

int WriteScreenshots(const QString& folder) {
  QSettings().clear();
  QDir().mkpath(folder);
  FakePrompts prompts;
  MainWindow window(&prompts);
  window.resize(1200, 800);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  if (!window.document().openFile(DemoScene())) return 1;
  int failures = 0;
  // Rotate View first, as the editor starts; then Selection with the vase
  // picked, which stays selected for the modes that edit a group.
  for (int mode : {1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
    window.setEditMode(mode);
    if (mode == 0)
      QTest::mouseClick(window.view(), Qt::LeftButton, {}, window.view()->rect().center());
    QTest::qWait(100);  // let the coalesced refresh and the repaint run
    const QImage picture = window.grab().toImage();
    const std::string_view menu = EditModeMenuText(static_cast<EditMode>(mode));
    QString name = QString::fromUtf8(menu.data(), static_cast<qsizetype>(menu.size()));
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    const QString path = QDir(folder).filePath(
        QStringLiteral("%1-%2.png").arg(mode, 2, 10, QLatin1Char('0')).arg(name));
    if (!picture.save(path)) ++failures;
  }

  // The dialogs of the Create panel, each pictured and cancelled, and the
  // four key-frame dialogs of the Animation menu.
  const auto save = [&](QWidget* w, const char* name) {
    if (!w || !w->grab().save(QDir(folder).filePath(QString::fromLatin1(name)))) ++failures;
  };

  // The spline editor on the vase's rotation, while the vase is picked.
  window.action(QStringLiteral("EditSpline"))->trigger();
  if (auto* spline = window.findChild<SplineEditorWindow*>()) {
    if (!QTest::qWaitForWindowExposed(spline)) ++failures;
    if (auto* rotation = spline->findChild<QAbstractButton*>(QStringLiteral("SplineEditor_Param1")))
      rotation->click();
    QTest::qWait(100);
    save(spline, "22-Animation_Spline_Editor.png");
    spline->close();
  } else {
    ++failures;
  }
  window.setEditMode(8);
  auto* create = window.findChild<CFormCreate*>();
  if (!create) return failures + 1;

  // Each profile editor on its new group, a point picked and the object
  // turned a little so that its depth shows.
  const auto profileEditor = [&](const char* button, const char* name) {
    if (auto* b = create->findChild<QPushButton*>(QLatin1String("CFormCreate_") + button))
      b->click();
    ProfileEditorWindow* editor = nullptr;
    if (!QTest::qWaitFor([&] { return (editor = window.findChild<ProfileEditorWindow*>()); }) ||
        !QTest::qWaitForWindowExposed(editor)) {
      ++failures;
      return;
    }
    ProfileEditorView* view = editor->view();
    const QPoint from(view->width() / 5, view->height() / 2);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, from + QPoint(view->width() / 14, -view->height() / 14));
    QTest::mouseRelease(view, Qt::LeftButton, {},
                        from + QPoint(view->width() / 14, -view->height() / 14));
    editor->findChild<QAction*>(editor->objectName() + QStringLiteral("_SelectAll"))->trigger();
    QTest::qWait(100);
    save(editor, name);
    editor->close();
    QTest::qWait(50);  // the window goes on the next turn of the loop
  };
  profileEditor("Extrusion", "23-Extrusion_Editor.png");
  profileEditor("Revolution", "24-Surface_of_Revolution_Editor.png");

  // The visual browser on the test pictures, every thumbnail in and one
  // picture chosen.
  {
    QTemporaryDir cache;
    ThumbnailService thumbnails(window.document(), cache.filePath("t.bin").toStdString());
    auto* browser = new CBrowse(thumbnails, window.document(), {});
    browser->SetCallBack([](int) {});
    browser->SetDirectory(MODRA_TESTDATA_DIR "/images");
    browser->show();
    const auto allIn = [browser] {
      for (size_t i = 0; i < browser->items().size(); ++i)
        if (browser->items()[i].kind == BrowseKind::kFile && !browser->pictureArrived(i))
          return false;
      return true;
    };
    if (!QTest::qWaitForWindowExposed(browser) || !QTest::qWaitFor(allIn, 20000)) ++failures;
    for (size_t i = 0; i < browser->items().size(); ++i)
      if (browser->items()[i].name == "testorig.jpg")
        QTest::mouseClick(browser->grid(), Qt::LeftButton, {}, browser->cellCenter(i));
    QTest::qWait(50);
    save(browser, "25-Visual_Browser.png");
    delete browser;
  }
  const char* dialogPicture = nullptr;
  create->setDialogRunner([&](QDialog& d) {
    d.adjustSize();
    save(&d, dialogPicture);
    return int(QDialog::Rejected);
  });
  const auto click = [&](const char* button) {
    if (auto* b = create->findChild<QPushButton*>(QLatin1String("CFormCreate_") + button))
      b->click();
    else
      ++failures;
  };
  dialogPicture = "16-Create_3D_Text.png";
  click("Text");
  click("Torus");
  QTest::qWait(100);  // the panel enables Edit Resolution on its refresh
  dialogPicture = "17-Modify_Resolution.png";
  click("EditResolution");
  window.document().doc().modified = false;
  int number = 18;
  for (const char* action :
       {"RemoveKeyInfo", "CopyKeyToRange", "CopyRangeToRange", "StretchKeys"}) {
    window.action(QString::fromLatin1(action))->trigger();
    auto* keys = window.findChild<KeyRangeDialog*>();
    QTest::qWait(100);
    const QByteArray name = QStringLiteral("%1-%2.png").arg(number++).arg(action).toLatin1();
    save(keys, name.constData());
    if (keys) delete keys;
  }

  // A short render of small frames into a folder that goes afterwards.
  window.action(QStringLiteral("RenderScene"))->trigger();
  auto* render = window.findChild<RenderController*>();
  RenderOptionsDialog* dialog = render ? render->dialog() : nullptr;
  if (!dialog) return failures + 1;
  QTemporaryDir frames;
  auto* output = dialog->findChild<QLineEdit*>(QStringLiteral("RenderOptions_OutputName"));
  output->setText(frames.filePath(QStringLiteral("frame.ppm")));
  dialog->findChild<QAbstractButton*>(QStringLiteral("RenderOptions_Format3"))->click();
  QTest::qWait(100);
  if (!dialog->grab().save(QDir(folder).filePath(QStringLiteral("14-Render_Options.png"))))
    ++failures;
  dialog->findChild<QPushButton*>(QStringLiteral("RenderOptions_Ok"))->click();
  QPointer<CRendWnd> running = render->renderWindow();
  auto* shown =
      running ? running->findChild<QLabel*>(QStringLiteral("RenderWindow_Picture")) : nullptr;
  if (!shown ||
      !QTest::qWaitFor([&] { return running.isNull() || !shown->pixmap().isNull(); }, 120000) ||
      running.isNull())
    return failures + 1;
  if (!running->grab().save(QDir(folder).filePath(QStringLiteral("15-Render_Window.png"))))
    ++failures;
  running->close();
  if (!QTest::qWaitFor([&] { return running.isNull(); })) ++failures;
  window.document().doc().modified = false;
  return failures;
}

}  // namespace modra::test
