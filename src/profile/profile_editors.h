// The two profile editors of one document (at most one of each kind is
// open), and how they follow their groups when something other than the
// editor changes them: undo, redo, or the group going away.
#pragma once

#include "profile/ext_editor.h"
#include "profile/surf_editor.h"
#include "scene/scene.h"

namespace modra {

struct ProfileEditors {
  ExtEditor ext;    // closed while ext.group is -1
  SurfEditor surf;  // closed while surf.group is -1
};

inline bool ExtEditorOpen(const ProfileEditors& e) {
  return e.ext.group >= 0;
}
inline bool SurfEditorOpen(const ProfileEditors& e) {
  return e.surf.group >= 0;
}

// Each open editor takes its group's profile and settings again when they
// differ from its own; the selection and the current point stay when the
// point count is the same. An editor whose group is no longer a readable
// profile of its kind closes. True when an editor changed.
bool FollowProfileGroups(ProfileEditors& editors, const Scene& s);

}  // namespace modra
