// Reading 3D Studio .3ds models into the staging mesh.
//
// Every named object becomes a part, its triangles three-corner faces
// (crease test 0.5, one smoothing entry of key 1), the file's materials
// objects after the default "white" object 0, with their diffuse colour
// and specular level. A face material list colours the faces it names
// of the faces chunk read last, wherever the reading meets it (after the
// last object of the editor block that is the top level); faces that no
// list names have plain white corners.
// Positions (X, Y, Z) of the file arrive as (Y, Z, -X). Texture
// coordinates, smoothing groups, lights, cameras and key frames are not
// read.
//
// A file is refused with -2 when it is not a 3DS file, ends inside a
// value the model needs, names a vertex or face it does not have, holds a
// name without its zero byte, a chunk shorter than its own header, or
// objects nested more deeply than any modeller writes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "document/document.h"

namespace modra {

// Fills doc.importMesh (emptied first) and runs its normal pass: 0; -1
// when the file cannot be opened; -2 when it cannot be decoded; -3 when
// memory runs out or it is too large. On a failure the staging mesh is
// left empty. Nothing is said here; the import dispatch reports.
int Read3dsModel(Document& doc, const std::string& path);
int Read3dsBytes(Document& doc, std::span<const uint8_t> bytes);

}  // namespace modra
