// The group clipboard: groups cut or copied from the scene, kept as
// records of its own rather than as slots of the group table. Undo grows
// and shrinks the table to what a step found there, so a clipboard made
// of table slots could end up naming freed slots or live groups of the
// scene; a table of its own is out of undo's reach.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/display_group.h"

namespace modra {

struct GroupClipboard {
  // `next` and `child` of these records index this vector, never the
  // scene's table. Every record lies in the tree that starts at `head`.
  std::vector<DisplayGroup> groups;
  int32_t head = -1;  // first top-level clipboard group, -1 when empty

  bool Empty() const { return head == -1; }
  void Clear() {
    groups.clear();
    groups.shrink_to_fit();
    head = -1;
  }
};

// Visits `first` and its `next` chain inside the clipboard; reads `next`
// before visit(g), and never visits more records than there are.
template <class Visit>
void ForEachClipboardSibling(const GroupClipboard& clip, int first, Visit&& visit) {
  size_t budget = clip.groups.size();
  for (int g = first; g >= 0 && static_cast<size_t>(g) < clip.groups.size() && budget-- > 0;) {
    int next = clip.groups[g].next;
    visit(g);
    g = next;
  }
}

}  // namespace modra
