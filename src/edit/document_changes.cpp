#include "edit/document_changes.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>

#include "edit/record_fields.h"

namespace modra {
namespace {

using record::Same;

// note: a field added to the scene or the key store stops the build here
// until it is recorded below or named as one that undo leaves alone
[[maybe_unused]] void EveryFieldPlaced(const Scene& s) {
  [[maybe_unused]] const auto& [groups, rootHead, freeHead, clipboard /* beside the document */,
                                levelStack, sceneMin, sceneMax, selectedGroup, lights, camera,
                                global, anim, triangulatorDebug /* start-up setting */] = s;
  [[maybe_unused]] const auto& [keys, freeKey, frameKeys, keyClipboard /* beside the document */,
                                keyFrameList, lastFrame, currentFrame, prevKey, prevKey2, nextKey,
                                nextKey2,
                                // playback's own state, not the document's
                                active, t, dt, playFrame, silent, playing, redrawEnabled] = s.anim;
}

template <class P>
auto PartFields(P& p) {
  auto& [a, b, d, e, f, g, h, i, j, k, l, m, n, o, q, r, s, t] = p;
  return std::tie(a, b, d, e, f, g, h, i, j, k, l, m, n, o, q, r, s, t);
}

// The document's fields in the order of SceneParts.
template <class D>
auto DocumentFields(D& doc) {
  auto& s = doc.scene;
  auto& a = s.anim;
  return std::tie(s.rootHead, s.freeHead, s.levelStack, s.sceneMin, s.sceneMax, s.selectedGroup,
                  s.lights, s.camera, s.global, a.freeKey, a.keyFrameList, a.lastFrame,
                  a.currentFrame, a.prevKey, a.prevKey2, a.nextKey, a.nextKey2,
                  doc.materials.entries);
}

template <class T>
void Assign(T& to, const T& from) {
  to = from;
}
template <class T, size_t N>
void Assign(T (&to)[N], const T (&from)[N]) {
  std::copy(from, from + N, to);
}

using PartIndices =
    std::make_index_sequence<std::tuple_size_v<decltype(PartFields(std::declval<SceneParts&>()))>>;

template <class A, class B, size_t... I>
bool SameFields(const A& a, const B& b, std::index_sequence<I...>) {
  return (Same(std::get<I>(a), std::get<I>(b)) && ...);
}
template <class To, class From, size_t... I>
void AssignFields(const To& to, const From& from, std::index_sequence<I...>) {
  (Assign(std::get<I>(to), std::get<I>(from)), ...);
}
// Each field where `side` and `other` differ, from `side` into `to`.
template <class To, class Side, size_t... I>
void AssignDiffering(const To& to, const Side& side, const Side& other, std::index_sequence<I...>) {
  ((Same(std::get<I>(side), std::get<I>(other)) ? void()
                                                : Assign(std::get<I>(to), std::get<I>(side))),
   ...);
}

constexpr uint32_t kSelectionFlags = Selected | highlighted;

bool Live(const DisplayGroup& g) {
  return !(g.flags & Deleted);
}

size_t HeapBytes(const std::string& s) {
  return s.capacity() > 15 ? s.capacity() + 1 : 0;
}
template <class T>
size_t HeapBytes(const std::vector<T>& v) {
  return v.capacity() * sizeof(T);
}

size_t GroupBytes(const DisplayGroup& g, const std::unordered_set<const void*>& sceneArrays,
                  std::unordered_set<const void*>& counted) {
  size_t bytes = sizeof(DisplayGroup) + HeapBytes(g.name) + HeapBytes(g.primitives) +
                 HeapBytes(g.generatorParams);
  for (const DisplayPrimitive& p : g.primitives) {
    const void* id = p.vertices.ArrayId();
    if (id && !sceneArrays.contains(id) && counted.insert(id).second)
      bytes += sizeof(std::vector<float>) + 16 + p.vertices.capacity() * sizeof(float);
  }
  return bytes;
}

size_t PartsBytes(const SceneParts& p) {
  size_t bytes = sizeof(SceneParts) + HeapBytes(p.levelStack) + HeapBytes(p.keyFrameList) +
                 HeapBytes(p.camera.lookAtPath) + HeapBytes(p.materials);
  for (const WavefrontMaterial& m : p.materials)
    bytes += HeapBytes(m.name);
  return bytes;
}

// The selection can name what an undo took away: a group pasted, or the
// level of a group created, by the step. It then falls back to nothing.
void KeepSelectionInScene(Scene& s) {
  const std::vector<int32_t> parents = ParentTable(s);
  auto inScene = [&](int g) {
    return IsLiveGroup(s, g) && parents[static_cast<size_t>(g)] != kUnreached;
  };
  auto bad = std::find_if_not(s.levelStack.begin(), s.levelStack.end(), inScene);
  s.levelStack.erase(bad, s.levelStack.end());
  if (s.selectedGroup != -1 && !inScene(s.selectedGroup)) s.selectedGroup = -1;
}

}  // namespace

void DocumentChanges::Swap(Document& doc, bool undo) {
  Scene& s = doc.scene;
  KeyStore& a = s.anim;
  const size_t slotsNow = s.groups.size();
  const size_t slotsThen = static_cast<size_t>(undo ? slotCountBefore : slotCountAfter);
  s.groups.resize(std::max(slotsNow, slotsThen));
  for (SlotChange& c : groups) {
    const size_t i = static_cast<size_t>(c.slot);
    if (i >= s.groups.size()) continue;
    DisplayGroup& g = s.groups[i];
    if (i < slotsNow && i < slotsThen) {
      if (!c.record) continue;
      const uint32_t selection = g.flags & kSelectionFlags;
      const bool keepSelection = !c.selectionChanged && Live(g) && Live(*c.record);
      std::swap(g, *c.record);
      if (keepSelection) g.flags = (g.flags & ~kSelectionFlags) | selection;
    } else if (i < slotsNow) {
      c.record = std::move(g);
    } else if (c.record) {
      g = std::move(*c.record);
      c.record.reset();
    }
  }
  s.groups.resize(slotsThen);

  const size_t keysNow = a.keys.size();
  const size_t keysThen = static_cast<size_t>(undo ? keyCountBefore : keyCountAfter);
  a.keys.resize(std::max(keysNow, keysThen));
  for (KeyChange& c : keys) {
    const size_t i = static_cast<size_t>(c.key);
    if (i >= a.keys.size()) continue;
    KnfKeyInfo& k = a.keys[i];
    if (i < keysNow && i < keysThen) {
      if (c.record) std::swap(k, *c.record);
    } else if (i < keysNow) {
      c.record = std::move(k);
    } else if (c.record) {
      k = std::move(*c.record);
      c.record.reset();
    }
  }
  a.keys.resize(keysThen);
  for (const FrameHeadChange& c : frames)
    a.frameKeys[static_cast<size_t>(c.frame)] = undo ? c.before : c.after;

  if (parts) {
    const SceneParts& side = parts[undo ? 0 : 1];
    const SceneParts& other = parts[undo ? 1 : 0];
    AssignDiffering(DocumentFields(doc), PartFields(side), PartFields(other), PartIndices());
  }
  KeepSelectionInScene(s);
}

size_t DocumentChanges::MemoryUse(const std::unordered_set<const void*>& sceneArrays,
                                  std::unordered_set<const void*>& counted) const {
  size_t bytes = sizeof(DocumentChanges) + HeapBytes(groups) + HeapBytes(keys) + HeapBytes(frames);
  for (const SlotChange& c : groups)
    if (c.record) bytes += GroupBytes(*c.record, sceneArrays, counted) - sizeof(DisplayGroup);
  for (const KeyChange& c : keys)
    if (c.record) bytes += HeapBytes(c.record->values);
  if (parts) bytes += PartsBytes(parts[0]) + PartsBytes(parts[1]);
  return bytes;
}

DocumentMirror::DocumentMirror(const Document& doc)
    : groups_(doc.scene.groups), keys_(doc.scene.anim.keys), frameKeys_(doc.scene.anim.frameKeys) {
  AssignFields(PartFields(parts_), DocumentFields(doc), PartIndices());
}

DocumentChanges DocumentMirror::TakeChanges(const Document& doc) {
  const Scene& s = doc.scene;
  const KeyStore& a = s.anim;
  DocumentChanges c;
  c.slotCountBefore = static_cast<int32_t>(groups_.size());
  c.slotCountAfter = static_cast<int32_t>(s.groups.size());
  c.keyCountBefore = static_cast<int32_t>(keys_.size());
  c.keyCountAfter = static_cast<int32_t>(a.keys.size());

  const size_t slotCount = std::max(groups_.size(), s.groups.size());
  for (size_t i = 0; i < slotCount; ++i) {
    const bool was = i < groups_.size(), is = i < s.groups.size();
    if (was && is && Same(groups_[i], s.groups[i])) continue;
    SlotChange& change = c.groups.emplace_back();
    change.slot = static_cast<int32_t>(i);
    if (was) change.record = std::move(groups_[i]);
    if (was && is)
      change.selectionChanged = (change.record->flags ^ s.groups[i].flags) & kSelectionFlags;
  }
  groups_.resize(s.groups.size());
  for (const SlotChange& change : c.groups)
    if (static_cast<size_t>(change.slot) < groups_.size())
      groups_[static_cast<size_t>(change.slot)] = s.groups[static_cast<size_t>(change.slot)];

  const size_t keyCount = std::max(keys_.size(), a.keys.size());
  for (size_t i = 0; i < keyCount; ++i) {
    const bool was = i < keys_.size(), is = i < a.keys.size();
    if (was && is && Same(keys_[i], a.keys[i])) continue;
    KeyChange& change = c.keys.emplace_back();
    change.key = static_cast<int32_t>(i);
    if (was) change.record = std::move(keys_[i]);
  }
  keys_.resize(a.keys.size());
  for (const KeyChange& change : c.keys)
    if (static_cast<size_t>(change.key) < keys_.size())
      keys_[static_cast<size_t>(change.key)] = a.keys[static_cast<size_t>(change.key)];

  if (std::memcmp(frameKeys_.data(), a.frameKeys.data(), sizeof(frameKeys_)) != 0)
    for (size_t f = 0; f < frameKeys_.size(); ++f)
      if (frameKeys_[f] != a.frameKeys[f]) {
        c.frames.push_back({static_cast<int32_t>(f), frameKeys_[f], a.frameKeys[f]});
        frameKeys_[f] = a.frameKeys[f];
      }

  if (!SameFields(PartFields(parts_), DocumentFields(doc), PartIndices())) {
    c.parts = std::make_unique<SceneParts[]>(2);
    c.parts[0] = std::move(parts_);
    AssignFields(PartFields(parts_), DocumentFields(doc), PartIndices());
    c.parts[1] = parts_;
  }
  return c;
}

size_t DocumentMirror::MemoryUse(const std::unordered_set<const void*>& sceneArrays,
                                 std::unordered_set<const void*>& counted) const {
  size_t bytes = sizeof(DocumentMirror) + HeapBytes(groups_) + HeapBytes(keys_) +
                 PartsBytes(parts_) - sizeof(SceneParts);
  for (const DisplayGroup& g : groups_)
    bytes += GroupBytes(g, sceneArrays, counted) - sizeof(DisplayGroup);
  for (const KnfKeyInfo& k : keys_)
    bytes += HeapBytes(k.values);
  return bytes;
}

std::unordered_set<const void*> SceneArrays(const Scene& s) {
  std::unordered_set<const void*> ids;
  for (const DisplayGroup& g : s.groups)
    for (const DisplayPrimitive& p : g.primitives)
      if (p.vertices.ArrayId()) ids.insert(p.vertices.ArrayId());
  return ids;
}

}  // namespace modra
