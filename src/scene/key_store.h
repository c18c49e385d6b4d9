// The key store: every key of the animation, the per-frame key lists, the
// list of key frames and the playback state. Keys are addressed by index;
// released records are reused through a free list.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace modra {

inline constexpr int kFrameCount = 10000;  // frames 0..9999
inline constexpr int kMaxFrame = kFrameCount - 1;

inline constexpr uint32_t kStepMask = 0x80000000u;  // the value holds until the next key
inline constexpr int kCameraOwner = -1;
inline constexpr int LightOwner(int light) {
  return light - 100;
}

// Parameter kinds of a key.
enum KeyKind : int32_t {
  kKeyRotation = 0,
  kKeyTranslation = 1,
  kKeyScale = 2,
  kKeyCamera = 3,
  kKeyLightType = 4,
  kKeyLightPosition = 5,
  kKeyLightColor = 6,
  kKeyColor = 7,
  kKeyLightCone = 8,
  kKeySpecular = 9,
  kKeyLightAttenuation = 10,
  kKeyEnabled = 11,
  kKeyCenterRotation = 12,
  kKeyCenter = 13,
};

// Camera keys keep the look-at group and path after the 42 curve floats.
inline constexpr int kCameraLookAtWord = 42;
inline constexpr int kCameraPathCountWord = 43;
inline constexpr int kCameraPathWord = 44;

struct KnfKeyInfo {
  int32_t owner = 0;
  int32_t kind = -1;  // -1 marks a released record
  uint32_t mask = 0;
  int32_t span = 0;  // frames to the next key frame, 0 at the last one
  // P (n), C1 (n), C2 (n), then a, b, c, d for each value (4n).
  std::vector<float> values;
  int32_t nextInFrame = -1;  // also the free-list link
};

// A curve being played: a copy of a key's coefficients (or of its values,
// for a step key), counting down the frames it still runs.
struct ActiveCurve {
  int32_t owner = 0;
  int32_t kind = 0;
  uint32_t mask = 0;
  int32_t span = 0;
  int32_t n = 0;
  bool step = false;
  std::array<float, 24> data{};
};

struct KeyStore {
  std::vector<KnfKeyInfo> keys;
  int32_t freeKey = -1;
  // First key of each frame's list, -1 when the frame holds no keys.
  std::array<int32_t, kFrameCount> frameKeys;
  // The key-frame clipboard: copies of one frame's keys in its order, each
  // with span 0 and linked nowhere. They are records of their own, not
  // keys of the pool, so undo, which grows and shrinks the pool, never
  // takes them away.
  std::vector<KnfKeyInfo> clipboard;
  std::vector<int32_t> keyFrameList;  // ascending
  int32_t lastFrame = 0;
  int32_t currentFrame = 0;
  int32_t prevKey = -1, prevKey2 = -1, nextKey = -1, nextKey2 = -1;

  std::vector<ActiveCurve> active;
  float t = 0, dt = 0;
  int32_t playFrame = 0;
  bool silent = false;
  bool playing = false;
  bool redrawEnabled = true;

  KeyStore() { frameKeys.fill(-1); }
};

// Values per key of a kind, and floats stored per key; -1 for an unknown kind.
int ValueCount(int kind);
int StoredValueCount(int kind);
// The kinds a group's keys have, and those a light's keys have; the
// camera's keys are kKeyCamera.
bool IsGroupKind(int kind);
bool IsLightKind(int kind);
// Light type and enabled keys always hold; other keys when their mask says so.
bool IsStepKey(int kind, uint32_t mask);
inline bool IsStepKey(const KnfKeyInfo& k) {
  return IsStepKey(k.kind, k.mask);
}
inline bool IsValidFrame(int frame) {
  return frame >= 0 && frame <= kMaxFrame;
}

// Lookups. Return -1 when absent (or when frame is outside 0..kMaxFrame).
int FindKey(const KeyStore& store, int frame, int owner, int kind);
int FindOwnerKey(const KeyStore& store, int frame, int owner);
inline bool IsKeyFrame(const KeyStore& store, int frame) {
  return frame >= 0 && frame <= kMaxFrame && store.frameKeys[frame] != -1;
}

// Adds a zeroed key at the front (AddKey) or the end (AddCameraKey) of the
// frame's list; -1 when memory runs out.
int AddKey(KeyStore& store, int frame, int kind);
int AddCameraKey(KeyStore& store, int frame);
// The functions below take frames in 0..kMaxFrame and keys that index
// the store.

// Releases a key that is no longer linked into any frame.
void RemoveKey(KeyStore& store, int key);
// Unlinks and releases every key of a frame.
void ReleaseFrameKeys(KeyStore& store, int frame);
// Reverses the order of a frame's list.
void ReverseFrameKeys(KeyStore& store, int frame);

// The clipboard becomes a copy of the frame's keys. false when memory runs
// out; the clipboard then keeps what it held.
bool CopyFrameToClipboard(KeyStore& store, int frame);
// The frame's keys move to the clipboard, replacing what it held, and
// their records return to the pool: the frame holds no keys afterwards.
// false (and no change) when memory runs out.
bool MoveFrameToClipboard(KeyStore& store, int frame);
// Copies of the clipboard's keys that `keep` accepts, in clipboard order,
// at the end of the frame's list with span 0. false when memory runs out
// (the copies made so far stay).
bool PasteClipboardKeys(KeyStore& store, int frame,
                        const std::function<bool(const KnfKeyInfo&)>& keep);

// Unlinks and releases every key of an owner in every frame, and drops
// its keys from the clipboard, quietly: for owners that cease to exist.
void PurgeOwnerKeys(KeyStore& store, int owner);

// Forgets every key, the clipboard's too.
void ClearKeyFrames(KeyStore& store);
// Rebuilds keyFrameList from the frame table.
void RebuildKeyFrameList(KeyStore& store);
int LastKeyFrame(const KeyStore& store);
// The key frames that hold a key of `owner`, ascending.
std::vector<int> OwnerKeyFrames(const KeyStore& store, int owner);
// The key frames around a frame (a key frame at the frame itself counts
// as neither), -1 when missing.
struct Neighbours {
  int prev2 = -1, prev = -1, next = -1, next2 = -1;
};
Neighbours NeighboursOf(const KeyStore& store, int frame);
// Recomputes prevKey, prevKey2, nextKey, nextKey2 around currentFrame.
void UpdateNeighbours(KeyStore& store);

// Calls visit(keyIndex) for every key of a frame, reading the link first.
template <class Visit>
void ForEachKeyInFrame(const KeyStore& store, int frame, Visit&& visit) {
  assert(IsValidFrame(frame));
  for (int k = store.frameKeys[frame]; k != -1;) {
    int next = store.keys[k].nextInFrame;
    visit(k);
    k = next;
  }
}

}  // namespace modra
