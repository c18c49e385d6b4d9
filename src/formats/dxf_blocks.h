// Blocks of DXF text: the definitions of the BLOCKS section and where an
// INSERT entity puts their contents.
//
// A placement maps a block's points (DXF axes) into the space of whatever
// inserts it: the point minus the block's base, scaled by 41/42/43,
// moved to its array cell (70 columns 44 apart, 71 rows 45 apart),
// turned by 50 degrees about Z and moved to the insertion point
// 10/20/30. The extrusion direction (210/220/230) is not applied: every
// insert is taken as lying in the XY plane of its parent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "formats/dxf_groups.h"
#include "scene/display_group.h"

namespace modra::dxf {

struct BlockDefinition {
  std::string_view name;  // group 2 of BLOCK, in the file's bytes
  Vec3 base = {0, 0, 0};
  // From the group after the BLOCK header to the end of its ENDBLK group,
  // inside the file's bytes.
  std::span<const uint8_t> body;
};

// The blocks of a file, sorted by name; of two blocks with one name the
// first counts. A BLOCK without its ENDBLK (a later BLOCK or the end of
// the file comes first) is left out.
std::vector<BlockDefinition> FindBlocks(std::span<const uint8_t> bytes);

// The block of that name; null when there is none.
const BlockDefinition* FindBlock(const std::vector<BlockDefinition>& blocks, std::string_view name);

// What an INSERT entity says, in its codes' defaults.
struct Insert {
  std::string_view name;
  double point[3] = {0, 0, 0};
  double scale[3] = {1, 1, 1};
  double degrees = 0;
  int32_t columns = 1, rows = 1;
  double columnSpacing = 0, rowSpacing = 0;
};

// Takes one group of an INSERT entity into `insert`.
void ReadInsertGroup(Insert& insert, const Group& g);

// An affine map of DXF points: p' = m[..][0..2] p + m[..][3].
struct Placement {
  double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
};

// outer after inner: the map of a block placed inside a placed block.
Placement Compose(const Placement& outer, const Placement& inner);

// Where `insert` puts the points of a block with base `base` in its array
// cell (column, row), in the inserting space.
Placement PlaceInsert(const Insert& insert, const Vec3& base, int32_t column, int32_t row);

Vec3 Apply(const Placement& p, const Vec3& v);

}  // namespace modra::dxf
