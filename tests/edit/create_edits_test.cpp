// The Create panel's edits: what each button makes, typed sizes and drags
// regenerating the current group through one edit step, resolutions held
// to their ranges, and groups no generator owns left alone.
#include "edit/create_edits.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/extrusion.h"
#include "scene/group_fields.h"
#include "test_util.h"

namespace modra {
namespace {

using test::AddTriangle;

struct CountingRecorder : EditRecorder {
  void BeginEdit(std::string_view) override { ++begun; }
  void EndEdit() override { ++ended; }
  int begun = 0, ended = 0;
};

struct CreateEdits : ::testing::Test {
  test::RecordedDocument rec;
  Scene& s = rec.scene();
  CountingRecorder recorder;
  EditLayer layer{rec.doc, &recorder};

  int Press(const char* label) {
    for (const CreateButton& b : kCreateButtons)
      if (std::string_view(b.label) == label) return CreateFromPanel(rec.doc, b.create);
    ADD_FAILURE() << label;
    return -1;
  }
  size_t VertexTotal(int g) {
    size_t n = 0;
    for (const DisplayPrimitive& p : s.groups[g].primitives)
      n += p.vertices.size();
    return n;
  }
};

TEST_F(CreateEdits, EachButtonMakesItsPrimitiveAndTypedSizesRegenerateIt) {
  // Table: button, kind, name, size labels, and after typing 0.4 into the
  // first size the group's extent along `axis` (its largest coordinate).
  struct Case {
    const char* button;
    int32_t kind;
    const char* name;
    std::vector<std::string> labels;
    int axis;
    float extent;  // NaN: the caps bulge past the typed radius
  };
  const float bulges = std::nanf("");
  const Case cases[] = {
      {"Rectangle", kKindRectangle, "Rectangle", {"Width", "Height"}, 0, 0.2f},
      {"Block", kKindBlock, "Block", {"Width", "Height", "Depth"}, 0, 0.2f},
      {"Cone", kKindCone, "Cone", {"Bottom Radius", "Length", "Top Radius"}, 2, 0.4f},
      {"Rounded Cone",
       kKindRoundedCone,
       "Rounded Cone",
       {"Bottom Radius", "Length", "Top Radius"},
       2,
       bulges},
      {"Tube", kKindTube, "Tube", {"Radius", "Length"}, 2, 0.4f},
      {"Cylinder", kKindCylinder, "Cylinder", {"Radius", "Length"}, 2, 0.4f},
      // the ring nearest the outer equator is 0.165 rad off it
      {"Torus", kKindTorus, "Torus", {"Major Radius", "Minor Radius"}, 2, 0.4f + 0.02f * 0.9864f},
      {"Sphere1", kKindSphere, "Sphere", {"Radius"}, 1, 0.4f},
      {"Sphere 2", kKindSphere2, "Sphere", {"Radius"}, 1, 0.4f},
  };
  const int before = AddTriangle(s, "Before");
  s.groups[before].flags |= Selected | highlighted;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    s.groups[before].flags |= Selected;
    const int g = Press(c.button);
    ASSERT_GE(g, 0);
    EXPECT_EQ(s.groups[g].kind, c.kind);
    EXPECT_EQ(s.groups[g].name, c.name);
    EXPECT_EQ(s.selectedGroup, g);
    EXPECT_EQ(s.groups[before].flags & (Selected | highlighted), 0u);

    const CreateFields fields = CreatePanelFields(s);
    ASSERT_EQ(fields.count, static_cast<int>(c.labels.size()));
    for (int i = 0; i < fields.count; ++i)
      EXPECT_EQ(fields.labels[i], c.labels[i]);

    const size_t primitives = s.groups[g].primitives.size();
    const size_t vertices = VertexTotal(g);
    const int steps = recorder.ended;
    ASSERT_TRUE(SetCreateField(layer, 0, 0.4f));
    EXPECT_EQ(recorder.ended, steps + 1);
    EXPECT_EQ(CreatePanelFields(s).values[0], 0.4f);
    EXPECT_EQ(s.groups[g].primitives.size(), primitives);
    EXPECT_EQ(VertexTotal(g), vertices);
    const float extent = s.groups[g].bboxMax[c.axis];
    if (std::isnan(c.extent))
      EXPECT_GT(extent, 0.4f);
    else
      EXPECT_NEAR(extent, c.extent, 1e-4f);
    // the same value again is no edit
    EXPECT_FALSE(SetCreateField(layer, 0, 0.4f));
    EXPECT_FALSE(SetCreateField(layer, fields.count, 1.0f));
    EXPECT_EQ(recorder.ended, steps + 1);
  }
}

TEST_F(CreateEdits, DragsAddToTheSizesTheKindHasAndLeaveResolutionsAlone) {
  const int cone = Press("Cone");
  ASSERT_TRUE(AdjustCreate(layer, 0.1f, 0.2f, 0.3f));
  CreateFields f = CreatePanelFields(s);
  EXPECT_NEAR(f.values[0], 0.2f, 1e-6f);
  EXPECT_NEAR(f.values[1], 0.45f, 1e-6f);
  EXPECT_NEAR(f.values[2], 0.35f, 1e-6f);
  EXPECT_NEAR(s.groups[cone].bboxMax[1], 0.225f, 1e-6f);

  // A tube has two sizes: the third difference would land on its radius
  // resolution, which a drag must not reach.
  Press("Tube");
  const ResolutionValues resolutions = CreatePanelResolutions(s);
  const int steps = recorder.ended;
  EXPECT_FALSE(AdjustCreate(layer, 0, 0, 5));
  EXPECT_EQ(recorder.ended, steps);
  ASSERT_TRUE(AdjustCreate(layer, 0.05f, 0, 5));
  EXPECT_NEAR(CreatePanelFields(s).values[0], 0.15f, 1e-6f);
  EXPECT_EQ(CreatePanelResolutions(s).values, resolutions.values);
  EXPECT_EQ(recorder.ended, steps + 1);
}

TEST_F(CreateEdits, ResolutionsAreHeldToTheirRangesAndRebuildTheGroup) {
  const int cone = Press("Cone");
  ResolutionValues r = CreatePanelResolutions(s);
  ASSERT_EQ(r.count, 4);
  EXPECT_EQ(r.labels[2], "Top End Cap Resolution");
  EXPECT_EQ(r.values, (std::array<int, 4>{20, 1, 1, 1}));
  EXPECT_EQ(r.min, (std::array<int, 4>{4, 1, 1, 1}));
  EXPECT_EQ(r.max, (std::array<int, 4>{500, 100, 100, 100}));

  std::array<int, 4> typed = {1000, 0, 3, 101};
  ASSERT_TRUE(SetCreateResolutions(layer, typed));
  EXPECT_EQ(typed, (std::array<int, 4>{500, 1, 3, 100}));
  EXPECT_EQ(CreatePanelResolutions(s).values, typed);
  // one side strip, three top-cap strips, a hundred bottom-cap strips
  EXPECT_EQ(s.groups[cone].primitives.size(), 104u);
  EXPECT_EQ(s.groups[cone].primitives[0].vertexCount, 1000);
  EXPECT_EQ(recorder.ended, 1);
  EXPECT_TRUE(rec.doc.modified);
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
    const std::vector<float> vertices =
        g < 0 ? std::vector<float>{} : s.groups[g].primitives[0].vertices;
    EXPECT_EQ(CreatePanelFields(s).count, 0);
    EXPECT_EQ(CreatePanelResolutions(s).count, 0);
    EXPECT_FALSE(SetCreateField(layer, 0, 2.0f));
    EXPECT_FALSE(AdjustCreate(layer, 1, 1, 1));
    std::array<int, 4> typed = {8, 8, 8, 8};
    EXPECT_FALSE(SetCreateResolutions(layer, typed));
    if (g >= 0) {
      EXPECT_EQ(s.groups[g].primitives[0].vertices, vertices);
    }
    EXPECT_FALSE(rec.doc.modified);
    EXPECT_TRUE(rec.shell.changes.empty());
  }
  EXPECT_EQ(recorder.begun, 0);
}

TEST_F(CreateEdits, TextFromTheDialogReadsItsScaleAsAFloatStartingAtOne) {
  // Table: typed scale, the factor that reaches the letters (font 1: 0.16).
  const std::pair<const char*, float> cases[] = {{"2", 0.32f}, {" 0.5x", 0.08f}, {"abc", 0.16f}};
  for (const auto& [scale, expected] : cases) {
    SCOPED_TRACE(scale);
    const int earlier = AddTriangle(s, "Earlier");
    s.groups[earlier].flags |= Selected;
    const int last = CreateTextFromPanel(rec.doc, "i", scale, 1);
    ASSERT_GE(last, 0);
    EXPECT_NEAR(s.groups[last].scale[0], expected, 1e-6f);
    EXPECT_EQ(s.groups[last].flags & Selected, Selected);
    EXPECT_EQ(s.groups[earlier].flags & Selected, 0u);
  }
}

}  // namespace
}  // namespace modra
