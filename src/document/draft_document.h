// A document that nobody shows, to read a file into before the file may
// touch the user's scene. Open and Append read into a draft and hand its
// scene over only when the file read and holds something to draw, so a
// damaged or empty file leaves the user's document exactly as it was: its
// scene, name, modified flag and history.
#pragma once

#include <string_view>

#include "document/document.h"

namespace modra {

enum class DraftStart {
  kNewScene,   // as New leaves a scene (ResetScene): Open's start
  kSceneCopy,  // a copy of the document's scene: Append's start
};

class DraftDocument {
 public:
  // A draft of `doc`: it keeps what `doc` keeps across New and Open (the
  // texture and material tables, the import and display preferences, the
  // texture uploader) and speaks to the user through doc's shell; its
  // change notices and redraws reach nobody. `doc` must outlive it.
  DraftDocument(Document& doc, DraftStart start);
  // Unless taken, gives back the pictures of the textures the draft added,
  // which no table will hold.
  ~DraftDocument();
  DraftDocument(const DraftDocument&) = delete;
  DraftDocument& operator=(const DraftDocument&) = delete;

  Document& doc() { return draft_; }

  // `doc` takes the draft's scene, its views, its texture table and the
  // kind of file last read, with one notice of what that changed; the
  // draft is spent.
  void MoveInto(Document& doc);

 private:
  // Passes messages and questions on; keeps quiet about everything else.
  class Relay : public Shell {
   public:
    explicit Relay(Shell& to) : to_(to) {}
    void Message(std::string_view text) override { to_.Message(text); }
    bool Ask(std::string_view question) override { return to_.Ask(question); }

   private:
    Shell& to_;
  };

  Relay relay_;
  Document draft_;
  int texturesBefore_;
  bool taken_ = false;
};

}  // namespace modra
