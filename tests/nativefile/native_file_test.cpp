// Saving and loading native scene files.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>

#include "document/group_edit.h"
#include "formats/import_dispatch.h"
#include "native_test_util.h"
#include "nativefile/native_format.h"
#include "nativefile/native_reader.h"
#include "nativefile/native_writer.h"
#include "reader_harness.h"
#include "scene/bounds.h"
#include "scene/camera_lights.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

using test::AddLayoutGroup;
using test::Normalized;
using test::ReadBytes;
using test::TempDir;

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, &b[at], 4);
  return v;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  std::memcpy(&b[at], &v, 4);
}

void Append32(std::vector<uint8_t>& b, uint32_t v) {
  b.resize(b.size() + 4);
  Put32(b, b.size() - 4, v);
}

// Where each record head of a version-3 file starts.
std::vector<size_t> RecordHeads(const std::vector<uint8_t>& b) {
  std::vector<size_t> heads;
  size_t at = kNativeMagicLine.size() + 8;
  for (uint32_t i = 0; i < Get32(b, kNativeMagicLine.size() + 4); ++i) {
    heads.push_back(at);
    at += kHeadSizeV3 + Get32(b, at + 48);
  }
  return heads;
}

// The same file as a machine of the other byte order writes it.
std::vector<uint8_t> Swapped(std::vector<uint8_t> b) {
  auto swap = [&](size_t at) { Put32(b, at, __builtin_bswap32(Get32(b, at))); };
  std::vector<size_t> heads = RecordHeads(b);
  swap(kNativeMagicLine.size());
  swap(kNativeMagicLine.size() + 4);
  for (size_t head : heads) {
    const uint32_t type = Get32(b, head + 40), payload = Get32(b, head + 48);
    for (size_t at = 0; at < kHeadSizeV3; at += 4)
      if (at < 56 || at >= 136) swap(head + at);
    size_t p = head + kHeadSizeV3, end = p + payload;
    if (type == kRecordTextureNames) {
      while (p < end) {
        uint32_t length = Get32(b, p);
        swap(p);
        p += 4 + length;
      }
    } else {
      for (; p < end; p += 4)
        swap(p);
    }
  }
  return b;
}

// A scene that uses every part of the format.
struct RichScene {
  Document doc;
  Scene& s = doc.scene;
  int a, a1, a2, b, c, e, f, gone, gone2;

