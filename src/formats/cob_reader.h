// Reading Truespace .cob objects, ASCII and binary into the staging mesh.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "scene/document.h"

namespace modra {

// Fills doc.importMesh: 0; -1 when the file cannot be opened; -2 when it
// cannot be decoded; -3 when memory runs out or it is too large. Nothing
// is said here; the import dispatch reports.
int ReadCobModel(Document& doc, const std::string& path);
int ReadCobBytes(Document& doc, std::span<const uint8_t> bytes);

}  // namespace modra
