#include "app/render_window.h"

#include <QCloseEvent>
#include <QDebug>
#include <QImage>
#include <QLabel>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "app/render_options_dialog.h"
#include "scene/key_store.h"

namespace modra {

namespace {

// The picture is shown no larger than this; the files get every pixel.
constexpr int kShownSide = 400;

}  // namespace

CRendWnd::CRendWnd(GuiDocument& document, const RenderSettings& settings,
                   const DisplayBeforeRender& before, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      document_(document),
      settings_(settings),
      before_(before) {
  setObjectName(QStringLiteral("CRendWnd"));
  setWindowTitle(QStringLiteral("Render Window"));
  setAttribute(Qt::WA_DeleteOnClose);
  // The render shows the document frame by frame: nothing may edit it
  // meanwhile, but the window itself stays usable.
  setWindowModality(Qt::ApplicationModal);

  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(QStringLiteral("Render Window"), this);
  status_->setObjectName(QStringLiteral("RenderWindow_Status"));
  picture_ = new QLabel(this);
  picture_->setObjectName(QStringLiteral("RenderWindow_Picture"));
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setMinimumSize(std::min(settings.width, kShownSide),
                           std::min(settings.height, kShownSide));
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("RenderWindow_Progress"));
  progress_->setRange(0, 1);
  progress_->setValue(0);
  progress_->setFormat(QStringLiteral("%v of %m frames"));
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("RenderWindow_Cancel"));
  layout->addWidget(status_);
  layout->addWidget(picture_, 1);
  layout->addWidget(progress_);
  layout->addWidget(cancel_, 0, Qt::AlignRight);
  connect(cancel_, &QPushButton::clicked, this, &CRendWnd::end);

  timer_.setInterval(2);
  connect(&timer_, &QTimer::timeout, this, &CRendWnd::step);
}

CRendWnd::~CRendWnd() {
  // Destroyed without closing (its parent went first): the context's
  // objects still go in the context.
  releaseContext();
}

bool CRendWnd::start() {
  job_ = std::make_unique<RenderJob>(document_.doc(), settings_);
  // The settings and the movie are checked before a context is made.
  if (!job_->Start() || !makeContext()) {
    end();
    return false;
  }
  job_->Resize(framebuffer_.Width(), framebuffer_.Height());
  context_->doneCurrent();
  progress_->setRange(0, job_->FrameCount());
  showProgress();
  timer_.start();
  return true;
}

bool CRendWnd::makeContext() {
  // Sharing with the view's context (every context of the editor shares
  // with the global one) gives the drawing the view's texture names.
  surface_ = std::make_unique<QOffscreenSurface>();
  surface_->setFormat(QSurfaceFormat::defaultFormat());
  surface_->create();
  context_ = std::make_unique<QOpenGLContext>();
  context_->setFormat(QSurfaceFormat::defaultFormat());
  context_->setShareContext(QOpenGLContext::globalShareContext());
  std::string error;
  QOpenGLContext* context = context_.get();
  const bool made =
      surface_->isValid() && context_->create() && context_->makeCurrent(surface_.get()) &&
      framebuffer_.Create(
          DrawingWidth(settings_), DrawingHeight(settings_),
          [context](const char* name) { return context->getProcAddress(name); }, &error);
  if (!made) {
    if (!error.empty()) qWarning("render framebuffer: %s", error.c_str());
    releaseContext();
    document_.Message("Bogus OpenGL Context");
  }
  return made;
}

bool CRendWnd::makeCurrent() {
  if (!context_ || !framebuffer_.Valid() || !context_->makeCurrent(surface_.get())) return false;
  framebuffer_.Bind();
  return true;
}

void CRendWnd::releaseContext() {
  if (context_ && framebuffer_.Valid()) {
    if (context_->makeCurrent(surface_.get())) {
      // The context shares with the editor's: what it does not delete stays.
      if (job_) job_->ReleaseBuffers();
      framebuffer_.Release();
    } else {
      framebuffer_.Abandon();
    }
  }
  // Only our own: doneCurrent releases whatever context the thread has.
  if (context_ && QOpenGLContext::currentContext() == context_.get()) context_->doneCurrent();
  context_.reset();
  surface_.reset();
}

void CRendWnd::step() {
  if (ended_ || !job_) return;
  bool more = false;
  if (makeCurrent()) {
    more = job_->Step();
    context_->doneCurrent();
  } else {
    document_.Message("Bogus OpenGL Context");
  }
  showProgress();
  if (!more) end();
}

void CRendWnd::showProgress() {
  if (!job_->Title().empty()) {
    const QString title = QString::fromStdString(job_->Title());
    setWindowTitle(title);
    status_->setText(title);
  }
  progress_->setValue(job_->FramesFinished());
  if (const uint8_t* rgb = job_->LastPicture()) {
    const int w = job_->LastPictureWidth(), h = job_->LastPictureHeight();
    const QImage image(rgb, w, h, static_cast<qsizetype>(w) * 3, QImage::Format_RGB888);
    QPixmap shown = QPixmap::fromImage(image);  // a deep copy: the job reuses its buffer
    if (w > kShownSide || h > kShownSide)
      shown = shown.scaled(kShownSide, kShownSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picture_->setPixmap(shown);
  }
}

void CRendWnd::end() {
  if (ended_) return;
  ended_ = true;
  timer_.stop();
  if (job_) job_->Finish();
  releaseContext();
  // What the render showed is no edit, nor is going back: the next step
  // starts from the frame shown before.
  document_.session().MoveFrames([&] { RestoreDocumentAfterRender(document_.doc(), before_); });
  emit finished();
  close();
}

void CRendWnd::closeEvent(QCloseEvent* event) {
  end();
  QWidget::closeEvent(event);
}

RenderController::RenderController(GuiDocument& document, QWidget* window)
    : QObject(window), document_(document), window_(window) {
  setObjectName(QStringLiteral("RenderController"));
}

void RenderController::start() {
  if (dialog_ || render_) return;
  auto* dialog = new RenderOptionsDialog(document_.prompts(), window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  RenderSettings shown = settings_;
  PrepareRenderOptions(shown, LastKeyFrame(document_.doc().scene.anim));
  dialog->setValues(shown);
  connect(dialog, &QDialog::accepted, this, [this, dialog] { render(dialog->values()); });
  dialog_ = dialog;
  dialog->open();
}

void RenderController::render(const RenderSettings& settings) {
  settings_ = settings;
  DisplayBeforeRender before;
  document_.session().MoveFrames([&] { before = PrepareDocumentForRender(document_.doc()); });
  auto* window = new CRendWnd(document_, settings, before, window_);
  render_ = window;
  connect(window, &CRendWnd::finished, this, &RenderController::finished);
  window->show();
  window->start();
}

}  // namespace modra
