#include "profile/profile_editors.h"

#include <tuple>

namespace modra {
namespace {

bool FollowExt(ExtEditor& ed, const Scene& s) {
  ExtrusionProfile group;
  if (!GetExtrusionProfile(s, ed.group, group)) {
    ed = ExtEditor{};
    return true;
  }
  const ExtrusionProfile& p = ed.profile;
  if (std::tie(group.flags, group.depth, group.bevelSize, group.pointCounts, group.points,
               group.corners) ==
      std::tie(p.flags, p.depth, p.bevelSize, p.pointCounts, p.points, p.corners))
    return false;
  if (group.corners.size() == p.corners.size()) {
    group.selected = p.selected;
  } else {
    ed.current = -1;
  }
  ed.profile = std::move(group);
  ed.gesture = {};
  return true;
}

bool FollowSurf(SurfEditor& ed, const Scene& s) {
  RevolutionProfile group;
  RevolutionParams params;
  if (!GetRevolutionProfile(s, ed.group, group) || !GetRevolutionParams(s, ed.group, params)) {
    ed = SurfEditor{};
    return true;
  }
  const RevolutionProfile& p = ed.profile;
  const RevolutionParams& q = ed.params;
  if (std::tie(group.flags, group.points, group.corners, params.degrees, params.steps,
               params.deltaY, params.radiusScale) ==
      std::tie(p.flags, p.points, p.corners, q.degrees, q.steps, q.deltaY, q.radiusScale))
    return false;
  if (group.corners.size() == p.corners.size()) {
    group.selected = p.selected;
    group.current = p.current;
  }
  ed.profile = std::move(group);
  ed.params = params;
  ed.gesture = {};
  return true;
}

}  // namespace

bool FollowProfileGroups(ProfileEditors& editors, const Scene& s) {
  bool changed = false;
  if (ExtEditorOpen(editors)) changed |= FollowExt(editors.ext, s);
  if (SurfEditorOpen(editors)) changed |= FollowSurf(editors.surf, s);
  return changed;
}

}  // namespace modra
