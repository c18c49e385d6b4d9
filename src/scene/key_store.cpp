#include "scene/key_store.h"

#include <algorithm>
#include <new>

namespace modra {

int ValueCount(int kind) {
  static constexpr int kCounts[] = {3, 3, 3, 6, 1, 6, 3, 3, 2, 4, 3, 1, 3, 3};
  return (kind >= 0 && kind < 14) ? kCounts[kind] : -1;
}

int StoredValueCount(int kind) {
  if (kind == kKeyCamera) return 7 * 6 + 2;
  if (kind == kKeyLightType || kind == kKeyEnabled) return 1;
  int n = ValueCount(kind);
  return n < 0 ? -1 : 7 * n;
}

bool IsGroupKind(int kind) {
  switch (kind) {
    case kKeyRotation:
    case kKeyTranslation:
    case kKeyScale:
    case kKeyColor:
    case kKeySpecular:
    case kKeyEnabled:
    case kKeyCenterRotation:
    case kKeyCenter:
      return true;
    default:
      return false;
  }
}

bool IsLightKind(int kind) {
  switch (kind) {
    case kKeyLightType:
    case kKeyLightPosition:
    case kKeyLightColor:
    case kKeyLightCone:
    case kKeyLightAttenuation:
      return true;
    default:
      return false;
  }
}

bool IsStepKey(int kind, uint32_t mask) {
  // The camera's mask holds its mode, never the step bit.
  if (kind == kKeyCamera) return false;
  return kind == kKeyLightType || kind == kKeyEnabled || (mask & kStepMask);
}

int FindKey(const KeyStore& store, int frame, int owner, int kind) {
  if (!IsValidFrame(frame)) return -1;
  for (int k = store.frameKeys[frame]; k != -1; k = store.keys[k].nextInFrame)
    if (store.keys[k].owner == owner && store.keys[k].kind == kind) return k;
  return -1;
}

int FindOwnerKey(const KeyStore& store, int frame, int owner) {
  if (!IsValidFrame(frame)) return -1;
  for (int k = store.frameKeys[frame]; k != -1; k = store.keys[k].nextInFrame)
    if (store.keys[k].owner == owner) return k;
  return -1;
}

namespace {

// A zeroed, unlinked record of the kind; -1 when memory runs out.
int NewKeyRecord(KeyStore& store, int kind) {
  int count = StoredValueCount(kind);
  if (count < 0) return -1;
  try {
    std::vector<float> values(static_cast<size_t>(count), 0.0f);
    int k;
    if (store.freeKey != -1) {
      k = store.freeKey;
      store.freeKey = store.keys[k].nextInFrame;
    } else {
      store.keys.emplace_back();
      k = static_cast<int>(store.keys.size()) - 1;
    }
    KnfKeyInfo& key = store.keys[k];
    key = KnfKeyInfo{};
    key.kind = kind;
    key.values = std::move(values);
    return k;
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

}  // namespace

int AddKey(KeyStore& store, int frame, int kind) {
  if (!IsValidFrame(frame)) return -1;
  int k = NewKeyRecord(store, kind);
  if (k == -1) return -1;
  store.keys[k].nextInFrame = store.frameKeys[frame];
  store.frameKeys[frame] = k;
  return k;
}

int AddCameraKey(KeyStore& store, int frame) {
  if (!IsValidFrame(frame)) return -1;
  int k = NewKeyRecord(store, kKeyCamera);
  if (k == -1) return -1;
  int* link = &store.frameKeys[frame];
  while (*link != -1)
    link = &store.keys[*link].nextInFrame;
  *link = k;
  return k;
}

void RemoveKey(KeyStore& store, int key) {
  assert(key >= 0 && static_cast<size_t>(key) < store.keys.size());
  KnfKeyInfo& k = store.keys[key];
  k.values = {};
  k.kind = -1;
  k.nextInFrame = store.freeKey;
  store.freeKey = key;
}

void ReleaseFrameKeys(KeyStore& store, int frame) {
  assert(IsValidFrame(frame));
  int k = store.frameKeys[frame];
  store.frameKeys[frame] = -1;
  while (k != -1) {
    int next = store.keys[k].nextInFrame;
    RemoveKey(store, k);
    k = next;
  }
}

void ReverseFrameKeys(KeyStore& store, int frame) {
  assert(IsValidFrame(frame));
  int reversed = -1;
  for (int k = store.frameKeys[frame]; k != -1;) {
    int next = store.keys[k].nextInFrame;
    store.keys[k].nextInFrame = reversed;
    reversed = k;
    k = next;
  }
  store.frameKeys[frame] = reversed;
}

namespace {

// A copy of a key for the clipboard: its owner, kind, mask and values.
KnfKeyInfo ClipboardCopy(const KnfKeyInfo& key) {
  KnfKeyInfo copy;
  copy.owner = key.owner;
  copy.kind = key.kind;
  copy.mask = key.mask;
  copy.values = key.values;
  return copy;
}

}  // namespace

bool CopyFrameToClipboard(KeyStore& store, int frame) {
  assert(IsValidFrame(frame));
  try {
    std::vector<KnfKeyInfo> copies;
    ForEachKeyInFrame(store, frame, [&](int k) { copies.push_back(ClipboardCopy(store.keys[k])); });
    store.clipboard = std::move(copies);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool MoveFrameToClipboard(KeyStore& store, int frame) {
  assert(IsValidFrame(frame));
  std::vector<KnfKeyInfo> moved;
  try {
    size_t count = 0;
    ForEachKeyInFrame(store, frame, [&](int) { ++count; });
    moved.reserve(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // note: the records' values move out before RemoveKey empties them
  ForEachKeyInFrame(store, frame, [&](int k) {
    KnfKeyInfo& key = store.keys[k];
    KnfKeyInfo& copy = moved.emplace_back();
    copy.owner = key.owner;
    copy.kind = key.kind;
    copy.mask = key.mask;
    copy.values = std::move(key.values);
  });
  ReleaseFrameKeys(store, frame);
  store.clipboard = std::move(moved);
  return true;
}

bool PasteClipboardKeys(KeyStore& store, int frame,
                        const std::function<bool(const KnfKeyInfo&)>& keep) {
  assert(IsValidFrame(frame));
  int last = -1;
  ForEachKeyInFrame(store, frame, [&](int k) { last = k; });
  for (const KnfKeyInfo& src : store.clipboard) {
    if (!keep(src)) continue;
    int copy = NewKeyRecord(store, src.kind);
    if (copy == -1) return false;
    KnfKeyInfo& dst = store.keys[copy];
    dst.owner = src.owner;
    dst.mask = src.mask;
    try {
      dst.values = src.values;
    } catch (const std::bad_alloc&) {
      RemoveKey(store, copy);
      return false;
    }
    (last == -1 ? store.frameKeys[frame] : store.keys[last].nextInFrame) = copy;
    last = copy;
  }
  return true;
}

void PurgeOwnerKeys(KeyStore& store, int owner) {
  std::erase_if(store.clipboard, [&](const KnfKeyInfo& k) { return k.owner == owner; });
  bool any = std::any_of(store.keys.begin(), store.keys.end(),
                         [&](const KnfKeyInfo& k) { return k.kind != -1 && k.owner == owner; });
  if (!any) return;
  for (int f = 0; f < kFrameCount; ++f) {
    int* link = &store.frameKeys[f];
    while (*link != -1) {
      int k = *link;
      if (store.keys[k].owner == owner) {
        *link = store.keys[k].nextInFrame;
        RemoveKey(store, k);
      } else {
        link = &store.keys[k].nextInFrame;
      }
    }
  }
  RebuildKeyFrameList(store);
}

void ClearKeyFrames(KeyStore& store) {
  store.keys.clear();
  store.keys.shrink_to_fit();
  store.freeKey = -1;
  store.frameKeys.fill(-1);
  store.clipboard.clear();
  store.clipboard.shrink_to_fit();
  store.keyFrameList.clear();
  store.lastFrame = 0;
  store.prevKey = store.prevKey2 = store.nextKey = store.nextKey2 = -1;
  store.active.clear();
  store.playing = false;
}

void RebuildKeyFrameList(KeyStore& store) {
  store.keyFrameList.clear();
  for (int f = 0; f < kFrameCount; ++f)
    if (store.frameKeys[f] != -1) store.keyFrameList.push_back(f);
}

int LastKeyFrame(const KeyStore& store) {
  return store.keyFrameList.empty() ? 0 : store.keyFrameList.back();
}

std::vector<int> OwnerKeyFrames(const KeyStore& store, int owner) {
  std::vector<int> frames;
  for (int f : store.keyFrameList)
    if (FindOwnerKey(store, f, owner) != -1) frames.push_back(f);
  return frames;
}

Neighbours NeighboursOf(const KeyStore& store, int frame) {
  const auto& list = store.keyFrameList;
  Neighbours n;
  auto below = std::lower_bound(list.begin(), list.end(), frame);
  auto above = std::upper_bound(list.begin(), list.end(), frame);
  size_t b = below - list.begin();
  if (b >= 1) n.prev = list[b - 1];
  if (b >= 2) n.prev2 = list[b - 2];
  if (above != list.end()) n.next = *above;
  if (above != list.end() && above + 1 != list.end()) n.next2 = *(above + 1);
  return n;
}

void UpdateNeighbours(KeyStore& store) {
  Neighbours n = NeighboursOf(store, store.currentFrame);
  store.prevKey = n.prev;
  store.prevKey2 = n.prev2;
  store.nextKey = n.next;
  store.nextKey2 = n.next2;
}

}  // namespace modra
