// Keeping the user's work across the File menu: the erase and quit
// questions, Save's question before replacing a file the document did not
// come from, Save As making the written file the document, and failures
// that leave the document as it was.
#include "document/file_commands.h"

#include <gtest/gtest.h>

#include <utility>

#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"
#include "nativefile/native_writer.h"
#include "test_util.h"

namespace modra {
namespace {

using Strings = std::vector<std::string>;

constexpr char kCube[] =
    "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
    "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 5 1 4 8\n";

// A native file holding one group of the given name.
void WriteScene(const std::string& path, const std::string& group) {
  test::RecordedDocument w;
  test::AddTriangle(w.scene(), group);
  ASSERT_EQ(WriteNativeFile(w.doc, path), 0);
}

// The names of the groups a native file holds, newest first.
Strings GroupsIn(const std::string& path) {
  test::RecordedDocument r;
  if (OpenModelFile(r.doc, path) != 0) return {"unreadable"};
  Strings names;
  ForEachSibling(r.scene(), r.scene().rootHead, [&](int g) {
    if (IsLiveGroup(r.scene(), g)) names.push_back(r.scene().groups[g].name);
  });
  return names;
}

TEST(FileCommands, EraseAndQuitAskOnlyWhenWorkIsUnsaved) {
  test::RecordedDocument r;
  test::AddTriangle(r.scene(), "work");
  r.shell.answer = false;
  EXPECT_TRUE(MayEraseScene(r.doc));
  EXPECT_TRUE(MayQuit(r.doc));
  EXPECT_TRUE(r.shell.questions.empty());

  MarkModified(r.doc);
  EXPECT_FALSE(MayEraseScene(r.doc));
  EXPECT_FALSE(MayQuit(r.doc));
  EXPECT_EQ(r.shell.questions,
            (Strings{"The current scene has not been saved.  Is it ok to erase it?",
                     "The current scene has not been saved.  Is it ok to quit without saving?"}));
  // No leaves everything as it was.
  EXPECT_TRUE(r.doc.modified);
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), Strings{"work"});
  r.shell.answer = true;
  EXPECT_TRUE(MayEraseScene(r.doc));
  EXPECT_TRUE(MayQuit(r.doc));
}

// The model's native namesake may be another scene of the user's: the
// first Save asks, and No writes nothing.
TEST(FileCommands, SaveAsksBeforeReplacingTheNamesakeOfAnOpenedModel) {
  test::TempDir dir;
  const std::string model = dir / "model.obj", native = dir / "model.knf";
  test::WriteText(model, kCube);
  WriteScene(native, "Keep me");
  const test::Bytes kept = test::ReadBytes(native);

  test::RecordedDocument r;
  ASSERT_EQ(OpenDocument(r.doc, model), 0);
  ASSERT_EQ(r.doc.name, native);
  EXPECT_TRUE(r.doc.needsOverwriteCheck);
  r.shell.answer = false;
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kDeclined);
  EXPECT_EQ(r.shell.questions, Strings{native + " already exists.  Is it ok to replace it?"});
  EXPECT_EQ(test::ReadBytes(native), kept);
  EXPECT_TRUE(r.doc.needsOverwriteCheck);
  EXPECT_TRUE(r.shell.messages.empty());

  MarkModified(r.doc);
  r.shell.answer = true;
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kSaved);
  EXPECT_EQ(GroupsIn(native), Strings{"None"});  // the cube, as the reader names it
  EXPECT_FALSE(r.doc.modified);
  EXPECT_FALSE(r.doc.needsOverwriteCheck);
  // Once saved, the file is the document's own: no more asking.
  r.shell.questions.clear();
  r.shell.answer = false;
  MarkModified(r.doc);
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kSaved);
  EXPECT_TRUE(r.shell.questions.empty());
  EXPECT_FALSE(r.doc.modified);
}

