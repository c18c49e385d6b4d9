// What the core asks of whoever shows it: message boxes and yes/no
// questions, the status text, the animation bar's frame number and redraws.
// The GUI shows them in windows, the command line writes messages to
// stderr, and tests record them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modra {

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

  bool answer = true;
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::string status;
  std::vector<int> framesShown;
  int redraws = 0;
};

}  // namespace modra
