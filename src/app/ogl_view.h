// The main 3D view: draws the scene with the core's drawing code in a
// compatibility-profile context, and turns mouse input into the
// interaction model's button and motion steps (normalised points, the
// drag held while a button is down, modifiers latched at the press).
#pragma once

#include <QOpenGLWidget>

#include "app/interaction_glue.h"
#include "view/draw_groups.h"
#include "view/gl_state.h"

namespace modra {

class GuiDocument;

class COglView : public QOpenGLWidget {
  Q_OBJECT
 public:
  COglView(GuiDocument& document, glue::ViewInteraction& interaction, QWidget* parent = nullptr);
  ~COglView() override;

  void setEditMode(int mode) { mode_ = mode; }
  int editMode() const { return mode_; }
  // The panel that drags report to (none while the mode has no panel).
  void setAdjustTarget(glue::AdjustTarget* target) { target_ = target; }
  // The status text of the current mode.
  QString statusText() const;

  // The group under a point in normalised view coordinates, or -1.
  int pickAt(float x, float y);

 signals:
  void statusTextWanted(const QString& text);

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;

 private:
  QPointF normalised(const QPointF& position) const;

  GuiDocument& document_;
  glue::ViewInteraction& interaction_;
  glue::AdjustTarget* target_ = nullptr;
  GroupDrawer drawer_;
  ColorDepth colorDepth_;
  int mode_ = 1;
  bool leftDown_ = false;
  bool rightDown_ = false;
  bool zHeld_ = false;
};

}  // namespace modra
