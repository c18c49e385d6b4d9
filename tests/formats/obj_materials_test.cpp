// The Wavefront material table: .mtl libraries, the built-in colours they
// replace, and the objects that materials become in the staging mesh.
#include "formats/import_test_util.h"
#include "formats/wavefront_materials.h"

namespace modra {
namespace {

using test::ExpectNear;

struct Row {
  std::string name;
  Vec3 diffuse, specular;
  float shininess;
};

std::vector<Row> Rows(const WavefrontMaterialTable& t) {
  std::vector<Row> rows;
  for (const WavefrontMaterial& m : t.entries)
    rows.push_back({m.name, m.diffuse, m.specular, m.shininess});
  return rows;
}

void ExpectRow(const WavefrontMaterial& m, const Row& want) {
  EXPECT_EQ(m.name, want.name);
  ExpectNear(m.diffuse, want.diffuse, 1e-6f);
  ExpectNear(m.specular, want.specular, 1e-6f);
  EXPECT_NEAR(m.shininess, want.shininess, 1e-6f) << m.name;
}

WavefrontMaterialTable Parse(std::string_view text) {
  WavefrontMaterialTable t;
  EXPECT_EQ(ParseWavefrontMaterials(t, text), 0);
  return t;
}

TEST(WavefrontMaterialLibrary, AMaterialIsStoredAtItsNsLine) {
  const WavefrontMaterialTable t = Parse(
      "# a library\n"
      "newmtl first\nKa 0.1 0.1 0.1\nKd 0.2 0.3 0.4\nKs 0.9 0.8 0.7\nd 1.0\nNs 10\nillum 2\n"
      "newmtl second\nKd 0.5 0.5 0.5\nNs 20\n"  // Ks carries over from first
      "newmtl never\nKd 0 0 0\nKs 0 0 0\n"      // no Ns: not stored
      "newmtl   third  trailing words\nNs\n"    // Kd/Ks of "never", Ns 15
      "newmtl\nNs 5\n");                        // an empty name
  ASSERT_EQ(t.entries.size(), 4u);
  ExpectRow(t.entries[0], {"first", {0.2f, 0.3f, 0.4f}, {0.9f, 0.8f, 0.7f}, 10});
  ExpectRow(t.entries[1], {"second", {0.5f, 0.5f, 0.5f}, {0.9f, 0.8f, 0.7f}, 20});
  ExpectRow(t.entries[2], {"third", {0, 0, 0}, {0, 0, 0}, 15});
  ExpectRow(t.entries[3], {"", {0, 0, 0}, {0, 0, 0}, 5});
}

TEST(WavefrontMaterialLibrary, LinesAreTestedAtTheirStartOnly) {
  const WavefrontMaterialTable t = Parse(
      " newmtl indented\n\tKd 0 0 0\nnewmtl a\nKd0.25 0.5 0.75\nNs 1\n"
      "newmtl b\nKd 0.5 x 0.7\nKs\t0.1\t0.2 0.3\nNs 2\n"
      "newmtl c\nKdx 0 0 0\nKs 0.1 0.2\nNs 3\n"
      "newmtl d\nKd 1e 0.5 0.25\nNs 4\n"
      "NS 9\nns 9\n");
  ASSERT_EQ(t.entries.size(), 4u);
  ExpectRow(t.entries[0], {"a", {0.25f, 0.5f, 0.75f}, {0.5f, 0.5f, 0.5f}, 1});
  // Reading stops at the first value that does not parse; the rest stay 1.
  ExpectRow(t.entries[1], {"b", {0.5f, 1, 1}, {0.1f, 0.2f, 0.3f}, 2});
  ExpectRow(t.entries[2], {"c", {1, 1, 1}, {0.1f, 0.2f, 1}, 3});
  // A dangling exponent mark is eaten with its number, as scanf does.
  ExpectRow(t.entries[3], {"d", {1, 0.5f, 0.25f}, {0.1f, 0.2f, 1}, 4});
}

TEST(WavefrontMaterialLibrary, NamesAreCutAtSeventyNineCharacters) {
  const std::string longName(100, 'n');
  const WavefrontMaterialTable t = Parse("newmtl " + longName + "\r\nNs 1\r\n");
  ASSERT_EQ(t.entries.size(), 1u);
  EXPECT_EQ(t.entries[0].name, longName.substr(0, 79));
  EXPECT_EQ(t.entries[0].shininess, 1.0f);
}

TEST(WavefrontMaterialLibrary, RealLibrariesLoad) {
  test::RecordedDocument r;
  ASSERT_EQ(LoadWavefrontMaterials(r.doc, test::ModelPath("obj/spider.mtl")), 0);
  ASSERT_EQ(r.doc.materials.entries.size(), 5u);
  ExpectRow(r.doc.materials.entries[0], {"Skin", {0.827451f, 0.792157f, 0.772549f}, {0, 0, 0}, 0});
  // Here Ns comes before Kd: the material keeps the values met before it.
  ASSERT_EQ(LoadWavefrontMaterials(r.doc, test::ModelPath("obj/empty_mat.mtl")), 0);
  ASSERT_EQ(r.doc.materials.entries.size(), 1u);
  ExpectRow(r.doc.materials.entries[0], {"", {1, 1, 1}, {0.5f, 0.5f, 0.5f}, 0});
  EXPECT_TRUE(r.shell.messages.empty());
}

TEST(WavefrontMaterialLibrary, AFailedLoadSaysSoAndKeepsTheTable) {
  test::RecordedDocument r;
  ASSERT_EQ(LoadWavefrontMaterials(r.doc, test::ModelPath("obj/spider.mtl")), 0);
  const std::vector<Row> before = Rows(r.doc.materials);
  const std::string missing = test::ModelPath("obj/missing.mtl");
  EXPECT_EQ(LoadWavefrontMaterials(r.doc, missing), -1);
  EXPECT_EQ(r.shell.messages, std::vector<std::string>{"Can't open " + missing + " for read"});
  ASSERT_EQ(r.doc.materials.entries.size(), before.size());
  EXPECT_EQ(r.doc.materials.entries[0].name, "Skin");
}

TEST(WavefrontMaterialLibrary, BuiltInColoursComeBack) {
  test::RecordedDocument r;
  ASSERT_EQ(LoadWavefrontMaterials(r.doc, test::ModelPath("obj/regr01.mtl")), 0);
  EXPECT_EQ(FindWavefrontMaterial(r.doc.materials, "red"), nullptr);
  ASSERT_EQ(InstallBuiltInMaterials(r.doc, true), 0);
  EXPECT_EQ(r.doc.materials.entries.size(), 10u);
  ASSERT_NE(FindWavefrontMaterial(r.doc.materials, "red"), nullptr);
  EXPECT_TRUE(r.shell.messages.empty());
}

TEST(WavefrontMaterialLibrary, TheFirstMaterialOfANameIsFound) {
  const WavefrontMaterialTable t = Parse("newmtl a\nKd 1 0 0\nNs 1\nnewmtl a\nKd 0 1 0\nNs 2\n");
  const WavefrontMaterial* m = FindWavefrontMaterial(t, "a");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->shininess, 1.0f);
  EXPECT_EQ(FindWavefrontMaterial(t, "A"), nullptr);
}

TEST(WavefrontMaterialObjects, AreMadeOnceAndTakeTheTablesValues) {
  Document doc;
  ASSERT_EQ(ParseWavefrontMaterials(doc.materials,
                                    "newmtl shiny\nKd 0.1 0.2 0.3\nKs 0.3 0.6 0.9\nNs 99\n"),
            0);
  EXPECT_EQ(UseWavefrontMaterial(doc, "shiny"), 0);
  EXPECT_EQ(UseWavefrontMaterial(doc, "dull"), 1);
  EXPECT_EQ(UseWavefrontMaterial(doc, "shiny"), 0);
  const std::vector<MeshObject>& o = doc.importMesh.objects;
  ASSERT_EQ(o.size(), 2u);
  EXPECT_EQ(o[0].name, "shiny");
  EXPECT_EQ(o[0].number, 0);
  ExpectNear(o[0].color, {0.1f, 0.2f, 0.3f}, 0);
  EXPECT_NEAR(o[0].specularLevel, 0.6f, 1e-6f);
  EXPECT_EQ(o[0].shininess, 99.0f);
  EXPECT_EQ(o[0].alpha, 1.0f);
  EXPECT_EQ(o[1].number, 1);
  ExpectNear(o[1].color, {-1, -1, -1}, 0);
  EXPECT_EQ(o[1].specularLevel, 0.5f);
  EXPECT_EQ(o[1].shininess, 15.0f);
}

TEST(WavefrontMaterialObjects, AModelReadAfterALibraryTakesItsColours) {
  Document doc;
  ASSERT_EQ(ParseWavefrontMaterials(doc.materials,
                                    "newmtl white\nKd 0.5 0.5 0.5\nNs 3\n"
                                    "newmtl hull\nKd 0 0.5 1\nNs 7\n"),
            0);
  ASSERT_EQ(ReadWavefrontBytes(doc, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nusemtl hull\nf 1 2 3\n"),
            0);
  const std::vector<MeshObject>& o = doc.importMesh.objects;
  ASSERT_EQ(o.size(), 2u);
  ExpectNear(o[0].color, {0.5f, 0.5f, 0.5f}, 0);
  ExpectNear(o[1].color, {0, 0.5f, 1}, 0);
  EXPECT_EQ(o[1].shininess, 7.0f);
}

}  // namespace
}  // namespace modra
