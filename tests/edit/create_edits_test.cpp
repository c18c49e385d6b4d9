// The Create panel's edits: what each button makes, typed sizes and drags
// regenerating the current group in one edit step, resolutions held to
// their ranges, and groups no primitive generator owns left alone.
#include "edit/create_edits.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/extrusion.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;

struct CountingRecorder : EditRecorder {
  void BeginEdit(CommandId) override { ++steps; }
  void EndEdit() override {}
  int steps = 0;
};

struct CreateEdits : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  CountingRecorder recorder;
  EditLayer layer{rec.doc, &recorder};

  int Press(std::string_view label) {
    for (const CreateButton& b : kCreateButtons)
      if (label == b.label) return CreateFromPanel(rec.doc, b.create);
    return -1;
  }
};

TEST_F(CreateEdits, EachButtonMakesItsPrimitiveAndTypedSizesRegenerateIt) {
  // Table: button, kind, size count, and after typing 0.4 into the first
  // size the group's largest coordinate along `axis` (NaN: round caps
  // bulge past the typed radius).
  struct Case {
    const char* button;
    int32_t kind;
    int sizes;
    int axis;
    float extent;
  };
  const Case cases[] = {
      {"Rectangle", kKindRectangle, 2, 0, 0.2f},
      {"Block", kKindBlock, 3, 0, 0.2f},
      {"Cone", kKindCone, 3, 2, 0.4f},
      {"Rounded Cone", kKindRoundedCone, 3, 2, std::nanf("")},
      {"Tube", kKindTube, 2, 2, 0.4f},
      {"Cylinder", kKindCylinder, 2, 2, 0.4f},
      // the ring nearest the outer equator is 0.165 rad off it
      {"Torus", kKindTorus, 2, 2, 0.4f + 0.02f * 0.9864f},
      {"Sphere1", kKindSphere, 1, 1, 0.4f},
      {"Sphere 2", kKindSphere2, 1, 1, 0.4f},
  };
  const int before = AddTriangle(s, "Before");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    s.groups[before].flags |= Selected | highlighted;
    const int g = Press(c.button);
    ASSERT_GE(g, 0);
    EXPECT_EQ(s.groups[g].kind, c.kind);
    EXPECT_EQ(s.selectedGroup, g);
    EXPECT_EQ(s.groups[before].flags & (Selected | highlighted), 0u);
    ASSERT_EQ(CreatePanelFields(s).count, c.sizes);

    const size_t primitives = s.groups[g].primitives.size();
    const int steps = recorder.steps;
    ASSERT_TRUE(SetCreateField(layer, 0, 0.4f));
    EXPECT_EQ(CreatePanelFields(s).values[0], 0.4f);
    EXPECT_EQ(s.groups[g].primitives.size(), primitives);
    const float extent = s.groups[g].bboxMax[c.axis];
    if (std::isnan(c.extent))
      EXPECT_GT(extent, 0.4f);
    else
      EXPECT_NEAR(extent, c.extent, 1e-4f);
    // the same value again, or a size the kind lacks, is no edit
    EXPECT_FALSE(SetCreateField(layer, 0, 0.4f));
    EXPECT_FALSE(SetCreateField(layer, c.sizes, 1.0f));
    EXPECT_EQ(recorder.steps, steps + 1);
  }
}

TEST_F(CreateEdits, DragsAddToTheSizesTheKindHasAndLeaveResolutionsAlone) {
  Press("Cone");
  ASSERT_TRUE(AdjustCreate(layer, 0.1f, 0.2f, 0.3f));
  const CreateFields f = CreatePanelFields(s);
  EXPECT_NEAR(f.values[0], 0.2f, 1e-6f);
  EXPECT_NEAR(f.values[1], 0.45f, 1e-6f);
  EXPECT_NEAR(f.values[2], 0.35f, 1e-6f);

  // A tube has two sizes; the third float of its block is a resolution.
  Press("Tube");
  const ResolutionValues resolutions = CreatePanelResolutions(s);
  EXPECT_FALSE(AdjustCreate(layer, 0, 0, 5));
  ASSERT_TRUE(AdjustCreate(layer, 0.05f, 0, 5));
  EXPECT_NEAR(CreatePanelFields(s).values[0], 0.15f, 1e-6f);
  EXPECT_EQ(CreatePanelResolutions(s).values, resolutions.values);
  EXPECT_EQ(recorder.steps, 2);
}

TEST_F(CreateEdits, ResolutionsAreHeldToTheirRangesAndRebuildTheGroup) {
  const int cone = Press("Cone");
  const ResolutionValues r = CreatePanelResolutions(s);
  ASSERT_EQ(r.count, 4);
  EXPECT_EQ(r.min, (std::array<int, 4>{4, 1, 1, 1}));
  EXPECT_EQ(r.max, (std::array<int, 4>{500, 100, 100, 100}));

  std::array<int, 4> typed = {1000, 0, 3, 101};
  ASSERT_TRUE(SetCreateResolutions(layer, typed));
  EXPECT_EQ(typed, (std::array<int, 4>{500, 1, 3, 100}));
  // one side strip, three top-cap strips, a hundred bottom-cap strips
  EXPECT_EQ(s.groups[cone].primitives.size(), 104u);
  typed = {600, 1, 3, 100};
  EXPECT_FALSE(SetCreateResolutions(layer, typed));
  EXPECT_EQ(typed[0], 500);
  EXPECT_EQ(recorder.steps, 1);
}

TEST_F(CreateEdits, GroupsNoPrimitiveGeneratorOwnsGiveNoFieldsAndAreNotTouched) {
  const int mesh = AddTriangle(s, "Mesh");
  const int extrusion = CreateExtrusion(rec.doc);
  ASSERT_GE(extrusion, 0);
  for (int g : {-1, mesh, extrusion}) {
    SCOPED_TRACE(g);
    s.selectedGroup = g;
    rec.doc.modified = false;
    rec.shell.changes.clear();
    EXPECT_EQ(CreatePanelFields(s).count, 0);
    EXPECT_FALSE(SetCreateField(layer, 0, 2.0f));
    EXPECT_FALSE(AdjustCreate(layer, 1, 1, 1));
    std::array<int, 4> typed = {8, 8, 8, 8};
    EXPECT_FALSE(SetCreateResolutions(layer, typed));
    EXPECT_FALSE(rec.doc.modified);
    EXPECT_TRUE(rec.shell.changes.empty());
  }
  EXPECT_EQ(recorder.steps, 0);
}

TEST_F(CreateEdits, TextReadsItsScaleAsAFloatStartingAtOne) {
  // Table: typed scale, the factor that reaches the letters (font 1: 0.16).
  const std::pair<const char*, float> cases[] = {{"2", 0.32f}, {" 0.5x", 0.08f}, {"abc", 0.16f}};
  for (const auto& [scale, expected] : cases) {
    SCOPED_TRACE(scale);
    const int earlier = AddTriangle(s, "Earlier");
    s.groups[earlier].flags |= Selected;
    const int last = CreateTextFromPanel(rec.doc, "i", scale, 1);
    ASSERT_GE(last, 0);
    EXPECT_NEAR(s.groups[last].scale[0], expected, 1e-6f);
    EXPECT_EQ(s.groups[earlier].flags & Selected, 0u);
  }
}

}  // namespace
}  // namespace modra
