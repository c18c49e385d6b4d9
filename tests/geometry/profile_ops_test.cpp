// Editing the two profiles: points, holes, and applying the edit to the group.
#include <tuple>

#include "geometry/extrusion_profile.h"
#include "geometry/revolution_profile.h"
#include "geometry/texture_mapping.h"
#include "profile_test_util.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

// Outer square (points 0-3), hole A (4-6), hole B (7-9), each point's x
// its own index so that moves show.
ExtrusionProfile ThreeContours() {
  ExtrusionProfile p;
  p.pointCounts = {4, 3, 3};
  for (int i = 0; i < 10; ++i)
    p.points.insert(p.points.end(), {static_cast<float>(i), static_cast<float>(-i)});
  p.corners = {0, 1, 0, 0, 1, 0, 0, 0, 0, 1};
  p.selected.assign(10, 0);
  return p;
}

ExtrusionProfile OneContourOf(int n) {
  ExtrusionProfile p;
  p.pointCounts = {n};
  p.points.assign(2 * n, 0);
  p.corners.assign(n, 0);
  p.selected.assign(n, 0);
  return p;
}

template <typename Profile>
std::vector<float> Xs(const Profile& p) {
  std::vector<float> xs;
  for (size_t i = 0; i < p.points.size(); i += 2)
    xs.push_back(p.points[i]);
  return xs;
}

void Select(ExtrusionProfile& p, std::initializer_list<int> points) {
  p.selected.assign(p.corners.size(), 0);
  for (int i : points)
    p.selected[i] = 1;
}

void ExpectUnchanged(const ExtrusionProfile& p, const ExtrusionProfile& before) {
  EXPECT_EQ(std::tie(p.pointCounts, p.points, p.corners, p.selected),
            std::tie(before.pointCounts, before.points, before.corners, before.selected));
}

