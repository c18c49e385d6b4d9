// Wavefront .obj export of the whole scene, with a .mtl library beside it.
//
// The file starts with one comment line per live group ("# Group %d:\"%s\":"
// with its slot index and name, in pre-order) and "# This file created by
// modra". Then, per live group in the same order: a `g` line (the name with
// white space as '_', made unique with "_<index>" when an earlier group
// has it), a `usemtl` line, and for each primitive its vertices as `v`
// and `vn` lines (`vt` too when the group has texture coordinates) and its
// faces. Positions and normals are in world space: the matrices of the
// group and its ancestors applied (the inverse-transpose to normals), and
// z negated into the file's axes, so that reading the file gives back the
// scene's shape. Triangle strips become triangles (every other one turned
// round, as drawn), quadrilateral strips quadrilaterals; a mirrored group
// has its corners reversed so that faces still wind counter-clockwise
// seen from the side their normals point to.
//
// The library, named after the .obj (its extension replaced by .mtl),
// holds one material per distinct group colour, specular and shininess,
// each with Kd, Ks, d and Ns lines, Ns last.
#pragma once

#include <string>

#include "document/document.h"

namespace modra {

// The library's path for an .obj path.
std::string WavefrontLibraryPath(const std::string& objPath);

// Rewinds the animation to frame 0, then writes both files. 0, or -1
// after "Can't open <path> for write: <reason>" or "Can't write output
// file: <path>: <reason>", naming the file that failed; files that were
// there are kept on failure.
int WriteWavefrontFile(Document& doc, const std::string& path);

}  // namespace modra
