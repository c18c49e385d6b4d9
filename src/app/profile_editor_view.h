// The drawing window of a profile editor: the edited group in the editor's
// own 3D view on the left, the profile pane on the right. It only binds:
// presses, moves and the wheel go to the core's pane and preview rules,
// and every picture is drawn from what the core holds.
#pragma once

#include <QOpenGLWidget>

#include "edit/profile_commands.h"
#include "profile/preview_view.h"
#include "view/draw_groups.h"

namespace modra {

class GuiDocument;

class ProfileEditorView : public QOpenGLWidget {
  Q_OBJECT
 public:
  ProfileEditorView(GuiDocument& document, ProfileEditorKind kind, QWidget* parent = nullptr);
  ~ProfileEditorView() override;

  // What the mouse moves in the 3D view: 0 turns it, 1 moves it, and 2 on
  // the numeric parameters of `parameters` in order.
  void setMouseChoice(int choice) { choice_ = choice; }
  void setParameters(std::vector<ProfileField> parameters) { parameters_ = std::move(parameters); }
  // The 3D view's draw style (kWireFrame or kSolid) and normals.
  void setDisplayMode(int mode);
  void setNormalsShown(bool shown);
  // Straight on again.
  void resetView();
  const PreviewView& preview() const { return preview_; }

  // A widget pixel in window units (-1..1, y up) and back.
  QPointF windowOf(QPointF pixel) const;
  QPointF pixelOf(float x, float y) const;

 signals:
  // The pointer is over the profile pane at profile point (x, y), or has
  // left it.
  void pointerAt(bool inPane, float x, float y);

 protected:
  void initializeGL() override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  enum class Drag { kNone, kPane, kPan, kTurn, kShift, kParameter };
  void finishDrag();
  // Deletes the preview's buffer objects while their context still exists.
  void releaseBuffers();

  GuiDocument& document_;
  ProfileEditorKind kind_;
  GroupDrawer drawer_;
  PreviewView preview_;
  std::vector<ProfileField> parameters_;
  int choice_ = 0;
  int displayMode_;
  bool normals_ = false;

  Drag drag_ = Drag::kNone;
  PaneButton button_ = PaneButton::kLeft;
  QPointF start_, last_;  // window units
  ProfileField field_ = ProfileField::kDepth;
  float fieldStart_ = 0;
};

}  // namespace modra
