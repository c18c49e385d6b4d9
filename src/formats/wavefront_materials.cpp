#include "formats/wavefront_materials.h"

#include <new>

#include "formats/import_mesh.h"
#include "formats/obj_reader.h"

namespace modra {

std::vector<WavefrontMaterial> BuiltInWavefrontMaterials() {
  static constexpr struct {
    const char* name;
    Vec3 diffuse;
  } kRows[] = {{"white", {1, 1, 1}},
               {"black", {0, 0, 0}},
               {"red", {1, 0, 0}},
               {"blue", {0, 0, 1}},
               {"green", {0, 1, 0}},
               {"bluegrey", {0.3f, 0.3f, 0.8f}},
               {"dkgrey", {0.4f, 0.4f, 0.4f}},
               {"dullred", {0.8f, 0, 0}},
               {"hair", {0.5f, 0.2f, 0.2f}},
               {"skin", {0.9f, 0.6f, 0.6f}}};
  std::vector<WavefrontMaterial> rows;
  rows.reserve(std::size(kRows));
  for (const auto& r : kRows)
    rows.push_back({r.name, r.diffuse, {0.5f, 0.5f, 0.5f}, 15});
  return rows;
}

WavefrontMaterialTable::WavefrontMaterialTable() : entries(BuiltInWavefrontMaterials()) {}

const WavefrontMaterial* FindWavefrontMaterial(const WavefrontMaterialTable& table,
                                               std::string_view name) {
  for (const WavefrontMaterial& e : table.entries)
    if (e.name == name) return &e;
  return nullptr;
}

int AddWavefrontObject(ImportMesh& m, const WavefrontMaterial* entry, std::string_view name) {
  try {
    MeshObject o;
    o.name = name;
    o.number = static_cast<int32_t>(m.objects.size());
    if (entry) {
      o.color = entry->diffuse;
      o.specularLevel =
          (entry->specular[0] + entry->specular[1] + entry->specular[2]) * 0.33333334f;
      o.shininess = entry->shininess;
    } else {
      o.color = kUncoloredPartColor;
      o.specularLevel = 0.5f;
      o.shininess = 15;
    }
    m.objects.push_back(std::move(o));
    return static_cast<int>(m.objects.size()) - 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int UseWavefrontMaterial(Document& doc, std::string_view name) {
  const std::vector<MeshObject>& objects = doc.importMesh.objects;
  for (size_t i = 0; i < objects.size(); ++i)
    if (objects[i].name == name) return static_cast<int>(i);
  return AddWavefrontObject(doc.importMesh, FindWavefrontMaterial(doc.materials, name), name);
}

int InstallBuiltInMaterials(Document& doc, bool report) {
  try {
    doc.materials.entries = BuiltInWavefrontMaterials();
    return 0;
  } catch (const std::bad_alloc&) {
    if (report) doc.shell->Message("Can't get enough memory for materials");
    return -1;
  }
}

}  // namespace modra
