#include "document/group_edit.h"

#include <cmath>
#include <deque>
#include <new>
#include <vector>

#include "anim/key_commands.h"
#include "anim/keying.h"
#include "scene/camera_lights.h"
#include "scene/matrix.h"

namespace modra {
namespace {

// Pushes a deep copy of the scene's subtree at src to the front of the
// clipboard's top level. Each sibling list is pushed front first, so every
// list comes out reversed. Breadth first, so a deep hierarchy cannot
// exhaust the stack. A subtree whose copy fails is left out.
void CopyToClipboard(GroupClipboard& clip, const Scene& s, int src) {
  struct Job {
    int source, parent;  // parent: a clipboard record, -1 for the top level
  };
  std::deque<Job> jobs = {{src, -1}};
  while (!jobs.empty()) {
    const Job job = jobs.front();
    jobs.pop_front();
    const int c = static_cast<int>(clip.groups.size());
    try {
      clip.groups.push_back(s.groups[job.source]);
    } catch (const std::bad_alloc&) {
      continue;
    }
    int& first = job.parent == -1 ? clip.head : clip.groups[job.parent].child;
    clip.groups[c].child = -1;
    clip.groups[c].next = first;
    first = c;
    ForEachSibling(s, s.groups[job.source].child, [&](int ch) { jobs.push_back({ch, c}); });
  }
}

// Pushes a deep copy of the clipboard's subtree at src to the front of a
// level of the scene (parent -1: the top level), reversing every sibling
// list as CopyToClipboard does. Returns the copy of src; -1 when it could
// not be made.
int PasteSubtree(Scene& s, const GroupClipboard& clip, int src, int parent) {
  struct Job {
    int source, parent;
  };
  std::deque<Job> jobs = {{src, parent}};
  int top = -1;
  while (!jobs.empty()) {
    const Job job = jobs.front();
    jobs.pop_front();
    int c;
    try {
      c = PlaceGroup(s, clip.groups[job.source]);
    } catch (const std::bad_alloc&) {
      continue;
    }
    if (c == -1) continue;
    LinkAtFront(s, c, job.parent);
    if (top == -1) top = c;
    ForEachClipboardSibling(clip, clip.groups[job.source].child, [&](int ch) {
      jobs.push_back({ch, c});
    });
  }
  return top;
}

// Moves the scene's subtree at g, already unlinked, to the front of the
// clipboard's top level as it is (its lists keep their order), releasing
// each slot as its record leaves: the records live on in the clipboard
// alone. `clip` has room reserved for the whole subtree.
void MoveToClipboard(GroupClipboard& clip, Scene& s, int g) {
  // A sibling list of the scene whose records become the children of a
  // clipboard record.
  struct Job {
    int first, parent;
  };
  std::vector<Job> jobs;
  auto take = [&](int slot) {
    const int c = static_cast<int>(clip.groups.size());
    DisplayGroup& record = clip.groups.emplace_back(std::move(s.groups[slot]));
    if (record.child != -1) jobs.push_back({record.child, c});
    record.next = record.child = -1;
    ReleaseGroup(s, slot);
    return c;
  };
  const int top = take(g);
  clip.groups[top].next = clip.head;
  clip.head = top;
  while (!jobs.empty()) {
    const Job job = jobs.back();
    jobs.pop_back();
    int prev = -1;
    for (int m = job.first; IsValidSlot(s, m);) {
      const int next = s.groups[m].next;
      const int c = take(m);
      (prev == -1 ? clip.groups[job.parent].child : clip.groups[prev].next) = c;
      prev = c;
      m = next;
    }
  }
}

// The number of groups in each subtree of `tops`.
size_t SubtreeSizes(const Scene& s, const std::vector<int>& tops) {
  size_t count = 0;
  for (int g : tops)
    ForEachGroup(s, s.groups[g].child, [&](int) { ++count; });
  return count + tops.size();
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
  const std::vector<int> cut = SelectedOwners(s);
  // Room for every record first, so running out of memory cuts nothing.
  GroupClipboard clip;
  try {
    clip.groups.reserve(SubtreeSizes(s, cut));
  } catch (const std::bad_alloc&) {
    return;
  }
  for (int g : cut) {
    // Every group of the subtree leaves the scene with its keys, so that
    // no key names a released slot.
    RemoveOwnerKeys(doc, g);
    ForEachGroup(s, s.groups[g].child, [&](int member) { RemoveOwnerKeys(doc, member); });
    UnlinkGroup(s, g, FindGroupLink(s, g));
    s.groups[g].flags = (s.groups[g].flags & ~Selected) | highlighted;
    MoveToClipboard(clip, s, g);
  }
  s.clipboard = std::move(clip);
  s.selectedGroup = -1;
  ResetLevel(s);
  doc.shell->Status(kNothingSelected);
  Changed(doc, kSelectionChanged | kClipboardChanged);
}

void Copy(Document& doc) {
  Scene& s = doc.scene;
  if (s.selectedGroup == -1) return;
  ChangeBatch batch(doc);
  GroupClipboard clip;
  ForEachSibling(s, CurrentLevelHead(s), [&](int g) {
    if (IsSelected(s, g)) CopyToClipboard(clip, s, g);
  });
  s.clipboard = std::move(clip);
  NotifyChanged(doc, kClipboardChanged);
}

void Paste(Document& doc) {
  Scene& s = doc.scene;
  const GroupClipboard& clip = s.clipboard;
  if (clip.Empty()) return;
  ChangeBatch batch(doc);
  SetSubtreeFlags(s, s.rootHead, 0, Selected | highlighted);
  const int parent = CurrentParent(s);
  ForEachClipboardSibling(clip, clip.head, [&](int g) {
    int c = PasteSubtree(s, clip, g, parent);
    if (c == -1) return;
    s.groups[c].flags |= Selected | highlighted;
    s.selectedGroup = c;
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
