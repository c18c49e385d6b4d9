#include "app/time_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace modra {

TimeSlider::TimeSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setObjectName(QStringLiteral("AnimationBar_Time"));
  setMinimumWidth(160);
}

void TimeSlider::setKeyFrames(std::vector<int> frames) {
  if (frames == keyFrames_) return;
  keyFrames_ = std::move(frames);
  update();
}

void TimeSlider::mousePressEvent(QMouseEvent* event) {
  // A click on the track goes to the frame under the pointer, as in every
  // timeline, instead of a page step towards it; the press then drags the
  // handle that now stands there.
  if (event->button() == Qt::LeftButton) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    if (!handle.contains(event->position().toPoint())) {
      const int span = groove.width() - handle.width();
      const int x = event->position().toPoint().x() - groove.left() - handle.width() / 2;
      setValue(QStyle::sliderValueFromPosition(minimum(), maximum(), x, span));
    }
  }
  QSlider::mousePressEvent(event);
}

void TimeSlider::paintEvent(QPaintEvent* event) {
  QSlider::paintEvent(event);
  if (keyFrames_.empty()) return;
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const int handle =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this).width();
  // The handle's centre travels from half a handle in to half a handle
  // from the end; a key's tick sits where the handle stands at its frame.
  const int span = groove.width() - handle;
  QPainter painter(this);
  painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
  for (int frame : keyFrames_) {
    const int x = groove.left() + handle / 2 +
                  QStyle::sliderPositionFromValue(minimum(), maximum(), frame, span);
    painter.drawLine(x, height() - 5, x, height() - 1);
  }
}

}  // namespace modra
