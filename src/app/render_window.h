// File > Render Scene to File: the Render Options dialog, then the render
// window, which draws the scene frame by frame into image files or a
// movie while the editor stays responsive.
//
// The render runs on the GUI thread, one sample per tick of a 2 ms timer,
// in a context of its own that shares the view's objects: it draws with
// the textures the view already has, into a framebuffer object on an
// offscreen surface. Each tick makes that context current for the one
// sample and releases it; the view makes its own current when it paints.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/render_options_dialog.h"
#include "render/framebuffer.h"
#include "render/render_job.h"
#include "render/render_settings.h"

class QLabel;
class QOffscreenSurface;
class QOpenGLContext;
class QProgressBar;
class QPushButton;

namespace modra {

class GuiDocument;

// The window of one render. It takes the document's display as the
// render left it and puts back what `before` holds at the end: the view,
// the light display and the frame shown (the selection stays cleared); it
// closes and deletes itself when the render ends, fails or is cancelled.
class CRendWnd : public QWidget {
  Q_OBJECT
 public:
  CRendWnd(GuiDocument& document, const RenderSettings& settings, const DisplayBeforeRender& before,
           QWidget* parent = nullptr);
  ~CRendWnd() override;

  // Opens the output and starts the samples. false, after the core's
  // message, when the render cannot start; the window has ended then.
  bool start();
  bool ended() const { return ended_; }

 signals:
  // The render is over and the document's display is back.
  void finished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Makes the context, its surface and the framebuffer, leaving them
  // current. false after the message when any of them fails.
  bool makeContext();
  // Makes the render's context current and binds the framebuffer. false
  // when the context cannot be made current.
  bool makeCurrent();
  // Deletes the framebuffer in its context, then the context and surface.
  void releaseContext();
  void step();
  void showProgress();
  // Ends the movie or GIF with the frames so far, puts the display back,
  // tells the document, and closes the window. Runs once.
  void end();

  GuiDocument& document_;
  RenderSettings settings_;
  DisplayBeforeRender before_;
  bool ended_ = false;
  std::unique_ptr<QOffscreenSurface> surface_;
  std::unique_ptr<QOpenGLContext> context_;
  OffscreenFramebuffer framebuffer_;
  std::unique_ptr<RenderJob> job_;
  QTimer timer_;

  QLabel* status_ = nullptr;
  QLabel* picture_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

// Runs the command: keeps the settings between renders, opens the dialog
// without blocking, and on OK prepares the document and starts the window.
class RenderController : public QObject {
  Q_OBJECT
 public:
  // `window` is the main window: the dialog and the render window belong
  // to it.
  RenderController(GuiDocument& document, QWidget* window);

  // Opens the Render Options dialog, unless it or a render is open.
  void start();
  // What the next opening of the dialog starts from.
  const RenderSettings& settings() const { return settings_; }
  // The open dialog or the running render, or null.
  RenderOptionsDialog* dialog() const { return dialog_; }
  CRendWnd* renderWindow() const { return render_; }

 signals:
  void finished();

 private:
  void render(const RenderSettings& settings);

  GuiDocument& document_;
  QWidget* window_;
  RenderSettings settings_;
  QPointer<RenderOptionsDialog> dialog_;
  QPointer<CRendWnd> render_;
};

}  // namespace modra
