#include "edit/edit_layer.h"

#include <utility>
#include <variant>

#include "anim/keying.h"
#include "edit/record_fields.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

// The record an owner's edit may change.
using OwnerRecord =
    std::variant<std::monostate, DisplayGroup, KnfLight, KnfCameraView, KnfGlobalScene>;

int LightOfOwner(int owner) {
  const int light = owner + 100;
  return light >= 0 && light < kLightCount ? light : -1;
}

OwnerRecord Copy(const Scene& s, int owner) {
  if (IsLiveGroup(s, owner)) return s.groups[owner];
  if (owner == kCameraOwner) return s.camera;
  if (owner == kBackgroundOwner) return s.global;
  if (const int light = LightOfOwner(owner); light >= 0) return s.lights[light];
  return {};
}

// Exchanges `record` with the owner's record in the scene.
void Exchange(Scene& s, int owner, OwnerRecord& record) {
  std::visit(
      [&](auto& r) {
        using R = std::decay_t<decltype(r)>;
        if constexpr (std::is_same_v<R, DisplayGroup>)
          std::swap(r, s.groups[owner]);
        else if constexpr (std::is_same_v<R, KnfCameraView>)
          std::swap(r, s.camera);
        else if constexpr (std::is_same_v<R, KnfGlobalScene>)
          std::swap(r, s.global);
        else if constexpr (std::is_same_v<R, KnfLight>)
          std::swap(r, s.lights[LightOfOwner(owner)]);
      },
      record);
}

bool Unchanged(const Scene& s, int owner, const OwnerRecord& before) {
  return std::visit(
      [&](const auto& r) {
        using R = std::decay_t<decltype(r)>;
        if constexpr (std::is_same_v<R, DisplayGroup>)
          return IsValidSlot(s, owner) && record::Same(r, s.groups[owner]);
        else if constexpr (std::is_same_v<R, KnfCameraView>)
          return record::Same(r, s.camera);
        else if constexpr (std::is_same_v<R, KnfGlobalScene>)
          return record::Same(r, s.global);
        else if constexpr (std::is_same_v<R, KnfLight>)
          return record::Same(r, s.lights[LightOfOwner(owner)]);
        else
          return true;
      },
      before);
}

// Brackets the recorder's step; the step's end comes before the notice.
class RecorderStep {
 public:
  RecorderStep(EditRecorder* recorder, CommandId command) : recorder_(recorder) {
    if (recorder_) recorder_->BeginEdit(command);
  }
  ~RecorderStep() {
    if (recorder_) recorder_->EndEdit();
  }
  RecorderStep(const RecorderStep&) = delete;
  RecorderStep& operator=(const RecorderStep&) = delete;

 private:
  EditRecorder* recorder_;
};

}  // namespace

std::vector<int> EditLayer::SelectedGroups() const {
  const Scene& s = doc_.scene;
  std::vector<int> selected;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if ((s.groups[g].flags & (Selected | Deleted)) == Selected) selected.push_back(g);
  });
  return selected;
}

bool EditLayer::Bracketed(int owner, std::initializer_list<int> kinds,
                          const std::function<void()>& apply) {
  Scene& s = doc_.scene;
  OwnerRecord other = Copy(s, owner);
  if (std::holds_alternative<std::monostate>(other)) return false;
  // The change is tried on the record itself, then taken out again while
  // the keys capture the values from before it.
  apply();
  if (Unchanged(s, owner, other)) return false;
  Exchange(s, owner, other);
  for (int kind : kinds)
    EnsureKeyed(doc_, owner, kind);
  Exchange(s, owner, other);
  if (IsLiveGroup(s, owner)) BuildGroupMatrix(s, owner);
  for (int kind : kinds)
    StoreKey(doc_, owner, kind);
  return true;
}

bool EditLayer::EditGroups(CommandId command, std::initializer_list<int> kinds,
                           const std::vector<int>& groups,
                           const std::function<void(Scene&, int)>& apply) {
  if (groups.empty()) return false;
  // note: the batch outlives the step, so the notice leaves after the
  // recorder has closed it
  ChangeBatch batch(doc_);
  bool changed = false;
  {
    const RecorderStep step(recorder_, command);
    for (int g : groups)
      changed = Bracketed(g, kinds, [&] { apply(doc_.scene, g); }) || changed;
  }
  if (!changed) return false;
  MarkModified(doc_);
  NotifyChanged(doc_, kValuesChanged | kSceneChanged);
  doc_.shell->RequestRedraw();
  return true;
}

bool EditLayer::EditOwner(CommandId command, int owner, std::initializer_list<int> kinds,
                          const std::function<void(Scene&)>& apply) {
  ChangeBatch batch(doc_);
  bool changed;
  {
    const RecorderStep step(recorder_, command);
    changed = Bracketed(owner, kinds, [&] { apply(doc_.scene); });
  }
  if (!changed) return false;
  MarkModified(doc_);
  NotifyChanged(doc_, kValuesChanged | kSceneChanged);
  doc_.shell->RequestRedraw();
  return true;
}

}  // namespace modra
