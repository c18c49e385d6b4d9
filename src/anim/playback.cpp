#include "anim/playback.h"

#include <algorithm>
#include <span>

#include "anim/key_values.h"

namespace modra {
namespace {

void ApplyCurve(Scene& s, const ActiveCurve& c, float t) {
  if (c.step) {
    ApplyKeyValues(s, c.owner, c.kind, c.mask, std::span<const float>(c.data.data(), c.n));
    return;
  }
  float values[6];
  for (int i = 0; i < c.n; ++i) {
    const float* k = &c.data[4 * i];
    values[i] = ((k[0] * t + k[1]) * t + k[2]) * t + k[3];
  }
  ApplyKeyValues(s, c.owner, c.kind, c.mask, std::span<const float>(values, c.n));
}

// A running curve from a key, or false when the key holds too few values.
bool StartCurve(const KnfKeyInfo& key, ActiveCurve& c) {
  int n = ValueCount(key.kind);
  if (n <= 0 || n > 6) return false;
  c.owner = key.owner;
  c.kind = key.kind;
  c.mask = key.mask;
  c.span = key.span;
  c.n = n;
  c.step = IsStepKey(key);
  if (c.step) {
    if (key.values.size() < static_cast<size_t>(n)) return false;
    std::copy_n(key.values.begin(), n, c.data.begin());
  } else {
    if (key.values.size() < static_cast<size_t>(7 * n)) return false;
    std::copy_n(key.values.begin() + 3 * n, 4 * n, c.data.begin());
  }
  return true;
}

// Replays from the key frame before `frame` up to it, leaving the curves
// that run through it active.
void Replay(Document& doc, int frame) {
  KeyStore& a = doc.scene.anim;
  a.currentFrame = std::clamp(frame, 0, kMaxFrame);
  RebuildKeyFrameList(a);
  UpdateNeighbours(a);
  a.lastFrame = LastKeyFrame(a);
  a.active.clear();
  a.silent = true;
  a.playFrame = a.prevKey == -1 ? 0 : a.prevKey;
  if (a.currentFrame <= a.lastFrame) {
    for (int f = a.playFrame; f <= a.currentFrame; ++f)
      PlayStep(doc);
  } else {
    PlayStep(doc);
  }
  a.silent = false;
}

void Finish(Document& doc) {
  KeyStore& a = doc.scene.anim;
  a.active.clear();
  if (a.redrawEnabled) doc.shell->RequestRedraw();
}

}  // namespace

void PlayStep(Document& doc) {
  Scene& s = doc.scene;
  KeyStore& a = s.anim;
  a.t += a.dt;
  if (!a.silent) doc.shell->ShowFrameNumber(a.playFrame);

  size_t kept = 0;
  for (size_t i = 0; i < a.active.size(); ++i) {
    ActiveCurve& c = a.active[i];
    ApplyCurve(s, c, a.t);
    if (--c.span >= 1) a.active[kept++] = c;
  }
  a.active.resize(kept);

  if (IsKeyFrame(a, a.playFrame)) {
    // Curves still running keep their turn in reverse; new ones follow in
    // the key frame's order.
    std::reverse(a.active.begin(), a.active.end());
    ForEachKeyInFrame(a, a.playFrame, [&](int k) {
      const KnfKeyInfo& key = a.keys[k];
      if (key.span > 0) {
        ActiveCurve c;
        if (StartCurve(key, c)) {
          a.active.push_back(c);
          a.t = 0;
          a.dt = 1.0f / static_cast<float>(key.span);
        }
      }
      ApplyKeyValues(s, key.owner, key.kind, key.mask, key.values);
    });
  }

  if (++a.playFrame > a.lastFrame) a.playFrame = 0;
}

void ShowFrame(Document& doc) {
  Replay(doc, doc.scene.anim.currentFrame);
  Finish(doc);
}

void ShowFrameAt(Document& doc, int frame, float fraction) {
  Replay(doc, frame);
  KeyStore& a = doc.scene.anim;
  float t = a.t + std::clamp(fraction, 0.0f, 1.0f) * a.dt;
  for (const ActiveCurve& c : a.active)
    ApplyCurve(doc.scene, c, t);
  Finish(doc);
}

void GoToFrame(Document& doc, int frame) {
  KeyStore& a = doc.scene.anim;
  const int was = a.currentFrame;
  a.currentFrame = std::clamp(frame, 0, kMaxFrame);
  doc.shell->ShowFrameNumber(a.currentFrame);
  ShowFrame(doc);
  // While playing, the scene shows the play frame, so showing any frame
  // moves it.
  if (a.currentFrame != was || a.playing) NotifyChanged(doc, kFrameChanged);
}

void GoToFrame0(Document& doc) {
  KeyStore& a = doc.scene.anim;
  ChangeBatch batch(doc);
  if (a.playing) NotifyChanged(doc, kFrameChanged);
  a.playing = false;
  GoToFrame(doc, 0);
}

void ForEachFrameInOrder(Document& doc, const std::function<void(int)>& visit) {
  KeyStore& a = doc.scene.anim;
  RebuildKeyFrameList(a);
  a.lastFrame = LastKeyFrame(a);
  a.silent = true;
  for (int f = 0; f <= a.lastFrame; ++f) {
    a.currentFrame = f;
    // Where the key frame before f changes, GoToFrame drops the running
    // curves and plays that key frame again; the scene values it leaves
    // are the ones shown at the frame before.
    if (f == 0 || IsKeyFrame(a, f - 1)) {
      a.active.clear();
      a.playFrame = f == 0 ? 0 : f - 1;
      if (f > 0) PlayStep(doc);
    }
    PlayStep(doc);
    visit(f);
  }
  UpdateNeighbours(a);
  a.active.clear();
  a.silent = false;
}

void StartPlayback(Document& doc) {
  KeyStore& a = doc.scene.anim;
  RebuildKeyFrameList(a);
  if (a.keyFrameList.empty()) return;
  const bool was = a.playing;
  a.playing = true;
  a.playFrame = 0;
  a.lastFrame = LastKeyFrame(a);
  a.active.clear();
  if (!was) NotifyChanged(doc, kFrameChanged);
  doc.shell->RequestRedraw();
}

void StopPlayback(Document& doc) {
  KeyStore& a = doc.scene.anim;
  ChangeBatch batch(doc);
  const bool was = a.playing;
  a.playing = false;
  a.playFrame = 0;
  GoToFrame(doc, 0);
  if (was) NotifyChanged(doc, kFrameChanged);
}

}  // namespace modra