  RichScene() {
    doc.textures.entries = {
        {"Checker", "checker.ppm"}, {"wood", "/far/away/wood.jpg"}, {"stone", "stone.bmp"}};
    f = AddLayoutGroup(s, "F", TexCoords, kTriangles, 3, 500);
    e = NewGroup(s, "E (empty)");
    s.groups[e].flags = Enabled;
    c = NewGroup(s, std::string(100, 'c'));
    b = AddLayoutGroup(s, "B", VertexColors | TexCoords, kQuadStrip, 4, 400);
    a2 = AddLayoutGroup(s, "A2", VertexColors, kTriangleStrip, 5, 300);
    gone2 = NewGroup(s, "deleted child");
    a1 = AddLayoutGroup(s, "A1", TexCoords, kQuads, 8, 200);
    gone = NewGroup(s, "deleted");
    a = AddLayoutGroup(s, "A", 0, kTriangles, 6, 100);
    // Top level: A, deleted, B, C, E; A(A1, deleted child, A2); E(F).
    test::Siblings(s, -1, {a, gone, b, c, e});
    test::Siblings(s, a, {a1, gone2, a2});
    test::Siblings(s, e, {f});
    s.groups[gone].flags = s.groups[gone2].flags = Deleted;

    s.groups[a1].flags |= Textured;
    s.groups[a1].textureIndex = 1;
    s.groups[f].flags |= Textured;
    s.groups[f].textureIndex = 1;
    s.groups[b].flags = (s.groups[b].flags | Textured) & ~Enabled;
    s.groups[b].textureIndex = 2;
    s.groups[b].kind = kKindCone;
    AllocGeneratorParams(s, b);
    for (size_t i = 0; i < 28; ++i)
      s.groups[b].generatorParams[i] = static_cast<uint8_t>(i * 7);
    SetMappingKind(s, b, 2);
    s.groups[c].kind = kKindExtrusion;
    SetVariableParamSize(s, c, 40);
    s.groups[c].generatorParams.resize(40, 9);
    SetMappingKind(s, c, 3);

    SetColor(s, a, 0.2f, 0.4f, 0.6f);
    SetSpecular(s, a1, 0.1f, 0.9f, 0.3f);
    SetShininess(s, a1, 77);
    s.groups[a2].alpha = 0.5f;
    s.groups[b].textureTransform = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    s.groups[a].center = {0.5f, 0, 0};
    s.groups[a].centerRotation = {0, 10, 0};
    s.groups[a].rotation = {5, 15, 25};
    s.groups[a].scale = {1, 2, 3};
    s.groups[a2].translation = {1, -2, 3};
    for (int g : {a, a1, a2, b, c, e, f}) {
      BuildGroupMatrix(s, g);
      ComputeBoundingBox(s, g);
    }

    s.lights[5].type = kLightCone;
    s.lights[5].color = {0.9f, 0.8f, 0.7f};
    s.lights[5].direction = {0, -1, 0};
    UpdateLightDirection(s, 5, 1);
    s.global.background = {0.3f, 0.2f, 0.1f};
    s.camera.mode = kCameraLookAt;
    s.camera.lookAtGroup = a2;
    s.camera.position = {1, 2, -6};
    s.camera.viewParams = {30, -12, 15};
    RebuildCameraPath(s);
    UpdateCameraTarget(s);

    // A moves at 10 and 20, and with it the camera; B's colour is keyed from
    // 20 on, so it holds before; light 3 goes off at 10.
    test::SetTranslationAt(doc, a, 10, {1, 0, 0});
    test::SetTranslationAt(doc, a, 20, {3, 1, 0});
    GoToFrame(doc, 20);
    EnsureKeyed(doc, b, kKeyColor);
    SetColor(s, b, 1, 0, 0);
    StoreKey(doc, b, kKeyColor);
    GoToFrame(doc, 10);
    EnsureKeyed(doc, LightOwner(3), kKeyLightType);
    s.lights[3].type = kLightOff;
    StoreKey(doc, LightOwner(3), kKeyLightType);
    GoToFrame0(doc);
  }
};

// What the rich scene looks like after a save: names are cut to 79 characters.
nlohmann::ordered_json Saved(const RichScene& rich) {
  nlohmann::ordered_json j = Normalized(rich.doc);
  for (auto& g : j["groups"]) {
    std::string name = g["name"];
    g["name"] = name.substr(0, 79);
  }
  return j;
}

struct NativeFile : ::testing::Test {
  TempDir dir;
  std::string path = dir / "scene.knf";
  test::RecordedDocument loaded;

  void SetUp() override { loaded.doc.textures = RichScene().doc.textures; }
  int Load(const std::string& p, bool append = false) {
    return ReadNativeFile(loaded.doc, p, append);
  }
  int LoadBytes(const std::vector<uint8_t>& bytes, bool append = false) {
    return ReadNativeBytes(loaded.doc, bytes, path, append);
  }
  // The rich scene saved at path, as bytes.
  std::vector<uint8_t> RichBytes() {
    RichScene rich;
    EXPECT_EQ(WriteNativeFile(rich.doc, path), 0);
    return ReadBytes(path);
  }
};

