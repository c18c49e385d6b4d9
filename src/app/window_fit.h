// Where a window goes so that it fits the free area of its screen.
#pragma once

#include <QRect>

namespace modra {

// The geometry (without the frame) that keeps `frame` (the window with its
// frame, around `inner`) inside `available`: shrunk to fit when larger,
// moved in when it hangs over an edge; `inner` itself when it already fits.
QRect FitWindow(const QRect& frame, const QRect& inner, const QRect& available);

}  // namespace modra
