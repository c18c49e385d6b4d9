#include "profile/point_selection.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace modra {
namespace {

[[maybe_unused]] bool Consistent(const ProfilePoints& p) {
  return p.points.size() == 2 * p.corners.size() && p.selected.size() == p.corners.size();
}

bool Inside(float v, float a, float b) {
  return v >= std::min(a, b) && v <= std::max(a, b);
}

}  // namespace

int LastSelectedPoint(const std::vector<uint8_t>& selected) {
  for (size_t i = selected.size(); i-- > 0;)
    if (selected[i]) return static_cast<int>(i);
  return -1;
}

unsigned PressProfilePane(ProfilePoints p, PaneGesture& gesture, PanePoint at, PaneButton button,
                          bool ctrl, float hitSize) {
  assert(Consistent(p));
  gesture = {PaneGesture::Kind::kNone, at, at, -1, {}};
  const int hit = HitProfilePoint(p.points.data(), p.corners.size(), at, hitSize);
  const bool toggling = button == PaneButton::kRight || ctrl;
  if (hit >= 0 && toggling) {
    p.selected[hit] = !p.selected[hit];
    p.current = LastSelectedPoint(p.selected);
    return kPaneSelection;
  }
  if (hit >= 0) {
    if (!p.selected[hit]) std::fill(p.selected.begin(), p.selected.end(), 0);
    p.selected[hit] = 1;
    p.current = hit;
    gesture.kind = PaneGesture::Kind::kDrag;
    gesture.grabbed = hit;
    gesture.grabbedAt = {p.points[2 * hit], p.points[2 * hit + 1]};
    return kPaneSelection;
  }
  if (toggling) return kPaneNothing;
  std::fill(p.selected.begin(), p.selected.end(), 0);
  p.current = -1;
  gesture.kind = PaneGesture::Kind::kRubberBand;
  return kPaneSelection;
}

unsigned MoveProfilePane(ProfilePoints p, PaneGesture& gesture, PanePoint at, float minX,
                         float snapStep) {
  assert(Consistent(p));
  const PanePoint from = gesture.last;
  gesture.last = at;
  switch (gesture.kind) {
    case PaneGesture::Kind::kNone:
      return kPaneNothing;
    case PaneGesture::Kind::kRubberBand: {
      bool changed = false;
      for (size_t i = 0; i < p.corners.size(); ++i) {
        const uint8_t inside = Inside(p.points[2 * i], gesture.start.x, at.x) &&
                               Inside(p.points[2 * i + 1], gesture.start.y, at.y);
        changed |= p.selected[i] != inside;
        p.selected[i] = inside;
      }
      return changed ? kPaneSelection : kPaneNothing;
    }
    case PaneGesture::Kind::kDrag: {
      float dx = at.x - from.x, dy = at.y - from.y;
      const int g = gesture.grabbed;
      if (snapStep > 0 && g >= 0 && static_cast<size_t>(g) < p.corners.size()) {
        // Snapped from where the drag began, so that small motions add up
        // instead of each rounding away.
        const auto snap = [snapStep](float v) { return std::round(v / snapStep) * snapStep; };
        const float x = std::max(snap(gesture.grabbedAt.x + at.x - gesture.start.x), minX);
        const float y = snap(gesture.grabbedAt.y + at.y - gesture.start.y);
        dx = x - p.points[2 * g];
        dy = y - p.points[2 * g + 1];
      }
      if (dx == 0 && dy == 0) return kPaneNothing;
      for (size_t i = 0; i < p.corners.size(); ++i) {
        if (!p.selected[i]) continue;
        p.points[2 * i] = std::max(p.points[2 * i] + dx, minX);
        p.points[2 * i + 1] += dy;
      }
      return kPanePoints;
    }
  }
  return kPaneNothing;
}

unsigned ReleaseProfilePane(ProfilePoints p, PaneGesture& gesture) {
  const bool band = gesture.kind == PaneGesture::Kind::kRubberBand;
  gesture.kind = PaneGesture::Kind::kNone;
  if (!band) return kPaneNothing;
  p.current = LastSelectedPoint(p.selected);
  return p.current >= 0 ? kPaneSelection : kPaneNothing;
}

void SelectAllPoints(ProfilePoints p) {
  std::fill(p.selected.begin(), p.selected.end(), 1);
  if (p.current < 0 || static_cast<size_t>(p.current) >= p.selected.size())
    p.current = LastSelectedPoint(p.selected);
}

void DeselectAllPoints(ProfilePoints p) {
  std::fill(p.selected.begin(), p.selected.end(), 0);
  p.current = -1;
}

bool CurrentIsCorner(const std::vector<uint8_t>& corners, int current) {
  return current >= 0 && static_cast<size_t>(current) < corners.size() && corners[current] != 0;
}

bool ToggleCornerOfSelected(ProfilePoints p) {
  assert(Consistent(p));
  if (p.current < 0 || static_cast<size_t>(p.current) >= p.corners.size()) return false;
  const uint8_t corner = !p.corners[p.current];
  p.corners[p.current] = corner;
  for (size_t i = 0; i < p.corners.size(); ++i)
    if (p.selected[i]) p.corners[i] = corner;
  return true;
}

}  // namespace modra
