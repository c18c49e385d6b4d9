// Reading the exchange formats that none of our own readers claims (PLY,
// STL, FBX, Collada and the rest the assimp library knows) into the
// staging mesh.
//
// Every node with triangles becomes a part named after it (the mesh's
// name, then `fallbackName`, for a node without one or with a name the
// library made up in angle brackets), its meshes' positions carried
// through the matrices of the node and its ancestors, so the hierarchy
// arrives flattened, as every part does. Polygons are cut into triangles
// (crease test 0.5, one smoothing entry), points and lines are dropped,
// normals are made here rather than taken from the file. Each material
// becomes an object with its diffuse colour, opacity, shininess and
// specular level; the library's stand-in material colours nothing. Like
// a Wavefront file, the file's axes are right-handed: z is negated.
//
// The library says nothing and throws nothing here: a file it refuses,
// one whose data fails its checks, or a text file that ends before its
// closing word (a truncated ASCII STL or PLY the library would take as
// whole) is refused with -2.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "document/document.h"

namespace modra {

// True when the name ends in ".<ext>" (either case) for an ext the
// library reads and none of our own readers claims.
bool IsAssimpModelName(std::string_view name);

// Fills doc.importMesh (emptied first) and runs its normal pass: 0; -1
// when the file cannot be opened; -2 when it cannot be decoded; -3 when
// memory runs out or it is too large. On a failure the staging mesh is
// left empty. Nothing is said here; the import dispatch reports.
int ReadAssimpModel(Document& doc, const std::string& path);
// The same for bytes in memory; `extension` ("ply", "stl", ...) tells the
// library what to expect when the bytes do not say.
int ReadAssimpBytes(Document& doc, std::span<const uint8_t> bytes, std::string_view extension,
                    std::string_view fallbackName);

}  // namespace modra