TEST_F(NativeFile, RoundTripKeepsTheWholeSceneAndItsAnimation) {
  RichScene rich;
  ASSERT_EQ(WriteNativeFile(rich.doc, path), 0);
  ASSERT_EQ(Load(path), 0);
  EXPECT_EQ(Normalized(loaded.doc), Saved(rich));
  EXPECT_TRUE(loaded.shell.messages.empty());

  // The file as a machine of the other byte order writes it loads the same.
  ASSERT_EQ(LoadBytes(Swapped(ReadBytes(path))), 0);
  EXPECT_EQ(Normalized(loaded.doc), Saved(rich));
  // Saving what was loaded writes the same bytes again.
  std::string again = dir / "again.knf";
  ASSERT_EQ(WriteNativeFile(loaded.doc, again), 0);
  EXPECT_EQ(ReadBytes(again), ReadBytes(path));
  // The header records stay at the front as deleted slots.
  const Scene& s = loaded.scene();
  EXPECT_EQ(s.rootHead, 0);
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(s.groups[r].flags, Deleted);
    EXPECT_EQ(s.groups[r].next, r + 1);
  }
  // The loaded animation plays between the key frames.
  int a = LiveGroupsInOrder(loaded.scene())[0];
  ASSERT_EQ(loaded.scene().groups[a].name, "A");
  for (int frame : {0, 5, 10, 15, 20, 30}) {
    Vec3 want = test::TranslationAt(rich.doc, rich.a, frame);
    test::ExpectNear(test::TranslationAt(loaded.doc, a, frame), want);
  }
  // B's colour holds red-free until frame 10 and only then turns.
  int b = LiveGroupsInOrder(loaded.scene())[4];
  GoToFrame(loaded.doc, 10);
  EXPECT_EQ(loaded.scene().groups[b].color, (Vec3{1, 1, 1}));
  // The camera still looks at A2 through its new index.
  const KnfCameraView& cam = loaded.scene().camera;
  EXPECT_EQ(loaded.scene().groups[cam.lookAtGroup].name, "A2");
  EXPECT_EQ(cam.lookAtPath.size(), 2u);

  // An empty scene saves and loads as one.
  Document empty;
  ASSERT_EQ(WriteNativeFile(empty, path), 0);
  ASSERT_EQ(Load(path), 0);
  EXPECT_TRUE(LiveGroupsInOrder(loaded.scene()).empty());
}

TEST_F(NativeFile, RecordsFollowTheLayout) {
  std::vector<uint8_t> b = RichBytes();
  ASSERT_EQ(std::string(b.begin(), b.begin() + 27), "Lon Kelmar's Native Format\n");
  EXPECT_EQ(Get32(b, 27), 3u);
  // Texture names, scene, animation, then the 7 live groups.
  EXPECT_EQ(Get32(b, 31), 10u);
  std::vector<size_t> heads = RecordHeads(b);
  ASSERT_EQ(heads.size(), 10u);
  const uint32_t types[] = {4, 6, 5, 0, 1, 2, 3, 0, 0, 1};
  for (size_t r = 0; r < heads.size(); ++r) {
    EXPECT_EQ(Get32(b, heads[r] + 40), types[r]) << r;
    EXPECT_EQ(Get32(b, heads[r] + 52), kRecordMagic) << r;
  }
  EXPECT_EQ(heads.back() + kHeadSizeV3 + Get32(b, heads.back() + 48), b.size());
  // A (record 3): next is B (6) past the deleted slot; first child A1 (4).
  EXPECT_EQ(Get32(b, heads[3] + 300), 6u);
  EXPECT_EQ(Get32(b, heads[3] + 304), 4u);
  // A's payload: one primitive word, 6 vertices of 24 bytes, no parameters.
  EXPECT_EQ(Get32(b, heads[3] + 48), 4u + 6 * 24);
  EXPECT_EQ(Get32(b, heads[3] + kHeadSizeV3), 6u);
}

