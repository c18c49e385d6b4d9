// What every scene writer agrees on: which textures are in use and where
// they stand in the file, and the numbers that live groups get in a file.
#pragma once

#include <cstddef>
#include <vector>

#include "scene/scene.h"

namespace modra {

// The textureIndex of every Textured group (Deleted ones included) in
// pre-order, each once; textures met after `limit` are not recorded.
std::vector<int> CollectUsedTextures(const Scene& s, size_t limit = 99);
// A group's texture number in a file: the position of its texture in the
// used list, 0 when it is not Textured or its texture is not listed.
int TextureNumber(const std::vector<int>& used, const DisplayGroup& g);

// Gives every live group exportId = first, first + 1, ... in pre-order and
// returns how many there are. Every other slot (free, on the clipboard,
// linked nowhere) gets -1, so no number from an earlier export survives.
int NumberLiveGroups(Scene& s, int first);
// True for a group numbered by the latest NumberLiveGroups: only those
// can be named in the file being written.
inline bool IsNumbered(const Scene& s, int g) {
  return IsLiveGroup(s, g) && s.groups[g].exportId >= 0;
}
// The groups' live-group order, pre-order (what NumberLiveGroups numbers).
std::vector<int> LiveGroupsInOrder(const Scene& s);
// The first live group of the list that starts at g (g itself included),
// -1 when none.
int FirstLive(const Scene& s, int g);
// exportId of the next live sibling / first live child, -1 for none.
int NextLiveExportId(const Scene& s, int g);
int FirstChildExportId(const Scene& s, int g);

}  // namespace modra
