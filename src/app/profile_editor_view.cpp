#include "app/profile_editor_view.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QWheelEvent>

#include "app/drawer_buffers.h"
#include "app/gui_document.h"
#include "edit/edit_session.h"
#include "profile/profile_editors.h"
#include "view/gl_state.h"
#include "view/profile_editor_draw.h"

namespace modra {
namespace {

// The window fraction where the profile pane starts.
float PaneStart(ProfileEditorKind kind) {
  return kind == ProfileEditorKind::kExtrusion ? 0.5f : 2.0f / 3.0f;
}

template <class Editor>
PaneDrawing Drawing(ProfileEditorKind kind, const Editor& ed) {
  PaneDrawing d;
  d.kind = kind;
  d.view = ed.view;
  d.points = ed.profile.points;
  d.corners = ed.profile.corners;
  d.selected = ed.profile.selected;
  d.band = ed.gesture.kind == PaneGesture::Kind::kRubberBand;
  d.bandFrom = ed.gesture.start;
  d.bandTo = ed.gesture.last;
  return d;
}

}  // namespace

ProfileEditorView::ProfileEditorView(GuiDocument& document, ProfileEditorKind kind, QWidget* parent)
    : QOpenGLWidget(parent), document_(document), kind_(kind), displayMode_(kSolid) {
  setObjectName(QStringLiteral("ProfileEditorView"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(320, 200);
  setTextureFormat(GL_RGB8);  // opaque: Qt copies it into the window instead of blending
}

ProfileEditorView::~ProfileEditorView() {
  releaseBuffers();
  // The context goes in QOpenGLWidget's destructor, after this one.
  if (QOpenGLContext* c = context()) disconnect(c, nullptr, this, nullptr);
}

void ProfileEditorView::releaseBuffers() { ReleaseDrawerBuffers(*this, drawer_); }

void ProfileEditorView::setDisplayMode(int mode) {
  displayMode_ = mode;
  update();
}

void ProfileEditorView::setNormalsShown(bool shown) {
  normals_ = shown;
  update();
}

void ProfileEditorView::resetView() {
  preview_ = {};
  update();
}

QPointF ProfileEditorView::windowOf(QPointF pixel) const {
  const qreal w = std::max(width(), 1), h = std::max(height(), 1);
  return {2 * pixel.x() / w - 1, 1 - 2 * pixel.y() / h};
}

QPointF ProfileEditorView::pixelOf(float x, float y) const {
  return {(x + 1) / 2 * width(), (1 - y) / 2 * height()};
}

void ProfileEditorView::initializeGL() {
  drawer_.AbandonBuffers();
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &ProfileEditorView::releaseBuffers,
          Qt::UniqueConnection);
  // The drawing needs the fixed-function calls of a compatibility context.
  if (!QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(context()))
    document_.Message("Bogus OpenGL Context");
}

void ProfileEditorView::paintGL() {
  auto* gl = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(context());
  if (!gl) return;
  const Document& doc = document_.doc();
  const ProfileEditors& editors = document_.session().profiles();
  InitGlState(doc.scene.global.background);
  gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  const qreal ratio = devicePixelRatioF();
  const int w = static_cast<int>(width() * ratio), h = static_cast<int>(height() * ratio);
  const int split = static_cast<int>(std::lround(w * PaneStart(kind_)));
  const bool ext = kind_ == ProfileEditorKind::kExtrusion;
  const int group = ext ? editors.ext.group : editors.surf.group;

  gl->glViewport(0, 0, split, h);
  DrawProfilePreview(drawer_, doc.scene, group, PreviewViewSetting(preview_), AspectOf(split, h),
                     displayMode_, normals_, doc.uploader->DrawingNames());

  gl->glViewport(split, 0, w - split, h);
  if (ext) {
    PaneDrawing d = Drawing(kind_, editors.ext);
    d.contourCounts = editors.ext.profile.pointCounts;
    DrawProfilePane(d);
  } else {
    DrawProfilePane(Drawing(kind_, editors.surf));
  }
  gl->glViewport(0, 0, w, h);
}

void ProfileEditorView::mousePressEvent(QMouseEvent* event) {
  if (drag_ != Drag::kNone) return;  // a second button joins the first drag
  const QPointF p = windowOf(event->position());
  const float x = static_cast<float>(p.x()), y = static_cast<float>(p.y());
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool inPane = InProfilePane(kind_, x);
  start_ = last_ = p;
  if (event->button() == Qt::MiddleButton) {
    if (inPane) drag_ = Drag::kPan;
    return;
  }
  if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
  button_ = event->button() == Qt::LeftButton ? PaneButton::kLeft : PaneButton::kRight;
  EditSession& session = document_.session();
  if (inPane) {
    drag_ = Drag::kPane;
    ProfilePress(session, kind_, x, y, button_, mods & Qt::ControlModifier);
    return;
  }
  switch (PreviewControlAt(choice_, mods & Qt::ShiftModifier, mods & Qt::ControlModifier)) {
    case PreviewControl::kRotation:
      drag_ = Drag::kTurn;
      break;
    case PreviewControl::kTranslation:
      drag_ = Drag::kShift;
      break;
    case PreviewControl::kParameter: {
      const size_t i = static_cast<size_t>(choice_ - 2);
      if (i >= parameters_.size()) return;
      field_ = parameters_[i];
      const std::optional<float> value = ProfileFieldValue(session, static_cast<int>(field_));
      if (!value) return;
      fieldStart_ = *value;
      // The whole drag is one step, however many values it passes.
      session.EndGesture();
      session.BeginGesture();
      drag_ = Drag::kParameter;
      break;
    }
  }
}

void ProfileEditorView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = windowOf(event->position());
  const float x = static_cast<float>(p.x()), y = static_cast<float>(p.y());
  if (InProfilePane(kind_, x)) {
    const ProfileEditors& editors = document_.session().profiles();
    const PaneView& view =
        kind_ == ProfileEditorKind::kExtrusion ? editors.ext.view : editors.surf.view;
    const PanePoint at = PanePointAt(kind_, view, x, y);
    emit pointerAt(true, at.x, at.y);
  } else {
    emit pointerAt(false, 0, 0);
  }
  const float dx = static_cast<float>(p.x() - last_.x()),
              dy = static_cast<float>(p.y() - last_.y());
  EditSession& session = document_.session();
  switch (drag_) {
    case Drag::kNone:
      return;
    case Drag::kPane:
      ProfileMove(session, kind_, x, y);
      break;
    case Drag::kPan:
      PanProfilePane(session, kind_, dx, dy);
      break;
    case Drag::kTurn:
      TurnPreview(preview_, button_, dx, dy);
      update();
      break;
    case Drag::kShift:
      ShiftPreview(preview_, button_, dx, dy);
      update();
      break;
    case Drag::kParameter:
      DragProfileField(session, field_, fieldStart_, static_cast<float>(p.x() - start_.x()));
      break;
  }
  last_ = p;
}

void ProfileEditorView::mouseReleaseEvent(QMouseEvent* event) {
  const bool pan = event->button() == Qt::MiddleButton;
  if ((drag_ == Drag::kPan) != pan) return;  // not the button that started it
  finishDrag();
}

void ProfileEditorView::finishDrag() {
  EditSession& session = document_.session();
  if (drag_ == Drag::kPane) ProfileRelease(session, kind_);
  if (drag_ == Drag::kParameter) session.EndGesture();
  drag_ = Drag::kNone;
}

void ProfileEditorView::wheelEvent(QWheelEvent* event) {
  const float notches = static_cast<float>(event->angleDelta().y()) / 120;
  if (notches == 0) return;
  const QPointF p = windowOf(event->position());
  const float x = static_cast<float>(p.x()), y = static_cast<float>(p.y());
  if (InProfilePane(kind_, x)) {
    ZoomProfilePane(document_.session(), kind_, x, y, notches);
  } else {
    // As the main view's wheel: a notch as far as a right drag over a
    // 32nd of the view's height.
    ShiftPreview(preview_, PaneButton::kRight, 0, -notches * 2.0f / 32);
    update();
  }
  event->accept();
}

void ProfileEditorView::leaveEvent(QEvent* event) {
  emit pointerAt(false, 0, 0);
  QOpenGLWidget::leaveEvent(event);
}

}  // namespace modra