TEST_F(NativeFile, TexturesAreFoundByNameAndNumberedInPreOrder) {
  Document doc;
  for (int t = 0; t < 121; ++t)
    doc.textures.entries.push_back({"tex" + std::to_string(t), "t" + std::to_string(t) + ".ppm"});
  int parent = NewGroup(doc.scene, "parent");
  for (int i = 0; i < 150; ++i) {
    int g = NewGroup(doc.scene, "child");
    test::MakeChild(doc.scene, g, parent);
    doc.scene.groups[g].flags = Enabled | Textured;
    doc.scene.groups[g].textureIndex = 1 + (149 - i) % 120;  // pre-order: 1, 2, ... 120, 1, ...
  }
  ASSERT_EQ(WriteNativeFile(doc, path), 0);
  std::vector<uint8_t> bytes = ReadBytes(path);
  EXPECT_EQ(Get32(bytes, RecordHeads(bytes)[0]), 99u);

  loaded.doc.textures = doc.textures;
  ASSERT_EQ(Load(path), 0);
  std::vector<int> order = LiveGroupsInOrder(loaded.scene());
  ASSERT_EQ(order.size(), 151u);
  for (size_t i = 1; i < order.size(); ++i) {
    int original = 1 + static_cast<int>(i - 1) % 120;
    int want = original <= 99 ? original : 1;  // textures past the 99th store number 0
    EXPECT_EQ(loaded.scene().groups[order[i]].textureIndex, want) << i;
  }
  EXPECT_EQ(loaded.doc.textures.entries.size(), 121u);  // all found by name: nothing loaded
}

TEST_F(NativeFile, AppendAddsTheFileUnderOneGroupAndIgnoresItsSettings) {
  RichScene rich;
  ASSERT_EQ(WriteNativeFile(rich.doc, path), 0);
  std::string robot = dir / "robot.v2.knf";
  std::filesystem::copy_file(path, robot);
  int mine = test::AddTriangle(loaded.scene(), "mine");
  ComputeBoundingBox(loaded.scene(), mine);
  auto before = SceneToJson(loaded.doc, false);

  ASSERT_EQ(Load(robot, true), 0);
  const Scene& s = loaded.scene();
  int wrapper = s.rootHead;
  EXPECT_EQ(s.groups[wrapper].name, "robot");
  EXPECT_EQ(s.groups[wrapper].flags, Enabled);
  EXPECT_EQ(s.groups[wrapper].next, mine);
  std::vector<std::string> names = test::Names(s, s.groups[wrapper].child);
  EXPECT_EQ(names.size(), 7u);  // three header slots, then A, B, C, E
  EXPECT_EQ(names[3], "A");
  auto after = SceneToJson(loaded.doc, false);
  for (const char* part : {"lights", "camera", "background", "keyFrames"})
    EXPECT_EQ(after[part], before[part]) << part;
  EXPECT_TRUE(loaded.shell.messages.empty());
}

TEST_F(NativeFile, CutsAreRefusedDamageIsSurvivedAndAppendKeepsTheScene) {
  const std::vector<uint8_t> whole = RichBytes();
  test::AddTriangle(loaded.scene(), "mine");
  const auto before = SceneToJson(loaded.doc, true);
  test::ForEachCut(whole,
                   [&](const test::Bytes& cut, size_t) { ASSERT_EQ(LoadBytes(cut, true), -2); });
  EXPECT_EQ(SceneToJson(loaded.doc, true), before);
  // Without append a file that fails once its records begin leaves an empty scene.
  EXPECT_EQ(LoadBytes({whole.begin(), whole.end() - 1}), -2);
  EXPECT_EQ(loaded.scene().rootHead, -1);
  EXPECT_TRUE(loaded.anim().keyFrameList.empty());
  int round = 0;
  test::ForEachDamage(whole, 1000, [&](const test::Bytes& bad) {
    const int result = LoadBytes(bad, ++round % 2 == 0);
    ASSERT_TRUE(result == 0 || result == -2) << result;
  });
}

