// The texture panel's edits: which groups they reach, what each group
// keeps, and when a group gets the default mapping.
#include "edit/texture_edits.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace modra {
namespace {

using test::AddMesh;
using test::AddTriangle;

struct TextureEdits : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  EditLayer layer{rec.doc};
  int first = AddTriangle(s, "First");
  int second = AddMesh(s, "Second", {{0, 0, 0}, {4, 0, 0}, {0, 2, 0}});
  int unselected = AddTriangle(s, "Unselected");

  void SetUp() override {
    for (int g : {first, second})
      s.groups[g].flags |= Selected;
    s.selectedGroup = first;
    rec.doc.textures.entries = {{"Checker", "checker.ppm"}, {"Wood", "/t/wood.ppm"}};
  }
  // The u, v pair of every vertex of g.
  std::vector<std::array<float, 2>> Uvs(int g) {
    std::vector<std::array<float, 2>> out;
    const DisplayGroup& group = s.groups[g];
    const int stride = VertexStride(group);
    for (const DisplayPrimitive& p : group.primitives)
      for (size_t v = 0; v + stride <= p.vertices.size(); v += stride)
        out.push_back({p.vertices[v + stride - 2], p.vertices[v + stride - 1]});
    return out;
  }
};

TEST_F(TextureEdits, ParametersAreStoredIntoEverySelectedGroup) {
  s.groups[second].textureTransform = {9, 9, 9, 9, 9, 9, 9, 9, 9};
  const TextureParams p{{10, 20, 30}, {0.5f, -1, 2}, 3, 4};
  EXPECT_TRUE(SetTextureParams(layer, p));
  const std::array<float, 9> stored = {10, 20, 30, 0.5f, -1, 2, 3, 4, 1};
  EXPECT_EQ(s.groups[first].textureTransform, stored);
  EXPECT_EQ(s.groups[second].textureTransform, stored);
  EXPECT_EQ(s.groups[unselected].textureTransform, DisplayGroup{}.textureTransform);
  EXPECT_EQ(CurrentTextureParams(s).translation, p.translation);
  EXPECT_TRUE(rec.doc.modified);

  // The same values again are no edit.
  rec.doc.modified = false;
  rec.shell.changes.clear();
  EXPECT_FALSE(SetTextureParams(layer, p));
  EXPECT_FALSE(rec.doc.modified);
  EXPECT_TRUE(rec.shell.changes.empty());
}

TEST_F(TextureEdits, MappingUsesEachGroupsOwnParameters) {
  s.groups[second].textureTransform[6] = 2;  // u repeats twice
  ASSERT_EQ(MapSelectedGroups(layer, kPlanarMapping), 0);
  // Planar over each triangle's own box: u runs 0..su, v 0..sv.
  using Uv = std::vector<std::array<float, 2>>;
  EXPECT_EQ(Uvs(first), (Uv{{0, 0}, {1, 0}, {0, 1}}));
  EXPECT_EQ(Uvs(second), (Uv{{0, 0}, {2, 0}, {0, 1}}));
  EXPECT_FALSE(s.groups[unselected].flags & TexCoords);
  // Mapping gives coordinates, not a texture.
  EXPECT_FALSE(s.groups[first].flags & Textured);
}

TEST_F(TextureEdits, ChoosingATextureMapsOnlyGroupsNotYetTextured) {
  // `first` already textured with its own planar mapping, scaled after
  // the fact: the choice must keep those coordinates. `second` gets the
  // default (spherical for a mesh), which differs from planar.
  ASSERT_EQ(MapSelectedGroups(layer, kPlanarMapping), 0);
  s.groups[first].flags |= Textured;
  const auto planarFirst = Uvs(first);
  const auto planarSecond = Uvs(second);

  ASSERT_TRUE(ChooseTexture(layer, 1));
  for (int g : {first, second}) {
    EXPECT_EQ(s.groups[g].textureIndex, 1) << g;
    EXPECT_TRUE(s.groups[g].flags & Textured) << g;
  }
  EXPECT_EQ(Uvs(first), planarFirst);
  EXPECT_NE(Uvs(second), planarSecond);
  EXPECT_EQ(s.groups[unselected].textureIndex, 0);
  EXPECT_FALSE(s.groups[unselected].flags & Textured);

  // Switched on by Enable Textures without coordinates: mapped on choice.
  s.groups[second].flags |= Selected;
  s.groups[unselected].flags |= Selected;
  ASSERT_TRUE(SetTexturesEnabled(layer, true));
  EXPECT_FALSE(s.groups[unselected].flags & TexCoords);
  ASSERT_TRUE(ChooseTexture(layer, 0));
  EXPECT_TRUE(s.groups[unselected].flags & TexCoords);
  EXPECT_EQ(Uvs(first), planarFirst);

  // Outside the table, or nothing to change.
  rec.doc.modified = false;
  for (int index : {-1, 2, 100})
    EXPECT_FALSE(ChooseTexture(layer, index)) << index;
  EXPECT_FALSE(ChooseTexture(layer, 0));
  EXPECT_FALSE(rec.doc.modified);
}

}  // namespace
}  // namespace modra
