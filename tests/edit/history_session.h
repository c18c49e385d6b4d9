// The undo tests' document: the demo scene with a history and an edit
// layer recording into it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "anim/playback.h"
#include "document/group_edit.h"
#include "edit/history.h"
#include "formats/import_dispatch.h"
#include "nativefile/native_writer.h"
#include "test_util.h"

namespace modra::test {

struct Session {
  RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.doc.scene;
  History history{doc};
  EditLayer layer{doc, &history};
  TempDir dir;

  Session() {
    EXPECT_EQ(OpenModelFile(doc, std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf"), 0);
    history.Clear();
  }
  // Saving shows frame 0, which is no step.
  Bytes Saved() {
    const std::string path = dir / "saved.knf";
    EXPECT_EQ(WriteNativeFile(doc, path), 0);
    history.Settle();
    return ReadBytes(path);
  }
  std::vector<int> TopLevel() const {
    std::vector<int> groups;
    ForEachSibling(s, s.rootHead, [&](int g) {
      if (IsLiveGroup(s, g)) groups.push_back(g);
    });
    return groups;
  }
  // The n-th top-level group (from the end when negative) as the only
  // selection, the way a click leaves it.
  int Select(std::vector<int> which) {
    DeselectAll(doc);
    const std::vector<int> top = TopLevel();
    for (int n : which) {
      const int g = top.at(n < 0 ? top.size() + n : n);
      s.groups[g].flags |= Selected | highlighted;
      s.selectedGroup = g;
    }
    return s.selectedGroup;
  }
  void Step(std::string_view name, const std::function<void()>& fn) { history.Record(name, fn); }
  // Showing a frame rewrites keyed values but is no edit.
  void GoTo(int frame) {
    GoToFrame(doc, frame);
    history.Settle();
  }
};

// True when the document holds exactly what the snapshot held.
inline bool Matches(DocumentMirror snapshot, const Document& doc) {
  return snapshot.TakeChanges(doc).Empty();
}

}  // namespace modra::test