TEST(FileCommands, SaveAsksOnlyWhenTheNameMayBelongToAnotherFile) {
  test::TempDir dir;
  const std::string scene = dir / "scene.knf", model = dir / "lone.obj";
  WriteScene(scene, "Mine");
  test::WriteText(model, kCube);

  // A native file that loaded is written back without a question.
  test::RecordedDocument r;
  r.shell.answer = false;
  ASSERT_EQ(OpenDocument(r.doc, scene), 0);
  EXPECT_FALSE(r.doc.needsOverwriteCheck);
  test::AddTriangle(r.scene(), "Added");
  MarkModified(r.doc);
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kSaved);
  EXPECT_EQ(GroupsIn(scene), (Strings{"Added", "Mine"}));

  // A model with no namesake yet: nothing to replace, nothing to ask.
  ASSERT_EQ(OpenDocument(r.doc, model), 0);
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kSaved);
  EXPECT_EQ(GroupsIn(dir / "lone.knf"), Strings{"None"});
  EXPECT_TRUE(r.shell.questions.empty());

  // A failed or refused open leaves the document its own name, which it
  // still writes unasked; the broken file is left for the user to look at.
  for (const auto& [file, contents] :
       {std::pair{"broken.knf", "not a scene"}, std::pair{"notes.txt", "hello"}}) {
    test::WriteText(dir / file, contents);
    EXPECT_EQ(OpenDocument(r.doc, dir / file), -1);
    EXPECT_EQ(r.doc.name, dir / "lone.knf");
    EXPECT_FALSE(r.doc.needsOverwriteCheck) << file;
    EXPECT_EQ(test::ReadText(dir / file), contents);
  }
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kSaved);

  // Another case of the ending is another file.
  const std::string upper = dir / "upper.KNF", name = dir / "upper.knf";
  WriteScene(upper, "Upper");
  WriteScene(name, "Namesake");
  ASSERT_EQ(OpenDocument(r.doc, upper), 0);
  EXPECT_EQ(r.doc.name, name);
  EXPECT_TRUE(r.doc.needsOverwriteCheck);
  r.shell.questions.clear();
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kDeclined);
  EXPECT_EQ(r.shell.questions, Strings{name + " already exists.  Is it ok to replace it?"});

  // A new scene's name is nobody's file yet either.
  NewDocument(r.doc);
  EXPECT_EQ(r.doc.name, kNewDocumentName);
  EXPECT_TRUE(r.doc.needsOverwriteCheck);
}

// After Save As the next Save goes to the file just written, never back
// over the one the user meant to keep.
TEST(FileCommands, SaveAsMakesTheWrittenFileTheDocument) {
  test::TempDir dir;
  const std::string original = dir / "original.knf";
  WriteScene(original, "First");
  const test::Bytes kept = test::ReadBytes(original);

  test::RecordedDocument r;
  ASSERT_EQ(OpenDocument(r.doc, original), 0);
  test::AddTriangle(r.scene(), "Second");
  MarkModified(r.doc);
  r.shell.changes.clear();
  EXPECT_EQ(SaveDocumentAs(r.doc, dir / "copy"), SaveResult::kSaved);
  EXPECT_EQ(r.doc.name, dir / "copy.knf");
  EXPECT_FALSE(r.doc.modified);
  EXPECT_FALSE(r.doc.needsOverwriteCheck);
  EXPECT_TRUE(r.shell.AllChanges() & kNameChanged);  // the title follows
  EXPECT_EQ(GroupsIn(dir / "copy.knf"), (Strings{"Second", "First"}));

  test::AddTriangle(r.scene(), "Third");
  MarkModified(r.doc);
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kSaved);
  EXPECT_EQ(GroupsIn(dir / "copy.knf"), (Strings{"Third", "Second", "First"}));
  EXPECT_EQ(test::ReadBytes(original), kept);
  // The ending is kept as typed when it is there in any case.
  EXPECT_EQ(SaveDocumentAs(r.doc, dir / "Shout.KNF"), SaveResult::kSaved);
  EXPECT_EQ(r.doc.name, dir / "Shout.KNF");
  EXPECT_TRUE(r.shell.questions.empty());
}

TEST(FileCommands, AFailedSaveSaysSoAndKeepsTheWorkUnsaved) {
  test::TempDir dir;
  const std::string missing = dir / "no-such-folder/scene.knf";
  test::RecordedDocument r;
  test::AddTriangle(r.scene(), "work");
  SetDocumentName(r.doc, missing);
  MarkModified(r.doc);
  EXPECT_EQ(SaveDocument(r.doc), SaveResult::kFailed);
  EXPECT_EQ(r.shell.messages,
            Strings{"Can't open " + missing + " for write: No such file or directory"});
  EXPECT_TRUE(r.doc.modified);
  EXPECT_EQ(r.doc.name, missing);

  // Save As to a place that cannot be written keeps the old name too.
  SetDocumentName(r.doc, dir / "kept.knf");
  r.doc.needsOverwriteCheck = false;
  EXPECT_EQ(SaveDocumentAs(r.doc, dir / "no-such-folder/other"), SaveResult::kFailed);
  EXPECT_EQ(r.shell.messages.back(), "Can't open " + (dir / "no-such-folder/other.knf") +
                                         " for write: No such file or directory");
  EXPECT_EQ(r.doc.name, dir / "kept.knf");
  EXPECT_TRUE(r.doc.modified);
  EXPECT_FALSE(r.doc.needsOverwriteCheck);
  EXPECT_EQ(dir.Entries(), 0);  // nothing half-written left behind
}

}  // namespace
}  // namespace modra
