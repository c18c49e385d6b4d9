// The texture panel's edits: the Textured switch, the mapping parameters,
// the four mapping buttons and the choice of a texture, each applied to
// every selected group through the edit layer. Texture edits are not
// keyed: a group's texture does not change along the animation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "edit/edit_layer.h"
#include "geometry/texture_mapping.h"
#include "scene/display_group.h"

namespace modra {

inline constexpr char kLoadTextureChoice[] = "Load Texture ...";

// Texture rotation (degrees about x, y, z), translation and the u, v
// scales, as the panel's fields show them.
struct TextureParams {
  Vec3 rotation = {0, 0, 0};
  Vec3 translation = {0, 0, 0};
  float scaleS = 1, scaleT = 1;
};

// The current group's parameters; the defaults without a current group.
TextureParams CurrentTextureParams(const Scene& s);

// Sets or clears Textured on every selected group. false when no selected
// group changed.
bool SetTexturesEnabled(EditLayer& layer, bool on);

// Stores `params` into every selected group (the third scale 1). false
// when every selected group already had them.
bool SetTextureParams(EditLayer& layer, const TextureParams& params);

// Field `index` (Rotate X, Y, Z, Translate X, Y, Z, Scale S, T) typed;
// the others keep the current group's exact values.
bool SetTextureField(EditLayer& layer, int index, float value);

// Runs the mapping on every selected group, in walk order, from each
// group's own parameters. -1 when a group could not be given texture
// coordinates (it lost its geometry, as the mapping says), else 0.
int MapSelectedGroups(EditLayer& layer, MappingKind kind);

// Gives every selected group texture `index`. A group that was not
// Textured gets the default mapping first, and so does one switched on
// without texture coordinates to draw with. false
// for an index outside the table (0 is always allowed: the checkerboard)
// or when no selected group changed.
bool ChooseTexture(EditLayer& layer, int index);

// The panel's list: "Checker" when the table is empty, else every entry's
// name in table order; then kLoadTextureChoice.
std::vector<std::string> TextureChoices(const TextureTable& table);

// Loads the file the user picked as a new texture named after its base
// name. Its index, or -1 after "Can't Load %s correctly" with the path.
int LoadTextureFile(Document& doc, std::string_view path);

}  // namespace modra
