// Animation > Edit Spline ...: the window that shows one animated triple
// as three curves and lets the user drag its values and handles. It only
// binds: the SplineEditor of the core holds the curve, the view and the
// selection, and every change of the keys runs through the edit session.
#pragma once

#include <QMainWindow>
#include <QWidget>
#include <array>

#include "anim/spline_edit.h"

class QButtonGroup;
class QLabel;
class QScrollBar;

namespace modra {

class GuiDocument;

// The curves, points, handles, selection and rubber band, drawn in the
// window units of the editor's view (-1..1 both ways, y up). Home fits the
// view to every point, F to the selected ones.
class SplineCurveView : public QWidget {
  Q_OBJECT
 public:
  SplineCurveView(GuiDocument& document, SplineEditor& editor, QWidget* parent = nullptr);

  // The pixel of a window position and back.
  QPointF pixelOf(float x, float y) const;
  QPointF windowOf(QPointF pixel) const;

 signals:
  // A press, move or release changed what the editor holds.
  void edited();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  GuiDocument& document_;
  SplineEditor& editor_;
  bool pressed_ = false;
};

class SplineEditorWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Opens on Translation of the selected group, fitted.
  explicit SplineEditorWindow(GuiDocument& document, QWidget* parent = nullptr);

  const SplineEditor& editor() const { return editor_; }
  SplineCurveView* curveView() const { return view_; }

  // "&Done": writes the curve back and closes.
  void done();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createGui();
  void bindEvents();
  // Shows what the editor holds: radio buttons, scroll bars, status text,
  // the picture.
  void updateControls();
  void choose(int ownerChoice, int param);
  void documentChanged(unsigned what);

  GuiDocument& document_;
  SplineEditor editor_;
  bool written_ = false;
  SplineCurveView* view_ = nullptr;
  QButtonGroup* params_ = nullptr;
  QButtonGroup* owners_ = nullptr;
  QScrollBar* hScroll_ = nullptr;
  QScrollBar* vScroll_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace modra
