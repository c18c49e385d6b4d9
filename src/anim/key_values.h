// Moving values between the scene and keys: a key captures what its owner
// holds now, and applying a key (or a point on a curve) sets the owner.
#pragma once

#include <cstdint>
#include <span>

#include "scene/scene.h"

namespace modra {

// True when the kind belongs to that kind of owner (group, camera, light)
// and a light owner names one of the nine lights.
bool OwnerMatchesKind(const Scene& s, int owner, int kind);

// Copies the owner's present values into the key; sets the key's mask
// (0, the step bit for light types and enabled flags, the camera's mode
// for the camera). Mismatched or vanished owners leave the key as it was.
// false only when memory runs out for a camera path.
bool CaptureKeyValues(const Scene& s, int owner, int kind, KnfKeyInfo& key);

// Writes values into the owner. `values` holds at least ValueCount(kind)
// floats; a camera key's full values also restore the look-at group and
// path, a point on a curve (6 floats) keeps them.
void ApplyKeyValues(Scene& s, int owner, int kind, uint32_t mask, std::span<const float> values);

}  // namespace modra
