// Damaged Wavefront files: cut anywhere or bytes changed. Every one reads
// without touching memory it does not own, and the import's finishing
// steps survive what it staged.
#include <random>

#include "formats/import_dispatch.h"
#include "formats/import_test_util.h"
#include "formats/wavefront_materials.h"
#include "reader_harness.h"
#include "scene/bounds.h"

namespace modra {
namespace {

// Every keyword the reader knows, every corner form, fans, groups and materials.
constexpr std::string_view kSample =
    "# sample\r\n"
    "mtllib sample.mtl\n"
    "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
    "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
    "vn 0 0 1\nvn 0 0 -1\nvt 0 0\n"
    "g front back\nusemtl red\ns 1\n"
    "f 1//1 2//1 3//1 4//1\n"
    "f 8/1/2 7/1/2 6/1/2 5/1/2\n"
    "g sides\ns off\nusemtl nosuch blue\n"
    "f 1 5 6 2 3 7\n"
    "fo 4 3 7 8\n"
    "g\ns 2 3\nf 2 6 7\n"
    "g front\nf 4 8 5\n"
    "$ done";

// The import's finishing steps, as the dispatch runs them, on what was staged.
void Finish(Document& doc) {
  Scene& s = doc.scene;
  NormalizeMeshSize(doc.importMesh);
  AssignObjectsToParts(doc.importMesh);
  ASSERT_EQ(BuildGroupsFromMesh(doc, doc.importMesh, "sample.obj", false, false), 0);
  ResetImportMesh(doc.importMesh);
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (s.groups[g].flags & Deleted) return;
    s.groups[g].flags |= Enabled;
    CenterGroupGeometry(s, g);
    ComputeBoundingBox(s, g);
  });
}

TEST(ObjRobustness, EveryCutOfAFileReads) {
  for (const std::string& whole :
       {std::string(kSample), test::ReadText(test::ModelPath("obj/box.obj"))}) {
    Document all;
    ASSERT_EQ(ReadWavefrontBytes(all, whole), 0);
    size_t previous = 0;
    test::ForEachCut(whole, [&](const std::string& part, size_t) {
      Document doc;
      ASSERT_EQ(ReadWavefrontBytes(doc, part), 0);
      EXPECT_GE(doc.importMesh.faces.size(), previous);
      EXPECT_LE(doc.importMesh.faces.size(), all.importMesh.faces.size());
      previous = doc.importMesh.faces.size();
      Finish(doc);
    });
  }
}

// Bytes changed, biased towards the characters the reader acts on, cut or repeated.
std::string Corrupt(std::string text, std::mt19937& rng) {
  static constexpr std::string_view kTelling = "0123456789 /-+.eEx\n\r\tgfsvno#$pinaf";
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int i = 0; i < edits && !text.empty(); ++i) {
    const size_t at = rng() % text.size();
    const uint32_t kind = rng() % 5;
    if (kind == 0)
      text[at] = static_cast<char>(rng() % 256);
    else if (kind == 1)
      text[at] = kTelling[rng() % kTelling.size()];
    else if (kind == 2)
      text.erase(at, rng() % 16);
    else if (kind == 3)
      text.insert(at, text.substr(rng() % text.size(), rng() % 24));
    else
      text.insert(at, std::to_string(static_cast<int32_t>(rng())));
  }
  return text;
}

TEST(ObjRobustness, CorruptedFilesReadAndFinish) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 1500; ++round) {
    const std::string text = Corrupt(std::string(kSample), rng);
    SCOPED_TRACE(text);
    Document doc;
    ASSERT_EQ(ReadWavefrontBytes(doc, text), 0);
    for (const MeshFace& f : doc.importMesh.faces)
      for (int k = 0; k < f.cornerCount; ++k) {
        ASSERT_GE(f.cornerVertices[k], 1);
        ASSERT_LT(static_cast<size_t>(f.cornerVertices[k]), doc.importMesh.meshVertices.size());
      }
    Finish(doc);
  }
}

TEST(ObjRobustness, EveryFaceMayNameANewGroupAndMaterial) {
  std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (int i = 0; i < 2000; ++i) {
    const std::string n = std::to_string(i);
    text += "g g" + n + "\ns " + n + "\nusemtl m" + n + "\nf 1 2 3\n";
  }
  Document doc;
  ASSERT_EQ(ReadWavefrontBytes(doc, text), 0);
  EXPECT_EQ(doc.importMesh.parts.size(), 2000u);
  EXPECT_EQ(doc.importMesh.objects.size(), 2001u);
  EXPECT_EQ(doc.importMesh.parts[123].name, "g123");
  EXPECT_EQ(doc.importMesh.parts[123].entries.at(0).key, 123);
  EXPECT_EQ(doc.importMesh.faces[123].objectIndex, 124);
}

TEST(ObjRobustness, EveryCutAndCorruptionOfALibraryParses) {
  const std::string library = test::ReadText(test::ModelPath("obj/regr01.mtl"));
  WavefrontMaterialTable whole;
  ASSERT_EQ(ParseWavefrontMaterials(whole, library), 0);
  test::ForEachCut(library, [&](const std::string& part, size_t) {
    WavefrontMaterialTable t;
    ASSERT_EQ(ParseWavefrontMaterials(t, part), 0);
    EXPECT_LE(t.entries.size(), whole.entries.size());
  });
  std::mt19937 rng(7);
  for (int round = 0; round < 1000; ++round) {
    const std::string text = Corrupt(library, rng);
    WavefrontMaterialTable t;
    ASSERT_EQ(ParseWavefrontMaterials(t, text), 0);
    for (const WavefrontMaterial& m : t.entries)
      EXPECT_LE(m.name.size(), kMaxMaterialName);
  }
}

}  // namespace
}  // namespace modra
