#include "anim/key_range_commands.h"

#include <set>
#include <string>

#include "anim/key_commands.h"
#include "scene/key_store.h"

namespace modra {
namespace {

// Speaks for the document's shell while one request runs over several
// owners, passing each message on once: the user hears a refusal once,
// however many owners it stopped.
class OnceShell : public Shell {
 public:
  explicit OnceShell(Document& doc) : doc_(doc), inner_(doc.shell) { doc.shell = this; }
  ~OnceShell() override { doc_.shell = inner_; }
  OnceShell(const OnceShell&) = delete;
  OnceShell& operator=(const OnceShell&) = delete;

  void Message(std::string_view text) override {
    if (told_.insert(std::string(text)).second) inner_->Message(text);
  }
  bool Ask(std::string_view question) override { return inner_->Ask(question); }
  void Status(std::string_view text) override { inner_->Status(text); }
  void ShowFrameNumber(int frame) override { inner_->ShowFrameNumber(frame); }
  void RequestRedraw() override { inner_->RequestRedraw(); }
  void Changed(unsigned what) override { inner_->Changed(what); }

 private:
  Document& doc_;
  Shell* inner_;
  std::set<std::string, std::less<>> told_;
};

}  // namespace

std::vector<int> ChosenKeyOwners(const Scene& s, KeyOwnerChoice choice, int currentLight) {
  switch (choice) {
    case KeyOwnerChoice::kSelectedObjects:
      return SelectedOwners(s);
    case KeyOwnerChoice::kCamera:
      return {kCameraOwner};
    case KeyOwnerChoice::kLight:
      return {LightOwner(currentLight)};
  }
  return {};
}

void RunKeyRangeRequest(Document& doc, const KeyRangeRequest& r, int currentLight) {
  ChangeBatch batch(doc);
  switch (r.command) {
    case KeyRangeCommand::kRemoveOwnerKeys:
      for (int owner : ChosenKeyOwners(doc.scene, r.owner, currentLight))
        RemoveOwnerKeys(doc, owner);
      break;
    case KeyRangeCommand::kCopyKeyToRange: {
      // Each owner gets its copy even when another one's was refused.
      const OnceShell once(doc);
      for (int owner : ChosenKeyOwners(doc.scene, r.owner, currentLight))
        CopyKeyToRange(doc, owner, r.a, r.b);
      break;
    }
    case KeyRangeCommand::kCopyRangeToRange:
      CopyRangeToRange(doc, r.a, r.b, r.c);
      break;
    case KeyRangeCommand::kScaleRange:
      ScaleRange(doc, r.a, r.b, r.c);
      break;
  }
}

}  // namespace modra