TEST_F(NativeFile, LiesAboutCountsAndLinksAreRefused) {
  const std::vector<uint8_t> whole = RichBytes();
  const std::vector<size_t> heads = RecordHeads(whole);
  auto refused = [&](size_t at, uint32_t value, bool append = true) {
    std::vector<uint8_t> bad = whole;
    Put32(bad, at, value);
    return LoadBytes(bad, append) == -2;
  };
  EXPECT_TRUE(refused(31, 0x7fffffff));                          // record count
  EXPECT_TRUE(refused(heads[3] + 48, 0x7ffffff0));               // payload size
  EXPECT_TRUE(refused(heads[3] + 52, 0x12345678));               // record magic
  EXPECT_TRUE(refused(heads[3] + 300, 10));                      // next past the last record
  EXPECT_TRUE(refused(heads[3] + 304, -2u));                     // child
  EXPECT_TRUE(refused(heads[7] + 300, 3));                       // C's next loops back to A
  EXPECT_TRUE(refused(heads[3], 1000));                          // primitives beyond the payload
  EXPECT_TRUE(refused(heads[3] + kHeadSizeV3, (7u << 24) | 6));  // primitive type 7
  EXPECT_TRUE(refused(heads[0], 100000));                        // texture count
  EXPECT_TRUE(refused(heads[0] + kHeadSizeV3, 100000));          // string length
  // The animation is read only when the file replaces the scene.
  EXPECT_TRUE(refused(heads[2], 100000, false));                  // key frame count
  EXPECT_TRUE(refused(heads[2] + kHeadSizeV3 + 4, 1000, false));  // key count
  EXPECT_TRUE(refused(heads[2] + kHeadSizeV3 + 8, 10, false));    // key owner past the records
  EXPECT_EQ(LoadBytes(whole, true), 0);
}

// A version-2 record head: one specular level, everything after 8 bytes earlier.
std::vector<uint8_t> OldHead(int version, float level, float shininess) {
  std::vector<uint8_t> head(version == 1 ? kHeadSizeV1 : kHeadSizeV2, 0);
  auto f = [&](size_t at, float v) { std::memcpy(&head[at], &v, 4); };
  Put32(head, 0, 1);  // one primitive
  for (int i = 0; i < 4; ++i)
    f(8 + 4 * i, i < 3 ? 0.25f * (i + 1) : 1);  // colour and alpha
  if (version == 1) {
    Put32(head, 32, 2);  // colours, no texture coordinates
    return head;
  }
  f(24, level);
  f(28, shininess);
  Put32(head, 32, 0);           // layout 0
  Put32(head, 40, 4 + 3 * 24);  // payload
  Put32(head, 44, kRecordMagic);
  std::memcpy(&head[48], "old", 4);
  for (int i = 0; i < 4; ++i)
    f(132 + 20 * i, 1);  // identity matrix
  for (int i = 0; i < 3; ++i)
    f(244 + 4 * i, 1);  // scale
  Put32(head, 292, -1u);
  Put32(head, 296, -1u);
  return head;
}

std::vector<uint8_t> OldFile(int version, std::vector<std::vector<uint8_t>> records,
                             int vertexFloats) {
  std::vector<uint8_t> file(kNativeMagicLine.begin(), kNativeMagicLine.end());
  file.resize(file.size() + 8);
  Put32(file, 27, version);
  Put32(file, 31, static_cast<uint32_t>(records.size()));
  for (auto& head : records) {
    file.insert(file.end(), head.begin(), head.end());
    Append32(file, 3);
    for (int v = 0; v < 3 * vertexFloats; ++v)
      Append32(file, std::bit_cast<uint32_t>(static_cast<float>(v)));
  }
  return file;
}

