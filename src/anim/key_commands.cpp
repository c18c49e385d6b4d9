#include "anim/key_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>

#include "anim/curves.h"
#include "anim/key_values.h"
#include "anim/keying.h"
#include "anim/playback.h"
#include "scene/camera_lights.h"

namespace modra {
namespace {

void SayLimit(Document& doc, const char* format, int limit) {
  char text[64];
  std::snprintf(text, sizeof text, format, limit);
  doc.shell->Message(text);
}

constexpr char kNeedKeyFrames[] = "A(from) and B(to) values need to be key frames.";

// Fresh key-frame list and neighbours after the set of key frames changed.
void Relist(KeyStore& a) {
  RebuildKeyFrameList(a);
  UpdateNeighbours(a);
}

void RecomputeFrameCurves(KeyStore& a, int frame) {
  ForEachKeyInFrame(a, frame, [&](int k) { ComputeCurvesAround(a, frame, k); });
}

// The clipboard holds a copy of `frame`, every key with span 0.
bool CopyToClipboard(Document& doc, int frame) {
  if (!CopyFrameToClipboard(doc.scene.anim, frame)) {
    doc.shell->Message(kNoKeyMemory);
    return false;
  }
  NotifyChanged(doc, kClipboardChanged);
  return true;
}

// After a key frame was cut, the moving keys of the key frame before it
// run on to the one after it (or stop, when there is none), so no curve
// ends at a frame that no longer holds keys. A held key (span 0) stays
// held: its value was not moving towards the cut frame.
void Rejoin(KeyStore& a, int prev, int next) {
  if (prev == -1) return;
  ForEachKeyInFrame(a, prev, [&](int k) {
    KnfKeyInfo& key = a.keys[k];
    if (key.span == 0) return;
    bool follows = next != -1 && FindKey(a, next, key.owner, key.kind) != -1;
    key.span = follows ? next - prev : 0;
  });
  RecomputeFrameCurves(a, prev);
}

int NextKeyFrameAfter(const KeyStore& a, int frame) {
  auto it = std::upper_bound(a.keyFrameList.begin(), a.keyFrameList.end(), frame);
  return it == a.keyFrameList.end() ? -1 : *it;
}

}  // namespace

void CutOrCopyKeyFrame(Document& doc, bool cut) {
  ChangeBatch batch(doc);
  KeyStore& a = doc.scene.anim;
  const int cur = a.currentFrame;
  if (!IsKeyFrame(a, cur)) return;
  Relist(a);

  if (cur == 0) {
    if (!CopyToClipboard(doc, 0)) return;
    if (cut && a.keyFrameList.size() == 1) {
      ReleaseFrameKeys(a, 0);
      Relist(a);
      a.lastFrame = 0;
      MarkModified(doc);
    }
    return;
  }

  if (a.prevKey == -1) return;
  if (cut) {
    if (!MoveFrameToClipboard(a, cur)) return doc.shell->Message(kNoKeyMemory);
    NotifyChanged(doc, kClipboardChanged);
    Relist(a);
    Rejoin(a, a.prevKey, a.nextKey);
    MarkModified(doc);
  } else {
    if (!CopyToClipboard(doc, cur)) return;
    Relist(a);
    RecomputeFrameCurves(a, cur);
  }
  ShowFrame(doc);
}

void PasteKeyFrame(Document& doc, bool confirm) {
  ChangeBatch batch(doc);
  KeyStore& a = doc.scene.anim;
  const int cur = a.currentFrame;
  if (!IsValidFrame(cur)) return;
  if (confirm && a.frameKeys[cur] != -1 &&
      !doc.shell->Ask("The current frame has key frame information.\n"
                      "Is it ok to overwrite with the paste data?"))
    return;

  ReleaseFrameKeys(a, cur);
  // A key whose owner is gone since the copy (a group removed, or its
  // making undone) has nothing to animate.
  const Scene& s = doc.scene;
  bool copied = PasteClipboardKeys(
      a, cur, [&](const KnfKeyInfo& key) { return OwnerMatchesKind(s, key.owner, key.kind); });
  Relist(a);
  const int prev = a.prevKey, next = a.nextKey;
  ForEachKeyInFrame(a, cur, [&](int k) {
    KnfKeyInfo& key = a.keys[k];
    key.span = next == -1 ? 0 : next - cur;
    int kp = prev == -1 ? -1 : FindKey(a, prev, key.owner, key.kind);
    if (kp != -1) {
      KnfKeyInfo& before = a.keys[kp];
      before.span = (before.span != 0 || next == -1) ? cur - prev : 0;
    }
    ComputeCurvesAround(a, cur, k);
  });
  if (!copied) doc.shell->Message(kNoKeyMemory);
  MarkModified(doc);
  ShowFrame(doc);
}

void RemoveOwnerKeys(Document& doc, int owner) {
  ChangeBatch batch(doc);
  Scene& s = doc.scene;
  KeyStore& a = s.anim;
  if (FindOwnerKey(a, 0, owner) == -1 && FindOwnerKey(a, 0, kCameraOwner) == -1) return;
  // The clipboard too: a pasted key must never reach a group that is gone
  // or a slot that a new group has taken since.
  PurgeOwnerKeys(a, owner);
  if (owner >= 0) DropLookAtFromKeys(s, owner);
  Relist(a);
  RebuildLookAtPaths(s);
  MarkModified(doc);
  if (a.keyFrameList.empty()) GoToFrame0(doc);
}

void CopyKeyToRange(Document& doc, int owner, int from, int to) {
  ChangeBatch batch(doc);
  KeyStore& a = doc.scene.anim;
  if (!IsValidFrame(to)) return SayLimit(doc, "B must be less than %d", kMaxFrame);
  if (!IsValidFrame(from)) return SayLimit(doc, "A must be less than %d", kMaxFrame);
  const int cur = a.currentFrame;
  if (!IsKeyFrame(a, cur)) return doc.shell->Message("Need to be at a key frame for copy range");
  Relist(a);

  struct Copied {
    int frame, kind;
  };
  std::vector<Copied> copied;
  std::vector<int> sources;
  ForEachKeyInFrame(a, cur, [&](int k) {
    if (a.keys[k].owner == owner) sources.push_back(k);
  });
  bool stopped = false;
  for (int src : sources) {
    for (int f : a.keyFrameList) {
      if (f < from || f > to) continue;
      int dst = FindKey(a, f, owner, a.keys[src].kind);
      if (dst == -1) {
        doc.shell->Message("unable to find keyinfo");
        stopped = true;
        break;
      }
      if (dst != src) {
        try {
          a.keys[dst].values = a.keys[src].values;
          // A camera key's look-at group and path mean something only with
          // its look-at bits: the copy takes the mode it was made in.
          if (a.keys[src].kind == kKeyCamera)
            a.keys[dst].mask = (a.keys[dst].mask & ~3u) | (a.keys[src].mask & 3u);
        } catch (const std::bad_alloc&) {
          doc.shell->Message(kNoKeyMemory);
          stopped = true;
          break;
        }
      }
      copied.push_back({f, a.keys[src].kind});
    }
    if (stopped) break;
  }
  // Curves follow the copies made, also when the copy stopped early.
  for (const Copied& c : copied)
    RecomputeCurvesAt(doc, c.frame, owner, c.kind);
  if (!copied.empty()) MarkModified(doc);
  ShowFrame(doc);
}

void CopyRangeToRange(Document& doc, int from, int to, int start) {
  ChangeBatch batch(doc);
  KeyStore& a = doc.scene.anim;
  if (!IsValidFrame(to)) return SayLimit(doc, "B must be less than %d", kMaxFrame);
  if (!IsValidFrame(start)) return SayLimit(doc, "C must be less than %d", kMaxFrame);
  if (!IsKeyFrame(a, from) || !IsKeyFrame(a, to)) return doc.shell->Message(kNeedKeyFrames);
  // The last copy lands at B - A + C; it must stay inside the animation.
  if (to >= from && to - from + start > kMaxFrame)
    return SayLimit(doc, "C must be less than %d", kMaxFrame - (to - from));
  Relist(a);
  const int firstFrame = a.currentFrame;

  // The list is read as it changes: a frame pasted inside A..B is copied
  // again when its turn comes.
  for (int f = IsKeyFrame(a, from) ? from : NextKeyFrameAfter(a, from); f != -1 && f <= to;
       f = NextKeyFrameAfter(a, f)) {
    a.currentFrame = f;
    if (!CopyToClipboard(doc, f)) break;
    Relist(a);
    RecomputeFrameCurves(a, f);
    a.currentFrame = f - from + start;
    PasteKeyFrame(doc, false);
  }
  MarkModified(doc);
  // The copies are made at their own frames, and the last one stays current.
  if (a.currentFrame != firstFrame) NotifyChanged(doc, kFrameChanged);
}

void ScaleRange(Document& doc, int from, int to, int target) {
  ChangeBatch batch(doc);
  KeyStore& a = doc.scene.anim;
  if (!IsValidFrame(from)) return SayLimit(doc, "A must be less than %d", kMaxFrame);
  if (!IsValidFrame(to)) return SayLimit(doc, "B must be less than %d", kMaxFrame);
  if (!IsValidFrame(target)) return SayLimit(doc, "C must be less than %d", kMaxFrame);
  if (!IsKeyFrame(a, from) || !IsKeyFrame(a, to)) return doc.shell->Message(kNeedKeyFrames);
  // A range that runs backwards would move frames onto frames before A that stay.
  if (to < from || target < from) return doc.shell->Message("A must not be greater than B or C");
  const float factor =
      to == from ? 1.0f : static_cast<float>(target - from) / static_cast<float>(to - from);
  if (factor == 1.0f) return;
  Relist(a);
  const int last = LastKeyFrame(a);
  if (last > to && last - to + target > kMaxFrame)
    return SayLimit(doc, "C must be less than %d", kMaxFrame - (last - to));

  auto moved = [&](int f) {
    if (f < from) return f;
    // The single-precision factor times the offset, taken in double: 3 times
    // 5/3 then stays just below 5 and truncates to 4.
    if (f <= to) return from + static_cast<int>(std::trunc(double(f - from) * double(factor)));
    return f - to + target;
  };
  // Move in the order that never lands on a frame still to be moved.
  std::vector<int> frames = a.keyFrameList;
  if (factor >= 1.0f) std::reverse(frames.begin(), frames.end());
  bool merged = false;
  int highest = 0;
  for (int f : frames) {
    int g = moved(f);
    highest = std::max(highest, g);
    if (g == f) continue;
    if (a.frameKeys[g] != -1) {
      // Squeezed onto a frame already moved there: the later frame wins.
      ReleaseFrameKeys(a, g);
      merged = true;
    }
    a.frameKeys[g] = a.frameKeys[f];
    a.frameKeys[f] = -1;
  }
  if (factor > 1.0f) a.lastFrame = std::max(a.lastFrame, highest);
  Relist(a);

  const auto& list = a.keyFrameList;
  for (size_t i = 0; i < list.size(); ++i) {
    int next = i + 1 < list.size() ? list[i + 1] : -1;
    ForEachKeyInFrame(a, list[i], [&](int k) {
      if (a.keys[k].span != 0) a.keys[k].span = next == -1 ? 0 : next - list[i];
    });
  }
  if (merged)
    for (int f : list)
      RecomputeFrameCurves(a, f);
  MarkModified(doc);
  ShowFrame(doc);
}

void GoToPreviousKeyFrame(Document& doc) {
  KeyStore& a = doc.scene.anim;
  if (a.playing) return;
  Relist(a);
  if (a.currentFrame == 0) return GoToFrame(doc, a.lastFrame);
  if (a.prevKey != -1) GoToFrame(doc, a.prevKey);
}

void GoToNextKeyFrame(Document& doc) {
  KeyStore& a = doc.scene.anim;
  if (a.playing) return;
  Relist(a);
  if (a.currentFrame == a.lastFrame) return GoToFrame(doc, 0);
  if (a.nextKey != -1) GoToFrame(doc, a.nextKey);
}

std::vector<int> SelectedOwners(const Scene& s) {
  std::vector<int> owners;
  ForEachSibling(s, CurrentLevelHead(s), [&](int g) {
    if ((s.groups[g].flags & (Selected | Deleted)) == Selected) owners.push_back(g);
  });
  return owners;
}

}  // namespace modra
