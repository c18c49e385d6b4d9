#include "formats/dxf_blocks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace modra::dxf {

std::vector<BlockDefinition> FindBlocks(std::span<const uint8_t> bytes) {
  std::vector<BlockDefinition> blocks;
  GroupReader groups(bytes);
  // note: nothing is given back here, so the next group always starts
  // where the bytes not yet read do.
  const auto at = [&] { return bytes.size() - groups.Remaining(); };
  BlockDefinition block;
  bool open = false;
  Group g;
  bool more = groups.Next(g);
  while (more) {
    if (g.code == 0 && g.Text() == "BLOCK") {
      block = {};
      open = true;
      // The header runs to the next entity, where the body starts; that
      // entity is looked at next without reading another.
      size_t start = at();
      while ((more = groups.Next(g)) && g.code != 0) {
        if (g.code == 2) block.name = g.Text();
        if (g.code == 10 || g.code == 20 || g.code == 30) block.base[g.code / 10 - 1] = g.Float();
        start = at();
      }
      block.body = bytes.subspan(start);
      continue;
    }
    if (open && g.code == 0 && g.Text() == "ENDBLK") {
      const size_t end = at();
      block.body = block.body.first(end - (bytes.size() - block.body.size()));
      blocks.push_back(block);
      open = false;
    }
    more = groups.Next(g);
  }
  std::stable_sort(
      blocks.begin(), blocks.end(),
      [](const BlockDefinition& a, const BlockDefinition& b) { return a.name < b.name; });
  blocks.erase(std::unique(blocks.begin(), blocks.end(),
                           [](const BlockDefinition& a, const BlockDefinition& b) {
                             return a.name == b.name;
                           }),
               blocks.end());
  return blocks;
}

const BlockDefinition* FindBlock(const std::vector<BlockDefinition>& blocks,
                                 std::string_view name) {
  auto it =
      std::lower_bound(blocks.begin(), blocks.end(), name,
                       [](const BlockDefinition& b, std::string_view n) { return b.name < n; });
  return it != blocks.end() && it->name == name ? &*it : nullptr;
}

void ReadInsertGroup(Insert& insert, const Group& g) {
  switch (g.code) {
    case 2:
      insert.name = g.Text();
      break;
    case 10:
    case 20:
    case 30:
      insert.point[g.code / 10 - 1] = g.Float();
      break;
    case 41:
    case 42:
    case 43:
      insert.scale[g.code - 41] = g.Float();
      break;
    case 50:
      insert.degrees = g.Float();
      break;
    case 70:
      insert.columns = g.Int();
      break;
    case 71:
      insert.rows = g.Int();
      break;
    case 44:
      insert.columnSpacing = g.Float();
      break;
    case 45:
      insert.rowSpacing = g.Float();
      break;
    default:
      break;
  }
}

Placement Compose(const Placement& outer, const Placement& inner) {
  Placement p;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) {
      double v = j == 3 ? outer.m[i][3] : 0.0;
      for (int k = 0; k < 3; ++k)
        v += outer.m[i][k] * inner.m[k][j];
      p.m[i][j] = v;
    }
  return p;
}

Placement PlaceInsert(const Insert& insert, const Vec3& base, int32_t column, int32_t row) {
  const double turn = insert.degrees * std::numbers::pi / 180.0;
  const double c = std::cos(turn), s = std::sin(turn);
  const double* k = insert.scale;
  // In the turned frame: scale about the base, then step to the cell.
  const double x = column * insert.columnSpacing - k[0] * base[0];
  const double y = row * insert.rowSpacing - k[1] * base[1];
  const double z = -k[2] * base[2];
  Placement p;
  p.m[0][0] = c * k[0];
  p.m[0][1] = -s * k[1];
  p.m[0][2] = 0;
  p.m[0][3] = insert.point[0] + c * x - s * y;
  p.m[1][0] = s * k[0];
  p.m[1][1] = c * k[1];
  p.m[1][2] = 0;
  p.m[1][3] = insert.point[1] + s * x + c * y;
  p.m[2][0] = 0;
  p.m[2][1] = 0;
  p.m[2][2] = k[2];
  p.m[2][3] = insert.point[2] + z;
  return p;
}

Vec3 Apply(const Placement& p, const Vec3& v) {
  Vec3 out;
  for (int i = 0; i < 3; ++i) {
    const double d = p.m[i][0] * v[0] + p.m[i][1] * v[1] + p.m[i][2] * v[2] + p.m[i][3];
    // note: a double beyond float's range may not be converted; infinity may.
    constexpr float kFar = std::numeric_limits<float>::infinity();
    out[i] = std::isnan(d) || std::abs(d) <= std::numeric_limits<float>::max()
                 ? static_cast<float>(d)
                 : (d > 0 ? kFar : -kFar);
  }
  return out;
}

}  // namespace modra::dxf
