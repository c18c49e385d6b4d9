#include "app/ogl_view.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QWheelEvent>

#include "app/drawer_buffers.h"
#include "app/gui_document.h"
#include "view/pick.h"
#include "view/projection.h"
#include "view/scene_draw.h"

namespace modra {

namespace {

// The spin's pace, in steps (frames) per second.
constexpr int kSpinStepsPerSecond = 30;

}  // namespace

COglView::COglView(GuiDocument& document, ViewInteraction& interaction, QWidget* parent)
    : QOpenGLWidget(parent), document_(document), interaction_(interaction) {
  setObjectName(QStringLiteral("COglView"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // for the status text; drags need a button
  setMinimumSize(64, 64);
  // Qt composites the view into the window on every frame: a texture
  // without alpha is copied rather than blended, and needs no alpha pass
  // after the scene's see-through groups to come out opaque.
  setTextureFormat(GL_RGB8);
  spin_.setObjectName(QStringLiteral("COglView_Spin"));
  spin_.setParent(this);
  spin_.setTimerType(Qt::PreciseTimer);
  spin_.setInterval(1000 / kSpinStepsPerSecond);
  connect(&spin_, &QTimer::timeout, this, &COglView::spinStep);
  qApp->installEventFilter(this);
}

// The texture objects belong to the document's uploader; the buffer
// objects are the drawer's, and the context is shared, so they would
// outlive the view.
COglView::~COglView() {
  releaseBuffers();
  // The context goes in QOpenGLWidget's destructor, after this one.
  if (QOpenGLContext* c = context()) disconnect(c, nullptr, this, nullptr);
}

void COglView::releaseBuffers() { ReleaseDrawerBuffers(*this, drawer_); }

void COglView::setDrawPath(DrawPath path) {
  drawer_.SetPath(path);
  update();
}

QString COglView::statusText() const {
  const std::string_view text = EditModeStatusText(interaction_.Mode());
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void COglView::initializeGL() {
  // A context made again (a new window) starts with no buffers.
  drawer_.AbandonBuffers();
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &COglView::releaseBuffers,
          Qt::UniqueConnection);
}

void COglView::resizeGL(int, int) {}

void COglView::paintGL() {
  auto* gl = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(context());
  Document& doc = document_.doc();
  // Every state the drawing relies on is set here each frame: Qt's own
  // painting may have changed any of it since the last one.
  colorDepth_ = InitGlState(doc.scene.global.background);
  if (gl) gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const int index = doc.display.currentView;
  ViewSetting view = doc.display.views[index];
  if (index == kViewCamera) {
    // The Camera view looks from the camera at the point it aims at.
    view.eye = doc.scene.camera.position;
    view.center = doc.scene.camera.vectorA;
  }
  SetupView(view, index, AspectOf(width(), height()));
  DrawScene(drawer_, doc.scene, doc.display, doc.uploader->DrawingNames());
}

int COglView::pickAt(float x, float y) {
  if (!isValid()) return -1;
  makeCurrent();
  const qreal ratio = devicePixelRatioF();
  PickTarget target;
  target.width = static_cast<int>(width() * ratio);
  target.height = static_cast<int>(height() * ratio);
  target.bits = colorDepth_;
  Document& doc = document_.doc();
  InitGlState(doc.scene.global.background);
  const int group = PickGroupAt(drawer_, doc.scene, doc.display, target, x, y);
  doneCurrent();
  update();  // the pick drew over the picture
  return group;
}

ViewPoint COglView::normalised(const QPointF& p) const {
  // The model works in the framebuffer's pixels, as the pick does.
  const qreal ratio = devicePixelRatioF();
  return NormalizePoint(static_cast<float>(p.x() * ratio), static_cast<float>(p.y() * ratio),
                        static_cast<float>(width() * ratio), static_cast<float>(height() * ratio));
}

namespace {

bool ButtonOf(const QMouseEvent* event, MouseButton& button) {
  if (event->button() == Qt::LeftButton)
    button = MouseButton::kLeft;
  else if (event->button() == Qt::RightButton)
    button = MouseButton::kRight;
  else
    return false;
  return true;
}

}  // namespace

void COglView::mousePressEvent(QMouseEvent* event) {
  MouseButton button;
  if (!ButtonOf(event, button)) return;
  spin_.stop();
  if (!interaction_.HoldsCapture()) grabMouse();
  if (zHeld_) zClicked_ = true;
  const Qt::KeyboardModifiers keys = event->modifiers();
  interaction_.ButtonDown(button, normalised(event->position()), keys & Qt::ControlModifier,
                          keys & Qt::ShiftModifier, zHeld_);
  update();
}

void COglView::mouseMoveEvent(QMouseEvent* event) {
  emit statusTextWanted(statusText());
  if (!interaction_.HoldsCapture()) return;
  interaction_.Move(normalised(event->position()));
  update();
}

void COglView::mouseReleaseEvent(QMouseEvent* event) {
  MouseButton button;
  if (!ButtonOf(event, button) || !interaction_.HoldsCapture()) return;
  interaction_.ButtonUp(button, normalised(event->position()));
  if (!interaction_.HoldsCapture()) releaseMouse();
  if (interaction_.Spinning()) spin_.start();
  update();
}

void COglView::spinStep() {
  interaction_.SpinStep();
  if (!interaction_.Spinning()) spin_.stop();
  update();
}

bool COglView::event(QEvent* event) {
  // Ctrl+Z is also a modifier of mouse clicks here: the view takes the key
  // itself and undoes on its release, unless a click used it meanwhile.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Z && (key->modifiers() & Qt::ControlModifier)) {
      event->accept();
      return true;
    }
  }
  return QOpenGLWidget::event(event);
}

bool COglView::pointerOver() const {
  // The view must be what is under the pointer: a dialog or menu above it
  // keeps its keys.
  return isVisible() && QApplication::widgetAt(QCursor::pos()) == this;
}

bool COglView::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  auto* widget = qobject_cast<QWidget*>(watched);
  // Only the keys of the widgets of this window count; the window system's
  // own delivery to the window comes by here before the widget's.
  if (watched == this || !widget || widget->window() != window() ||
      (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride))
    return QOpenGLWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Z) return QOpenGLWidget::eventFilter(watched, event);
  if (!pointerOver()) {
    // A Z let go after the pointer left is no longer held.
    if (type == QEvent::KeyRelease && zHeld_ && !key->isAutoRepeat()) {
      zHeld_ = false;
      zChord_ = {};
    }
    return QOpenGLWidget::eventFilter(watched, event);
  }
  // With Ctrl or Shift the Z is the view's: the field that has the focus
  // neither types it nor takes Ctrl+Z as its own undo, and no shortcut runs
  // (the view undoes on the key's release, as when it has the focus). A Z
  // alone is held for the view and still typed, so that a name typed with
  // the pointer resting on the view keeps its z.
  const bool chord = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
  if (type == QEvent::ShortcutOverride) {
    if (!chord) return QOpenGLWidget::eventFilter(watched, event);
    event->accept();
  } else if (type == QEvent::KeyPress) {
    keyPressEvent(key);
  } else {
    keyReleaseEvent(key);
  }
  return chord || QOpenGLWidget::eventFilter(watched, event);
}

void COglView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Z && !event->isAutoRepeat()) {
    zHeld_ = true;
    zClicked_ = false;
    zChord_ = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
  }
  QOpenGLWidget::keyPressEvent(event);
}

void COglView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Z && !event->isAutoRepeat()) {
    zHeld_ = false;
    if ((zChord_ & Qt::ControlModifier) && !zClicked_) {
      if (zChord_ & Qt::ShiftModifier)
        document_.redo();
      else
        document_.undo();
    }
    zChord_ = {};
  }
  QOpenGLWidget::keyReleaseEvent(event);
}

void COglView::wheelEvent(QWheelEvent* event) {
  constexpr float kDeltaPerNotch = QWheelEvent::DefaultDeltasPerStep;
  interaction_.Wheel(static_cast<float>(event->angleDelta().y()) / kDeltaPerNotch);
  event->accept();
}

void COglView::focusOutEvent(QFocusEvent* event) {
  // The release of a Z held while the focus left never reaches the view.
  zHeld_ = false;
  zChord_ = {};
  QOpenGLWidget::focusOutEvent(event);
}

void COglView::enterEvent(QEnterEvent* event) {
  emit statusTextWanted(statusText());
  QOpenGLWidget::enterEvent(event);
}

}  // namespace modra
