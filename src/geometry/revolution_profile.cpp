#include "geometry/revolution_profile.h"

#include <string>

#include "geometry/extrusion.h"
#include "geometry/extrusion_profile.h"

namespace modra {

int AddRevolutionPoint(RevolutionProfile& profile, Shell& shell) {
  const int total = static_cast<int>(profile.corners.size());
  int picked[2];
  if (!PickTwoToSplit(profile.selected, total, picked, shell)) return -1;
  int insertAt = -1;
  if (picked[1] == picked[0] + 1)
    insertAt = picked[1];
  else if (picked[0] == 0 && picked[1] == total - 1)
    insertAt = total;
  if (insertAt < 0) {
    shell.Message("Need to have two adjacent points selected add a point");
    return -1;
  }
  InsertMidpoint(profile.points, profile.corners, profile.selected, picked, insertAt);
  profile.current = insertAt;
  return insertAt;
}

void CutRevolutionPoints(RevolutionProfile& profile) {
  // Removing the first selected point while 3 or more remain, over and
  // over, keeps out the earliest selected points until 2 are left.
  size_t remaining = profile.corners.size();
  size_t write = 0;
  for (size_t read = 0; read < profile.corners.size(); ++read) {
    if (profile.selected[read] && remaining >= 3) {
      --remaining;
      continue;
    }
    profile.points[2 * write] = profile.points[2 * read];
    profile.points[2 * write + 1] = profile.points[2 * read + 1];
    profile.corners[write] = profile.corners[read];
    ++write;
  }
  profile.points.resize(2 * write);
  profile.corners.resize(write);
  profile.selected.assign(write, 0);
  profile.current = -1;
}

void ApplyRevolution(Scene& s, int g, const RevolutionProfile& profile) {
  // The block is copied from these arrays: they must agree.
  if (profile.points.size() != 2 * profile.corners.size()) return;
  const std::string name = s.groups[g].name;
  UpdateRevolution(s, g, profile.flags, static_cast<int>(profile.corners.size()),
                   profile.points.data(), profile.corners.data());
  SetGroupName(s, g, name);
}

}  // namespace modra
