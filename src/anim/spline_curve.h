// One animated triple as the spline editor shows it: the control polygon
// read from the keys of one owner and parameter, the display points drawn
// from it, the polygon rebuilt from moved points, and the polygon written
// back into the keys.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "scene/key_store.h"

namespace modra {

// The "Modification Parameter" choices.
enum SplineParam : int {
  kSplineTranslation = 0,
  kSplineRotation = 1,
  kSplineScale = 2,
  kSplineColor = 3,
};

// The key kind shown for an owner and parameter, and where its triple
// starts among the key's values; kind -1 when that owner has no such
// parameter (a camera's or a light's scale, the camera's colour).
struct SplineChannel {
  int kind = -1;
  int first = 0;
};
SplineChannel SplineChannelOf(int owner, int param);

using SplineTriple = std::array<float, 3>;

// One key of the curve. c1 and c2 are the control points of the segment
// that leaves it; they mean nothing when hasSegment is false.
struct SplineKey {
  int frame = 0;
  int key = -1;  // index into the key store
  bool hasSegment = false;
  bool step = false;  // the key holds its value until the next one
  SplineTriple p{}, c1{}, c2{};
};

// A point drawn in the editor, in display units.
struct SplineEntry {
  float x = 0, y = 0;
  bool selected = false;
};

// Per key six entries: for each component its value point, then its handle.
inline constexpr int kSplineEntriesPerKey = 6;
inline constexpr int SplineEntryIndex(int key, int component, bool handle) {
  return key * kSplineEntriesPerKey + 2 * component + (handle ? 1 : 0);
}
inline constexpr int SplineKeyOfEntry(int entry) {
  return entry / kSplineEntriesPerKey;
}
inline constexpr bool IsSplineHandle(int entry) {
  return entry % 2 == 1;
}

// Frames fill -0.9..0.9; a handle sits this far right of its key.
inline constexpr float kSplineHandleOffset = 0.02f;

struct SplineCurve {
  int owner = 0;
  int param = kSplineTranslation;
  SplineChannel channel;
  int highestKeyFrame = 0;           // of the whole animation, for the x positions
  std::vector<SplineKey> keys;       // the control polygon, in key-frame order
  std::vector<SplineEntry> entries;  // kSplineEntriesPerKey per key
};

// Reads the polygon of (owner, param) from the keys and builds the display
// points, none selected. An owner without keys of that kind, or without
// that parameter, gives an empty curve.
SplineCurve LoadSplineCurve(const KeyStore& store, int owner, int param);

// The display points from the polygon; selections are kept.
void RebuildSplineEntries(SplineCurve& curve);

// The polygon from the display points: each key's value and handle give P
// and C1; the segment arriving at a key takes as its second control point
// the handle mirrored about the value (2P - H), so the curve stays smooth
// through the key; at the end of a curve the handle shows the arriving
// control point negated, and gives it back so.
void RebuildSplinePolygon(SplineCurve& curve);

// Writes the polygon into the keys: P, C1 and C2 of the chosen triple and
// the coefficients of every segment that leaves a key. A step key is left
// as it is. The end key's value is stored too, so that the key and the
// curve arriving at it agree. Keys that vanished since loading are
// skipped. true when any stored float changed.
bool WriteBackSplineCurve(KeyStore& store, SplineCurve& curve);

}  // namespace modra