TEST(ProfileAddPoint, MidpointOfNeighboursGoesBetweenThem) {
  ExtrusionProfile p = ThreeContours();
  RecordingShell shell;
  Select(p, {1, 2});
  EXPECT_EQ(AddProfilePoint(p, shell), 2);
  EXPECT_EQ(p.pointCounts, (std::vector<int32_t>{5, 3, 3}));
  EXPECT_EQ(Xs(p), (std::vector<float>{0, 1, 1.5f, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(p.points[5], -1.5f);
  // Later points keep their corner flags; the new point is none.
  EXPECT_EQ(p.corners, (std::vector<uint8_t>{0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
  EXPECT_EQ(p.selected, (std::vector<uint8_t>{0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
  // a contour's first and last add at its end
  p = ThreeContours();
  Select(p, {4, 6});
  EXPECT_EQ(AddProfilePoint(p, shell), 7);
  EXPECT_EQ(p.pointCounts, (std::vector<int32_t>{4, 4, 3}));
  EXPECT_EQ(Xs(p), (std::vector<float>{0, 1, 2, 3, 4, 5, 6, 5, 7, 8, 9}));
  EXPECT_EQ(p.corners[10], 1);
  EXPECT_TRUE(shell.messages.empty());
}

TEST(ProfileAddPoint, RefusalsSayWhyAndChangeNothing) {
  RecordingShell shell;
  struct Case {
    std::initializer_list<int> selected;
    const char* message;
  };
  const char* two = "Need to have exactly two points selected to add a point";
  const char* adjacent =
      "Need to have two adjacent points selected on the same loop to add a point";
  for (const Case& c : {Case{{1}, two}, Case{{1, 2, 3}, two}, Case{{0, 2}, adjacent},
                        Case{{3, 4}, adjacent}, Case{{4, 9}, adjacent}}) {
    ExtrusionProfile p = ThreeContours();
    Select(p, c.selected);
    const ExtrusionProfile before = p;
    shell.messages.clear();
    EXPECT_EQ(AddProfilePoint(p, shell), -1);
    EXPECT_EQ(shell.messages, std::vector<std::string>{c.message});
    ExpectUnchanged(p, before);
  }
  ExtrusionProfile empty;
  shell.messages.clear();
  EXPECT_EQ(AddProfilePoint(empty, shell), -1);
  EXPECT_EQ(shell.messages, std::vector<std::string>{two});

  ExtrusionProfile full = OneContourOf(kMaxProfilePoints);
  full.selected[0] = full.selected[1] = 1;
  shell.messages.clear();
  EXPECT_EQ(AddProfilePoint(full, shell), -1);
  EXPECT_EQ(shell.messages, std::vector<std::string>{"Unable to add any more points"});
  EXPECT_EQ(full.corners.size(), static_cast<size_t>(kMaxProfilePoints));
}

TEST(ProfileCutPoints, NoContourDropsBelowThreePoints) {
  ExtrusionProfile p = ThreeContours();
  p.pointCounts = {6, 3, 1};  // a 6-point outer contour
  p.points.resize(20);
  Select(p, {1, 2, 3, 4, 6, 7, 8});
  CutProfilePoints(p);
  // Outer: the first three selected go, leaving 3; hole A stays whole.
  EXPECT_EQ(p.pointCounts, (std::vector<int32_t>{3, 3, 1}));
  EXPECT_EQ(Xs(p), (std::vector<float>{0, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(p.corners, (std::vector<uint8_t>{0, 1, 0, 0, 0, 0, 1}));
  EXPECT_EQ(p.selected, std::vector<uint8_t>(7, 0));

  // Removing points never leaves a contour with fewer than 3.
  for (int round = 0; round < 3; ++round) {
    p.selected.assign(p.corners.size(), 1);
    CutProfilePoints(p);
  }
  EXPECT_EQ(p.pointCounts, (std::vector<int32_t>{3, 3, 1}));
}

TEST(ProfileHoles, AddedHoleIsASmallTriangleOfCornersWhileThereIsRoom) {
  ExtrusionProfile p = ThreeContours();
  p.selected[0] = 1;
  RecordingShell shell;
  EXPECT_EQ(AddProfileHole(p, shell), 0);
  EXPECT_EQ(p.pointCounts, (std::vector<int32_t>{4, 3, 3, 3}));
  EXPECT_EQ(std::vector<float>(p.points.end() - 6, p.points.end()),
            (std::vector<float>{-0.1f, 0, 0.1f, 0.1f, 0.1f, -0.1f}));
  EXPECT_EQ(std::vector<uint8_t>(p.corners.end() - 3, p.corners.end()),
            (std::vector<uint8_t>{1, 1, 1}));
  EXPECT_EQ(std::vector<uint8_t>(p.selected.end() - 3, p.selected.end()),
            (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(p.selected[0], 1);  // the selection stays
  EXPECT_TRUE(shell.messages.empty());
  // The hole count and the point capacity are checked.
  ResetProfile(p);
  while (static_cast<int>(p.pointCounts.size()) < kMaxProfileContours)
    ASSERT_EQ(AddProfileHole(p, shell), 0);
  // A 100th contour would make a file that cannot be read back.
  EXPECT_EQ(AddProfileHole(p, shell), -1);
  EXPECT_EQ(shell.messages, std::vector<std::string>{"Can't add any more holes"});
  EXPECT_EQ(p.pointCounts.size(), 99u);

  ExtrusionProfile nearlyFull = OneContourOf(kMaxProfilePoints - 2);
  shell.messages.clear();
  EXPECT_EQ(AddProfileHole(nearlyFull, shell), -1);
  EXPECT_EQ(shell.messages, std::vector<std::string>{"Unable to add any more points"});
  EXPECT_EQ(nearlyFull.pointCounts.size(), 1u);
}

TEST(ProfileHoles, RemovesTheFirstWhollySelectedHoleOnly) {
  RecordingShell shell;
  ExtrusionProfile p = ThreeContours();
  Select(p, {0, 1, 2, 3, 4, 5, 7, 8, 9});  // outer and hole B whole, hole A not
  EXPECT_EQ(RemoveProfileHole(p, shell), 0);
  EXPECT_EQ(p.pointCounts, (std::vector<int32_t>{4, 3}));
  EXPECT_EQ(Xs(p), (std::vector<float>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(p.corners, (std::vector<uint8_t>{0, 1, 0, 0, 1, 0, 0}));
  EXPECT_EQ(p.selected, std::vector<uint8_t>(7, 0));

  Select(p, {0, 1, 2, 3, 4, 5});  // the outer contour is never removed
  const ExtrusionProfile before = p;
  EXPECT_EQ(RemoveProfileHole(p, shell), -1);
  EXPECT_EQ(shell.messages, std::vector<std::string>{"Need to select entire hole to remove it"});
  ExpectUnchanged(p, before);
}

TEST(ProfileApply, KeepsTheGroupsDepthBevelMappingAndName) {
  Scene s;
  const int g = test::AddExtrusion(s, {test::Square(0.5f)}, 0, 0.8f, 0.05f);
  SetGroupName(s, g, "Wing");
  SetMappingKind(s, g, kSphericalMapping);
  ExtrusionProfile p;
  ResetProfile(p);
  p.flags = kBevelFront;
  p.depth = 5;  // the editor's copy; the group's own depth wins
  ApplyProfile(s, g, p);
  EXPECT_EQ(s.groups[g].name, "Wing");
  EXPECT_EQ(GetMappingKind(s, g), kSphericalMapping);
  ExtrusionProfile back;
  ASSERT_TRUE(GetExtrusionProfile(s, g, back));
  EXPECT_EQ(std::tie(back.flags, back.depth, back.bevelSize), std::tuple(kBevelFront, 0.8f, 0.05f));
  EXPECT_EQ(back.points, p.points);
  EXPECT_GE(s.groups[g].primitiveCount(), 2);
  EXPECT_NEAR(s.groups[g].bboxMin[2], -0.4f, 1e-6f);

  // Arrays that disagree are never copied into the block.
  const std::vector<uint8_t> block = s.groups[g].generatorParams;
  p.pointCounts = {30};
  ApplyProfile(s, g, p);
  EXPECT_EQ(s.groups[g].generatorParams, block);
  EXPECT_EQ(s.groups[g].name, "Wing");
  // building anew forgets the mapping
  const int32_t four = 4;
  const std::vector<uint8_t> corners(4, 0);
  MakeExtrusion(s, g, 0, 1, 0.1f, 1, &four, test::Square(1).data(), corners.data());
  EXPECT_EQ(GetMappingKind(s, g), kNoMapping);
}

RevolutionProfile Five() {
  RevolutionProfile p;
  for (int i = 0; i < 5; ++i)
    p.points.insert(p.points.end(), {static_cast<float>(i), 1.0f});
  p.corners = {1, 0, 1, 0, 1};
  p.selected.assign(5, 0);
  return p;
}

TEST(RevolutionAddPoint, MidpointBecomesTheCurrentPoint) {
  RecordingShell shell;
  RevolutionProfile p = Five();
  p.selected[2] = p.selected[3] = 1;
  EXPECT_EQ(AddRevolutionPoint(p, shell), 3);
  EXPECT_EQ(Xs(p), (std::vector<float>{0, 1, 2, 2.5f, 3, 4}));
  EXPECT_EQ(p.corners, (std::vector<uint8_t>{1, 0, 1, 0, 0, 1}));
  EXPECT_EQ(p.selected, (std::vector<uint8_t>{0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(p.current, 3);

  p = Five();
  p.selected[0] = p.selected[4] = 1;  // the closing segment
  EXPECT_EQ(AddRevolutionPoint(p, shell), 5);
  EXPECT_EQ(Xs(p), (std::vector<float>{0, 1, 2, 3, 4, 2}));
  EXPECT_EQ(p.current, 5);
  EXPECT_TRUE(shell.messages.empty());
}

TEST(RevolutionAddPoint, RefusalsSayWhyAndChangeNothing) {
  RecordingShell shell;
  RevolutionProfile p = Five();
  p.selected[1] = p.selected[3] = 1;
  EXPECT_EQ(AddRevolutionPoint(p, shell), -1);
  p.selected[2] = 1;
  EXPECT_EQ(AddRevolutionPoint(p, shell), -1);
  RevolutionProfile empty;
  EXPECT_EQ(AddRevolutionPoint(empty, shell), -1);
  RevolutionProfile full;
  full.points.assign(2 * kMaxProfilePoints, 0);
  full.corners.assign(kMaxProfilePoints, 0);
  full.selected.assign(kMaxProfilePoints, 0);
  full.selected[0] = full.selected[1] = 1;
  EXPECT_EQ(AddRevolutionPoint(full, shell), -1);
  EXPECT_EQ(shell.messages,
            (std::vector<std::string>{"Need to have two adjacent points selected add a point",
                                      "Need to have exactly two points selected to add a point",
                                      "Need to have exactly two points selected to add a point",
                                      "Unable to add any more points"}));
  EXPECT_EQ(p.points, Five().points);
  EXPECT_EQ(full.corners.size(), static_cast<size_t>(kMaxProfilePoints));
}

TEST(RevolutionCutPoints, CuttingStopsAtTwoPoints) {
  RevolutionProfile p = Five();
  p.selected = {0, 1, 0, 1, 0};
  p.current = 3;
  CutRevolutionPoints(p);
  EXPECT_EQ(Xs(p), (std::vector<float>{0, 2, 4}));
  EXPECT_EQ(p.corners, (std::vector<uint8_t>{1, 1, 1}));
  EXPECT_EQ(p.selected, std::vector<uint8_t>(3, 0));
  EXPECT_EQ(p.current, -1);

  p = Five();
  p.selected.assign(5, 1);
  CutRevolutionPoints(p);
  EXPECT_EQ(Xs(p), (std::vector<float>{3, 4}));  // the first ones go
  EXPECT_EQ(p.corners, (std::vector<uint8_t>{0, 1}));
  p.selected.assign(2, 1);
  CutRevolutionPoints(p);
  EXPECT_EQ(p.corners.size(), 2u);
}

TEST(RevolutionApply, KeepsTheSweepAndNameAndTakesTheFlags) {
  Scene s;
  const int g = test::AddRevolution(s, {0.5f, 0, 0.5f, 0.5f, 1, 0.5f, 1, 0}, 0, 90, 7, 0.25f);
  SetGroupName(s, g, "Vase");
  SetMappingKind(s, g, kCylindricalMapping);
  RevolutionProfile p = Five();
  p.flags = kCapEnds;
  ApplyRevolution(s, g, p);
  EXPECT_EQ(s.groups[g].name, "Vase");
  EXPECT_EQ(GetMappingKind(s, g), kCylindricalMapping);
  RevolutionParams params;
  ASSERT_TRUE(GetRevolutionParams(s, g, params));
  EXPECT_EQ(std::tie(params.degrees, params.steps, params.deltaY), std::tuple(90.0f, 7.0f, 0.25f));
  RevolutionProfile back;
  ASSERT_TRUE(GetRevolutionProfile(s, g, back));
  EXPECT_EQ(std::tie(back.flags, back.points, back.corners),
            std::tie(p.flags, p.points, p.corners));
  EXPECT_GE(s.groups[g].primitiveCount(), 5);

  const std::vector<uint8_t> block = s.groups[g].generatorParams;
  p.points.pop_back();
  ApplyRevolution(s, g, p);
  EXPECT_EQ(s.groups[g].generatorParams, block);
}

}  // namespace
}  // namespace modra
