// The File menu's commands as the editor runs them: every save asks before
// replacing a file, under the name it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/file_commands.h"
#include "edit/edit_session.h"
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

}  // namespace
}  // namespace modra
