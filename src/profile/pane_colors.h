// How the profile pane is drawn, as data: the window only replays it.
#pragma once

#include <cstdint>

namespace modra {

struct PaneColor {
  float r, g, b;
  friend bool operator==(const PaneColor&, const PaneColor&) = default;
};

inline constexpr PaneColor kPaneBackground = {0.5f, 0.5f, 0.5f};
inline constexpr PaneColor kPaneAxes = {0.2f, 0.2f, 0.2f};
inline constexpr PaneColor kPaneContour = {0, 0, 0};
inline constexpr PaneColor kPaneRubberBand = {1.0f, 0.2f, 0.2f};

// The dotted grid: a line every kPaneGridStep, stippled.
inline constexpr float kPaneGridStep = 0.2f;
inline constexpr int kPaneGridStippleFactor = 1;
inline constexpr uint16_t kPaneGridStipple = 0x0F0F;
inline constexpr float kPanePointSize = 4;

// A point's dot, by whether it is a corner and whether it is selected.
inline constexpr PaneColor kPanePointPlain = {0, 0, 0};
inline constexpr PaneColor kPanePointSelected = {0.3f, 1.0f, 0.3f};
inline constexpr PaneColor kPanePointCorner = {1.0f, 0.3f, 0.3f};
inline constexpr PaneColor kPanePointSelectedCorner = {1.0f, 1.0f, 0.3f};

inline constexpr PaneColor PanePointColor(bool corner, bool selected) {
  if (corner) return selected ? kPanePointSelectedCorner : kPanePointCorner;
  return selected ? kPanePointSelected : kPanePointPlain;
}

}  // namespace modra
