// The shell of the command line: messages go to stderr, questions are
// answered Yes (nothing runs interactively), the rest is not shown.
#pragma once

#include <ostream>
#include <string_view>

#include "document/shell.h"

namespace modra {

class StderrShell : public Shell {
 public:
  explicit StderrShell(std::ostream& err) : err_(err) {}
  void Message(std::string_view text) override {
    err_ << text;
    if (text.empty() || text.back() != '\n') err_ << '\n';
  }
  bool Ask(std::string_view) override { return true; }

 private:
  std::ostream& err_;
};

}  // namespace modra
