// Selection clicks tell the window what they changed, through the same
// change notice as every other edit of the selection, and only when they
// changed something.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "test_util.h"
#include "view/interaction.h"

namespace modra {
namespace {

class SelectionNotice : public ::testing::Test {
 protected:
  Scene& s() { return doc.scene; }
  // A group covering the band [from, to) of x, like a picture of it would.
  int Group(const char* name, float from, float to) {
    int g = test::AddTriangle(s(), name);
    band[g] = {from, to};
    return g;
  }
  int Pick(float x) const {
    int hit = -1;
    ForEachSibling(doc.scene, CurrentLevelHead(doc.scene), [&](int g) {
      auto it = band.find(g);
      if (hit == -1 && it != band.end() && x >= it->second.first && x < it->second.second) hit = g;
    });
    return hit;
  }
  void Click(MouseButton b, float x, bool ctrl = false) {
    view.ButtonDown(b, {x, 0}, ctrl, false, false);
    view.ButtonUp(b, {x, 0});
  }
  // The notices since the last call.
  std::vector<unsigned> Notices() { return std::exchange(shell.changes, {}); }

  RecordingShell shell;
  Document doc{shell};
  std::map<int, std::pair<float, float>> band;
  ViewInteraction view{doc, ViewHooks{[this](float x, float) { return Pick(x); }, {}}};
};

const std::vector<unsigned> kOneSelectionNotice = {kSelectionChanged};

TEST_F(SelectionNotice, LeftClicksNoticeEachChangeOfGroupOrLevelOnce) {
  int a = Group("A", -1, 0);
  int b = Group("B", 0, 0.5f);
  int a1 = Group("A1", -1, -0.5f);
  test::Siblings(s(), -1, {a, b});
  test::Siblings(s(), a, {a1});
  view.SetMode(EditMode::kSelection);

  Click(MouseButton::kLeft, -0.7f);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  Click(MouseButton::kLeft, 0.2f);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  // B again: it has no children to enter, so nothing changes.
  Click(MouseButton::kLeft, 0.2f);
  EXPECT_TRUE(Notices().empty());

  // Entering A and picking its child, then climbing out through empty
  // space: each is a change.
  Click(MouseButton::kLeft, -0.7f);
  Click(MouseButton::kLeft, -0.7f);
  ASSERT_EQ(s().selectedGroup, a1);
  EXPECT_EQ(Notices(), (std::vector<unsigned>{kSelectionChanged, kSelectionChanged}));
  Click(MouseButton::kLeft, 0.9f);
  ASSERT_EQ(s().selectedGroup, a);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  Click(MouseButton::kLeft, 0.9f);
  ASSERT_EQ(s().selectedGroup, -1);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  // Empty space with nothing selected at the top level stays as it was.
  Click(MouseButton::kLeft, 0.9f);
  EXPECT_TRUE(Notices().empty());
}

TEST_F(SelectionNotice, RightClicksAndCtrlClicksNoticeTooButDragsDoNot) {
  int a = Group("A", -1, 0);
  int b = Group("B", 0, 0.5f);
  test::Siblings(s(), -1, {a, b});
  view.SetMode(EditMode::kSelection);

  Click(MouseButton::kRight, -0.5f);
  Click(MouseButton::kRight, 0.2f);
  EXPECT_EQ(Notices(), (std::vector<unsigned>{kSelectionChanged, kSelectionChanged}));
  // Taking A out of the selection leaves B current.
  Click(MouseButton::kRight, -0.5f);
  EXPECT_EQ(s().selectedGroup, b);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  Click(MouseButton::kRight, 0.9f);  // nothing there
  EXPECT_TRUE(Notices().empty());

  // Ctrl picks from another mode; the view drag of that mode sends no
  // selection notice.
  view.SetMode(EditMode::kRotateView);
  Click(MouseButton::kLeft, -0.5f, true);
  EXPECT_EQ(s().selectedGroup, a);
  EXPECT_EQ(Notices(), kOneSelectionNotice);
  view.ButtonDown(MouseButton::kLeft, {-0.5f, 0}, false, false, false);
  view.Move({0.2f, 0.1f});
  view.ButtonUp(MouseButton::kLeft, {0.2f, 0.1f});
  EXPECT_TRUE(Notices().empty());
  EXPECT_EQ(s().selectedGroup, a);
}

TEST_F(SelectionNotice, AClickInsideACommandJoinsItsOneNotice) {
  int a = Group("A", -1, 0);
  test::Siblings(s(), -1, {a});
  view.SetMode(EditMode::kSelection);
  {
    ChangeBatch batch(doc);
    Click(MouseButton::kLeft, -0.5f);
    NotifyChanged(doc, kValuesChanged);
    EXPECT_TRUE(shell.changes.empty());
  }
  EXPECT_EQ(Notices(), (std::vector<unsigned>{kSelectionChanged | kValuesChanged}));
}

}  // namespace
}  // namespace modra
