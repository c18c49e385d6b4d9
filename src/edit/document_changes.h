// What one undo step changed in a document, and the mirror of the
// document that changes are measured against.
//
// A step holds each changed group slot and key as the one record that is
// not in the document: the one before the step while it is done, the one
// after it while it is undone. Undo and redo swap the two, so a step costs
// one copy of what it changed, and taking it back copies nothing.
//
// The mirror holds a copy of every record an edit can change: group slots,
// keys, each frame's first key, and the small parts (links, level, lights,
// camera, background, key-frame bookkeeping, materials). It shares every
// vertex array with the scene, so it costs the records, not the geometry.
// Comparing the document with it finds what changed without copying the
// scene at the start of each edit.
//
// Not recorded: the texture table (entries are never removed, and a
// texture stays loaded across New and Open too; undo restores which
// texture each group uses), the display state and views, the document's
// name, and playback's running curves.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "document/document.h"

namespace modra {

// The small parts of a document, restored field by field: only the fields
// a step changed are written back, so a selection or level the user chose
// since the step stays as it is.
struct SceneParts {
  int32_t rootHead = -1;
  int32_t freeHead = -1;
  std::vector<int32_t> levelStack;
  Vec3 sceneMin = {0, 0, 0};
  Vec3 sceneMax = {0, 0, 0};
  int32_t selectedGroup = -1;
  KnfLight lights[kLightCount];
  KnfCameraView camera;
  KnfGlobalScene global;
  int32_t freeKey = -1;
  std::vector<int32_t> keyFrameList;
  int32_t lastFrame = 0;
  int32_t currentFrame = 0;
  int32_t prevKey = -1, prevKey2 = -1, nextKey = -1, nextKey2 = -1;
  std::vector<WavefrontMaterial> materials;
};

// The record on the side of a step that is not in the document; empty
// where the slot or key does not exist on that side.
struct SlotChange {
  int32_t slot = 0;
  bool selectionChanged = false;  // the step changed the Selected or highlighted flag
  std::optional<DisplayGroup> record;
};
struct KeyChange {
  int32_t key = 0;
  std::optional<KnfKeyInfo> record;
};
struct FrameHeadChange {
  int32_t frame = 0;
  int32_t before = -1, after = -1;
};

struct DocumentChanges {
  int32_t slotCountBefore = 0, slotCountAfter = 0;
  int32_t keyCountBefore = 0, keyCountAfter = 0;
  std::vector<SlotChange> groups;  // not "slots": a Qt macro
  std::vector<KeyChange> keys;
  std::vector<FrameHeadChange> frames;
  // [0] before, [1] after; null when no small part changed.
  std::unique_ptr<SceneParts[]> parts;

  bool Empty() const {
    return groups.empty() && keys.empty() && frames.empty() && !parts &&
           slotCountBefore == slotCountAfter && keyCountBefore == keyCountAfter;
  }
  // Puts the other side into the document (the `before` side when
  // undoing) and keeps the side it replaces. A group's Selected and
  // highlighted flags stay as they are unless the step itself changed them.
  void Swap(Document& doc, bool undo);
  // Bytes held, counting each vertex array once (through `counted`) and
  // none that `sceneArrays` names.
  size_t MemoryUse(const std::unordered_set<const void*>& sceneArrays,
                   std::unordered_set<const void*>& counted) const;
};

class DocumentMirror {
 public:
  explicit DocumentMirror(const Document& doc);

  // What the document changed since the mirror last matched it; the
  // mirror matches it again afterwards.
  DocumentChanges TakeChanges(const Document& doc);
  size_t MemoryUse(const std::unordered_set<const void*>& sceneArrays,
                   std::unordered_set<const void*>& counted) const;

 private:
  std::vector<DisplayGroup> groups_;
  std::vector<KnfKeyInfo> keys_;
  std::array<int32_t, kFrameCount> frameKeys_;
  SceneParts parts_;
};

// Every vertex array the scene holds, by identity.
std::unordered_set<const void*> SceneArrays(const Scene& s);

}  // namespace modra
