#include "anim/key_range_commands.h"

#include "anim/key_commands.h"
#include "scene/key_store.h"

namespace modra {
namespace {

// Speaks for the document's shell while one command runs, counting what
// it tells the user.
class CountingShell : public Shell {
 public:
  explicit CountingShell(Document& doc) : doc_(doc), inner_(doc.shell) { doc.shell = this; }
  ~CountingShell() override { doc_.shell = inner_; }
  CountingShell(const CountingShell&) = delete;
  CountingShell& operator=(const CountingShell&) = delete;

  int messages() const { return messages_; }

  void Message(std::string_view text) override {
    ++messages_;
    inner_->Message(text);
  }
  bool Ask(std::string_view question) override { return inner_->Ask(question); }
  void Status(std::string_view text) override { inner_->Status(text); }
  void ShowFrameNumber(int frame) override { inner_->ShowFrameNumber(frame); }
  void RequestRedraw() override { inner_->RequestRedraw(); }
  void Changed(unsigned what) override { inner_->Changed(what); }

 private:
  Document& doc_;
  Shell* inner_;
  int messages_ = 0;
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
      const CountingShell counting(doc);
      for (int owner : ChosenKeyOwners(doc.scene, r.owner, currentLight)) {
        CopyKeyToRange(doc, owner, r.a, r.b);
        if (counting.messages() > 0) break;
      }
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
