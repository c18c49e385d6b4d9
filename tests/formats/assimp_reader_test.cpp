#include "formats/assimp_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "formats/import_test_util.h"

namespace modra {
namespace {

using test::Bytes;

Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// A square and a triangle standing on its edge: three triangles.
constexpr std::string_view kPly =
    "ply\n"
    "format ascii 1.0\n"
    "comment made by hand\n"
    "element vertex 5\n"
    "property float x\nproperty float y\nproperty float z\n"
    "element face 2\n"
    "property list uchar int vertex_indices\n"
    "end_header\n"
    "0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n"
    "4 0 1 2 3\n"
    "3 0 1 4\n";

constexpr std::string_view kAsciiStl =
    "solid wedge\n"
    " facet normal 0 0 1\n  outer loop\n"
    "   vertex 0 0 0\n   vertex 1 0 0\n   vertex 0 1 0\n"
    "  endloop\n endfacet\n"
    " facet normal 0 -1 0\n  outer loop\n"
    "   vertex 0 0 0\n   vertex 0 0 1\n   vertex 1 0 0\n"
    "  endloop\n endfacet\n"
    "endsolid wedge\n";

// Two quadrilaterals: "Body", red, and its child "Lid", green, lifted two
// along the file's z.
constexpr std::string_view kCollada = R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset><unit meter="1" name="meter"/><up_axis>Y_UP</up_axis></asset>
  <library_effects>
    <effect id="red-fx"><profile_COMMON><technique sid="common"><phong>
      <diffuse><color>0.8 0.1 0.2 1</color></diffuse></phong></technique></profile_COMMON></effect>
    <effect id="green-fx"><profile_COMMON><technique sid="common"><phong>
      <diffuse><color>0.1 0.7 0.3 1</color></diffuse></phong></technique></profile_COMMON></effect>
  </library_effects>
  <library_materials>
    <material id="red" name="red"><instance_effect url="#red-fx"/></material>
    <material id="green" name="green"><instance_effect url="#green-fx"/></material>
  </library_materials>
  <library_geometries>
    <geometry id="quad" name="quad"><mesh>
      <source id="quad-pos"><float_array id="quad-pos-array" count="12">0 0 0 1 0 0 1 1 0 0 1 0</float_array>
        <technique_common><accessor source="#quad-pos-array" count="4" stride="3">
          <param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/>
        </accessor></technique_common></source>
      <vertices id="quad-vtx"><input semantic="POSITION" source="#quad-pos"/></vertices>
      <polylist material="mat" count="1"><input semantic="VERTEX" source="#quad-vtx" offset="0"/>
        <vcount>4</vcount><p>0 1 2 3</p></polylist>
    </mesh></geometry>
  </library_geometries>
  <library_visual_scenes><visual_scene id="scene">
    <node id="Body" name="Body">
      <instance_geometry url="#quad"><bind_material><technique_common>
        <instance_material symbol="mat" target="#red"/></technique_common></bind_material></instance_geometry>
      <node id="Lid" name="Lid"><translate>0 0 2</translate>
        <instance_geometry url="#quad"><bind_material><technique_common>
          <instance_material symbol="mat" target="#green"/></technique_common></bind_material></instance_geometry>
      </node>
    </node>
  </visual_scene></library_visual_scenes>
  <scene><instance_visual_scene url="#scene"/></scene>
</COLLADA>
)";

void PutU32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A binary STL of `count` facets, each a triangle shifted one along x,
// whose header claims `claimed` facets.
Bytes BinaryStl(uint32_t count, uint32_t claimed) {
  Bytes b(80, ' ');
  PutU32(b, claimed);
  for (uint32_t t = 0; t < count; ++t) {
    const float values[12] = {0, 0, 1, float(t), 0, 0, float(t) + 1, 0, 0, float(t), 1, 0};
    for (float v : values)
      PutU32(b, std::bit_cast<uint32_t>(v));
    b.push_back(0);
    b.push_back(0);
  }
  return b;
}

struct Imported {
  test::TempDir dir;
  test::RecordedDocument d;
  Imported(const std::string& name, const Bytes& bytes) {
    test::WriteBytes(dir / name, bytes);
    EXPECT_EQ(ReadModelFile(d.doc, dir / name, false), 0);
    EXPECT_TRUE(d.shell.messages.empty());
  }
  const Scene& scene() { return d.scene(); }
  const DisplayGroup& group(const std::string& name) {
    const int g = test::FindGroup(d.scene(), name);
    EXPECT_NE(g, -1) << name;
    return d.scene().groups[g == -1 ? d.scene().rootHead : g];
  }
};

TEST(AssimpReader, PlyFacesAreTriangulatedIntoAGroupNamedAfterTheFile) {
  Imported i("square.ply", Text(kPly));
  EXPECT_EQ(test::Names(i.scene(), i.scene().rootHead), std::vector<std::string>{"square"});
  EXPECT_EQ(test::CountFaces(i.group("square")), (test::FaceCounts{3, 0, 9}));
  test::ExpectSizedAndCentred(i.scene());
}

TEST(AssimpReader, StlTextAndBinaryGiveTheirFacets) {
  {
    Imported i("piece.stl", Text(kAsciiStl));
    ASSERT_EQ(test::TopGroups(i.scene()).size(), 1u);
    const DisplayGroup& g = i.scene().groups[i.scene().rootHead];
    EXPECT_EQ(g.name, "wedge");
    EXPECT_EQ(test::CountFaces(g).triangles, 2);
  }
  {
    Imported i("strip.STL", BinaryStl(7, 7));
    EXPECT_EQ(test::Names(i.scene(), i.scene().rootHead), std::vector<std::string>{"strip"});
    EXPECT_EQ(test::CountFaces(i.group("strip")).triangles, 7);
    test::ExpectSizedAndCentred(i.scene());
  }
}

TEST(AssimpReader, ColladaNodesBecomeGroupsWithTheirColours) {
  Imported i("parts.dae", Text(kCollada));
  const DisplayGroup& body = i.group("Body");
  const DisplayGroup& lid = i.group("Lid");
  EXPECT_EQ(test::TopGroups(i.scene()).size(), 2u);
  EXPECT_EQ(test::CountFaces(body).triangles, 2);
  EXPECT_EQ(test::CountFaces(lid).triangles, 2);
  EXPECT_EQ(body.color, (Vec3{0.8f, 0.1f, 0.2f}));
  EXPECT_EQ(lid.color, (Vec3{0.1f, 0.7f, 0.3f}));
  // The child's own offset came through, its z negated into the scene's axes.
  EXPECT_NEAR(lid.translation[2] - body.translation[2], -2, 1e-5);
}

TEST(AssimpReader, OurOwnEndingsStayOurs) {
  for (const char* name : {"a.ply", "b.STL", "c.dae", "d.fbx", "dir.x/e.Ply"})
    EXPECT_TRUE(IsAssimpModelName(name)) << name;
  for (const char* name : {"a.obj", "b.3DS", "c.cob", "d.dxf", "e.knf", "f.gltf", "g.glb", "ply",
                           "h.txt", "i.png", "j.", "dir.ply/k"})
    EXPECT_FALSE(IsAssimpModelName(name)) << name;
}

// Damaged and truncated files of every kind: one message, nothing changed.
TEST(AssimpReader, DamagedAndTruncatedFilesAreRefused) {
  std::string ply(kPly), stl(kAsciiStl), dae(kCollada);
  const Bytes binary = BinaryStl(4, 4);
  struct Case {
    const char* name;
    Bytes bytes;
  };
  std::vector<Case> cases = {
      {"ply-cut.ply", Text(ply.substr(0, ply.size() - 8))},
      {"ply-index.ply", Text(std::string(kPly).replace(ply.find("3 0 1 4"), 7, "3 0 1 9"))},
      {"ply-header.ply", Text(ply.substr(0, ply.find("end_header")))},
      {"stl-cut.stl", Text(stl.substr(0, stl.find("endloop")))},
      {"stl-cut2.stl", Text(stl.substr(0, stl.rfind("endfacet")))},
      {"stl-bin-cut.stl", Bytes(binary.begin(), binary.end() - 20)},
      {"stl-bin-count.stl", BinaryStl(2, 9)},
      {"stl-header.stl", Bytes(binary.begin(), binary.begin() + 60)},
      {"dae-cut.dae", Text(dae.substr(0, dae.size() / 2))},
      {"dae-cut2.dae", Text(dae.substr(0, dae.find("</library_visual_scenes>")))},
      {"dae-index.dae", Text(std::string(kCollada).replace(dae.find("0 1 2 3<"), 7, "0 1 2 9"))},
      {"garbage.fbx", Text("not a model at all\n")},
      {"empty.ply", Bytes()},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / c.name;
    test::WriteBytes(path, c.bytes);
    test::ExpectRefused(path, "Can't decode " + path + " correctly\n");
  }
}

// Every prefix of a binary file and a sample of a text one: a clean
// refusal or a model, never a crash (the sanitizers watch the reads).
TEST(AssimpReader, EveryPrefixIsSafe) {
  const Bytes binary = BinaryStl(2, 2);
  const Bytes text = Text(kCollada);
  test::RecordedDocument d;
  Document& doc = d.doc;
  for (size_t n = 0; n < binary.size(); ++n) {
    EXPECT_EQ(ReadAssimpBytes(doc, {binary.data(), n}, "stl", "x"), -2) << n;
    EXPECT_TRUE(doc.importMesh.faces.empty());
  }
  for (size_t n = 0; n < text.size(); n += 37) {
    const int result = ReadAssimpBytes(doc, {text.data(), n}, "dae", "x");
    EXPECT_TRUE(result == -2 || result == 0) << n;
  }
}

}  // namespace
}  // namespace modra
