// The cubic curves between keys: control points from the neighbouring
// keys, Bezier coefficients per segment, and evaluation.
#pragma once

#include <array>
#include <span>

#include "scene/key_store.h"

namespace modra {

// The cubic coefficients a, b, c, d (value a*t^3 + b*t^2 + c*t + d for t
// in 0..1) of the Bezier segment from p0 to p3 with control points p1, p2.
// Every writer of a key's coefficients goes through this one formula, so
// a curve edited by hand replays exactly like one the keys computed.
std::array<float, 4> SegmentCoefficients(float p0, float p1, float p2, float p3);

// Control points and coefficients around key k of n values. k1 and k2 are
// the keys of the same owner and kind in the two key frames before k, k3
// and k4 in the two after; -1 where missing. An inner key's tangent is a
// quarter of the difference of its neighbours; an end key's control point
// lies a third of the way towards its neighbour.
void ComputeCurves(KeyStore& store, int n, int k2, int k1, int k, int k3, int k4);

// Runs ComputeCurves around key k of `frame`, finding its neighbours in the
// key-frame list (frame itself need not be listed yet). Step keys are left
// alone.
void ComputeCurvesAround(KeyStore& store, int frame, int k);

}  // namespace modra
