// A group parameter's key curve as the keys of a glTF cubic spline.
//
// A frame shows each key's Bezier segment run from its key frame up to the
// next key frame (or the end of its span, if sooner; a key without a span
// starts none), at the pace of the last curve started there; the next
// key's values apply when it is reached, and an owner without a key holds
// its last value. A glTF cubic spline is a
// Hermite spline whose tangents are derivatives per second, so each
// segment becomes its two end values and the derivatives of its
// polynomial there. Where playback jumps (a step key, a held value meeting
// a key), the spline gets a key on the frame before the jump, so that every
// whole frame takes exactly the value playback gives it.
#pragma once

#include <array>
#include <vector>

#include "scene/key_store.h"

namespace modra {

inline constexpr float kFramesPerSecond = 30.0f;

struct GltfSplineKey {
  int frame = 0;
  std::array<float, 3> in{};  // derivative per second arriving
  std::array<float, 3> value{};
  std::array<float, 3> out{};  // derivative per second leaving
};

// The keys for owner's parameter `kind` (a kind of 3 values), in frame
// order; empty when the owner has no such key. keyFrameList must be
// current.
std::vector<GltfSplineKey> SplineKeysOf(const KeyStore& store, int owner, int kind);

// The spline's value at a time in seconds, by glTF's cubic-spline formula;
// held before the first key and after the last.
std::array<float, 3> EvaluateSpline(const std::vector<GltfSplineKey>& keys, float seconds);

}  // namespace modra
