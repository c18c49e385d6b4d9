// Picking groups with the mouse, and walking down into a group and back
// up by clicking.
#include <vector>

#include "document/group_edit.h"
#include "view/interaction.h"

namespace modra {
namespace {

void SetSubtreeFlags(Scene& s, int first, uint32_t set, uint32_t clear) {
  ForEachGroup(s, first, [&](int g) {
    if (s.groups[g].flags & Deleted) return;
    s.groups[g].flags = (s.groups[g].flags | set) & ~clear;
  });
}

// g becomes the current group, selected, and drawn highlighted with
// everything below it.
void MakeCurrent(Scene& s, int g) {
  s.selectedGroup = g;
  s.groups[g].flags |= Selected | highlighted;
  SetSubtreeFlags(s, s.groups[g].child, highlighted, 0);
}

bool HasChildren(const Scene& s, int g) {
  return IsValidSlot(s, s.groups[g].child);
}

// Everything a click may change, to tell whether it changed anything.
struct SelectionMarks {
  int current = -1;
  std::vector<int32_t> levels;
  std::vector<uint32_t> marks;
  bool operator==(const SelectionMarks&) const = default;
};

SelectionMarks MarksOf(const Scene& s) {
  SelectionMarks m;
  m.current = s.selectedGroup;
  m.levels = s.levelStack;
  m.marks.reserve(s.groups.size());
  for (const DisplayGroup& group : s.groups)
    m.marks.push_back(group.flags & (Selected | highlighted));
  return m;
}

}  // namespace

void ViewInteraction::SelectionDown(int button, ViewPoint p) {
  Scene& s = doc_.scene;
  const SelectionMarks before = MarksOf(s);
  // The picker draws the level being edited as it is at the call, so a
  // second call after entering a group picks among its children.
  auto pick = [&] {
    int g = pick_ ? pick_(p.x, p.y) : -1;
    return IsLiveGroup(s, g) ? g : -1;
  };

  if (button == kLeftButton) {
    for (DisplayGroup& group : s.groups)
      if (!(group.flags & Deleted)) group.flags &= ~(Selected | highlighted);
    const int hit = pick();
    if (hit != -1) {
      // A click on the current group enters it when it has children.
      // note: at the deepest level the group is selected instead, since
      // replacing the top of the level stack would place the level
      // without the replaced group's matrix
      if (hit == s.selectedGroup && HasChildren(s, hit) && EnterLevel(s, hit)) {
        s.selectedGroup = -1;
        const int inner = pick();
        if (inner != -1) MakeCurrent(s, inner);
      } else {
        MakeCurrent(s, hit);
      }
    } else if (s.levelStack.empty()) {
      s.selectedGroup = -1;
    } else {
      // Empty space climbs one level and selects the group that was entered.
      const int up = s.levelStack.back();
      s.levelStack.pop_back();
      s.selectedGroup = -1;
      if (IsLiveGroup(s, up)) MakeCurrent(s, up);
    }
  } else {
    const int hit = pick();
    if (hit != -1 && !(s.groups[hit].flags & Selected)) {
      MakeCurrent(s, hit);
    } else if (hit != -1) {
      s.groups[hit].flags &= ~(Selected | highlighted);
      SetSubtreeFlags(s, s.groups[hit].child, 0, Selected | highlighted);
      int first = -1;
      ForEachGroup(s, CurrentLevelHead(s), [&](int g) {
        const uint32_t f = s.groups[g].flags;
        if (first == -1 && !(f & Deleted) && (f & Selected) && (f & Enabled)) first = g;
      });
      const int entered = CurrentParent(s);
      if (first != -1)
        s.selectedGroup = first;
      else if (IsLiveGroup(s, entered))
        MakeCurrent(s, entered);
      else
        s.selectedGroup = -1;
    }
  }
  doc_.shell->RequestRedraw();
  AfterSelection();
  // The name box and the panel refresh from this notice, like after any
  // other change of the selection; a click that changed nothing sends none.
  if (MarksOf(s) != before) NotifyChanged(doc_, kSelectionChanged);
}

void ViewInteraction::AfterSelection() {
  const Scene& s = doc_.scene;
  doc_.shell->Status(IsLiveGroup(s, s.selectedGroup)
                         ? std::string_view(s.groups[s.selectedGroup].name)
                         : std::string_view(kNothingSelected));
}

}  // namespace modra
