// Reading Truespace .cob objects, ASCII and binary, into the staging mesh:
// every polygon chunk becomes a part in world space, every material chunk
// an object that the faces of its owning chunk take their colour and
// crease value from. The ASCII and binary chunk readers (cob_chunks.h)
// share the building (cob_builder.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "document/document.h"

namespace modra {

// Fills doc.importMesh (emptied first) and runs its normal pass: 0; -1
// when the file cannot be opened; -2 when it cannot be decoded (a wrong
// first line, a file cut short or without its end chunk, sizes or indices
// that point outside it, chunk sizes that send reading over the file again
// and again); -3 when memory runs out or it is too large. On
// failure the mesh is left empty. Nothing is said here; the import
// dispatch reports.
int ReadCobModel(Document& doc, const std::string& path);
int ReadCobBytes(Document& doc, std::span<const uint8_t> bytes);

}  // namespace modra
