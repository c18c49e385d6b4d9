// The `modra` command line, driven as a script would drive it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "geometry/ext_file.h"
#include "geometry/extrusion.h"
#include "geometry/surf_file.h"
#include "modra_runner.h"
#include "nativefile/native_reader.h"
#include "nativefile/native_test_util.h"
#include "nativefile/native_writer.h"
#include "scene/bounds.h"

namespace modra {
namespace {

using test::Modra;
using Result = test::CliRun;

struct CommandLine : ::testing::Test {
  test::TempDir dir;
  std::string scene = dir / "scene.knf";

  void SetUp() override {
    Document doc;
    doc.textures.entries = {{"Checker", "checker.ppm"}};
    int g = test::AddLayoutGroup(doc.scene, "Wing", TexCoords, kTriangles, 3, 1);
    doc.scene.groups[g].flags |= Textured;
    ComputeBoundingBox(doc.scene, g);
    test::SetTranslationAt(doc, g, 10, {2, 0, 0});
    ASSERT_EQ(WriteNativeFile(doc, scene), 0);
  }
};

TEST_F(CommandLine, DumpPrintsTheSceneAsJson) {
  Result run = Modra({"dump", scene});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  auto j = nlohmann::json::parse(run.out);
  ASSERT_EQ(j["groups"].size(), 1u);
  const auto& g = j["groups"][0];
  EXPECT_EQ(g["name"], "Wing");
  EXPECT_EQ(g["parent"], -1);
  EXPECT_EQ(g["flags"], Enabled | TexCoords | Textured);
  EXPECT_EQ(g["primitives"][0]["vertexCount"], 3);
  EXPECT_FALSE(g["primitives"][0].contains("vertices"));
  EXPECT_EQ(j["textures"][0]["name"], "Checker");
  EXPECT_EQ(j["keyFrames"].size(), 2u);
  EXPECT_EQ(j["keyFrames"][1]["frame"], 10);
  EXPECT_EQ(j["keyFrames"][0]["keys"][0]["span"], 10);
  EXPECT_EQ(g["translation"][0], 0);
  EXPECT_TRUE(g["alpha"].is_number_integer());  // whole numbers print as integers
  EXPECT_TRUE(g["primitives"][0]["vertexCount"].is_number_integer());

  Result geometry = Modra({"dump", scene, "--geometry", "--frame", "5"});
  ASSERT_EQ(geometry.status, 0);
  auto k = nlohmann::json::parse(geometry.out);
  EXPECT_EQ(k["groups"][0]["primitives"][0]["vertices"].size(), 24u);
  EXPECT_EQ(k["groups"][0]["primitives"][0]["vertices"][1], 1.25);
  EXPECT_NEAR(k["groups"][0]["translation"][0].get<double>(), 1, 1e-6);  // half way at frame 5
}

TEST_F(CommandLine, NamesInOtherEncodingsDumpAsUtf8AndKeepTheirBytes) {
  const std::string obj = dir / "l1.obj", knf = dir / "l1.knf";
  const std::string text = "g caf\xe9\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  test::WriteBytes(obj, {text.begin(), text.end()});
  ASSERT_EQ(Modra({"convert", obj, knf}).status, 0);
  for (const std::string& file : {obj, knf}) {
    Result run = Modra({"dump", file});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["groups"][0]["name"], "caf\u00e9");
  }
  Document doc;
  ASSERT_EQ(ReadNativeFile(doc, knf, false), 0);
  EXPECT_EQ(doc.scene.groups[LiveGroupsInOrder(doc.scene).at(0)].name, "caf\xe9");
  doc.textures.entries = {{"M\xfcnze", "d\xe9j\xe0.ppm"}};
  const nlohmann::json textures = nlohmann::json::parse(SceneToJson(doc, false).dump())["textures"];
  EXPECT_EQ(textures[0]["name"], "M\u00fcnze");
  EXPECT_EQ(textures[0]["path"], "d\u00e9j\u00e0.ppm");
}

TEST_F(CommandLine, ConvertWritesEveryFormatItsNameSays) {
  const std::string copy = dir / "copy.knf";
  Result convert = Modra({"convert", scene, copy});
  ASSERT_EQ(convert.status, 0) << convert.err;
  EXPECT_EQ(convert.out, "");
  EXPECT_EQ(Modra({"dump", copy, "--geometry"}).out, Modra({"dump", scene, "--geometry"}).out);
  Result source = Modra({"convert", scene, dir / "Wing.CPP"});
  ASSERT_EQ(source.status, 0) << source.err;
  std::vector<uint8_t> text = test::ReadBytes(dir / "Wing.CPP");
  EXPECT_NE(std::string(text.begin(), text.end()).find("KnfDisplayGroup Wing_display_group[]"),
            std::string::npos);
  Result gfx = Modra({"convert", scene, dir / "wing.gfx"});
  ASSERT_EQ(gfx.status, 0) << gfx.err;
  text = test::ReadBytes(dir / "wing.gfx");
  EXPECT_EQ(std::string(text.begin(), text.end()).rfind("skTexture texture0{\n", 0), 0u);

  Result failed = Modra({"convert", scene, dir / "no/such/dir/x.knf"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.err, "Can't open " + (dir / "no/such/dir/x.knf") +
                            " for write: No such file or directory\n");
}

TEST_F(CommandLine, ProfileFilesBecomeTheObjectTheyDescribe) {
  RecordingShell shell;
  ExtrusionProfile ext;
  ResetProfile(ext);
  ext.flags = kBevelFront;
  ext.depth = 0.3f;
  ext.bevelSize = 0.05f;
  ASSERT_EQ(WriteExtFile(ext, dir / "letter.ext", shell), 0);
  Result run = Modra({"dump", dir / "letter.ext"});
  ASSERT_EQ(run.status, 0) << run.err;
  auto j = nlohmann::json::parse(run.out);
  ASSERT_EQ(j["groups"].size(), 1u);
  EXPECT_EQ(j["groups"][0]["name"], "Extrusion");
  EXPECT_EQ(j["groups"][0]["kind"], kKindExtrusion);
  EXPECT_NEAR(j["groups"][0]["bboxMax"][2].get<double>(), 0.15, 1e-6);  // the depth, centred

  RevolutionProfile surf;
  surf.points = {0.5f, 0.5f, 0.5f, -0.5f, 0.2f, -0.5f, 0.2f, 0.5f};
  surf.corners = {1, 1, 1, 1};
  surf.selected = {0, 0, 0, 0};
  ASSERT_EQ(WriteSurfFile(surf, dir / "ring.surf", shell), 0);
  run = Modra({"dump", dir / "ring.surf"});
  ASSERT_EQ(run.status, 0) << run.err;
  j = nlohmann::json::parse(run.out);
  EXPECT_EQ(j["groups"][0]["name"], "Surface of Revolution");
  EXPECT_EQ(j["groups"][0]["kind"], kKindRevolution);
  EXPECT_EQ(j["groups"][0]["primitives"].size(), 4u);  // one strip per profile edge

  EXPECT_EQ(Modra({"convert", dir / "ring.surf", dir / "ring.knf"}).status, 0);
}

TEST_F(CommandLine, FailuresSayWhatWentWrong) {
  test::WriteText(dir / "junk.knf", "nope");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"dump", dir / "missing.knf"},
       1,
       "Can't open " + (dir / "missing.knf") + " for read: " + std::strerror(ENOENT) + "\n"},
      {{"dump", dir / "none.ext"},
       1,
       "Can't open " + (dir / "none.ext") + " for read: " + std::strerror(ENOENT) + "\n"},
      {{"dump", dir / "junk.knf"}, 1, "Can't decode " + (dir / "junk.knf") + " correctly\n"},
      {{"dump", dir / "model.xyz"}, 1, "Unrecognized File Type\n"},
  };
  for (const auto& c : cases) {
    const Result run = Modra(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[1];
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
  }
  Result run = Modra({"convert", scene, dir / "out.unknown"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("out.unknown"), std::string::npos);
  EXPECT_EQ(Modra({"dump", scene, "--frame", "10000"}).status, 2);
  EXPECT_EQ(Modra({"dump"}).status, 2);
  EXPECT_EQ(Modra({"--help"}).status, 0);
  EXPECT_NE(Modra({"--help"}).out.find("dump"), std::string::npos);
}

}  // namespace
}  // namespace modra
