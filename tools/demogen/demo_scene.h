// The bundled demo scene: a marble floor with a lathe-turned vase, a
// spinning ring, a hopping ball, a star turning on a pedestal and the
// word "Modra" above them, lit by three lamps and filmed by a camera that
// swings round the vase, all animated by key frames.
#pragma once

#include <string>

#include "document/document.h"

namespace modra {

inline constexpr int kDemoLastFrame = 120;

// Builds the scene into a fresh document (one with only the checkerboard,
// if anything, in its texture table) the way the editor's commands would:
// generated groups, the hierarchy commands, and every animated value keyed
// through EnsureKeyed and StoreKey so that the curves are computed. Leaves
// the document at frame 0 with nothing selected. `marblePath` is the
// floor's image, entered in the texture table under its base name. false
// when the image cannot be loaded or a group cannot be made.
bool BuildDemoScene(Document& doc, const std::string& marblePath);

}  // namespace modra
