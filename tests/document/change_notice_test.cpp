// The change notices: which kinds of change each command reports, that a
// command sends one notice, and that one that changes nothing sends none.
#include <gtest/gtest.h>

#include <functional>

#include "anim/anim_util.h"
#include "anim/key_commands.h"
#include "anim/playback.h"
#include "document/animation_bar.h"
#include "document/file_names.h"
#include "document/group_edit.h"
#include "formats/import_test_util.h"

namespace modra {
namespace {

// Two top-level groups, A current and selected, A's translation keyed at
// frames 0 and 10; frame 0 shown, not modified, nothing noticed yet.
struct TwoGroups {
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.scene();
  int b = test::AddTriangle(s, "B");
  int a = test::AddTriangle(s, "A");

  TwoGroups() {
    test::SetTranslationAt(doc, a, 10, {1, 0, 0});
    GoToFrame(doc, 0);
    s.groups[a].flags |= Selected | highlighted;
    s.selectedGroup = a;
    SetModified(doc, false);
    rec.shell.changes.clear();
  }
};

using Step = std::function<void(TwoGroups&)>;
struct Case {
  const char* name;
  Step act;
  unsigned expected;                // 0: no notice at all
  Step before = [](TwoGroups&) {};  // its notices are not counted
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

constexpr unsigned kScene = kSceneChanged, kSelection = kSelectionChanged, kFrame = kFrameChanged,
                   kValues = kValuesChanged, kName = kNameChanged, kClipboard = kClipboardChanged;
void Frame10(TwoGroups& t) {
  GoToFrame(t.doc, 10);
}

const Case kCases[] = {
    {"Cut", [](TwoGroups& t) { Cut(t.doc); }, kScene | kSelection | kName | kClipboard},
    {"CutWithNothingCurrent", [](TwoGroups& t) { Cut(t.doc); }, 0,
     [](TwoGroups& t) { t.s.selectedGroup = -1; }},
    // Copying changes what Paste would add, not the document.
    {"Copy", [](TwoGroups& t) { Copy(t.doc); }, kClipboard},
    {"Paste", [](TwoGroups& t) { Paste(t.doc); }, kScene | kSelection | kName,
     [](TwoGroups& t) {
       Copy(t.doc);
       SetModified(t.doc, false);
     }},
    {"Group", [](TwoGroups& t) { GroupSelected(t.doc); }, kScene | kSelection | kName},
    {"ReverseNormals", [](TwoGroups& t) { ReverseNormals(t.doc); }, kScene | kName},
    {"SelectAll", [](TwoGroups& t) { SelectAll(t.doc); }, kSelection},
    {"SelectAllTwice", [](TwoGroups& t) { SelectAll(t.doc); }, 0,
     [](TwoGroups& t) { SelectAll(t.doc); }},
    {"DeselectAll", [](TwoGroups& t) { DeselectAll(t.doc); }, kSelection},
    {"DeselectAllWithNothingSelected", [](TwoGroups& t) { DeselectAll(t.doc); }, 0,
     [](TwoGroups& t) { DeselectAll(t.doc); }},
    {"DisableSelected", [](TwoGroups& t) { DisableSelected(t.doc); }, kScene | kSelection | kName},
    {"GoToFrame", [](TwoGroups& t) { GoToFrame(t.doc, 5); }, kFrame},
    {"GoToTheFrameShown", [](TwoGroups& t) { GoToFrame(t.doc, 0); }, 0},
    {"NextKeyFrame", [](TwoGroups& t) { GoToNextKeyFrame(t.doc); }, kFrame},
    {"StartPlayback", [](TwoGroups& t) { StartPlayback(t.doc); }, kFrame},
    {"StopPlaybackAtFrame0", [](TwoGroups& t) { StopPlayback(t.doc); }, kFrame,
     [](TwoGroups& t) { StartPlayback(t.doc); }},
    {"CopyKeyFrame", [](TwoGroups& t) { CutOrCopyKeyFrame(t.doc, false); }, kClipboard, Frame10},
    {"CutKeyFrame", [](TwoGroups& t) { CutOrCopyKeyFrame(t.doc, true); },
     kScene | kName | kClipboard, Frame10},
    // Frame 0 stays while other key frames exist: the cut only copies it.
    {"CutKeyFrameZero", [](TwoGroups& t) { CutOrCopyKeyFrame(t.doc, true); }, kClipboard},
    {"CopyKeyFrameWhereThereIsNone", [](TwoGroups& t) { CutOrCopyKeyFrame(t.doc, false); }, 0,
     [](TwoGroups& t) { GoToFrame(t.doc, 5); }},
    {"RemoveOwnerKeys", [](TwoGroups& t) { RemoveOwnerKeys(t.doc, t.a); }, kScene | kName},
    // The copies end at their own frames: the last one stays current.
    {"CopyRangeToRange", [](TwoGroups& t) { CopyRangeToRange(t.doc, 0, 10, 20); },
     kScene | kFrame | kName | kClipboard},
    {"ResetScene", [](TwoGroups& t) { ResetScene(t.doc, false); }, kScene | kSelection | kFrame},
    {"NewAfterAnEdit", [](TwoGroups& t) { NewDocument(t.doc); },
     kScene | kSelection | kFrame | kName | kClipboard,
     [](TwoGroups& t) {
       GoToFrame(t.doc, 3);
       Cut(t.doc);
     }},
    {"RenameInTheNameBox", [](TwoGroups& t) { EditNameBox(t.doc, "Arm"); },
     kValues | kScene | kName},
    {"RenameToTheSameName", [](TwoGroups& t) { EditNameBox(t.doc, "A"); }, 0},
    {"OpenAModel", [](TwoGroups& t) { OpenDocument(t.doc, test::ModelPath("obj/box.obj")); },
     kScene | kSelection | kName},
    // New and Open empty both clipboards.
    {"NewAfterCopies", [](TwoGroups& t) { NewDocument(t.doc); },
     kScene | kSelection | kFrame | kClipboard,
     [](TwoGroups& t) {
       Copy(t.doc);
       CutOrCopyKeyFrame(t.doc, false);
     }},
    {"OpenAfterACopy", [](TwoGroups& t) { OpenDocument(t.doc, test::ModelPath("obj/box.obj")); },
     kScene | kSelection | kName | kClipboard, [](TwoGroups& t) { Copy(t.doc); }},
    {"AppendAModelAtAFrame",
     [](TwoGroups& t) { AppendModelFile(t.doc, test::ModelPath("obj/box.obj")); },
     kScene | kSelection | kFrame | kName, [](TwoGroups& t) { GoToFrame(t.doc, 4); }},
    {"EditTheFrameBox", [](TwoGroups& t) { EditFrameBox(t.doc, "+"); }, kFrame},
};

struct ChangeNotices : ::testing::TestWithParam<Case> {};

TEST_P(ChangeNotices, OneNoticeWithWhatChanged) {
  TwoGroups t;
  GetParam().before(t);
  t.rec.shell.changes.clear();
  GetParam().act(t);
  const unsigned expected = GetParam().expected;
  EXPECT_EQ(t.rec.shell.changes,
            expected ? std::vector<unsigned>{expected} : std::vector<unsigned>{});
}

INSTANTIATE_TEST_SUITE_P(Commands, ChangeNotices, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChangeBatch, TheOutermostBatchSendsWhatTheInnerOnesGathered) {
  test::RecordedDocument r;
  {
    ChangeBatch outer(r.doc);
    {
      ChangeBatch inner(r.doc);
      NotifyChanged(r.doc, kFrameChanged);
    }
    EXPECT_TRUE(r.shell.changes.empty());
    NotifyChanged(r.doc, kSelectionChanged);
    NotifyChanged(r.doc, kFrameChanged);
  }
  EXPECT_EQ(r.shell.changes, (std::vector<unsigned>{kFrameChanged | kSelectionChanged}));

  r.shell.changes.clear();
  { ChangeBatch idle(r.doc); }
  NotifyChanged(r.doc, 0);
  EXPECT_TRUE(r.shell.changes.empty());
  NotifyChanged(r.doc, kValuesChanged);
  EXPECT_EQ(r.shell.changes, (std::vector<unsigned>{kValuesChanged}));
}

TEST(ChangeBatch, NameAndFlagNoticeOnlyWhenTheyChange) {
  test::RecordedDocument r;
  EXPECT_TRUE(r.shell.changes.empty()) << "a new document has told nobody anything";
  MarkModified(r.doc);
  MarkModified(r.doc);
  SetDocumentName(r.doc, kNewDocumentName);
  SetDocumentName(r.doc, "scene.knf");
  SetModified(r.doc, false);
  SetModified(r.doc, false);
  EXPECT_EQ(r.shell.changes, (std::vector<unsigned>{kSceneChanged | kNameChanged, kSceneChanged,
                                                    kNameChanged, kNameChanged}));
  EXPECT_EQ(r.doc.name, "scene.knf");
  EXPECT_FALSE(r.doc.modified);
}

TEST(ChangeNoticeCommands, OpenNamesTheDocumentAsANativeFileAndStartupKeepsThePath) {
  test::RecordedDocument r;
  const std::string model = test::ModelPath("obj/box.obj");
  OpenDocument(r.doc, model);
  EXPECT_EQ(r.doc.name, model.substr(0, model.size() - 4) + ".knf");
  EXPECT_FALSE(r.doc.modified);
  OpenModelFile(r.doc, model);
  EXPECT_EQ(r.doc.name, model);
}

TEST(ChangeNoticeCommands, StatusAndFrameNumbersStillReachTheShell) {
  TwoGroups t;
  GoToNextKeyFrame(t.doc);
  EXPECT_EQ(t.rec.shell.framesShown.back(), 10);
  DeselectAll(t.doc);
  EXPECT_EQ(t.rec.shell.status, kNothingSelected);
  EXPECT_GT(t.rec.shell.redraws, 0);
}

}  // namespace
}  // namespace modra
