// Reading the 3D faces and meshes of AutoCAD .dxf files into the staging
// mesh.
//
// Only 3DFACE entities, the meshes of POLYLINE entities (with their VERTEX
// and SEQEND entities) and INSERT entities that place blocks make faces;
// everything else (lines, circles, layers, colours, tables, header
// variables) is read past. A DXF point (X, Y, Z) becomes the position
// (X, Z, Y); every face corner gets a vertex of its own.
//
// What the mesh receives: one white default object in slot 0; one part
// named "" with a single smoothing entry of key -1, so that every face is
// drawn flat; faces of 3 or 4 corners (4 when a 3DFACE has any of the
// codes 13, 23, 33; a coordinate the entity leaves out is 0), creaseCos
// 1.0, object 0, white corners. The normal pass has run.
//
// A polygon mesh (flag 16) of M x N vertices gives (M - 1) x (N - 1)
// quadrilaterals (V[k], V[k+1], V[k+N+1], V[k+N]), k = i x N + j, when its
// SEQEND comes. A polyface mesh (flag 64, before 16) gives one face per
// face record (VERTEX flag 128 without 64) of the points (the other
// VERTEX entities) its 71, 72, 73 and 74 name from 1 on, the sign
// dropped; 74 may be 0 for a triangle. A record naming no point, or one
// beyond the points read, makes no face. The vertex list stays until the
// next POLYLINE, so a later SEQEND makes the last mesh's faces
// again. A grid that names more vertices than it has, or M or N below 2,
// makes no faces; closed-mesh flags and plain polylines make none either.
//
// The entities between BLOCK and ENDBLK make faces only where an INSERT
// places that block, in the file's entities or inside another block (see
// dxf_blocks.h for where they go and what is left out); an INSERT of a
// block the file lacks places nothing.
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
// Blocks placed inside placed blocks, this many deep at most.
inline constexpr size_t kDxfMaxBlockDepth = 32;

struct DxfLimits {
  size_t maxVertices = kDxfMaxVertices;
  // Faces that placed blocks make, all placements together: a few bytes
  // of nested arrays can ask for billions.
  size_t maxPlacedFaces = 20'000'000;
  // Bytes of block text read again for placements, all together; each
  // placement counts at least 256, so arrays of empty blocks end too.
  size_t maxPlacedText = size_t{1} << 30;
};

// Fills doc.importMesh (emptied first) from the file: 0; -1 when the file
// cannot be opened or ends inside a POLYLINE header; -2 when its first
// group is not a SECTION, it ends inside another entity it reads
// (3DFACE, VERTEX, CIRCLE, INSERT, BLOCK up to its ENDBLK), or a block is
// placed inside itself or deeper than kDxfMaxBlockDepth; -3 when memory
// runs out, a polyline holds more than 10000 VERTEX entities, the file
// would make more than `maxVertices` vertices, or its placements go past
// a limit of DxfLimits (the whole import fails rather than keep a part). Nothing is said here; the
// import dispatch reports. After a failure the mesh holds whatever was read; the dispatch empties
// it.
int ReadDxfModel(Document& doc, const std::string& path);
int ReadDxfBytes(Document& doc, std::span<const uint8_t> bytes,
                 size_t maxVertices = kDxfMaxVertices);
int ReadDxfBytes(Document& doc, std::span<const uint8_t> bytes, const DxfLimits& limits);

}  // namespace modra
