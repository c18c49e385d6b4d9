// The one edit layer. Every value a panel field or a mouse drag changes goes
// through here, so the sequence that makes an edit an edit is written once:
// open the recorder's step; for each owner, the change tried on its record
// and kept only when it changes something; then EnsureKeyed of every key
// kind the edit touches (with the old values back in place), the change
// itself, the group matrix rebuilt, StoreKey of every kind; the document
// marked modified; one change notice (kValuesChanged | kSceneChanged) and a
// redraw request.
//
// The layer decides for itself when an edit changes nothing: no owner, or
// every owner's record as it was. Such an edit makes no step, no key, no
// change of the modified flag and no notice.
#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include "document/document.h"
#include "edit/commands.h"

namespace modra {

// Sees each edit as one step: BeginEdit runs before the edit touches the
// document, EndEdit after the last change (keys stored, matrices rebuilt)
// and before the change notice, so the window refreshes from the state the
// step produced. The command names the step (see the command table).
class EditRecorder {
 public:
  virtual ~EditRecorder() = default;
  virtual void BeginEdit(CommandId command) = 0;
  virtual void EndEdit() = 0;
};

// An owner of the edit layer that is no key owner: the background colour.
inline constexpr int kBackgroundOwner = -1000;

// What every panel edits through: the document, and the recorder (none by
// default) that sees each step. The editor keeps one per document.
class EditLayer {
 public:
  explicit EditLayer(Document& doc, EditRecorder* recorder = nullptr)
      : doc_(doc), recorder_(recorder) {}

  Document& document() const { return doc_; }
  void SetRecorder(EditRecorder* recorder) { recorder_ = recorder; }

  // Every live group with `Selected`, anywhere in the hierarchy, in walk
  // order (parents before children).
  std::vector<int> SelectedGroups() const;

  // One edit of the group fields keyed by `kinds`, applied by apply(scene, g)
  // to each of `groups` in turn. apply may change group g's record and
  // nothing else. Each changed group gets its own key bracket and its
  // matrix rebuilt. true when some group changed.
  bool EditGroups(CommandId command, std::initializer_list<int> kinds,
                  const std::vector<int>& groups, const std::function<void(Scene&, int)>& apply);
  bool EditSelectedGroups(CommandId command, std::initializer_list<int> kinds,
                          const std::function<void(Scene&, int)>& apply) {
    return EditGroups(command, kinds, SelectedGroups(), apply);
  }

  // One edit of a single owner: a group (its index), a light (index - 100),
  // the camera (-1) or kBackgroundOwner (no keys). apply may change that
  // owner's record and nothing else; a group's matrix is rebuilt after it.
  // true when the owner changed.
  bool EditOwner(CommandId command, int owner, std::initializer_list<int> kinds,
                 const std::function<void(Scene&)>& apply);

 private:
  bool Bracketed(int owner, std::initializer_list<int> kinds, const std::function<void()>& apply);

  Document& doc_;
  EditRecorder* recorder_;
};

}  // namespace modra