TEST_F(NativeFile, UnknownVersionsArePassedOverAndOldOnesLoad) {
  test::AddTriangle(loaded.scene(), "mine");
  const auto before = SceneToJson(loaded.doc, true);
  std::vector<uint8_t> file(kNativeMagicLine.begin(), kNativeMagicLine.end());
  file.resize(file.size() + 8, 0);
  Put32(file, 27, 7);
  Put32(file, 31, 1);
  EXPECT_EQ(LoadBytes(file), 0);
  Put32(file, 27, __builtin_bswap32(7));
  EXPECT_EQ(LoadBytes(file), 0);
  EXPECT_EQ(SceneToJson(loaded.doc, true), before);
  EXPECT_TRUE(loaded.shell.messages.empty());

  // A wrong magic line is refused before anything changes.
  file[0] = 'X';
  EXPECT_EQ(LoadBytes(file), -2);
  EXPECT_EQ(SceneToJson(loaded.doc, true), before);

  // Version-2 heads load with their single specular level.
  std::vector<uint8_t> first = OldHead(2, 0.25f, 128);
  Put32(first, 292, 1);  // next: the second record
  ASSERT_EQ(LoadBytes(OldFile(2, {first, OldHead(2, 1.5f, 20)}, 6)), 0);
  std::vector<int> groups = LiveGroupsInOrder(loaded.scene());
  ASSERT_EQ(groups.size(), 2u);
  const DisplayGroup& good = loaded.scene().groups[groups[0]];
  EXPECT_EQ(good.name, "old");
  EXPECT_EQ(good.color, (Vec3{0.25f, 0.5f, 0.75f}));
  EXPECT_EQ(good.specular, (Vec3{0.25f, 0.25f, 0.25f}));
  EXPECT_EQ(good.shininess, 128);  // a bound counts as inside
  EXPECT_EQ(good.primitives[0].vertices[7], 7);
  const DisplayGroup& bad = loaded.scene().groups[groups[1]];
  EXPECT_EQ(bad.specular, (Vec3{0.5f, 0.5f, 0.5f}));  // a level above 1 falls back
  EXPECT_EQ(bad.shininess, 15);

  // Version-1 records are chained groups with vertex colours.
  ASSERT_EQ(LoadBytes(OldFile(1, {OldHead(1, 0, 0), OldHead(1, 0, 0)}, 9)), 0);
  const Scene& s = loaded.scene();
  groups = LiveGroupsInOrder(s);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(s.rootHead, groups[0]);
  EXPECT_EQ(s.groups[groups[0]].next, groups[1]);
  for (int g : groups) {
    EXPECT_EQ(s.groups[g].flags, Enabled | VertexColors);
    EXPECT_EQ(s.groups[g].primitives[0].type, kTriangles);
    EXPECT_EQ(s.groups[g].primitives[0].vertices.size(), 27u);
    EXPECT_EQ(s.groups[g].specular, (Vec3{0.5f, 0.5f, 0.5f}));
  }
  EXPECT_EQ(LoadBytes(OldFile(1, {OldHead(1, 0, 0)}, 8)), -2);  // a short vertex
}

TEST_F(NativeFile, KeysOfGroupsOutsideTheFileAreNotPinnedOnOthers) {
  test::RecordedDocument doc;
  Scene& s = doc.scene();
  int child = test::AddTriangle(s, "child");
  int parent = NewGroup(s, "parent");
  test::Siblings(s, -1, {parent});
  test::Siblings(s, parent, {child});
  test::SetTranslationAt(doc.doc, child, 10, {5, 0, 0});
  ASSERT_EQ(WriteNativeFile(doc.doc, path), 0);  // numbers child as a record
  // Cut the parent: the child's keys stay, but the child is on the clipboard.
  GoToFrame0(doc.doc);
  s.groups[parent].flags |= Selected;
  s.selectedGroup = parent;
  Cut(doc.doc);
  int other = test::AddTriangle(s, "other");
  ComputeBoundingBox(s, other);
  ASSERT_EQ(WriteNativeFile(doc.doc, path), 0);

  ASSERT_EQ(Load(path), 0);
  int loadedOther = LiveGroupsInOrder(loaded.scene())[0];
  EXPECT_EQ(loaded.scene().groups[loadedOther].name, "other");
  EXPECT_EQ(test::TranslationAt(loaded.doc, loadedOther, 10)[0], 0);
  EXPECT_EQ(FindOwnerKey(loaded.anim(), 10, loadedOther), -1);
}

