// Resolution and size parameters as the panel and the resolution dialog use
// them, and blocks typed by hand held to their ranges.
#include "geometry/primitive_params.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "geometry/primitive_fields.h"
#include "geometry/primitive_test_util.h"
#include "geometry/primitives.h"
#include "geometry/regenerate.h"
#include "geometry/revolution.h"
#include "test_util.h"

namespace modra {
namespace {

using Labels = std::array<std::string, kMaxResolutionParams>;
using Values = std::array<int, kMaxResolutionParams>;
using test::Repeat;
using test::Shapes;

// Each button makes a selected group in front, and what the resolution dialog
// shows for it is what it writes back.
TEST(CreatePrimitives, EveryButtonMakesASelectedGroupThatShowsItsResolutions) {
  const std::pair<int (*)(Document&), int32_t> buttons[] = {
      {CreateRectangle, kKindRectangle}, {CreateBlock, kKindBlock},
      {CreateCone, kKindCone},           {CreateRoundedCone, kKindRoundedCone},
      {CreateTube, kKindTube},           {CreateCylinder, kKindCylinder},
      {CreateTorus, kKindTorus},         {CreateSphere1, kKindSphere},
      {CreateSphere2, kKindSphere2}};
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  int previous = -1;
  for (const auto& [create, kind] : buttons) {
    SCOPED_TRACE(kind);
    rec.doc.modified = false;
    const int g = create(rec.doc);
    ASSERT_GE(g, 0);
    const DisplayGroup& group = s.groups[g];
    EXPECT_EQ(group.flags, 67u);
    EXPECT_EQ(group.kind, kind);
    EXPECT_EQ(s.selectedGroup, g);
    EXPECT_EQ(s.rootHead, g);
    EXPECT_EQ(group.next, previous);
    EXPECT_TRUE(rec.doc.modified);
    EXPECT_GT(group.bboxMax[0], group.bboxMin[0]);
    previous = g;
    Labels labels;
    Values values;
    const int n = GetResolutionParams(s, g, labels, values);
    ASSERT_GE(n, 1);
    for (int i = 0; i < n; ++i)
      EXPECT_FALSE(labels[i].empty());
    const std::vector<float> before = test::AllFloats(group);
    const Values shown = values;
    SetResolutionParams(rec.doc, g, values);
    EXPECT_EQ(values, shown);
    EXPECT_EQ(test::AllFloats(group), before);
  }
  // The previous groups keep their own flags: clearing them is the panel's.
  EXPECT_EQ(s.groups[previous].flags, 67u);
}

TEST(ResolutionParams, KindsWithoutResolutionsReportNone) {
  Scene s;
  Labels labels;
  Values values;
  const int mesh = test::AddTriangle(s, "mesh");
  EXPECT_EQ(GetResolutionParams(s, mesh, labels, values), 0);
  const int surface = NewGroup(s, "surface");
  s.groups[surface].kind = kKindRevolution;
  SetVariableParamSize(s, surface, 64);
  EXPECT_EQ(GetResolutionParams(s, surface, labels, values), 0);
  EXPECT_EQ(GetResolutionParams(s, 99, labels, values), 0);
  // A primitive whose block lost its tail has nothing to show either.
  const int cone = NewGroup(s, "cone");
  s.groups[cone].kind = kKindCone;
  s.groups[cone].generatorParams.resize(12);
  EXPECT_EQ(GetResolutionParams(s, cone, labels, values), 0);
  // and setting them leaves such groups alone
  Document doc;
  const int other = test::AddTriangle(doc.scene, "mesh");
  values = {7, 7, 7, 7};
  SetResolutionParams(doc, other, values);
  EXPECT_EQ(values, (Values{7, 7, 7, 7}));
  EXPECT_FALSE(doc.modified);
}

TEST(ResolutionParams, SetClampsWritesBackRebuildsAndMarksModified) {
  Document doc;
  const int g = CreateCone(doc);
  doc.modified = false;
  Values values = {3, 101, 0, 7};
  SetResolutionParams(doc, g, values);
  EXPECT_EQ(values, (Values{4, 100, 1, 7}));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(test::BlockFloatAt(doc.scene, g, 3 + i), values[i]);
  EXPECT_EQ(Shapes(doc.scene.groups[g]), Repeat(108, kTriangleStrip, 8));
  EXPECT_TRUE(doc.modified);
  const struct {
    int (*create)(Document&);
    Values asked, given;
    int primitives;
  } cases[] = {{CreateSphere1, {501, 1}, {500, 2}, 2},
               {CreateBlock, {101}, {100}, 600},
               {CreateBlock, {0}, {1}, 6},
               {CreateSphere2, {51}, {50}, 4 * 50 + 12}};
  for (const auto& c : cases) {
    const int h = c.create(doc);
    values = c.asked;
    SetResolutionParams(doc, h, values);
    EXPECT_EQ(values, c.given) << doc.scene.groups[h].name;
    EXPECT_EQ(doc.scene.groups[h].primitiveCount(), c.primitives) << doc.scene.groups[h].name;
  }
}

// A block typed into a file is held to the same ranges when the group is
// rebuilt, so no resolution can ask for a huge or empty allocation.
TEST(ResolutionParams, RegenerationClampsWhatTheBlockHolds) {
  Document doc;
  Scene& s = doc.scene;
  const float huge = 1e30f, nan = std::nanf("");
  auto rebuilt = [&](int (*create)(Document&), std::vector<std::pair<int, float>> fields) {
    const int g = create(doc);
    for (auto [field, value] : fields)
      test::SetBlockFloatAt(s, g, field, value);
    RegenerateGroup(s, g, 1);
    test::ExpectFinite(s.groups[g]);
    return Shapes(s.groups[g]);
  };
  EXPECT_EQ(rebuilt(CreateRectangle, {{2, huge}}), Repeat(100, kTriangleStrip, 202));
  EXPECT_EQ(rebuilt(CreateSphere1, {{1, 0}, {2, nan}}), Repeat(2, kTriangleStrip, 8));
  // one ring point: no angle step to take
  EXPECT_EQ(rebuilt(CreateTube, {{2, 1}, {3, -5}}), Repeat(1, kTriangleStrip, 8));
  EXPECT_EQ(rebuilt(CreateTorus, {{2, huge}, {3, 0}}), Repeat(1, kTriangleStrip, 1000));
  EXPECT_EQ(rebuilt(CreateSphere2, {{1, -huge}}).size(), 4u * 4 + 12);
  // a size that is not a number reads as zero
  const int nanSize = CreateSphere1(doc);
  test::SetBlockFloatAt(s, nanSize, 0, nan);
  RegenerateGroup(s, nanSize, 0);
  EXPECT_EQ(s.groups[nanSize].bboxMax, (Vec3{0, 0, 0}));
  test::ExpectFinite(s.groups[nanSize]);
}

TEST(SizeParams, TypedAndDraggedSizesRegenerateInPlace) {
  Document doc;
  const int g = CreateCone(doc);
  const DisplayGroup& cone = doc.scene.groups[g];
  const auto shapes = Shapes(cone);
  const float* before = cone.primitives[0].vertices.data();
  doc.modified = false;
  SetSizeParam(doc, g, 2, 0.2f);  // top radius
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(Shapes(cone), shapes);
  EXPECT_EQ(cone.primitives[0].vertices.data(), before);  // same arrays
  EXPECT_NEAR(test::Pos(cone, 0, 0)[2], 0.2f, 1e-7);
  EXPECT_NEAR(cone.bboxMax[0], 0.2f, 1e-3);

  AddSizeParams(doc, g, 0.05f, -0.05f, 0.1f);
  EXPECT_FLOAT_EQ(test::BlockFloatAt(doc.scene, g, 0), 0.15f);
  EXPECT_FLOAT_EQ(test::BlockFloatAt(doc.scene, g, 1), 0.2f);
  EXPECT_FLOAT_EQ(test::BlockFloatAt(doc.scene, g, 2), 0.3f);
  EXPECT_NEAR(cone.bboxMax[1], 0.1f, 1e-6);

  // A sphere has one size: the other deltas and indices are ignored.
  const int sphere = CreateSphere2(doc);
  AddSizeParams(doc, sphere, 0.1f, 5, 5);
  SetSizeParam(doc, sphere, 1, 9);
  EXPECT_FLOAT_EQ(test::BlockFloatAt(doc.scene, sphere, 0), 0.2f);
  EXPECT_EQ(test::BlockFloatAt(doc.scene, sphere, 1), 8);
}

TEST(SizeParams, FormatAndParseAsThePanelDoes) {
  EXPECT_EQ(FormatSize(0.1f, false), "0.1000");
  EXPECT_EQ(FormatSize(-2.34567f, true), "-2.346");
  EXPECT_EQ(ParseSize("  1.5cm"), 1.5f);
  EXPECT_EQ(ParseSize("-2e-1"), -0.2f);
  EXPECT_EQ(ParseSize("width"), std::nullopt);
  EXPECT_EQ(ParseSize(""), std::nullopt);
  EXPECT_EQ(ParseSize("nan"), std::nullopt);
  EXPECT_EQ(ParseSize("inf"), std::nullopt);
}

}  // namespace
}  // namespace modra
