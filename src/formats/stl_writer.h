// Binary STL export of what the scene shows at the current frame.
//
// An 80-byte header (never starting with "solid", which readers take for
// the text form), the facet count and one 50-byte record per triangle:
// its normal, its three corners and a zero attribute word, every number
// a little-endian 32-bit float. Every live group whose own and ancestors'
// Enabled flags are set gives its triangles (quadrilaterals and strips
// cut as drawn) in world space: the matrices of the group and its
// ancestors applied, then z negated into the file's right-handed axes as
// the Wavefront export does, corners wound counter-clockwise seen from
// outside. A facet's normal is made from its written corners (zero for a
// triangle without area), not taken from the group's vertex normals.
#pragma once

#include <cstdint>
#include <string>

#include "document/document.h"

namespace modra {

inline constexpr char kStlExtension[] = ".stl";

// Triangles the export of the scene would write.
uint64_t StlTriangleCount(const Scene& s);

// Writes the file through a temporary one. 0, or -1 after "Can't open
// <path> for write: <reason>" or "Can't write output file: <path>:
// <reason>"; a file that was there is kept on failure.
int WriteStlFile(Document& doc, const std::string& path);

}  // namespace modra
