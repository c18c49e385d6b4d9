#include "formats/gltf_animation.h"

#include <algorithm>
#include <cmath>

namespace modra {
namespace {

// One segment's cubic a*t^3 + b*t^2 + c*t + d per value, t in 0..1.
struct Cubic {
  std::array<float, 12> abcd{};
  std::array<float, 3> At(float t) const {
    std::array<float, 3> v;
    for (int i = 0; i < 3; ++i) {
      const float* k = &abcd[4 * i];
      v[i] = ((k[0] * t + k[1]) * t + k[2]) * t + k[3];
    }
    return v;
  }
  // Derivative per second over a segment of `frames` frames.
  std::array<float, 3> Slope(float t, int frames) const {
    std::array<float, 3> v;
    const float perSecond = kFramesPerSecond / static_cast<float>(frames);
    for (int i = 0; i < 3; ++i) {
      const float* k = &abcd[4 * i];
      v[i] = ((3 * k[0] * t + 2 * k[1]) * t + k[2]) * perSecond;
    }
    return v;
  }
};

bool Near(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  for (int i = 0; i < 3; ++i)
    if (!(std::fabs(a[i] - b[i]) <= 1e-5f * (1 + std::fabs(b[i])))) return false;
  return true;
}

class Builder {
 public:
  // Starts a segment at `frame`: the key there leaves with `out`.
  void Start(int frame, const std::array<float, 3>& value, const std::array<float, 3>& out) {
    if (!keys.empty() && keys.back().frame < frame) {
      // Playback held the last value up to here.
      if (keys.back().frame < frame - 1) Add(frame - 1, keys.back().value);
    }
    if (keys.empty() || keys.back().frame != frame) Add(frame, value);
    keys.back().value = value;
    keys.back().out = out;
  }
  void End(int frame, const std::array<float, 3>& value, const std::array<float, 3>& in) {
    Add(frame, value);
    keys.back().in = in;
  }
  std::vector<GltfSplineKey> keys;

 private:
  void Add(int frame, const std::array<float, 3>& value) {
    GltfSplineKey k;
    k.frame = frame;
    k.value = value;
    keys.push_back(k);
  }
};

// The frames a curve started at `frame` takes to run from t = 0 to 1:
// playback shares one step among the curves, set by the last key there
// that starts one.
int CurveFrames(const KeyStore& store, int frame) {
  int frames = 0;
  ForEachKeyInFrame(store, frame, [&](int k) {
    if (store.keys[static_cast<size_t>(k)].span > 0)
      frames = store.keys[static_cast<size_t>(k)].span;
  });
  return frames;
}

}  // namespace

std::vector<GltfSplineKey> SplineKeysOf(const KeyStore& store, int owner, int kind) {
  Builder b;
  if (ValueCount(kind) != 3) return {};
  const std::vector<int32_t>& frames = store.keyFrameList;
  for (size_t i = 0; i < frames.size(); ++i) {
    const int k = FindKey(store, frames[i], owner, kind);
    if (k < 0) continue;
    const KnfKeyInfo& key = store.keys[static_cast<size_t>(k)];
    if (key.values.size() < 3) continue;
    const std::array<float, 3> p = {key.values[0], key.values[1], key.values[2]};
    if (i + 1 == frames.size()) {
      b.Start(frames[i], p, {});
      continue;
    }
    const int next = frames[i + 1];
    // A key without a span starts no curve, and a step key's curve holds
    // its value: both hold until the owner's next key.
    const bool moves = key.span > 0 && !IsStepKey(key) && key.values.size() >= 21;
    const int length = moves ? CurveFrames(store, frames[i]) : 0;
    if (length <= 0) {
      b.Start(frames[i], p, {});
      continue;
    }
    Cubic cubic;
    for (int v = 0; v < 3; ++v)
      for (int j = 0; j < 4; ++j)
        cubic.abcd[4 * v + j] = key.values[9 + 4 * v + j];
    // Showing a frame replays from the key frame before it, so a curve
    // stops at the next key frame even when its own span runs further,
    // and one with a shorter span holds where it stopped.
    const int end = frames[i] + std::min(key.span, next - frames[i]);
    auto at = [&](int frame) { return static_cast<float>(frame - frames[i]) / length; };
    b.Start(frames[i], p, cubic.Slope(0, length));
    const int nk = FindKey(store, next, owner, kind);
    bool reaches = end < next || nk < 0;
    if (end == next && nk >= 0) {
      const std::vector<float>& nv = store.keys[static_cast<size_t>(nk)].values;
      reaches = nv.size() >= 3 && Near(cubic.At(at(next)), {nv[0], nv[1], nv[2]});
    }
    if (reaches) {
      b.End(end, cubic.At(at(end)), cubic.Slope(at(end), length));
    } else if (next - frames[i] > 1) {
      // The curve's last frame before the jump to the next key.
      b.End(next - 1, cubic.At(at(next - 1)), cubic.Slope(at(next - 1), length));
    }
  }
  return b.keys;
}

std::array<float, 3> EvaluateSpline(const std::vector<GltfSplineKey>& keys, float seconds) {
  if (keys.empty()) return {};
  if (seconds <= keys.front().frame / kFramesPerSecond) return keys.front().value;
  for (size_t i = 0; i + 1 < keys.size(); ++i) {
    const float t0 = keys[i].frame / kFramesPerSecond, t1 = keys[i + 1].frame / kFramesPerSecond;
    if (seconds > t1) continue;
    const float td = t1 - t0, t = (seconds - t0) / td;
    const float t2 = t * t, t3 = t2 * t;
    std::array<float, 3> v;
    for (int c = 0; c < 3; ++c)
      v[c] = (2 * t3 - 3 * t2 + 1) * keys[i].value[c] + td * (t3 - 2 * t2 + t) * keys[i].out[c] +
             (-2 * t3 + 3 * t2) * keys[i + 1].value[c] + td * (t3 - t2) * keys[i + 1].in[c];
    return v;
  }
  return keys.back().value;
}

}  // namespace modra
