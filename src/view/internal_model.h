// The small models compiled into the program that show where things are:
// arrows for the current group's axes, a camera, and a lamp for each kind
// of light. Each is a scene written by the C source export (knf/knf.h
// records: groups in pre-order, linked by array positions) and drawn by a
// walk of its records.
#pragma once

#include <span>
#include <string_view>

#include "document/shell.h"
#include "nativefile/knf/knf.h"
#include "scene/display_group.h"

namespace modra {

// One compiled model: the exported scene and the length of its group array,
// which has no end entry.
struct InternalModel {
  const KnfInternalInfo* scene = nullptr;
  int groupCount = 0;
};

enum InternalModelId : int {
  kAxisModel = 0,
  kCameraModel = 1,
  kDirectionalLightModel = 2,
  kPositionalLightModel = 3,
  kSpotLightModel = 4,
};
inline constexpr int kInternalModelCount = 5;

// Records nested deeper than this are left out of walks: each level takes
// an entry of OpenGL's modelview stack, which may hold as few as 32.
inline constexpr int kMaxModelDepth = 24;

// The compiled model, or null for an id outside 0..4.
const InternalModel* GetInternalModel(int id);

// The position of the first record named `name` in a pre-order walk of the
// records (following next and child), or -1 for no model or no match. A
// damaged link (out of range, a loop) ends that branch of the walk.
int FindInternalModelGroup(const InternalModel* model, std::string_view name);

// How far the model reaches from its origin: the distance of its farthest
// drawn vertex, in the model's own units. 0 for a null model.
float InternalModelReach(const InternalModel* model);

// A colour one record takes for one draw in place of its own: the light
// models' bulbs show their light's colour without the compiled records,
// which every document shares, ever being written.
struct RecordColor {
  int record = -1;  // none
  Vec3 color = {1, 1, 1};
};

// Draws the records inside the current modelview matrix, which is left as
// it was: colour white, lighting on, filled polygons and colour material
// first; then each enabled record with its subtree (a disabled one hides
// its subtree), inside its own matrix, children before its own primitives.
// Materials and vertex layouts follow the groups' rules; a textured record
// binds the object `textureNames` gives its texture number, and none when
// there is none (so an empty list draws the model untextured). A null
// model draws nothing. Needs a current context.
void DrawInternalModel(const InternalModel* model, std::span<const unsigned> textureNames,
                       const RecordColor& tint = {});

// The sub-group of each light model that takes the light's colour. A lamp
// whose bulb is missing gets record 0 instead; the others keep theirs.
struct LightBulbs {
  int directional = 0;   // "Bulb1"
  int positional = 0;    // "Bulb"
  int spot = 0;          // "Bulb"
  bool complete = true;  // false when any was missing
};
LightBulbs FindLightBulbs(const InternalModel* directional, const InternalModel* positional,
                          const InternalModel* spot);
// The compiled models' bulbs. The lookup is cheap and its data constant,
// so the drawing repeats it rather than keep it anywhere.
LightBulbs CompiledLightBulbs();

// The start-up check: when a bulb is missing, says so through the shell
// (the models must be generated again). Returns the bulbs found.
LightBulbs LookUpLightBulbs(Shell& shell, const InternalModel* directional,
                            const InternalModel* positional, const InternalModel* spot);
LightBulbs LookUpLightBulbs(Shell& shell);

}  // namespace modra
