#include "app/ogl_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QOpenGLVersionFunctionsFactory>

#include "app/gui_document.h"
#include "app/shell_glue.h"
#include "view/pick.h"
#include "view/projection.h"
#include "view/scene_draw.h"

namespace modra {

COglView::COglView(GuiDocument& document, glue::ViewInteraction& interaction, QWidget* parent)
    : QOpenGLWidget(parent), document_(document), interaction_(interaction) {
  setObjectName(QStringLiteral("COglView"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // for the status text; drags need a button
  setMinimumSize(64, 64);
}

// Nothing of ours lives in the context: the drawer keeps client-side
// arrays only, and the texture objects belong to the context and go with it.
COglView::~COglView() = default;

QString COglView::statusText() const {
  return QString::fromLatin1(glue::kModes[static_cast<size_t>(mode_)].status);
}

void COglView::initializeGL() {}

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

QPointF COglView::normalised(const QPointF& p) const {
  const qreal w = std::max(width(), 1), h = std::max(height(), 1);
  return {2 * p.x() / w - 1, 1 - 2 * p.y() / h};
}

void COglView::mousePressEvent(QMouseEvent* event) {
  const int button = event->button() == Qt::LeftButton    ? 1
                     : event->button() == Qt::RightButton ? 3
                                                          : 0;
  if (button == 0) return;
  (button == 1 ? leftDown_ : rightDown_) = true;
  const Qt::KeyboardModifiers keys = event->modifiers();
  interaction_.code = glue::ModifierCode(keys & Qt::ControlModifier, keys & Qt::ShiftModifier,
                                         zHeld_);
  const QPointF p = normalised(event->position());
  glue::ButtonStep(document_.doc(), interaction_, static_cast<float>(p.x()),
                   static_cast<float>(p.y()), button, mode_,
                   [this](float x, float y) { return pickAt(x, y); });
  update();
}

void COglView::mouseMoveEvent(QMouseEvent* event) {
  emit statusTextWanted(statusText());
  if (!leftDown_ && !rightDown_) return;
  const QPointF p = normalised(event->position());
  glue::MotionStep(document_.doc(), interaction_, static_cast<float>(p.x()),
                   static_cast<float>(p.y()), mode_, target_);
  update();
}

void COglView::mouseReleaseEvent(QMouseEvent* event) {
  bool& down = event->button() == Qt::LeftButton ? leftDown_ : rightDown_;
  if (!(event->button() == Qt::LeftButton || event->button() == Qt::RightButton) || !down) return;
  down = false;
  const QPointF p = normalised(event->position());
  glue::ButtonStep(document_.doc(), interaction_, static_cast<float>(p.x()),
                   static_cast<float>(p.y()), 0, mode_, {});
  interaction_.code = 0;
  update();
}

void COglView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Z && !event->isAutoRepeat()) zHeld_ = true;
  QOpenGLWidget::keyPressEvent(event);
}

void COglView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Z && !event->isAutoRepeat()) zHeld_ = false;
  QOpenGLWidget::keyReleaseEvent(event);
}

void COglView::enterEvent(QEnterEvent* event) {
  emit statusTextWanted(statusText());
  QOpenGLWidget::enterEvent(event);
}

}  // namespace modra
