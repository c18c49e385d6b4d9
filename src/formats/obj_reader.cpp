#include "formats/obj_reader.h"

// Placeholder until the reader lands.
namespace modra {

int ReadWavefrontModel(Document&, const std::string&) {
  return -2;
}
int ReadWavefrontBytes(Document&, std::string_view) {
  return -2;
}
int LoadWavefrontMaterials(Document&, const std::string&) {
  return -1;
}
int InstallBuiltInMaterials(Document& doc, bool) {
  doc.materials = WavefrontMaterialTable{};
  return 0;
}
int UseWavefrontMaterial(Document&, std::string_view) {
  return 0;
}

}  // namespace modra
