// What the core asks of whoever shows it: message boxes and yes/no
// questions, the status text, the animation bar's frame number, redraws and
// change notices. The GUI shows them in windows, the command line writes
// messages to stderr, and tests record them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modra {

// The kinds of change one notice can carry, as bits. Each part of a window
// refreshes from the bits it shows:
//   title                    kNameChanged
//   name box                 kSelectionChanged, kValuesChanged, kSceneChanged
//   frame box                kFrameChanged
//   panel, view              everything but kNameChanged
//   menus and tool bar       everything
enum Change : unsigned {
  // What the document holds: groups, hierarchy, geometry, materials,
  // textures in use, lights, camera, background, keys, the clipboards.
  kSceneChanged = 1u << 0,
  // The current group, the Selected and highlighted flags, the level being
  // edited.
  kSelectionChanged = 1u << 1,
  // The current frame, or playback starting or stopping; every keyed value
  // moves with it.
  kFrameChanged = 1u << 2,
  // The current group's own values (name, transform, colour ...) and
  // nothing else.
  kValuesChanged = 1u << 3,
  // The document's name or its modified flag.
  kNameChanged = 1u << 4,
  // How the scene is drawn, which the file does not keep: the display
  // mode, normals, disabled groups, groups drawn as boxes, the views.
  kDisplayChanged = 1u << 5,
  // The group or key-frame clipboard, which lives beside the scene.
  kClipboardChanged = 1u << 6,
  // What Undo and Redo would do.
  kHistoryChanged = 1u << 7,
  // The panels' own choices: lock boxes, mouse controls, the light shown.
  kPanelChanged = 1u << 8,
};
inline constexpr unsigned kEverythingChanged = kSceneChanged | kSelectionChanged | kFrameChanged |
                                               kValuesChanged | kNameChanged | kDisplayChanged |
                                               kClipboardChanged | kHistoryChanged | kPanelChanged;

class Shell {
 public:
  virtual ~Shell() = default;
  // A modal message box with the text exactly as given.
  virtual void Message(std::string_view text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool Ask(std::string_view question) = 0;
  // The status bar text (the current group's name or "Nothing Selected").
  virtual void Status(std::string_view /*text*/) {}
  virtual void ShowFrameNumber(int /*frame*/) {}
  virtual void RequestRedraw() {}
  // One notice per command: the Change bits of everything it changed.
  // Never called with 0.
  virtual void Changed(unsigned /*what*/) {}
};

// Says nothing and answers Yes: for work that nobody watches.
class QuietShell : public Shell {
 public:
  void Message(std::string_view) override {}
  bool Ask(std::string_view) override { return true; }
};

// Keeps everything it is told, and answers questions with `answer`.
class RecordingShell : public Shell {
 public:
  void Message(std::string_view text) override { messages.emplace_back(text); }
  bool Ask(std::string_view question) override {
    questions.emplace_back(question);
    return answer;
  }
  void Status(std::string_view text) override { status = text; }
  void ShowFrameNumber(int frame) override { framesShown.push_back(frame); }
  void RequestRedraw() override { ++redraws; }
  void Changed(unsigned what) override { changes.push_back(what); }
  // Every bit noticed since `changes` was last cleared.
  unsigned AllChanges() const {
    unsigned all = 0;
    for (unsigned c : changes)
      all |= c;
    return all;
  }

  bool answer = true;
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::string status;
  std::vector<int> framesShown;
  int redraws = 0;
  std::vector<unsigned> changes;
};

}  // namespace modra
