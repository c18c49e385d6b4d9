// The one edit layer. Every value a panel field or a mouse drag changes goes
// through here, so the sequence that makes an edit an edit is written once:
// open a change batch; for each owner, EnsureKeyed of every key kind the
// edit touches, the change itself, the group matrix rebuilt, StoreKey of
// every kind; the document marked modified; one change notice
// (kValuesChanged | kSceneChanged) and a redraw request.
//
// Undo will hook in at EditRecorder: BeginEdit runs before the first
// change of an edit (scene and keys still as they were), EndEdit after the
// last (keys stored, matrices rebuilt) and before the change notice, so a
// recorder sees exactly one step per user edit and the window refreshes
// from the state the step produced. An edit that changes nothing (no owner,
// or all differences 0) makes no step, no key and no notice.
#pragma once

#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "document/document.h"

namespace modra {

class EditRecorder {
 public:
  virtual ~EditRecorder() = default;
  // `name` says what the step does ("Translate Selected Objects" ...).
  virtual void BeginEdit(std::string_view name) = 0;
  virtual void EndEdit() = 0;
};

// What every panel edits through: the document, and the recorder (none by
// default) that sees each step. The GUI keeps one per document.
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
  // to each of `groups` in turn. Each group gets its own bracket, and its
  // matrix is rebuilt after apply. Nothing happens for an empty list.
  void EditGroups(std::string_view name, std::initializer_list<int> kinds,
                  const std::vector<int>& groups,
                  const std::function<void(Scene&, int)>& apply);
  void EditSelectedGroups(std::string_view name, std::initializer_list<int> kinds,
                          const std::function<void(Scene&, int)>& apply) {
    EditGroups(name, kinds, SelectedGroups(), apply);
  }

  // One edit of a single key owner: a group (its index), a light (index -
  // 100) or the camera (-1). A group's matrix is rebuilt after apply.
  void EditOwner(std::string_view name, int owner, std::initializer_list<int> kinds,
                 const std::function<void(Scene&)>& apply);

 private:
  void Begin(std::string_view name);
  void End();
  void Bracketed(int owner, std::initializer_list<int> kinds, const std::function<void()>& apply);

  Document& doc_;
  EditRecorder* recorder_;
};

}  // namespace modra
