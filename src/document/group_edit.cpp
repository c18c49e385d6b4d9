#include "document/group_edit.h"

#include <cmath>
#include <deque>
#include <new>

#include "anim/key_commands.h"
#include "anim/keying.h"
#include "scene/camera_lights.h"
#include "scene/matrix.h"

namespace modra {
namespace {

// Where a copied group is pushed: the front of the clipboard, of the top
// level, or of a parent's children.
constexpr int kToClipboard = -3;
constexpr int kToTopLevel = -1;

void PushFront(Scene& s, int g, int where) {
  if (where == kToClipboard) {
    s.groups[g].next = s.clipHead;
    s.clipHead = g;
  } else {
    LinkAtFront(s, g, where);
  }
}

// Copies src's subtree to the front of `where`. Each sibling list is
// pushed front first, so every list comes out reversed. Breadth first, so
// a deep hierarchy cannot exhaust the stack. Returns the copy of src, -1
// when it could not be made; a subtree whose copy fails is left out.
int CopySubtree(Scene& s, int src, int where) {
  struct Job {
    int source, where;
  };
  std::deque<Job> jobs = {{src, where}};
  int top = -1;
  while (!jobs.empty()) {
    Job job = jobs.front();
    jobs.pop_front();
    int c = CopyGroup(s, job.source);
    if (c == -1) continue;
    s.groups[c].child = -1;
    PushFront(s, c, job.where);
    if (top == -1) top = c;
    ForEachSibling(s, s.groups[job.source].child, [&](int ch) { jobs.push_back({ch, c}); });
  }
  return top;
}

void ReleaseClipboard(Scene& s) {
  int head = s.clipHead;
  s.clipHead = -1;
  ForEachGroup(s, head, [&](int g) { ReleaseGroup(s, g); });
}

// true when any flag changed.
bool SetSubtreeFlags(Scene& s, int first, uint32_t set, uint32_t clear) {
  bool changed = false;
  ForEachGroup(s, first, [&](int g) {
    uint32_t& flags = s.groups[g].flags;
    if (flags & Deleted) return;
    const uint32_t was = flags;
    flags = (flags | set) & ~clear;
    changed = changed || flags != was;
  });
  return changed;
}

// An edit of the hierarchy or of the groups' contents; `what` adds to the
// scene notice that marking the document modified sends.
void Changed(Document& doc, unsigned what = 0) {
  ChangeBatch batch(doc);
  MarkModified(doc);
  NotifyChanged(doc, what);
  doc.shell->RequestRedraw();
}

bool IsSelected(const Scene& s, int g) {
  return (s.groups[g].flags & (Selected | Deleted)) == Selected;
}

// Rotation and translation that make the group's own fields rebuild
// `combined`, keeping its centre, centre rotation and scale. Exact when
// `combined` adds only a turn and a move to the fields' transform.
void FieldsFromMatrix(DisplayGroup& g, const Mat4& combined) {
  Mat4 undoCenterTurn = Transpose3x3(RotationMatrix(g.centerRotation));
  Mat4 local = Multiply(undoCenterTurn, combined);
  // Take the group's own (signed) scale out of the columns, so that a
  // mirrored group keeps its mirror in `scale` and its turn in `rotation`.
  Mat4 turn = local;
  for (int col = 0; col < 3; ++col)
    if (std::fabs(g.scale[col]) > 1e-12f)
      for (int row = 0; row < 3; ++row)
        turn[col * 4 + row] /= g.scale[col];
  g.rotation = AnglesFromRotation(turn);
  const Vec3& c = g.center;
  Vec3 turned = TransformDirection(RotationMatrix(g.rotation),
                                   {g.scale[0] * c[0], g.scale[1] * c[1], g.scale[2] * c[2]});
  for (int i = 0; i < 3; ++i)
    g.translation[i] = local[12 + i] - c[i] + turned[i];
}

}  // namespace

void Cut(Document& doc) {
  Scene& s = doc.scene;
  if (s.selectedGroup == -1) return;
  ChangeBatch batch(doc);
  ReleaseClipboard(s);
  const int parent = CurrentParent(s);
  int prev = -1;
  ForEachSibling(s, CurrentLevelHead(s), [&](int g) {
    if (!IsSelected(s, g)) {
      prev = g;
      return;
    }
    RemoveOwnerKeys(doc, g);
    UnlinkGroup(s, g, {true, parent, prev});
    s.groups[g].flags = (s.groups[g].flags & ~Selected) | highlighted;
    s.groups[g].next = s.clipHead;
    s.clipHead = g;
  });
  s.selectedGroup = -1;
  ResetLevel(s);
  doc.shell->Status(kNothingSelected);
  Changed(doc, kSelectionChanged);
}

void Copy(Document& doc) {
  Scene& s = doc.scene;
  if (s.selectedGroup == -1) return;
  ReleaseClipboard(s);
  ForEachSibling(s, CurrentLevelHead(s), [&](int g) {
    if (IsSelected(s, g)) CopySubtree(s, g, kToClipboard);
  });
  Changed(doc);
}

void Paste(Document& doc) {
  Scene& s = doc.scene;
  if (s.clipHead == -1) return;
  ChangeBatch batch(doc);
  SetSubtreeFlags(s, s.rootHead, 0, Selected | highlighted);
  ForEachSibling(s, s.clipHead, [&](int g) { s.groups[g].flags |= Selected | highlighted; });
  const int parent = CurrentParent(s);
  ForEachSibling(s, s.clipHead, [&](int g) {
    int c = CopySubtree(s, g, parent == -1 ? kToTopLevel : parent);
    if (c != -1) s.selectedGroup = c;
  });
  if (s.selectedGroup != -1) doc.shell->Status(s.groups[s.selectedGroup].name);
  Changed(doc, kSelectionChanged);
}

void GroupSelected(Document& doc) {
  Scene& s = doc.scene;
  if (s.selectedGroup == -1) return;
  bool any = false;
  ForEachSibling(s, CurrentLevelHead(s), [&](int g) { any = any || IsSelected(s, g); });
  if (!any) return;
  // The new group is made before any member leaves its level, so a
  // failure leaves the scene as it was.
  const int group = NewGroup(s, "Group");
  if (group == -1) return;
  const int parent = CurrentParent(s);
  int members = -1;
  int prev = -1;
  ForEachSibling(s, CurrentLevelHead(s), [&](int g) {
    if (!IsSelected(s, g)) {
      prev = g;
      return;
    }
    UnlinkGroup(s, g, {true, parent, prev});
    s.groups[g].flags = (s.groups[g].flags & ~Selected) | highlighted;
    s.groups[g].next = members;
    members = g;
  });
  if (parent != -1) {
    s.rootHead = s.groups[group].next;
    LinkAtFront(s, group, parent);
  }
  s.groups[group].child = members;
  s.groups[group].flags = Enabled | Selected | VertexColors | highlighted;
  s.selectedGroup = group;
  RebuildLookAtPaths(s);
  doc.shell->Status("Group");
  Changed(doc, kSelectionChanged);
}

void Ungroup(Document& doc) {
  Scene& s = doc.scene;
  const int g = s.selectedGroup;
  if (!IsLiveGroup(s, g) || s.groups[g].child == -1) return;
  GroupLink link = FindGroupLink(s, g);
  if (!link.found) return;
  ChangeBatch batch(doc);

  const Mat4 m = s.groups[g].matrix;
  const int first = s.groups[g].child;
  SetSubtreeFlags(s, first, 0, Selected | highlighted);
  int last = -1;
  ForEachSibling(s, first, [&](int c) {
    DisplayGroup& child = s.groups[c];
    child.matrix = Multiply(m, child.matrix);
    FieldsFromMatrix(child, child.matrix);
    last = c;
  });

  // The children take the group's place in its sibling list.
  s.groups[last].next = s.groups[g].next;
  if (link.prev != -1)
    s.groups[link.prev].next = first;
  else if (link.parent != -1)
    s.groups[link.parent].child = first;
  else
    s.rootHead = first;

  ResetLevel(s);
  s.selectedGroup = -1;
  ReleaseGroup(s, g);
  doc.shell->Status(kNothingSelected);
  RebuildLookAtPaths(s);
  Changed(doc, kSelectionChanged);
}

void SelectAll(Document& doc) {
  Scene& s = doc.scene;
  int first = -1;
  bool changed = false;
  ForEachSibling(s, CurrentLevelHead(s), [&](int g) {
    uint32_t& flags = s.groups[g].flags;
    if (flags & Deleted) return;
    changed = changed || (flags & (Selected | highlighted)) != (Selected | highlighted);
    flags |= Selected | highlighted;
    changed = SetSubtreeFlags(s, s.groups[g].child, highlighted, 0) || changed;
    if (first == -1) first = g;
  });
  changed = changed || s.selectedGroup != first;
  s.selectedGroup = first;
  doc.shell->Status(first == -1 ? std::string(kNothingSelected) : s.groups[first].name);
  if (changed) NotifyChanged(doc, kSelectionChanged);
  doc.shell->RequestRedraw();
}

void DeselectAll(Document& doc) {
  Scene& s = doc.scene;
  bool changed = SetSubtreeFlags(s, s.rootHead, 0, Selected | highlighted);
  changed = changed || !s.levelStack.empty() || s.selectedGroup != -1;
  ResetLevel(s);
  s.selectedGroup = -1;
  doc.shell->Status(kNothingSelected);
  if (changed) NotifyChanged(doc, kSelectionChanged);
  doc.shell->RequestRedraw();
}

void ReverseNormals(Document& doc) {
  Scene& s = doc.scene;
  if (s.selectedGroup == -1) return;
  ChangeBatch batch(doc);
  ForEachGroup(s, s.rootHead, [&](int g) {
    DisplayGroup& group = s.groups[g];
    if (!IsSelected(s, g)) return;
    const size_t stride = VertexStride(group);
    const size_t at = NormalOffset(group.flags);
    for (DisplayPrimitive& prim : group.primitives) {
      std::vector<float>& vertices = prim.vertices.Mutable();
      for (size_t v = 0; v + stride <= vertices.size(); v += stride)
        for (size_t i = 0; i < 3; ++i)
          vertices[v + at + i] = -vertices[v + at + i];
    }
  });
  Changed(doc);
}

namespace {

void SetEnabledOnSelected(Document& doc, bool enabled) {
  Scene& s = doc.scene;
  std::vector<int> selected;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (IsSelected(s, g)) selected.push_back(g);
  });
  for (int g : selected) {
    EnsureKeyed(doc, g, kKeyEnabled);
    if (enabled)
      s.groups[g].flags |= Enabled;
    else
      s.groups[g].flags &= ~Enabled;
    StoreKey(doc, g, kKeyEnabled);
  }
}

}  // namespace

void EnableSelected(Document& doc) {
  ChangeBatch batch(doc);
  SetEnabledOnSelected(doc, true);
  Changed(doc);
}

void DisableSelected(Document& doc) {
  ChangeBatch batch(doc);
  SetEnabledOnSelected(doc, false);
  Scene& s = doc.scene;
  SetSubtreeFlags(s, s.rootHead, 0, Selected | highlighted);
  s.selectedGroup = -1;
  doc.shell->Status(kNothingSelected);
  Changed(doc, kSelectionChanged);
}

void SetDrawAsBox(Document& doc, bool asBox) {
  Scene& s = doc.scene;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if ((s.groups[g].flags & (Selected | Deleted)) != Selected) return;
    SetSubtreeFlags(s, s.groups[g].child, asBox ? drawAsBox : 0, asBox ? 0 : drawAsBox);
    s.groups[g].flags = asBox ? s.groups[g].flags | drawAsBox : s.groups[g].flags & ~drawAsBox;
  });
  doc.shell->RequestRedraw();
}

}  // namespace modra
