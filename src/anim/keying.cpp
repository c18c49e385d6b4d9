#include "anim/keying.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <new>

#include "anim/curves.h"
#include "anim/key_values.h"
#include "scene/camera_lights.h"

namespace modra {
namespace {

void MissingKeyMessage(Document& doc, int frame, int owner, int previous) {
  char text[128];
  std::snprintf(text, sizeof text, "Missing key frame info: frame=%d group=%d previous_id=%d",
                frame, owner, previous);
  doc.shell->Message(text);
}

int AddOwnerKey(KeyStore& a, int frame, int owner, int kind) {
  int k = kind == kKeyCamera ? AddCameraKey(a, frame) : AddKey(a, frame, kind);
  if (k != -1) a.keys[k].owner = owner;
  return k;
}

}  // namespace

void EnsureKeyed(Document& doc, int owner, int kind) {
  Scene& s = doc.scene;
  KeyStore& a = s.anim;
  if (!IsValidFrame(a.currentFrame) || a.currentFrame == 0 || FindKey(a, 0, owner, kind) != -1)
    return;
  if (!OwnerMatchesKind(s, owner, kind)) return;
  MarkModified(doc);
  std::vector<int> frames = {0};
  for (int f : a.keyFrameList)
    if (f != 0 && a.frameKeys[f] != -1) frames.push_back(f);
  const int n = ValueCount(kind);
  for (int f : frames) {
    if (FindKey(a, f, owner, kind) != -1) continue;  // a paste can leave one already there
    int k = AddOwnerKey(a, f, owner, kind);
    if (k == -1 || !CaptureKeyValues(s, owner, kind, a.keys[k])) {
      doc.shell->Message(kNoKeyMemory);
      return;
    }
    KnfKeyInfo& key = a.keys[k];
    if (!IsStepKey(key))
      for (int i = 0; i < n; ++i)
        key.values[n + i] = key.values[2 * n + i] = key.values[i];
  }
}

bool InsertKeyFrame(Document& doc, int frame, int p, int q) {
  Scene& s = doc.scene;
  KeyStore& a = s.anim;
  if (p == -1) return true;
  std::vector<int> sources;
  ForEachKeyInFrame(a, p, [&](int k) { sources.push_back(k); });
  for (int kp : sources) {
    int kn = AddKey(a, frame, a.keys[kp].kind);
    if (kn == -1) {
      doc.shell->Message(kNoKeyMemory);
      ReverseFrameKeys(a, frame);
      return false;
    }
    KnfKeyInfo& k = a.keys[kp];
    KnfKeyInfo& n = a.keys[kn];
    n.owner = k.owner;
    n.mask = k.mask;
    if (k.span != 0) k.span = frame - p;
    try {
      n.values = k.values;
    } catch (const std::bad_alloc&) {
      doc.shell->Message(kNoKeyMemory);
      ReverseFrameKeys(a, frame);
      return false;
    }
    if (q != -1) {
      n.span = q - frame;
      if (FindKey(a, q, n.owner, n.kind) != -1) {
        CaptureKeyValues(s, n.owner, n.kind, a.keys[kn]);
        ComputeCurvesAround(a, frame, kn);
      }
    } else {
      n.span = 0;
    }
  }
  // Keys were pushed at the front; turn the list round to keep p's order.
  ReverseFrameKeys(a, frame);
  return true;
}

void StoreKey(Document& doc, int owner, int kind) {
  Scene& s = doc.scene;
  KeyStore& a = s.anim;
  if (!OwnerMatchesKind(s, owner, kind) || !IsValidFrame(a.currentFrame)) return;

  // The camera follows a group it looks at, and keys its new aim with it.
  if ((kind <= kKeyScale && IsOnLookAtPath(s, owner)) || kind == kKeyCamera) {
    UpdateCameraTarget(s);
    if (kind != kKeyCamera) {
      EnsureKeyed(doc, kCameraOwner, kKeyCamera);
      StoreKey(doc, kCameraOwner, kKeyCamera);
    }
  }

  const int cur = a.currentFrame;
  RebuildKeyFrameList(a);
  UpdateNeighbours(a);
  if (cur != 0 && a.frameKeys[cur] == -1) {
    bool inserted = InsertKeyFrame(doc, cur, a.prevKey, a.nextKey);
    a.lastFrame = std::max(a.lastFrame, cur);
    RebuildKeyFrameList(a);
    UpdateNeighbours(a);
    if (!inserted) return;
  }

  int k = FindKey(a, cur, owner, kind);
  if (k == -1 && cur == 0) return;
  // The key before is checked before a key is added here, so a refused
  // edit leaves no key of zeros behind.
  int kp = -1;
  if (cur != 0) {
    kp = a.prevKey == -1 ? -1 : FindKey(a, a.prevKey, owner, kind);
    if (kp == -1) {
      MissingKeyMessage(doc, cur, owner, a.prevKey);
      return;
    }
  }
  if (k == -1) {
    k = AddOwnerKey(a, cur, owner, kind);
    if (k == -1) {
      doc.shell->Message(kNoKeyMemory);
      return;
    }
    RebuildKeyFrameList(a);
    UpdateNeighbours(a);
  }

  if (cur != 0) {
    a.keys[kp].span = cur - a.prevKey;
    if (a.nextKey != -1 && FindKey(a, a.nextKey, owner, kind) != -1)
      a.keys[k].span = a.nextKey - cur;
  }

  if (!CaptureKeyValues(s, owner, kind, a.keys[k])) {
    doc.shell->Message(kNoKeyMemory);
    return;
  }
  ComputeCurvesAround(a, cur, k);
  MarkModified(doc);
}

void RecomputeCurvesAt(Document& doc, int frame, int owner, int kind) {
  KeyStore& a = doc.scene.anim;
  int k = FindKey(a, frame, owner, kind);
  if (k == -1 || IsStepKey(a.keys[k])) return;
  Neighbours nb = NeighboursOf(a, frame);
  if (nb.prev != -1 && FindKey(a, nb.prev, owner, kind) == -1)
    MissingKeyMessage(doc, frame, owner, nb.prev);
  ComputeCurvesAround(a, frame, k);
}

void RebuildLookAtPaths(Scene& s) {
  RebuildCameraPath(s);
  auto rebuild = [&s](KnfKeyInfo& key) {
    if (key.kind != kKeyCamera || (key.mask & 3) != kCameraLookAt) return;
    if (key.values.size() < static_cast<size_t>(kCameraPathWord)) return;
    int group = std::bit_cast<int32_t>(key.values[kCameraLookAtWord]);
    std::vector<int32_t> path = LookAtPathTo(s, group);
    try {
      key.values.resize(kCameraPathWord + path.size());
    } catch (const std::bad_alloc&) {
      return;  // the key keeps its old path
    }
    key.values[kCameraPathCountWord] = std::bit_cast<float>(static_cast<int32_t>(path.size()));
    for (size_t i = 0; i < path.size(); ++i)
      key.values[kCameraPathWord + i] = std::bit_cast<float>(path[i]);
  };
  KeyStore& a = s.anim;
  std::for_each(a.keys.begin(), a.keys.end(), rebuild);
  // The clipboard's too, so that a paste brings paths of the hierarchy it
  // lands in.
  std::for_each(a.clipboard.begin(), a.clipboard.end(), rebuild);
}

}  // namespace modra
