#include "nativefile/export_order.h"

#include <algorithm>

namespace modra {

std::vector<int> CollectUsedTextures(const Scene& s, size_t limit) {
  std::vector<int> used;
  ForEachGroup(s, s.rootHead, [&](int g) {
    const DisplayGroup& group = s.groups[g];
    if (!(group.flags & Textured) || used.size() >= limit) return;
    if (std::find(used.begin(), used.end(), group.textureIndex) == used.end())
      used.push_back(group.textureIndex);
  });
  return used;
}

int TextureNumber(const std::vector<int>& used, const DisplayGroup& g) {
  if (!(g.flags & Textured)) return 0;
  auto it = std::find(used.begin(), used.end(), g.textureIndex);
  return it == used.end() ? 0 : static_cast<int>(it - used.begin());
}

std::vector<int> LiveGroupsInOrder(const Scene& s) {
  std::vector<int> order;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (!(s.groups[g].flags & Deleted)) order.push_back(g);
  });
  return order;
}

int NumberLiveGroups(Scene& s, int first) {
  for (DisplayGroup& g : s.groups)
    g.exportId = -1;
  int n = first;
  for (int g : LiveGroupsInOrder(s))
    s.groups[g].exportId = n++;
  return n - first;
}

int FirstLive(const Scene& s, int g) {
  for (size_t budget = s.groups.size(); IsValidSlot(s, g) && budget > 0; --budget) {
    if (!(s.groups[g].flags & Deleted)) return g;
    g = s.groups[g].next;
  }
  return -1;
}

int NextLiveExportId(const Scene& s, int g) {
  int next = FirstLive(s, s.groups[g].next);
  return next == -1 ? -1 : s.groups[next].exportId;
}

int FirstChildExportId(const Scene& s, int g) {
  int child = FirstLive(s, s.groups[g].child);
  return child == -1 ? -1 : s.groups[child].exportId;
}

}  // namespace modra
