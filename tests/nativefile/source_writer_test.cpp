#include "nativefile/source_writer.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "anim/anim_util.h"
#include "nativefile/knf/knf.h"
#include "nativefile/native_test_util.h"

namespace modra {
namespace {

using test::ReadText;
using test::Siblings;

// The array that starts with `opening`, up to and including its "};\n\n".
std::string Block(const std::string& text, const std::string& opening) {
  size_t at = text.find(opening);
  if (at == std::string::npos) return "(missing: " + opening + ")";
  size_t end = text.find("};\n\n", at);
  return end == std::string::npos ? text.substr(at) : text.substr(at, end + 4 - at);
}

class SourceExport : public ::testing::Test {
 protected:
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.doc.scene;
  KeyStore& a = rec.doc.scene.anim;
  test::TempDir dir;

  std::string Export(const std::string& name = "scene.cpp") {
    const std::string path = dir / name;
    EXPECT_EQ(WriteSourceFile(doc, path), 0);
    EXPECT_TRUE(rec.shell.messages.empty());
    return ReadText(path);
  }
};

TEST_F(SourceExport, ArraysAreNamedByPrefixAndTableIndex) {
  // 0 live, 1 a deleted header slot, 2 a deleted unlinked slot, 3 live and empty.
  int a0 = test::AddTriangle(s, "A");
  int d1 = NewGroup(s, "header");
  int d2 = NewGroup(s, "unlinked");
  int b3 = NewGroup(s, "B");
  s.groups[d1].flags = s.groups[d2].flags = Deleted;
  s.groups[b3].flags = Enabled;
  Siblings(s, -1, {d1, a0, b3});

  const std::string text = Export("robot.v2.c");
  for (const char* name :
       {"static float robot_pts0_0[]={\n", "static KnfDisplayPrimitive robot_dp0[]={\n",
        "static KnfDisplayPrimitive robot_dp3[]={\n {0,0,(float *)0}\n};\n\n",
        "KnfDisplayGroup robot_display_group[]={\n", ",0,robot_dp3\n",
        "KnfInternalInfo robot_internal_info = {\n     robot_display_group\n"
        "    ,robot_tex_names\n    ,&robot_camera_view\n    ,robot_light\n"
        "    ,robot_key_info\n    ,robot_key_frame\n    ,robot_global_scene\n};\n"})
    EXPECT_NE(text.find(name), std::string::npos) << name;
  for (const char* absent : {"robot_pts1", "robot_dp1", "robot_dp2", "robot_pts3", "header"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  EXPECT_TRUE(text.ends_with("    ,robot_global_scene\n};\n"));  // the internal info ends it
  // The prefix is the file name cut at its first dot.
  EXPECT_EQ(SourcePrefix("/home/me/out.dir/robot.v2.c"), "robot");
  EXPECT_EQ(SourcePrefix("C:\\scenes\\robot.cpp"), "robot");
  EXPECT_EQ(SourcePrefix("noext"), "noext");
  // Names that would not compile as C names are mended.
  EXPECT_EQ(SourcePrefix("my model-2.cpp"), "my_model_2");
  EXPECT_EQ(SourcePrefix("3d.cpp"), "_3d");
  EXPECT_EQ(SourcePrefix("dir/.hidden.c"), "_");
}

// One record of each kind, exactly as written.
TEST_F(SourceExport, OneRecordOfEachKindAsWritten) {
  doc.textures.entries = {{"Checker", "checker.ppm"}, {"Wood", "/data/tex/wood.jpg"}};
  const int g = test::AddLayoutGroup(s, "Wheel \"L\"\\\n?\?=", VertexColors | TexCoords, kTriangles,
                                     1, 1.0f);
  DisplayGroup& w = s.groups[g];
  w.flags |= Selected | Textured | highlighted | NeedsCentering | drawAsBox;
  w.textureIndex = 1;
  w.bboxMin = {-1, -0.5f, 0};
  w.bboxMax = {1, 0.5f, 2.25f};
  w.color = {0.25f, 0.5f, 0.75f};
  w.alpha = 0.5f;
  w.specular = {0.1f, 0.2f, 0.3f};
  w.shininess = 64;
  for (int i = 0; i < 16; ++i)
    w.matrix[i] = 0.5f * i;
  w.center = {1, 2, 3};
  w.centerRotation = {0, 90, 0};
  w.rotation = {10, 20, 30};
  w.translation = {-1, -2, -3};
  w.scale = {2, 2, 2};
  // Values a compiler would refuse as "nanf" or "inff" are written as
  // numbers; the sign of zero stays as printf shows it.
  float* v = w.primitives[0].vertices.MutableData();
  v[0] = NAN, v[1] = INFINITY, v[2] = -0.0f;
  s.camera = {
      kCameraLookAt, g, {45, 1.333333f, 0.1f}, {10, -20, 0}, {0, 0, -4.33f}, {0.5f, 0, 0},
      {0, 1, 0},     {}};
  const Vec3 color = {1, 0.5f, 0.25f}, at = {-1.5f, 2, 3.25f}, way = {0, -0.707107f, 0.707107f};
  s.lights[1] = {kLightCone, color, at, way, 0.125f, 0.0625f, 1, 35.5f, 2};
  const int k = AddKey(a, 0, kKeyLightType);
  a.keys[k].owner = LightOwner(2);
  a.keys[k].mask = kStepMask;
  a.keys[k].values[0] = std::bit_cast<float>(int32_t{2});
  const int gone = NewGroup(s, "gone");
  s.groups[gone].flags = Deleted;
  a.keys[AddKey(a, 0, kKeyScale)].owner = gone;  // its group is gone: left out
  RebuildKeyFrameList(a);

  const std::string text = Export();
  const std::string header =
      "#include \"stdafx.h\"\n#include \"knf.h\"\n\n"
      "    /* Visual C++ requires this _DEBUG stuff! */\n\n"
      "#ifdef _DEBUG\n#define new DEBUG_NEW\n#undef THIS_FILE\n"
      "static char THIS_FILE[] = __FILE__;\n#endif\n\n"
      "char scene_tex_names[][MAX_TEX_NAME]={\n \"Wood\"\n,\"wood.jpg\"\n,\"\",\"\"};\n\n"
      "KnfCameraView scene_camera_view={\n"
      "     2,0,45.000000f,1.333333f,0.100000f\n"
      "     ,10.000000f,-20.000000f,0.000000f\n"
      "     ,0.000000f,0.000000f,-4.330000f\n"
      "     ,0.500000f,0.000000f,0.000000f\n"
      "     ,0.000000f,1.000000f,0.000000f\n};\n\n";
  EXPECT_EQ(text.substr(0, header.size()), header);
  EXPECT_NE(text.find("\n     ,{4,1.000000f,0.500000f,0.250000f\n"
                      "       ,-1.500000f,2.000000f,3.250000f\n"
                      "       ,0.000000f,-0.707107f,0.707107f\n"
                      "       ,0.125000f,0.062500f,1.000000f\n"
                      "       ,35.500000f,2.000000f}\n"),
            std::string::npos);
  EXPECT_NE(text.find("};\n\n"
                      "unsigned long scene_key_info_data0[]={\n     0x00000002};\n\n"
                      "KnfKeyInfo scene_key_info[]={\n"
                      "     {-98,4,0x80000000,0,(float*)scene_key_info_data0,-1}\n"
                      "    ,{-1,-1,0x00000000,0,(float*)0,-1}\n};\n\n"
                      "KnfKeyFrame scene_key_frame[]={\n     {0,0}\n    ,{-1,-1}\n};\n\n"),
            std::string::npos);
  EXPECT_EQ(Block(text, "static float scene_pts0_0"),
            "static float scene_pts0_0[]={\n"
            " 0.000000f,340282346638528859811704183484516925440.000000f,-0.000000f,1.750000f,"
            "2.000000f,2.250000f,2.500000f,2.750000f,3.000000f,3.250000f,3.500000f\n};\n\n");
  EXPECT_EQ(Block(text, "static KnfDisplayPrimitive scene_dp0"),
            "static KnfDisplayPrimitive scene_dp0[]={\n {0,1,scene_pts0_0}\n};\n\n");
  EXPECT_EQ(Block(text, "KnfDisplayGroup scene_display_group"),
            R"(KnfDisplayGroup scene_display_group[]={
 {"Wheel \"L\"\\\012?\?="
,0x1d,-1.000000f,-0.500000f,0.000000f, 1.000000f,0.500000f,2.250000f
,0.250000f,0.500000f,0.750000f,0.500000f,0.1000f,0.2000f,0.3000f,64.0000f
,1,scene_dp0
    ,0.000000f,0.500000f,1.000000f,1.500000f
    ,2.000000f,2.500000f,3.000000f,3.500000f
    ,4.000000f,4.500000f,5.000000f,5.500000f
    ,6.000000f,6.500000f,7.000000f,7.500000f
    ,1.000000f,2.000000f,3.000000f
    ,0.000000f,90.000000f,0.000000f
    ,10.000000f,20.000000f,30.000000f
    ,-1.000000f,-2.000000f,-3.000000f
    ,2.000000f,2.000000f,2.000000f
,-1,-1,0}
};

)");
}

TEST_F(SourceExport, TextureListHoldsUsedTexturesInWalkOrderCutToFit) {
  doc.textures.entries = {{"Checker", "checker.ppm"},
                          {"Wood", "/data/tex/wood.jpg"},
                          {"Stone \"grey\"", "C:\\tex\\stone.bmp"}};
  const int g1 = test::AddTriangle(s, "first"), g2 = test::AddTriangle(s, "second");
  const int g3 = test::AddTriangle(s, "third"), g4 = test::AddTriangle(s, "plain");
  Siblings(s, -1, {g1, g2, g3, g4});
  for (auto [g, t] : {std::pair{g1, 2}, {g2, 1}, {g3, 2}}) {
    s.groups[g].flags |= Textured;
    s.groups[g].textureIndex = t;
  }
  s.groups[g4].textureIndex = 1;  // not Textured: neither listed nor numbered

  const std::string text = Export();
  EXPECT_EQ(Block(text, "char scene_tex_names"),
            "char scene_tex_names[][MAX_TEX_NAME]={\n"
            " \"Stone \\\"grey\\\"\"\n,\"stone.bmp\"\n"
            ",\"Wood\"\n,\"wood.jpg\"\n"
            ",\"\",\"\"};\n\n");
  // Texture numbers close each group record: next, child, texture.
  EXPECT_NE(text.find("\n,1,-1,0}\n,{\"second\""), std::string::npos);
  EXPECT_NE(text.find("\n,2,-1,1}\n,{\"third\""), std::string::npos);
  EXPECT_NE(text.find("\n,3,-1,0}\n,{\"plain\""), std::string::npos);
  // Long names are cut to fit their array.
  doc.textures.entries[1] = {std::string(300, 'n'), "/tex/" + std::string(300, 'f') + ".ppm"};
  EXPECT_NE(Export().find("\n,\"" + std::string(MAX_TEX_NAME - 1, 'n') + "\"\n,\"" +
                          std::string(MAX_TEX_NAME - 1, 'f') + "\"\n,\"\",\"\"};"),
            std::string::npos);
}

TEST_F(SourceExport, WritesTheSceneAtFrameZero) {
  int g = test::AddTriangle(s, "moving");
  test::SetTranslationAt(doc, g, 10, {5, 0, 0});
  ASSERT_EQ(a.currentFrame, 10);
  const std::string text = Export();
  EXPECT_EQ(a.currentFrame, 0);
  EXPECT_EQ(s.groups[g].translation, (Vec3{0, 0, 0}));
  EXPECT_EQ(text.find("    ,5.000000f,0.000000f,0.000000f"), std::string::npos);
}

// Runs a shell command; its exit status, with what it printed in `output`.
int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;)
    output.append(buf, n);
  return pclose(pipe);
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

std::string Bits(float v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08xu", std::bit_cast<uint32_t>(v));
  return buf;
}

// A scene that uses every part of the format, exported and compiled into a
// program that checks what it sees through the records of knf.h.
TEST_F(SourceExport, ExportedSceneCompilesAndHoldsTheScene) {
  doc.textures.entries = {{"Checker", "checker.ppm"}, {"Wood grain", "/home/me/tex/wood.jpg"}};
  int lamp = test::AddLayoutGroup(s, "Lamp", VertexColors | TexCoords, kTriangles, 3, 1.0f);
  int hand = test::AddLayoutGroup(s, "Hand", VertexColors, kTriangleStrip, 4, 100.0f);
  int gone = NewGroup(s, "gone");
  int arm = test::AddLayoutGroup(s, "Arm", TexCoords, kQuads, 4, 10.0f);
  int body = test::AddLayoutGroup(s, "Body", 0, kTriangles, 6, -5.0f);
  int empty = NewGroup(s, "Empty");
  s.groups[gone].flags = Deleted;
  s.groups[empty].flags = Enabled;
  s.groups[lamp].flags |= Textured;
  s.groups[lamp].textureIndex = 1;
  // Body(Arm, Hand) Lamp Empty, with a deleted slot first among Body's
  // children: exports Body 0, Arm 1, Hand 2, Lamp 3, Empty 4.
  Siblings(s, -1, {body, lamp, empty});
  Siblings(s, body, {gone, arm, hand});
  s.global.background = {0.25f, 0.5f, 0.75f};

  // Animation: Arm moves; the camera looks at Hand and is keyed at 20.
  s.camera.mode = kCameraLookAt;
  s.camera.lookAtGroup = hand;
  RebuildCameraPath(s);
  test::SetTranslationAt(doc, arm, 10, {1, 2, 3});
  GoToFrame(doc, 20);
  EnsureKeyed(doc, kCameraOwner, kKeyCamera);
  StoreKey(doc, kCameraOwner, kKeyCamera);
  const int cameraKey = FindKey(a, 20, kCameraOwner, kKeyCamera);
  ASSERT_NE(cameraKey, -1);
  ASSERT_NE(hand, 2);  // so that a table index in place of the export number shows

  const std::string scene = dir / "robot.v2.cpp";
  ASSERT_EQ(WriteSourceFile(doc, scene), 0);
  const std::string driver = dir / "driver.cpp";
  std::ofstream(driver) << R"(#include "knf.h"
#include <cstdio>
#include <cstring>

extern KnfInternalInfo robot_internal_info;
static int failures = 0;
#define CHECK(c) do { if (!(c)) { std::printf("line %d: %s\n", __LINE__, #c); ++failures; } } while (0)

static const KnfKeyInfo* Find(const KnfInternalInfo* info, int frame, int owner, int kind) {
  for (int f = 0; info->keyFrames[f].frame != -1; ++f)
    if (info->keyFrames[f].frame == frame)
      for (int r = info->keyFrames[f].firstKey; r != -1; r = info->keyInfo[r].next)
        if (info->keyInfo[r].owner == owner && info->keyInfo[r].kind == kind) return &info->keyInfo[r];
  return 0;
}

int main() {
  const KnfInternalInfo* info = &robot_internal_info;
  const KnfDisplayGroup* g = info->groups;
  CHECK(g[0].child == 1 && g[1].next == 2 && g[2].next == -1 && g[1].child == -1);
  CHECK(g[0].next == 3 && g[3].next == 4 && g[4].next == -1 && g[4].child == -1);
  const char* names[] = {"Body", "Arm", "Hand", "Lamp", "Empty"};
  for (int i = 0; i < 5; ++i) CHECK(std::strcmp(g[i].name, names[i]) == 0);
  CHECK(g[0].flags == KNF_ENABLED && g[0].primitiveCount == 1);
  CHECK(g[0].primitives[0].vertexCount == 6 && g[0].primitives[0].vertices[5] == -3.75f);
  CHECK(g[1].flags == (KNF_ENABLED | KNF_TEX_COORDS));
  CHECK(g[1].primitives[0].type == 1 && g[1].primitives[0].vertices[7] == 11.75f);
  CHECK(g[2].primitives[0].type == 2 && g[2].primitives[0].vertices[35] == 108.75f);
  CHECK(g[3].flags == (KNF_ENABLED | KNF_TEXTURED | KNF_VERTEX_COLORS | KNF_TEX_COORDS));
  CHECK(g[3].primitives[0].vertices[10] == 3.5f && g[3].textureNumber == 0);
  CHECK(g[4].primitiveCount == 0 && g[4].primitives[0].vertices == 0);
  CHECK(std::strcmp(info->texNames[1], "wood.jpg") == 0 && info->texNames[2][0] == 0);
  CHECK(info->camera->mode == 2 && info->camera->lookAtGroup == 2);
  CHECK(info->globalScene[0].background[2] == 0.75f);
  CHECK(info->lights[8].type == )" +
                               std::to_string(s.lights[8].type) + R"();

  const KnfKeyInfo* move = Find(info, 10, 1, 1);
  CHECK(move != 0 && KnfKeyWord(move, 2) == 0x40400000u && KnfKeyValue(move, 1) == 2.0f);
  const KnfKeyInfo* look = Find(info, 20, -1, 3);
  CHECK(look != 0 && (look->mask & 3) == 2 && KnfKeyWord(look, 42) == 2);
  CHECK(look != 0 && KnfKeyWord(look, 5) == )" +
                               Bits(a.keys[cameraKey].values[5]) + R"();
  if (failures == 0) std::printf("all checks passed\n");
  return failures;
}
)";

  const std::string cxx = MODRA_CXX_COMPILER;
  const std::string include = "-I" + Quoted(std::string(MODRA_SOURCE_DIR) + "/src/nativefile/knf");
  const std::string program = dir / "driver";
  std::string output;
  ASSERT_EQ(RunCommand(cxx + " -std=c++17 -Wall -Wextra -Werror " + include + " -x c++ " +
                           Quoted(scene) + " " + Quoted(driver) + " -o " + Quoted(program),
                       output),
            0)
      << output;
  EXPECT_EQ(RunCommand(Quoted(program), output), 0) << output;
  EXPECT_EQ(output, "all checks passed\n");

  // The same text builds as C, with the header in its C form.
  EXPECT_EQ(RunCommand(cxx + " -x c -std=c99 -Wall -Wextra -Werror " + include + " -c " +
                           Quoted(scene) + " -o " + Quoted(dir / "scene_c.o"),
                       output),
            0)
      << output;
}

}  // namespace
}  // namespace modra
