// The File menu's commands as the editor runs them: every save asks before
// replacing a file, under the name it writes; an Open or Append that gives
// up leaves the document and its history as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/file_commands.h"
#include "edit/edit_session.h"
#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"
#include "nativefile/native_writer.h"
#include "test_util.h"

namespace modra {
namespace {

using Strings = std::vector<std::string>;

struct FileSession : ::testing::Test {
  test::TempDir dir;
  RecordingShell shell;
  EditSession session{shell};
  Document& doc = session.doc();

  int Run(CommandId id, const std::string& path) { return session.Run(id, TextArgs(path)); }
  // Asks and says nothing from here on unless told to.
  void Forget() {
    shell.messages.clear();
    shell.questions.clear();
  }
};

TEST_F(FileSession, EverySaveAsksOnceBeforeReplacingUnderTheNameItWrites) {
  ASSERT_EQ(session.Run(CommandId::kCreateBlock), 0);
  const struct {
    CommandId id;
    const char* ending;
  } kSaves[] = {
      {CommandId::kSaveAsSource, ".cpp"},
      {CommandId::kExportWavefront, ".obj"},
      {CommandId::kExportSkyloom, ".gfx"},
      {CommandId::kSaveAs, ".knf"},
  };
  for (const auto& save : kSaves) {
    SCOPED_TRACE(save.ending);
    const std::string typed = dir / "x", written = typed + save.ending;
    test::WriteText(written, "mine");
    const std::string name = doc.name;

    // Typed without its ending, or with it: one question about the file
    // really written, and No writes nothing.
    for (const std::string& chosen : {typed, written}) {
      Forget();
      shell.answer = false;
      EXPECT_EQ(Run(save.id, chosen), -1);
      EXPECT_EQ(shell.questions, Strings{ReplaceQuestion(written)});
      EXPECT_EQ(test::ReadText(written), "mine");
      EXPECT_TRUE(shell.messages.empty());
      EXPECT_EQ(doc.name, name);
    }
    Forget();
    shell.answer = true;
    EXPECT_EQ(Run(save.id, typed), 0);
    EXPECT_EQ(shell.questions, Strings{ReplaceQuestion(written)});
    EXPECT_NE(test::ReadText(written), "mine");

    // Nothing there: nothing to ask.
    Forget();
    EXPECT_EQ(Run(save.id, dir / (std::string("fresh") + save.ending)), 0);
    EXPECT_TRUE(shell.questions.empty());
  }
  // Save As made the file the document's, so Save writes it unasked.
  ASSERT_EQ(doc.name, dir / "fresh.knf");
  ASSERT_EQ(session.Run(CommandId::kCreateCone), 0);
  Forget();
  EXPECT_EQ(session.Run(CommandId::kSave), 0);
  EXPECT_TRUE(shell.questions.empty());
  EXPECT_FALSE(doc.modified);
}

// A file that is damaged, or holds nothing to draw, opened or appended:
// one message each, and the scene, its name, the unsaved mark and every
// step of the history stay, so Undo still takes back the last edit.
TEST_F(FileSession, OpenAndAppendThatGiveUpLeaveTheHistoryAlone) {
  const std::string whole = dir / "whole.knf", cut = dir / "cut.knf";
  {
    test::RecordedDocument w;
    test::AddTriangle(w.scene(), "theirs");
    ASSERT_EQ(WriteNativeFile(w.doc, whole), 0);
  }
  const test::Bytes bytes = test::ReadBytes(whole);
  test::WriteBytes(cut, test::Bytes(bytes.begin(), bytes.begin() + bytes.size() / 2));

  ASSERT_EQ(Run(CommandId::kOpen, test::ModelPath("obj/box.obj")), 0);
  ASSERT_EQ(session.Run(CommandId::kCreateCone), 0);
  const std::string name = doc.name, undo = session.UndoName();
  const size_t steps = session.history().StepCount();
  const std::vector<std::string> groups = test::Names(doc.scene, doc.scene.rootHead);
  ASSERT_TRUE(doc.modified);
  ASSERT_EQ(steps, 1u);

  for (const std::string& file : {cut, test::ModelPath("obj/point_cloud.obj")}) {
    SCOPED_TRACE(file);
    Forget();
    shell.changes.clear();
    EXPECT_EQ(Run(CommandId::kOpen, file), -1);
    EXPECT_EQ(Run(CommandId::kAppend, file), -1);
    EXPECT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(test::Names(doc.scene, doc.scene.rootHead), groups);
    EXPECT_EQ(doc.name, name);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(session.history().StepCount(), steps);
    EXPECT_EQ(session.UndoName(), undo);
    EXPECT_TRUE(shell.changes.empty());
  }
  EXPECT_EQ(shell.messages.back(), NothingToDrawMessage(test::ModelPath("obj/point_cloud.obj")));
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(test::Names(doc.scene, doc.scene.rootHead), Strings{"None"});
  EXPECT_FALSE(doc.modified);

  // The file whole opens and starts a history of its own.
  EXPECT_EQ(Run(CommandId::kOpen, whole), 0);
  EXPECT_FALSE(session.CanUndo() || session.CanRedo());
}

}  // namespace
}  // namespace modra
