#include "app/window_fit.h"

#include <algorithm>

namespace modra {

QRect FitWindow(const QRect& frame, const QRect& inner, const QRect& available) {
  if (available.isEmpty() || available.contains(frame)) return inner;
  // The frame's own size stays around whatever the inner part becomes.
  const int frameWidth = frame.width() - inner.width();
  const int frameHeight = frame.height() - inner.height();
  const int width = std::min(frame.width(), available.width()) - frameWidth;
  const int height = std::min(frame.height(), available.height()) - frameHeight;
  const int left =
      std::clamp(frame.left(), available.left(), available.right() - (width + frameWidth) + 1);
  const int top =
      std::clamp(frame.top(), available.top(), available.bottom() - (height + frameHeight) + 1);
  return {left + (inner.left() - frame.left()), top + (inner.top() - frame.top()),
          std::max(width, 1), std::max(height, 1)};
}

}  // namespace modra
