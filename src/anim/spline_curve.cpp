#include "anim/spline_curve.h"

#include "anim/curves.h"
#include "scene/lights_camera.h"

namespace modra {
namespace {

bool IsLightOwner(int owner) {
  return owner >= LightOwner(0) && owner < LightOwner(kLightCount);
}

// The key's values at one triple of P, C1 or C2 (block 0, 1 or 2).
float* TripleOf(KnfKeyInfo& key, int n, int block, int first) {
  return key.values.data() + block * n + first;
}

SplineTriple ReadTriple(const KnfKeyInfo& key, int n, int block, int first) {
  SplineTriple t{};
  for (int c = 0; c < 3; ++c)
    t[c] = key.values[block * n + first + c];
  return t;
}

bool Store(float& target, float value) {
  if (target == value) return false;
  target = value;
  return true;
}

// The key was loaded from this store and is still that key.
bool StillThere(const KeyStore& store, const SplineCurve& curve, const SplineKey& k) {
  return FindKey(store, k.frame, curve.owner, curve.channel.kind) == k.key && k.key != -1;
}

// The key before key i when a curve runs from it to key i. A step key's
// value jumps rather than runs, so it has no control point to show or edit.
template <class Curve>
auto Arriving(Curve& curve, size_t i) -> decltype(&curve.keys[0]) {
  if (i == 0) return nullptr;
  auto& before = curve.keys[i - 1];
  return before.hasSegment && !before.step ? &before : nullptr;
}

}  // namespace

SplineChannel SplineChannelOf(int owner, int param) {
  if (owner >= 0) {
    static constexpr int kGroupKinds[] = {kKeyTranslation, kKeyRotation, kKeyScale, kKeyColor};
    if (param < 0 || param > 3) return {};
    return {kGroupKinds[param], 0};
  }
  bool camera = owner == kCameraOwner;
  if (!camera && !IsLightOwner(owner)) return {};
  int sixKind = camera ? kKeyCamera : kKeyLightPosition;
  switch (param) {
    case kSplineTranslation:
      return {sixKind, 3};
    case kSplineRotation:
      return {sixKind, 0};
    case kSplineColor:
      if (!camera) return {kKeyLightColor, 0};
      return {};
    default:
      return {};
  }
}

SplineCurve LoadSplineCurve(const KeyStore& store, int owner, int param) {
  SplineCurve curve;
  curve.owner = owner;
  curve.param = param;
  curve.channel = SplineChannelOf(owner, param);
  curve.highestKeyFrame = LastKeyFrame(store);
  const int kind = curve.channel.kind;
  const int n = ValueCount(kind);
  if (kind < 0 || n < curve.channel.first + 3) return curve;
  for (int frame : store.keyFrameList) {
    int k = FindKey(store, frame, owner, kind);
    if (k == -1) continue;
    const KnfKeyInfo& key = store.keys[k];
    if (key.values.size() < static_cast<size_t>(3 * n)) continue;
    SplineKey sk;
    sk.frame = frame;
    sk.key = k;
    sk.hasSegment = key.span != 0;
    sk.step = IsStepKey(key);
    sk.p = ReadTriple(key, n, 0, curve.channel.first);
    sk.c1 = ReadTriple(key, n, 1, curve.channel.first);
    sk.c2 = ReadTriple(key, n, 2, curve.channel.first);
    curve.keys.push_back(sk);
  }
  // A segment needs a key to arrive at; a span left pointing past the
  // owner's last key (a cut can leave one) ends the curve there.
  if (!curve.keys.empty()) curve.keys.back().hasSegment = false;
  curve.entries.resize(curve.keys.size() * kSplineEntriesPerKey);
  RebuildSplineEntries(curve);
  return curve;
}

void RebuildSplineEntries(SplineCurve& curve) {
  curve.entries.resize(curve.keys.size() * kSplineEntriesPerKey);
  for (size_t i = 0; i < curve.keys.size(); ++i) {
    const SplineKey& k = curve.keys[i];
    float x = curve.highestKeyFrame > 0 ? k.frame * 1.8f / curve.highestKeyFrame - 0.9f : -0.9f;
    const SplineKey* arriving = Arriving(curve, i);
    for (int c = 0; c < 3; ++c) {
      SplineEntry& value = curve.entries[SplineEntryIndex(static_cast<int>(i), c, false)];
      SplineEntry& handle = curve.entries[SplineEntryIndex(static_cast<int>(i), c, true)];
      value.x = x;
      value.y = k.p[c];
      handle.x = x + kSplineHandleOffset;
      // note: a key that starts no segment and ends none (a lone key) has
      // no control point to show; its handle rests on its value
      if (k.hasSegment) {
        handle.y = k.c1[c];
      } else if (arriving) {
        handle.y = -arriving->c2[c];
      } else {
        handle.y = k.p[c];
      }
    }
  }
}

void RebuildSplinePolygon(SplineCurve& curve) {
  for (size_t i = 0; i < curve.keys.size(); ++i) {
    SplineKey& k = curve.keys[i];
    SplineKey* arriving = Arriving(curve, i);
    for (int c = 0; c < 3; ++c) {
      float p = curve.entries[SplineEntryIndex(static_cast<int>(i), c, false)].y;
      float h = curve.entries[SplineEntryIndex(static_cast<int>(i), c, true)].y;
      k.p[c] = p;
      if (k.hasSegment) {
        k.c1[c] = h;
        if (arriving) arriving->c2[c] = 2 * p - h;
      } else if (arriving) {
        arriving->c2[c] = -h;
      }
    }
  }
}

bool WriteBackSplineCurve(KeyStore& store, SplineCurve& curve) {
  const int kind = curve.channel.kind;
  const int n = ValueCount(kind);
  bool changed = false;
  for (size_t i = 0; i < curve.keys.size(); ++i) {
    const SplineKey& k = curve.keys[i];
    if (k.step || !StillThere(store, curve, k)) continue;
    KnfKeyInfo& key = store.keys[k.key];
    if (key.values.size() < static_cast<size_t>(7 * n)) continue;
    float* p = TripleOf(key, n, 0, curve.channel.first);
    for (int c = 0; c < 3; ++c)
      changed |= Store(p[c], k.p[c]);
    if (!k.hasSegment) continue;
    float* c1 = TripleOf(key, n, 1, curve.channel.first);
    float* c2 = TripleOf(key, n, 2, curve.channel.first);
    const SplineKey& next = curve.keys[i + 1];
    for (int c = 0; c < 3; ++c) {
      changed |= Store(c1[c], k.c1[c]);
      changed |= Store(c2[c], k.c2[c]);
      std::array<float, 4> abcd = SegmentCoefficients(k.p[c], k.c1[c], k.c2[c], next.p[c]);
      float* coeff = key.values.data() + 3 * n + 4 * (curve.channel.first + c);
      for (int j = 0; j < 4; ++j)
        changed |= Store(coeff[j], abcd[j]);
    }
  }
  RebuildSplineEntries(curve);
  return changed;
}

}  // namespace modra
