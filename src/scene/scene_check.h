// A check of every link a scene holds, for tests and debug builds: the
// hierarchy, the free list, the level being edited, the selection, the
// camera's target, the group clipboard and the key store.
//
// Whatever the scene holds (indices out of range, lists that loop), the
// check reads only inside its tables and ends.
#pragma once

#include <string>

#include "scene/scene.h"

namespace modra {

// "" when every link is whole; otherwise one line that names the first
// problem found. The rules:
//  - the lists from rootHead end, reach each slot at most once and name
//    only slots of the table;
//  - every slot that holds a group is reached. Deleted slots may lie on a
//    list or on none: the header slots of a loaded native file stay linked
//    at the front of its top level, and those no record reaches on none;
//  - the free list ends and holds only Deleted slots that no list reaches;
//  - the level stack holds groups of the scene, each a child of the one
//    below it, the first at the top level; the selected group is -1 or in
//    the scene; the camera looks at -1 or a group;
//  - the group clipboard's lists end inside its own table and reach every
//    record once;
//  - each frame's key list ends and names keys of the pool that no other
//    list names; each such key has a kind, the values that kind stores
//    (a camera key also its look-at path), and an owner of that kind that
//    exists: the camera, one of the lights, or a group;
//  - the key free list ends and holds only released keys; every key is in
//    one frame or free;
//  - keyFrameList ascends and names exactly the frames that hold keys;
//  - the key clipboard's keys have a kind and the values it stores.
std::string CheckScene(const Scene& s);

}  // namespace modra