TEST_F(NativeFile, OtherSectionVersionsAndUnknownOrUnlinkedRecords) {
  std::vector<uint8_t> b = RichBytes();
  std::vector<size_t> heads = RecordHeads(b);
  std::vector<uint8_t> unlinked = b;
  Put32(unlinked, heads[3] + 300, -1u);  // A no longer leads on to B, C and E
  ASSERT_EQ(LoadBytes(unlinked), 0);
  EXPECT_EQ(LiveGroupsInOrder(loaded.scene()).size(), 3u);  // A, A1, A2
  EXPECT_EQ(loaded.scene().groups[6].flags, Deleted);       // B's record: an empty slot

  Put32(b, heads[1] + 308, 4);
  Put32(b, heads[2] + 308, 2);
  ASSERT_EQ(LoadBytes(b), 0);
  EXPECT_EQ(loaded.shell.messages,
            (std::vector<std::string>{"scene version 4 in file not supported",
                                      "animation version 2 in file not supported"}));
  EXPECT_TRUE(loaded.anim().keyFrameList.empty());
  EXPECT_EQ(LiveGroupsInOrder(loaded.scene()).size(), 7u);

  Put32(b, heads[1] + 308, 2);  // a scene section without the background
  Put32(b, heads[7] + 40, 9);   // C becomes a record of unknown type...
  ASSERT_EQ(LoadBytes(b), 0);
  EXPECT_EQ(loaded.scene().global.background, (Vec3{0.1f, 0.1f, 0.4f}));
  EXPECT_EQ(loaded.scene().lights[5].type, kLightCone);
  EXPECT_EQ(loaded.scene().groups[7].flags, Deleted);
  // ...which a set top bit of its file flags keeps as an empty group.
  Put32(b, heads[7] + 136, kFileKeepUnknown);
  ASSERT_EQ(LoadBytes(b), 0);
  const DisplayGroup& kept = loaded.scene().groups[7];
  EXPECT_EQ(kept.flags, Enabled);
  EXPECT_EQ(kept.name, std::string(79, 'c'));
  EXPECT_TRUE(kept.primitives.empty());
}

TEST_F(NativeFile, TexturesAreSearchedForInTheTextureDirectories) {
  Document doc;
  doc.textures.entries = {{"Checker", "checker.ppm"},
                          {"brick", "/elsewhere/brick.ppm"},
                          {"gone", "/elsewhere/gone.ppm"}};
  for (int t : {1, 2}) {
    int g = test::AddTriangle(doc.scene, "g");
    doc.scene.groups[g].flags |= Textured;
    doc.scene.groups[g].textureIndex = t;
  }
  ASSERT_EQ(WriteNativeFile(doc, path), 0);
  std::filesystem::create_directory(dir.path / "textures");
  test::WriteText(dir / "textures/brick.ppm", "P6\n1 1\n255\n\x10\x20\x30");

  loaded.doc.textures = TextureTable{};
  loaded.doc.textures.entries = {{"Checker", "checker.ppm"}};
  SetTexturePath(loaded.doc.textures, "/nowhere;" + (dir / "textures"));
  ASSERT_EQ(Load(path), 0);
  ASSERT_EQ(loaded.doc.textures.entries.size(), 2u);
  EXPECT_EQ(loaded.doc.textures.entries[1].name, "brick");
  EXPECT_EQ(loaded.doc.textures.entries[1].path, dir / "textures" + "/brick.ppm");
  std::vector<int> groups = LiveGroupsInOrder(loaded.scene());
  EXPECT_EQ(loaded.scene().groups[groups[0]].textureIndex, 0);  // "gone": not found
  EXPECT_EQ(loaded.scene().groups[groups[1]].textureIndex, 1);
  EXPECT_EQ(loaded.shell.messages, (std::vector<std::string>{"Can't load \"gone\" texture"}));
}

