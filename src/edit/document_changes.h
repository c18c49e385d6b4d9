// What one undo step changed in a document, and the mirror of the
// document that changes are measured against.
//
// A step holds what differs between the two sides of it, on the side that
// is not in the document: the one before the step while it is done, the
// one after it while it is undone. For a group slot or key that exists on
// both sides that is only the 32-bit words that differ (a move of a group
// keeps a few of its words and of its keys' values), plus whole any field
// that cannot be compared word by word (a name, the primitives) when it
// differs. Slots and keys that exist on one side only (the tables grew or
// shrank) are kept whole. Undo and redo swap the stored side with the
// document's, so taking a step back copies nothing new.
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
// name, playback's running curves, and a group's drawAsBox flag, a display
// choice the file does not keep: no comparison sees it, and undo leaves it
// as it is on a group that lives on both sides of a step.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <variant>
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

struct FrameHeadChange {
  int32_t frame = 0;
  int32_t before = -1, after = -1;
};

// A record field kept whole by a step: every field type that is neither
// 32-bit words nor a vector of them, and such a vector whose length the
// step changed. A record field of another type stops the build until it
// is listed here.
using WholeField = std::variant<std::string, std::vector<DisplayPrimitive>, std::vector<uint8_t>,
                                std::vector<float>>;

class DocumentChanges {
 public:
  bool Empty() const {
    return runs_.empty() && tailGroups_.empty() && tailKeys_.empty() && frames_.empty() &&
           !parts_ && slotCountBefore_ == slotCountAfter_ && keyCountBefore_ == keyCountAfter_;
  }
  // Puts the other side into the document (the `before` side when
  // undoing) and keeps the side it replaces. A group's Selected and
  // highlighted flags stay as they are unless the step itself changed
  // them, and its drawAsBox flag stays, on a group live on both sides.
  void Swap(Document& doc, bool undo);
  // Bytes held, counting each vertex array once (through `counted`) and
  // none that `sceneArrays` names.
  size_t MemoryUse(const std::unordered_set<const void*>& sceneArrays,
                   std::unordered_set<const void*>& counted) const;
  // Bytes held, counting every vertex array in full even where the scene
  // or another step shares it: the weight a memory limit can rely on.
  size_t Bytes() const;

 private:
  friend class DocumentMirror;
  using ArrayBytes = std::function<size_t(const VertexBuffer&)>;
  size_t HeldBytes(const ArrayBytes& arrayBytes) const;

  int32_t slotCountBefore_ = 0, slotCountAfter_ = 0;
  int32_t keyCountBefore_ = 0, keyCountAfter_ = 0;
  // The slots, then the keys, that exist on both sides and differ, packed
  // one after another (the layout is in document_changes.cpp); the keys
  // start at keyRunsAt_.
  std::vector<uint8_t> runs_;
  size_t keyRunsAt_ = 0;
  std::vector<WholeField> wholeFields_;
  // The slots (keys) past the shorter table, on the side that is not in
  // the document; empty while the document holds them.
  std::vector<DisplayGroup> tailGroups_;
  std::vector<KnfKeyInfo> tailKeys_;
  std::vector<FrameHeadChange> frames_;
  // [0] before, [1] after; null when no small part changed.
  std::unique_ptr<SceneParts[]> parts_;
};

// How a document differs from the mirror, as a history sees it before a
// step opens.
enum class OutsideChange {
  kNone,
  // Live groups differ only in Selected or highlighted, and the selected
  // group or the level stack may differ: choices the user makes between
  // steps.
  kSelection,
  kOther,
};

class DocumentMirror {
 public:
  explicit DocumentMirror(const Document& doc);

  // What the document changed since the mirror last matched it; the
  // mirror matches it again afterwards.
  DocumentChanges TakeChanges(const Document& doc);
  // What kind of difference there is, changing nothing.
  OutsideChange Compare(const Document& doc) const;
  // Takes the document's drawAsBox flags, which no comparison sees, so
  // that a group a step removes comes back as it was shown.
  void FollowDisplayFlags(const Document& doc);
  // The frame the mirrored document was at.
  int32_t CurrentFrame() const { return parts_.currentFrame; }
  size_t MemoryUse(const std::unordered_set<const void*>& sceneArrays,
                   std::unordered_set<const void*>& counted) const;

 private:
  std::vector<DisplayGroup> groups_;
  std::vector<KnfKeyInfo> keys_;
  std::array<int32_t, kFrameCount> frameKeys_;
  SceneParts parts_;
  std::vector<uint8_t> work_;  // each step's runs are written here first
};

// Every vertex array the scene holds, by identity.
std::unordered_set<const void*> SceneArrays(const Scene& s);

}  // namespace modra
