// The Open and Append commands around the readers: what a failure leaves
// behind, the modified flag, and which finishing steps a native file skips.
#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"
#include "nativefile/native_writer.h"
#include "test_util.h"

namespace modra {
namespace {

const std::string kBrokenModel = test::ModelPath("invalid/empty.3ds");

TEST(ImportCommands, AFailedOpenLeavesTheClearedSceneAndTheFlagAsItWas) {
  test::RecordedDocument r;
  test::AddTriangle(r.scene(), "old");
  r.doc.modified = true;
  OpenModelFile(r.doc, kBrokenModel);
  EXPECT_EQ(r.scene().rootHead, -1);
  EXPECT_TRUE(r.doc.modified);
  EXPECT_EQ(r.doc.name, kBrokenModel);
  EXPECT_EQ(r.shell.messages,
            std::vector<std::string>{"Can't decode " + kBrokenModel + " correctly\n"});
  EXPECT_TRUE(r.doc.importMesh.faces.empty());
  EXPECT_TRUE(r.doc.importMesh.parts.empty());

  OpenModelFile(r.doc, test::ModelPath("obj/box.obj"));
  EXPECT_FALSE(r.doc.modified);
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"None"});
}

TEST(ImportCommands, AFailedAppendKeepsTheSceneButMarksItModified) {
  test::RecordedDocument r;
  const int kept = test::AddTriangle(r.scene(), "kept");
  const std::vector<Vec3> before = test::WorldPositions(r.scene(), kept);
  AppendModelFile(r.doc, kBrokenModel);
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"kept"});
  test::ExpectSamePositions(test::WorldPositions(r.scene(), kept), before);
  EXPECT_TRUE(r.doc.modified);

  // An unknown extension says so and reads nothing.
  r.shell.messages.clear();
  AppendModelFile(r.doc, "model.Obj");
  EXPECT_EQ(r.shell.messages, std::vector<std::string>{"Unrecognized File Type"});
  EXPECT_EQ(test::Names(r.scene(), r.scene().rootHead), std::vector<std::string>{"kept"});
}

TEST(ImportCommands, NativeFilesKeepTheirOwnPlacementAndDisplayFlags) {
  test::TempDir dir;
  const std::string path = dir / "scene.knf";
  {
    test::RecordedDocument w;
    const int g = test::AddMesh(w.scene(), "offset", {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
    w.scene().groups[g].flags &= ~Enabled;
    ASSERT_EQ(WriteNativeFile(w.doc, path), 0);
  }
  test::RecordedDocument r;
  OpenModelFile(r.doc, path);
  ASSERT_EQ(r.doc.modelFileType, kNativeFile);
  const Scene& s = r.scene();
  // The header records keep their slots at the front of the top level.
  int live = -1;
  ForEachSibling(s, s.rootHead, [&](int g) {
    if (live == -1 && !(s.groups[g].flags & Deleted)) live = g;
  });
  ASSERT_NE(live, -1);
  const DisplayGroup& g = s.groups[live];
  // Neither sized, nor centred, nor switched on: the file is a scene, not a model.
  EXPECT_FALSE(g.flags & Enabled);
  EXPECT_FALSE(g.flags & NeedsCentering);
  test::ExpectNear(g.translation, {0, 0, 0});
  test::ExpectSamePositions(test::WorldPositions(s, live), {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
  // The box is still brought up to date.
  test::ExpectNear(g.bboxMin, {5, 5, 5});
  test::ExpectNear(g.bboxMax, {6, 6, 5});
  EXPECT_FALSE(r.doc.modified);
}

TEST(ImportCommands, OnlyTheGroupsJustReadAreCentred) {
  test::RecordedDocument r;
  const int old = test::AddMesh(r.scene(), "old", {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
  r.scene().groups[old].flags |= NeedsCentering;
  AppendModelFile(r.doc, test::ModelPath("obj/box.obj"));
  const Scene& s = r.scene();
  EXPECT_FALSE(s.groups[old].flags & NeedsCentering);
  test::ExpectNear(s.groups[old].translation, {0, 0, 0});
  test::ExpectSamePositions(test::WorldPositions(s, old), {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
  const int file = s.rootHead;
  ASSERT_EQ(s.groups[file].name, "box");
  const int part = s.groups[file].child;
  ASSERT_NE(part, -1);
  EXPECT_TRUE(s.groups[part].flags & NeedsCentering);
  EXPECT_TRUE(s.groups[part].flags & Enabled);
  EXPECT_EQ(s.selectedGroup, -1);
}

}  // namespace
}  // namespace modra
