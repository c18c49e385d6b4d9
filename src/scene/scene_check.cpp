#include "scene/scene_check.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

namespace modra {
namespace {

std::string Text(std::string_view s) {
  return std::string(s);
}
std::string Text(long long v) {
  return std::to_string(v);
}
template <class... Parts>
std::string Line(const Parts&... parts) {
  std::string line;
  ((line += Text(parts)), ...);
  return line;
}

// How a table of groups names its records and its top level.
struct TableNames {
  std::string_view record, top;
};
constexpr TableNames kSlots = {"slot", "the top level"};
constexpr TableNames kClipboardRecords = {"clipboard record", "the clipboard's top level"};

std::string ListName(const TableNames& names, int parent) {
  return parent == -1 ? std::string(names.top)
                      : Line("the children of ", names.record, " ", parent);
}

// Walks a table of groups from `head` along `next` and `child`, marking in
// `parent` the parent of each record reached (-1 at the top level).
// Returns the first broken link. Deleted records may be linked: the header
// slots of a native file stay at the front of the list they were read
// into, and a copy of that list keeps them.
std::string WalkTree(const std::vector<DisplayGroup>& groups, int head, const TableNames& names,
                     std::vector<int32_t>& parent) {
  parent.assign(groups.size(), kUnreached);
  struct List {
    int first, parent;
  };
  std::vector<List> pending = {{head, -1}};
  while (!pending.empty()) {
    const List list = pending.back();
    pending.pop_back();
    for (int g = list.first; g != -1; g = groups[static_cast<size_t>(g)].next) {
      if (g < 0 || static_cast<size_t>(g) >= groups.size())
        return Line(ListName(names, list.parent), " names ", names.record, " ", g,
                    ", outside the table");
      const DisplayGroup& group = groups[static_cast<size_t>(g)];
      if (parent[static_cast<size_t>(g)] != kUnreached)
        return Line(names.record, " ", g, " is reached twice (again from ",
                    ListName(names, list.parent), ")");
      parent[static_cast<size_t>(g)] = list.parent;
      if (group.child != -1) pending.push_back({group.child, g});
    }
  }
  return {};
}

bool Holds(const DisplayGroup& g) {
  return !(g.flags & Deleted);
}

std::string CheckGroups(const Scene& s) {
  std::vector<int32_t> parent;
  if (std::string problem = WalkTree(s.groups, s.rootHead, kSlots, parent); !problem.empty())
    return problem;
  auto inScene = [&](int g) {
    return IsLiveGroup(s, g) && parent[static_cast<size_t>(g)] != kUnreached;
  };

  std::vector<char> free(s.groups.size(), 0);
  for (int g = s.freeHead; g != -1; g = s.groups[static_cast<size_t>(g)].next) {
    if (!IsValidSlot(s, g)) return Line("the free list names slot ", g, ", outside the table");
    if (free[static_cast<size_t>(g)]) return Line("the free list reaches slot ", g, " twice");
    if (Holds(s.groups[static_cast<size_t>(g)]))
      return Line("the free list holds slot ", g, ", which holds a group");
    if (parent[static_cast<size_t>(g)] != kUnreached)
      return Line("the free list holds slot ", g, ", which is linked in the scene");
    free[static_cast<size_t>(g)] = 1;
  }

  for (size_t g = 0; g < s.groups.size(); ++g)
    if (Holds(s.groups[g]) && parent[g] == kUnreached)
      return Line("slot ", static_cast<long long>(g), " (\"", s.groups[g].name,
                  "\") holds a group that is in no level of the scene");

  if (s.levelStack.size() > kMaxLevelDepth)
    return Line("the level stack is ", static_cast<long long>(s.levelStack.size()), " levels deep");
  int below = -1;
  for (size_t i = 0; i < s.levelStack.size(); ++i) {
    const int g = s.levelStack[i];
    if (!inScene(g))
      return Line("level ", static_cast<long long>(i), " names slot ", g,
                  ", which is not a group of the scene");
    if (parent[static_cast<size_t>(g)] != below)
      return Line("level ", static_cast<long long>(i), " names slot ", g, ", which is not in ",
                  ListName(kSlots, below));
    below = g;
  }
  if (s.selectedGroup != -1 && !inScene(s.selectedGroup))
    return Line("the selected group ", s.selectedGroup, " is not a group of the scene");
  if (s.camera.lookAtGroup != -1 && !IsLiveGroup(s, s.camera.lookAtGroup))
    return Line("the camera looks at slot ", s.camera.lookAtGroup, ", which holds no group");
  return {};
}

std::string CheckGroupClipboard(const GroupClipboard& clip) {
  std::vector<int32_t> parent;
  if (std::string problem = WalkTree(clip.groups, clip.head, kClipboardRecords, parent);
      !problem.empty())
    return problem;
  for (size_t g = 0; g < clip.groups.size(); ++g)
    if (parent[g] == kUnreached)
      return Line("clipboard record ", static_cast<long long>(g),
                  " is in no list of the clipboard");
  return {};
}

// Whether a key holds the values its kind stores: a camera key holds its
// look-at path after them, as many groups as its count word says.
bool ValuesFit(const KnfKeyInfo& key) {
  const int stored = StoredValueCount(key.kind);
  if (stored < 0) return false;
  const size_t size = key.values.size();
  if (key.kind != kKeyCamera) return size == static_cast<size_t>(stored);
  if (size < static_cast<size_t>(stored)) return false;
  const int32_t path = std::bit_cast<int32_t>(key.values[kCameraPathCountWord]);
  return path >= 0 && size - kCameraPathWord == static_cast<size_t>(path);
}

// Whether the owner exists and has keys of the kind.
bool OwnerFits(const Scene& s, int owner, int kind) {
  if (owner == kCameraOwner) return kind == kKeyCamera;
  if (owner >= 0) return IsGroupKind(kind) && IsLiveGroup(s, owner);
  return IsLightKind(kind) && owner >= LightOwner(0) && owner < LightOwner(kLightCount);
}

std::string CheckKeys(const Scene& s) {
  const KeyStore& a = s.anim;
  const size_t count = a.keys.size();
  auto inPool = [&](int k) { return k >= 0 && static_cast<size_t>(k) < count; };
  constexpr int kNowhere = -2, kFree = -1;
  std::vector<int32_t> where(count, kNowhere);  // the frame holding each key
  auto place = [&](int k) {
    return where[static_cast<size_t>(k)] == kFree ? std::string("the free list")
                                                  : Line("frame ", where[static_cast<size_t>(k)]);
  };

  for (int f = 0; f < kFrameCount; ++f) {
    for (int k = a.frameKeys[static_cast<size_t>(f)]; k != -1;
         k = a.keys[static_cast<size_t>(k)].nextInFrame) {
      if (!inPool(k)) return Line("frame ", f, " names key ", k, ", outside the pool");
      if (where[static_cast<size_t>(k)] == f)
        return Line("frame ", f, "'s key list runs in a circle at key ", k);
      if (where[static_cast<size_t>(k)] != kNowhere)
        return Line("key ", k, " is in frame ", f, " and in ", place(k));
      where[static_cast<size_t>(k)] = f;
      const KnfKeyInfo& key = a.keys[static_cast<size_t>(k)];
      if (StoredValueCount(key.kind) < 0)
        return Line("key ", k, " of frame ", f, " has no kind (", key.kind, ")");
      if (!ValuesFit(key))
        return Line("key ", k, " of frame ", f, " holds ",
                    static_cast<long long>(key.values.size()), " values for kind ", key.kind);
      if (!OwnerFits(s, key.owner, key.kind))
        return Line("key ", k, " of frame ", f, " has kind ", key.kind, " for owner ", key.owner,
                    ", which has no such keys");
    }
  }
  for (int k = a.freeKey; k != -1; k = a.keys[static_cast<size_t>(k)].nextInFrame) {
    if (!inPool(k)) return Line("the key free list names key ", k, ", outside the pool");
    if (where[static_cast<size_t>(k)] == kFree)
      return Line("the key free list runs in a circle at key ", k);
    if (where[static_cast<size_t>(k)] != kNowhere)
      return Line("key ", k, " is free and in ", place(k));
    if (a.keys[static_cast<size_t>(k)].kind != -1)
      return Line("free key ", k, " holds a key of kind ", a.keys[static_cast<size_t>(k)].kind);
    where[static_cast<size_t>(k)] = kFree;
  }
  for (size_t k = 0; k < count; ++k)
    if (where[k] == kNowhere)
      return Line("key ", static_cast<long long>(k), " is in no frame and not free");

  const std::vector<int32_t>& list = a.keyFrameList;
  for (size_t i = 0; i < list.size(); ++i) {
    if (!IsValidFrame(list[i])) return Line("keyFrameList names frame ", list[i]);
    if (i > 0 && list[i - 1] >= list[i])
      return Line("keyFrameList does not ascend at ", list[i - 1], ", ", list[i]);
    if (a.frameKeys[static_cast<size_t>(list[i])] == -1)
      return Line("keyFrameList names frame ", list[i], ", which holds no keys");
  }
  for (int f = 0; f < kFrameCount; ++f)
    if (a.frameKeys[static_cast<size_t>(f)] != -1 &&
        !std::binary_search(list.begin(), list.end(), f))
      return Line("frame ", f, " holds keys but keyFrameList leaves it out");

  for (size_t i = 0; i < a.clipboard.size(); ++i) {
    const KnfKeyInfo& key = a.clipboard[i];
    if (StoredValueCount(key.kind) < 0)
      return Line("clipboard key ", static_cast<long long>(i), " has no kind (", key.kind, ")");
    if (!ValuesFit(key))
      return Line("clipboard key ", static_cast<long long>(i), " holds ",
                  static_cast<long long>(key.values.size()), " values for kind ", key.kind);
  }
  return {};
}

}  // namespace

std::string CheckScene(const Scene& s) {
  if (std::string problem = CheckGroups(s); !problem.empty()) return problem;
  if (std::string problem = CheckGroupClipboard(s.clipboard); !problem.empty()) return problem;
  return CheckKeys(s);
}

}  // namespace modra
