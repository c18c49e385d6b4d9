#include "edit/edit_layer.h"

#include "anim/keying.h"
#include "scene/group_fields.h"

namespace modra {

std::vector<int> EditLayer::SelectedGroups() const {
  const Scene& s = doc_.scene;
  std::vector<int> selected;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if ((s.groups[g].flags & (Selected | Deleted)) == Selected) selected.push_back(g);
  });
  return selected;
}

void EditLayer::Begin(std::string_view name) {
  if (recorder_) recorder_->BeginEdit(name);
}

void EditLayer::End() {
  if (recorder_) recorder_->EndEdit();
  MarkModified(doc_);
  NotifyChanged(doc_, kValuesChanged | kSceneChanged);
  doc_.shell->RequestRedraw();
}

void EditLayer::Bracketed(int owner, std::initializer_list<int> kinds,
                          const std::function<void()>& apply) {
  for (int kind : kinds)
    EnsureKeyed(doc_, owner, kind);
  apply();
  if (IsLiveGroup(doc_.scene, owner)) BuildGroupMatrix(doc_.scene, owner);
  for (int kind : kinds)
    StoreKey(doc_, owner, kind);
}

void EditLayer::EditGroups(std::string_view name, std::initializer_list<int> kinds,
                           const std::vector<int>& groups,
                           const std::function<void(Scene&, int)>& apply) {
  if (groups.empty()) return;
  // note: the batch outlives End, so the notice leaves after the recorder
  // has closed the step
  ChangeBatch batch(doc_);
  Begin(name);
  for (int g : groups)
    Bracketed(g, kinds, [&] { apply(doc_.scene, g); });
  End();
}

void EditLayer::EditOwner(std::string_view name, int owner, std::initializer_list<int> kinds,
                          const std::function<void(Scene&)>& apply) {
  ChangeBatch batch(doc_);
  Begin(name);
  Bracketed(owner, kinds, [&] { apply(doc_.scene); });
  End();
}

}  // namespace modra
