#include "scene/scene.h"

#include <limits>
#include <new>
#include <stdexcept>

#include "scene/camera_lights.h"
#include "scene/matrix.h"

namespace modra {

int NewGroup(Scene& s, std::string_view name) {
  int g;
  try {
    DisplayGroup fresh;
    fresh.name = name;
    g = PlaceGroup(s, std::move(fresh));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  if (g != -1) LinkAtFront(s, g, -1);
  return g;
}

int PlaceGroup(Scene& s, DisplayGroup record) {
  record.next = record.child = -1;
  if (s.freeHead != -1) {
    const int g = s.freeHead;
    s.freeHead = s.groups[g].next;
    s.groups[g] = std::move(record);
    return g;
  }
  if (s.groups.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) return -1;
  try {
    s.groups.push_back(std::move(record));
  } catch (const std::bad_alloc&) {
    return -1;
  } catch (const std::length_error&) {
    return -1;
  }
  return static_cast<int>(s.groups.size()) - 1;
}

void ClearScene(Scene& s) {
  s.groups.clear();
  s.groups.shrink_to_fit();
  s.rootHead = s.freeHead = -1;
  s.clipboard.Clear();
  s.selectedGroup = -1;
  s.levelStack.clear();
  s.camera.lookAtGroup = -1;
  s.camera.lookAtPath.clear();
}

void SetGroupName(Scene& s, int g, std::string_view name) {
  if (!IsValidSlot(s, g)) return;
  try {
    s.groups[g].name = name;
  } catch (const std::bad_alloc&) {
    s.groups[g].name.clear();
  }
}

int CurrentLevelHead(const Scene& s) {
  if (s.levelStack.empty()) return s.rootHead;
  int top = s.levelStack.back();
  return IsValidSlot(s, top) ? s.groups[top].child : -1;
}

int CurrentParent(const Scene& s) {
  return s.levelStack.empty() ? -1 : s.levelStack.back();
}

bool EnterLevel(Scene& s, int g) {
  if (!IsLiveGroup(s, g) || s.levelStack.size() >= kMaxLevelDepth) return false;
  s.levelStack.push_back(g);
  return true;
}

void ResetLevel(Scene& s) {
  s.levelStack.clear();
}

Mat4 AccumulatedLevelMatrix(const Scene& s) {
  Mat4 m = kIdentity;
  for (int g : s.levelStack)
    if (IsValidSlot(s, g)) m = Multiply(m, s.groups[g].matrix);
  return m;
}

GroupLink FindGroupLink(const Scene& s, int g) {
  GroupLink link;
  if (!IsValidSlot(s, g)) return link;
  // Walk the hierarchy keeping, for every visited group, its parent, so
  // the answer comes from one pass over the live tree.
  struct Frame {
    int group, parent;
  };
  std::vector<Frame> pending;
  size_t budget = s.groups.size();
  pending.push_back({s.rootHead, -1});
  while (!pending.empty()) {
    auto [first, parent] = pending.back();
    pending.pop_back();
    int prev = -1;
    for (int c = first; IsValidSlot(s, c) && budget > 0; c = s.groups[c].next, --budget) {
      if (c == g) return {true, parent, prev};
      if (s.groups[c].child != -1) pending.push_back({s.groups[c].child, c});
      prev = c;
    }
  }
  return link;
}

std::vector<int32_t> ParentTable(const Scene& s) {
  std::vector<int32_t> parent(s.groups.size(), kUnreached);
  std::vector<int32_t> pending;  // groups whose children are still to be walked
  auto level = [&](int first, int p) {
    ForEachSibling(s, first, [&](int c) {
      if (parent[c] != kUnreached) return;  // a damaged link back into the tree
      parent[c] = p;
      if (s.groups[c].child != -1) pending.push_back(c);
    });
  };
  level(s.rootHead, -1);
  while (!pending.empty()) {
    int p = pending.back();
    pending.pop_back();
    level(s.groups[p].child, p);
  }
  return parent;
}

void UnlinkGroup(Scene& s, int g, const GroupLink& link) {
  int next = s.groups[g].next;
  if (link.prev != -1)
    s.groups[link.prev].next = next;
  else if (link.parent != -1)
    s.groups[link.parent].child = next;
  else
    s.rootHead = next;
  s.groups[g].next = -1;
}

void LinkAtFront(Scene& s, int g, int parent) {
  if (parent == -1) {
    s.groups[g].next = s.rootHead;
    s.rootHead = g;
  } else {
    s.groups[g].next = s.groups[parent].child;
    s.groups[parent].child = g;
  }
}

int PreviousSibling(const Scene& s, int g) {
  int prev = -1;
  bool found = false;
  ForEachSibling(s, CurrentLevelHead(s), [&](int c) {
    if (found) return;
    if (c == g) {
      found = true;
      return;
    }
    prev = c;
  });
  return found ? prev : -1;
}

void ReleaseGroup(Scene& s, int g) {
  if (!IsValidSlot(s, g)) return;
  DisplayGroup& group = s.groups[g];
  group = DisplayGroup{};
  group.flags = Deleted;
  group.next = s.freeHead;
  s.freeHead = g;
  // A later group in this slot must not inherit the animation, nor the
  // camera's gaze.
  PurgeOwnerKeys(s.anim, g);
  StopLookingAt(s, g);
}

}  // namespace modra
