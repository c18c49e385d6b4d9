// The main 3D view: draws the scene with the core's drawing code in a
// compatibility-profile context, and hands mouse input to the interaction
// model (normalised points, the mouse held while a button is down,
// modifiers and the Z key latched at the press). A flick of the view spins
// on at a steady frame rate until the next press.
#pragma once

#include <QOpenGLWidget>
#include <QTimer>

#include "view/draw_groups.h"
#include "view/gl_state.h"
#include "view/interaction.h"

namespace modra {

class GuiDocument;

class COglView : public QOpenGLWidget {
  Q_OBJECT
 public:
  COglView(GuiDocument& document, ViewInteraction& interaction, QWidget* parent = nullptr);
  ~COglView() override;

  // The status text of the current mode.
  QString statusText() const;

  // The group of the level being edited under a point in normalised view
  // coordinates, or -1.
  int pickAt(float x, float y);

  // How the groups reach OpenGL; the buffers unless told otherwise (the
  // old path stays for comparison and for contexts without them).
  void setDrawPath(DrawPath path);

 signals:
  void statusTextWanted(const QString& text);

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  // The Z key held while the pointer is over the view is the view's,
  // wherever the keyboard focus is.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  ViewPoint normalised(const QPointF& position) const;
  bool pointerOver() const;
  // Deletes the drawing's buffer objects while their context still exists.
  void releaseBuffers();
  void spinStep();

  GuiDocument& document_;
  ViewInteraction& interaction_;
  GroupDrawer drawer_;
  ColorDepth colorDepth_;
  QTimer spin_;
  bool zHeld_ = false;
  // The chord Z was pressed with, and whether a click used it since.
  Qt::KeyboardModifiers zChord_;
  bool zClicked_ = false;
};

}  // namespace modra
