// Wavefront .obj models into the staging mesh, and the .mtl material
// libraries that `usemtl` names take their colours from.
#pragma once

#include <string>
#include <string_view>

#include "scene/document.h"

namespace modra {

// Fills doc.importMesh: 0, -1 when the file cannot be opened, -3 when
// memory runs out. Nothing is said here; the import dispatch reports.
int ReadWavefrontModel(Document& doc, const std::string& path);
int ReadWavefrontBytes(Document& doc, std::string_view bytes);

// Replaces doc.materials with a .mtl library's; 0 or -1 (after its message).
int LoadWavefrontMaterials(Document& doc, const std::string& path);
// Back to the ten built-in colours; `report` says when memory ran out.
int InstallBuiltInMaterials(Document& doc, bool report);
// The staging mesh's object for a material name, made on first use.
int UseWavefrontMaterial(Document& doc, std::string_view name);

}  // namespace modra
