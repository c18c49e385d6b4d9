// The scene: the group table with its hierarchy, the level being edited,
// lights, camera, background, the animation's key store, and the
// triangulator's debug settings its generators use.
//
// Groups are addressed by index, never by pointer: the table moves when it
// grows, so no caller keeps a reference into it across NewGroup.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "geometry/triangulate_settings.h"
#include "scene/display_group.h"
#include "scene/group_clipboard.h"
#include "scene/key_store.h"
#include "scene/lights_camera.h"

namespace modra {

inline constexpr int kMaxLevelDepth = 1000;

struct Scene {
  std::vector<DisplayGroup> groups;  // slots are never compacted
  int32_t rootHead = -1;
  int32_t freeHead = -1;
  GroupClipboard clipboard;
  std::vector<int32_t> levelStack;  // at most kMaxLevelDepth groups
  Vec3 sceneMin = {0, 0, 0};
  Vec3 sceneMax = {0, 0, 0};
  int32_t selectedGroup = -1;

  KnfLight lights[kLightCount];
  KnfCameraView camera;
  KnfGlobalScene global;
  KeyStore anim;
  // note: read once where the program starts; the extrusion and lathe
  // caps and the Truespace faces hand them to their triangulators
  triangulation::DebugSettings triangulatorDebug;
};

// True when g names a slot that holds a group (not free, not a header slot).
inline bool IsLiveGroup(const Scene& s, int g) {
  return g >= 0 && static_cast<size_t>(g) < s.groups.size() && !(s.groups[g].flags & Deleted);
}
inline bool IsValidSlot(const Scene& s, int g) {
  return g >= 0 && static_cast<size_t>(g) < s.groups.size();
}
// True when either clipboard, the groups' or the key frames', holds anything.
inline bool HoldsClipboard(const Scene& s) {
  return !s.clipboard.Empty() || !s.anim.clipboard.empty();
}

// Makes a group with initial values at the front of the top-level list,
// reusing a free slot when there is one. -1 (and no change) when the table
// cannot grow.
int NewGroup(Scene& s, std::string_view name);
// Releases every group and empties the group clipboard; also forgets the
// selection, the level being edited and the camera's look-at group, which
// would otherwise name slots that no longer exist.
void ClearScene(Scene& s);
void SetGroupName(Scene& s, int g, std::string_view name);

// Pre-order walk from `first` along `next`, children after their parent.
// Each group's links are read before visit(g) runs, so visit may relink g.
// Deleted slots are visited; visitors skip them. A walk never visits more
// groups than there are slots, so a damaged link cannot loop it forever.
template <class Visit>
void ForEachGroup(const Scene& s, int first, Visit&& visit) {
  std::vector<int32_t> pending;
  size_t budget = s.groups.size();
  int g = first;
  for (;;) {
    if (!IsValidSlot(s, g)) {
      if (pending.empty()) return;
      g = pending.back();
      pending.pop_back();
      continue;
    }
    if (budget-- == 0) return;
    int next = s.groups[g].next;
    int child = s.groups[g].child;
    visit(g);
    pending.push_back(next);
    g = child;
  }
}

// Visits `first` and its `next` chain only; reads `next` before visit(g).
template <class Visit>
void ForEachSibling(const Scene& s, int first, Visit&& visit) {
  size_t budget = s.groups.size();
  for (int g = first; IsValidSlot(s, g) && budget-- > 0;) {
    int next = s.groups[g].next;
    visit(g);
    g = next;
  }
}

// The level being edited: the top level when the stack is empty, else the
// children of the group on top of it.
int CurrentLevelHead(const Scene& s);
int CurrentParent(const Scene& s);
// Makes g's children the level being edited; false at kMaxLevelDepth or
// when g is not a live group.
bool EnterLevel(Scene& s, int g);
// Back to the top level.
void ResetLevel(Scene& s);
// The matrices of the groups on the level stack, outermost first, combined.
Mat4 AccumulatedLevelMatrix(const Scene& s);

// Where g is linked: its parent (-1 at the top level) and the sibling
// before it (-1 when first). found is false when g is in no level of the
// scene (free, on no list, or out of range).
struct GroupLink {
  bool found = false;
  int parent = -1;
  int prev = -1;
};
GroupLink FindGroupLink(const Scene& s, int g);
// For every slot, the parent of the group in it (-1 at the top level), or
// kUnreached for slots in no level of the scene.
inline constexpr int32_t kUnreached = -2;
std::vector<int32_t> ParentTable(const Scene& s);
// Takes g out of its sibling list; the predecessor's next, the parent's
// child or rootHead takes g's next.
void UnlinkGroup(Scene& s, int g, const GroupLink& link);
// Pushes g at the front of the level whose parent is given (-1: top level).
void LinkAtFront(Scene& s, int g, int parent);

// The sibling before g in the level being edited; -1 when g is first or
// not in that level.
int PreviousSibling(const Scene& s, int g);
// Frees g's body, forgets its keys and puts the slot at the front of the
// free list. g must already be unlinked.
void ReleaseGroup(Scene& s, int g);
// Puts a group record into a free slot, or a new one, linked nowhere
// (`next` and `child` -1). -1, and no change, when the table cannot grow.
int PlaceGroup(Scene& s, DisplayGroup record);

}  // namespace modra
