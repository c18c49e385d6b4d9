// The Wavefront material table: colours that `usemtl` names in OBJ files
// take. It holds ten built-in colours from start-up; "Load Wavefront
// Material" replaces them with a .mtl library's. New, Open and Append
// keep it. Materials are looked up by exact, case-sensitive name; the
// first entry of a name wins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scene/display_group.h"

namespace modra {

struct ImportMesh;

inline constexpr size_t kMaxMaterialName = 79;

struct WavefrontMaterial {
  std::string name;  // at most kMaxMaterialName characters
  Vec3 diffuse = {1, 1, 1};
  Vec3 specular = {0.5f, 0.5f, 0.5f};
  float shininess = 15;
};

struct WavefrontMaterialTable {
  std::vector<WavefrontMaterial> entries;
  WavefrontMaterialTable();  // the built-in colours
};

// The ten built-in rows: white, black, red, blue, green, bluegrey, dkgrey,
// dullred, hair, skin; specular 0.5 and shininess 15 each.
std::vector<WavefrontMaterial> BuiltInWavefrontMaterials();

// The first entry of that name, or nullptr.
const WavefrontMaterial* FindWavefrontMaterial(const WavefrontMaterialTable& table,
                                               std::string_view name);

// Replaces `out` with the materials of a .mtl library's text. A material
// is stored when its `Ns` line is read, with the latest `Kd` and `Ks`
// values (which may be an earlier material's) and the latest `newmtl`
// name; nothing else in the text counts. 0, or -1 when memory runs out
// (`out` then unchanged).
int ParseWavefrontMaterials(WavefrontMaterialTable& out, std::string_view text);

// Appends the staging mesh's object for a material: its colour the
// entry's diffuse, its specular level the mean of the entry's specular,
// its shininess the entry's; without an entry (a name that no library the
// file names, nor the table, defines) the values of a part without a
// material: kUncoloredPartColor, specular level 0.5 and shininess 15.
// Alpha is 1 and the object's number its own index. Returns that index,
// or 0 when memory runs out.
int AddWavefrontObject(ImportMesh& m, const WavefrontMaterial* entry, std::string_view name);

}  // namespace modra