TEST_F(NativeFile, TextureFileNamesNeverReachOutsideTheTextureDirectories) {
  Document doc;
  doc.textures.entries = {{"Checker", "checker.ppm"}, {"sneaky", "x.ppm"}};
  int g = test::AddTriangle(doc.scene, "g");
  doc.scene.groups[g].flags |= Textured;
  doc.scene.groups[g].textureIndex = 1;
  ASSERT_EQ(WriteNativeFile(doc, path), 0);
  // Rewrite the stored file name "x.ppm" as "../x.ppm".
  std::vector<uint8_t> b = ReadBytes(path);
  size_t head = RecordHeads(b)[0];
  size_t at = head + kHeadSizeV3 + 4 + Get32(b, head + kHeadSizeV3);  // second string
  std::vector<uint8_t> longer(b.begin(), b.begin() + at);
  const std::string name = "../x.ppm";
  Append32(longer, static_cast<uint32_t>(name.size() + 1));
  longer.insert(longer.end(), name.c_str(), name.c_str() + name.size() + 1);
  longer.insert(longer.end(), b.begin() + at + 4 + Get32(b, at), b.end());
  Put32(longer, head + 48, Get32(b, head + 48) + 3);
  // The image sits where only "../" from the texture directory reaches: not
  // in it, and not beside the scene file either (which is searched too).
  std::filesystem::create_directories(dir.path / "textures/inner");
  test::WriteText(dir / "textures/x.ppm", "P6\n1 1\n255\nabc");

  loaded.doc.textures = TextureTable{};
  loaded.doc.textures.entries = {{"Checker", "checker.ppm"}};
  SetTexturePath(loaded.doc.textures, dir / "textures/inner");
  ASSERT_EQ(LoadBytes(longer), 0);
  EXPECT_EQ(loaded.doc.textures.entries.size(), 1u);  // textures/inner/../x.ppm was not tried
}

TEST(NativeFileRanges, LongPrimitivesSplitWithoutLosingFacesOrWinding) {
  const size_t limit = kMaxFileVertexCount;
  EXPECT_EQ(FileRanges(kTriangles, 9), (std::vector<std::pair<size_t, size_t>>{{0, 9}}));
  auto tri = FileRanges(kTriangles, limit + 6);
  ASSERT_EQ(tri.size(), 2u);
  EXPECT_EQ(tri[0], std::make_pair(size_t{0}, limit));  // 2^24 - 1 is a multiple of 3
  EXPECT_EQ(tri[1], std::make_pair(limit, size_t{6}));
  auto quads = FileRanges(kQuads, limit + 5);
  EXPECT_EQ(quads[0].second % 4, 0u);
  EXPECT_EQ(quads[0].second + quads[1].second, limit + 5);
  auto strip = FileRanges(kTriangleStrip, 2 * limit);
  size_t covered = 0;
  for (size_t i = 0; i < strip.size(); ++i) {
    EXPECT_LE(strip[i].second, limit);
    EXPECT_EQ(strip[i].first % 2, 0u);  // every piece starts on an even vertex
    if (i > 0) {
      EXPECT_EQ(strip[i].first, strip[i - 1].first + strip[i - 1].second - 2);
    }
    covered = strip[i].first + strip[i].second;
  }
  EXPECT_EQ(covered, 2 * limit);
}

TEST(ModelFileTypes, TheEndOfTheNameChoosesTheReader) {
  test::RecordedDocument rec;
  EXPECT_EQ(GetModelFileType(rec.doc, "MODEL.OBJ"), kWavefrontFile);
  EXPECT_EQ(GetModelFileType(rec.doc, "a.3ds.1"), k3dStudioFile);
  EXPECT_EQ(GetModelFileType(rec.doc, "xdxf"), kDxfFile);  // no dot needed
  EXPECT_TRUE(rec.shell.messages.empty());
  EXPECT_EQ(GetModelFileType(rec.doc, "model.Obj"), -1);
  EXPECT_EQ(GetModelFileType(rec.doc, "ob"), -1);
  EXPECT_EQ(GetModelFileType(rec.doc, "a.knf.12"), -1);
  EXPECT_EQ(rec.shell.messages, (std::vector<std::string>(3, "Unrecognized File Type")));
}

}  // namespace
}  // namespace modra
