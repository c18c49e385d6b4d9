// The animation bar's time slider: frame 0 to the last key frame, with a
// tick under each key frame of the current group. Dragging it scrubs the
// animation.
#pragma once

#include <QSlider>
#include <vector>

namespace modra {

class TimeSlider : public QSlider {
  Q_OBJECT
 public:
  explicit TimeSlider(QWidget* parent = nullptr);

  // The frames to mark; redraws when they change.
  void setKeyFrames(std::vector<int> frames);
  const std::vector<int>& keyFrames() const { return keyFrames_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<int> keyFrames_;
};

}  // namespace modra
