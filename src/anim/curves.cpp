#include "anim/curves.h"

#include <algorithm>

namespace modra {
namespace {

// Control points and the coefficients for one key.
struct KeyCurve {
  float* v = nullptr;
  int n = 0;
  float& P(int i) { return v[i]; }
  float& C1(int i) { return v[n + i]; }
  float& C2(int i) { return v[2 * n + i]; }
  float* Coeff(int i) { return v + 3 * n + 4 * i; }
  explicit operator bool() const { return v != nullptr; }
};

KeyCurve CurveOf(KeyStore& store, int key, int n) {
  if (key < 0 || static_cast<size_t>(key) >= store.keys.size()) return {};
  std::vector<float>& values = store.keys[key].values;
  if (values.size() < static_cast<size_t>(7 * n)) return {};
  return {values.data(), n};
}

// A cubic Bezier segment from key a to key b. Without b the segment holds
// a's value: a key that runs on with no key after it (a paste can leave
// one) must not drop its parameter to zero between frames.
void SetSegmentCoefficients(KeyCurve a, KeyCurve b) {
  for (int i = 0; i < a.n; ++i) {
    float* c = a.Coeff(i);
    if (!b) {
      c[0] = c[1] = c[2] = 0;
      c[3] = a.P(i);
      continue;
    }
    std::array<float, 4> abcd = SegmentCoefficients(a.P(i), a.C1(i), a.C2(i), b.P(i));
    std::copy(abcd.begin(), abcd.end(), c);
  }
}

}  // namespace

std::array<float, 4> SegmentCoefficients(float p0, float p1, float p2, float p3) {
  return {-p0 + 3 * p1 - 3 * p2 + p3, 3 * p0 - 6 * p1 + 3 * p2, -3 * p0 + 3 * p1, p0};
}

void ComputeCurves(KeyStore& store, int n, int k2i, int k1i, int ki, int k3i, int k4i) {
  KeyCurve k2 = CurveOf(store, k2i, n), k1 = CurveOf(store, k1i, n), k = CurveOf(store, ki, n);
  KeyCurve k3 = CurveOf(store, k3i, n), k4 = CurveOf(store, k4i, n);
  if (!k) return;
  const float third = 0.33f, quarter = 0.25f;
  for (int i = 0; i < n; ++i) {
    // The segment that ends at k.
    if (!k1 && k3) {
      k.C1(i) = k.P(i) + third * (k3.P(i) - k.P(i));
    } else if (k1 && !k2) {
      k1.C1(i) = k1.P(i) + third * (k.P(i) - k1.P(i));
    } else if (k1 && k2) {
      float t = quarter * (k.P(i) - k2.P(i));
      k1.C1(i) = k1.P(i) + t;
      k2.C2(i) = k1.P(i) - t;
    }
    // The tangent at k.
    if (k1) {
      if (!k3) {
        k1.C2(i) = k.P(i) - third * (k.P(i) - k1.P(i));
      } else {
        float t = quarter * (k3.P(i) - k1.P(i));
        k.C1(i) = k.P(i) + t;
        k1.C2(i) = k.P(i) - t;
      }
    }
    // The segment that starts at k.
    if (k3) {
      if (!k4) {
        k.C2(i) = k3.P(i) - third * (k3.P(i) - k.P(i));
      } else {
        float t = quarter * (k4.P(i) - k.P(i));
        k3.C1(i) = k3.P(i) + t;
        k.C2(i) = k3.P(i) - t;
      }
    }
  }
  if (k2 && k1) SetSegmentCoefficients(k2, k1);
  if (k1) SetSegmentCoefficients(k1, k);
  SetSegmentCoefficients(k, k3);
  if (k3) SetSegmentCoefficients(k3, k4);
}

void ComputeCurvesAround(KeyStore& store, int frame, int k) {
  const KnfKeyInfo& key = store.keys[k];
  if (IsStepKey(key)) return;
  int n = ValueCount(key.kind);
  if (n <= 0) return;
  Neighbours nb = NeighboursOf(store, frame);
  int owner = key.owner, kind = key.kind;
  auto at = [&](int f) { return f == -1 ? -1 : FindKey(store, f, owner, kind); };
  ComputeCurves(store, n, at(nb.prev2), at(nb.prev), k, at(nb.next), at(nb.next2));
}

}  // namespace modra
