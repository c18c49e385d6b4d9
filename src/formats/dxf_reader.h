// Reading the 3D faces and polygon meshes of AutoCAD .dxf files into the
// staging mesh.
//
// Only 3DFACE entities and the polygon meshes of POLYLINE entities (flag
// 16, with their VERTEX and SEQEND entities) make faces; everything else
// (lines, circles, blocks, layers, colours, tables, header variables) is
// read past. A DXF point (X, Y, Z) becomes the position (X, Z, Y); every
// face corner gets a vertex of its own.
//
// What the mesh receives: one white default object in slot 0; one part
// named "" with a single smoothing entry of key -1, so that every face is
// drawn flat; faces of 3 or 4 corners (4 when a 3DFACE has any of the
// codes 13, 23, 33; a coordinate the entity leaves out is 0), creaseCos
// 1.0, object 0, white corners. The normal pass has run.
//
// A polygon mesh of M x N vertices gives (M - 1) x (N - 1) quadrilaterals
// (V[k], V[k+1], V[k+N+1], V[k+N]), k = i x N + j, when its SEQEND comes.
// The vertex list stays until the next POLYLINE, so a later SEQEND makes
// the last mesh's faces again. A mesh that names more vertices than it
// has, or M or N below 2, makes no faces. Closed-mesh flags, polyface
// meshes (flag 64) and plain polylines make none either.
//
// The first group must be (0, "SECTION..."), comments (code 999) before it
// aside; a file without any group is an empty model.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "document/document.h"

namespace modra {

// Vertices are addressed by 32-bit indices.
inline constexpr size_t kDxfMaxVertices = INT32_MAX;

// Fills doc.importMesh (emptied first) from the file: 0; -1 when the file
// cannot be opened or ends inside a POLYLINE header; -2 when its first
// group is not a SECTION or it ends inside another entity it reads
// (3DFACE, VERTEX, CIRCLE); -3 when memory runs out, a polyline holds more
// than 10000 vertices, or the file would make more than `maxVertices`
// vertices. Nothing is said here; the import dispatch reports. After a
// failure the mesh holds whatever was read; the dispatch empties it.
int ReadDxfModel(Document& doc, const std::string& path);
int ReadDxfBytes(Document& doc, std::span<const uint8_t> bytes,
                 size_t maxVertices = kDxfMaxVertices);

}  // namespace modra
