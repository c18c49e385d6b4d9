#include "geometry/extrusion_profile.h"

#include <cassert>
#include <cstdint>
#include <string>

#include "geometry/extrusion_block.h"

namespace modra {
namespace {

int TotalPoints(const ExtrusionProfile& p) {
  return static_cast<int>(p.corners.size());
}

void ClearSelection(ExtrusionProfile& p) {
  p.selected.assign(p.corners.size(), 0);
}

}  // namespace

bool PickTwoToSplit(const std::vector<uint8_t>& selected, int total, int picked[2], Shell& shell) {
  if (total >= kMaxProfilePoints) {
    shell.Message("Unable to add any more points");
    return false;
  }
  picked[0] = picked[1] = -1;
  int selectedCount = 0;
  for (int i = 0; i < total; ++i) {
    if (!selected[i]) continue;
    if (selectedCount < 2) picked[selectedCount] = i;
    ++selectedCount;
  }
  if (total == 0 || selectedCount != 2) {
    shell.Message("Need to have exactly two points selected to add a point");
    return false;
  }
  return true;
}

void InsertMidpoint(std::vector<float>& points, std::vector<uint8_t>& corners,
                    std::vector<uint8_t>& selected, const int picked[2], int at) {
  assert(points.size() == 2 * corners.size() && selected.size() == corners.size());
  assert(picked[0] >= 0 && static_cast<size_t>(picked[1]) < corners.size());
  assert(at >= 0 && static_cast<size_t>(at) <= corners.size());
  const float x = (points[2 * picked[0]] + points[2 * picked[1]]) / 2;
  const float y = (points[2 * picked[0] + 1] + points[2 * picked[1] + 1]) / 2;
  points.insert(points.begin() + 2 * at, {x, y});
  corners.insert(corners.begin() + at, 0);
  selected.assign(corners.size(), 0);
  selected[at] = 1;
}

int AddProfilePoint(ExtrusionProfile& profile, Shell& shell) {
  const int total = TotalPoints(profile);
  int picked[2];
  if (!PickTwoToSplit(profile.selected, total, picked, shell)) return -1;
  // Where the new point goes: after the earlier of two neighbours, or at
  // the end of the contour for its last and first point.
  int insertAt = -1;
  for (int c = 0, first = 0; c < static_cast<int>(profile.pointCounts.size()); ++c) {
    const int n = profile.pointCounts[c];
    const int last = first + n - 1;
    if (picked[0] >= first && picked[1] <= last) {
      if (picked[1] == picked[0] + 1)
        insertAt = picked[1];
      else if (picked[0] == first && picked[1] == last)
        insertAt = last + 1;
      if (insertAt >= 0) profile.pointCounts[c] = n + 1;
      break;
    }
    first += n;
  }
  if (insertAt < 0) {
    shell.Message("Need to have two adjacent points selected on the same loop to add a point");
    return -1;
  }
  InsertMidpoint(profile.points, profile.corners, profile.selected, picked, insertAt);
  return insertAt;
}

void CutProfilePoints(ExtrusionProfile& profile) {
  // Contours lose points independently, so one pass keeps each contour's
  // earliest selected points out until it is down to 3.
  size_t read = 0, write = 0;
  for (int32_t& n : profile.pointCounts) {
    int32_t kept = n;
    for (int32_t j = 0; j < n; ++j, ++read) {
      if (profile.selected[read] && kept > 3) {
        --kept;
        continue;
      }
      profile.points[2 * write] = profile.points[2 * read];
      profile.points[2 * write + 1] = profile.points[2 * read + 1];
      profile.corners[write] = profile.corners[read];
      ++write;
    }
    n = kept;
  }
  profile.points.resize(2 * write);
  profile.corners.resize(write);
  ClearSelection(profile);
}

int AddProfileHole(ExtrusionProfile& profile, Shell& shell) {
  if (static_cast<int>(profile.pointCounts.size()) >= kMaxProfileContours) {
    shell.Message("Can't add any more holes");
    return -1;
  }
  if (TotalPoints(profile) + 3 > kMaxProfilePoints) {
    shell.Message("Unable to add any more points");
    return -1;
  }
  profile.pointCounts.push_back(3);
  profile.points.insert(profile.points.end(), {-0.1f, 0.0f, 0.1f, 0.1f, 0.1f, -0.1f});
  profile.corners.insert(profile.corners.end(), {1, 1, 1});
  profile.selected.insert(profile.selected.end(), {0, 0, 0});
  return 0;
}

int RemoveProfileHole(ExtrusionProfile& profile, Shell& shell) {
  int first = profile.pointCounts.empty() ? 0 : profile.pointCounts[0];
  for (size_t c = 1; c < profile.pointCounts.size(); ++c) {
    const int n = profile.pointCounts[c];
    bool whole = true;
    for (int i = first; i < first + n && whole; ++i)
      whole = profile.selected[i] != 0;
    if (whole) {
      profile.points.erase(profile.points.begin() + 2 * first,
                           profile.points.begin() + 2 * (first + n));
      profile.corners.erase(profile.corners.begin() + first, profile.corners.begin() + first + n);
      profile.pointCounts.erase(profile.pointCounts.begin() + static_cast<std::ptrdiff_t>(c));
      ClearSelection(profile);
      return 0;
    }
    first += n;
  }
  shell.Message("Need to select entire hole to remove it");
  return -1;
}

void ApplyProfile(Scene& s, int g, const ExtrusionProfile& profile) {
  int64_t total = 0;
  for (int32_t n : profile.pointCounts)
    total += n;
  // The block is copied from these arrays: they must agree.
  if (profile.corners.size() != static_cast<size_t>(total) ||
      profile.points.size() != 2 * profile.corners.size())
    return;
  float depth = profile.depth, bevelSize = profile.bevelSize;
  ExtrusionBlock block;
  if (s.groups[g].kind == kKindExtrusion &&
      ReadExtrusionBlock(s.groups[g].generatorParams, block)) {
    depth = block.depth;
    bevelSize = block.bevelSize;
  }
  const std::string name = s.groups[g].name;
  UpdateExtrusion(s, g, profile.flags, depth, bevelSize,
                  static_cast<int>(profile.pointCounts.size()), profile.pointCounts.data(),
                  profile.points.data(), profile.corners.data());
  SetGroupName(s, g, name);
}

}  // namespace modra
