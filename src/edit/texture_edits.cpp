#include "edit/texture_edits.h"

namespace modra {
namespace {

std::array<float, 9> Transform(const TextureParams& p) {
  return {p.rotation[0],    p.rotation[1],    p.rotation[2],
          p.translation[0], p.translation[1], p.translation[2],
          p.scaleS,         p.scaleT,         1.0f};
}

int (*const kMappings[])(Scene&, int) = {nullptr, MapPlanar, MapCylindrical, MapSpherical,
                                         MapDefault};

}  // namespace

TextureParams CurrentTextureParams(const Scene& s) {
  TextureParams p;
  if (!IsLiveGroup(s, s.selectedGroup)) return p;
  const auto& t = s.groups[s.selectedGroup].textureTransform;
  p.rotation = {t[0], t[1], t[2]};
  p.translation = {t[3], t[4], t[5]};
  p.scaleS = t[6];
  p.scaleT = t[7];
  return p;
}

bool SetTexturesEnabled(EditLayer& layer, bool on) {
  const Scene& s = layer.document().scene;
  std::vector<int> groups;
  for (int g : layer.SelectedGroups())
    if (((s.groups[g].flags & Textured) != 0) != on) groups.push_back(g);
  layer.EditGroups(on ? CommandId::kEnableTextures : CommandId::kDisableTextures, {}, groups,
                   [on](Scene& sc, int g) {
                     if (on)
                       sc.groups[g].flags |= Textured;
                     else
                       sc.groups[g].flags &= ~Textured;
                   });
  return !groups.empty();
}

bool SetTextureParams(EditLayer& layer, const TextureParams& params) {
  const Scene& s = layer.document().scene;
  const std::array<float, 9> wanted = Transform(params);
  std::vector<int> groups;
  for (int g : layer.SelectedGroups())
    if (s.groups[g].textureTransform != wanted) groups.push_back(g);
  layer.EditGroups(CommandId::kTextureField, {}, groups,
                   [&](Scene& sc, int g) { sc.groups[g].textureTransform = wanted; });
  return !groups.empty();
}

int MapSelectedGroups(EditLayer& layer, MappingKind kind) {
  if (kind <= kNoMapping || kind > kDefaultMapping) return 0;
  int result = 0;
  layer.EditGroups(CommandId::kMapTexture, {}, layer.SelectedGroups(), [&](Scene& sc, int g) {
    if (kMappings[kind](sc, g) != 0) result = -1;
  });
  return result;
}

bool SetTextureField(EditLayer& layer, int index, float value) {
  const Scene& s = layer.document().scene;
  if (!IsLiveGroup(s, s.selectedGroup) || index < 0 || index > 7) return false;
  TextureParams p = CurrentTextureParams(s);
  float* fields[8] = {&p.rotation[0],    &p.rotation[1],    &p.rotation[2], &p.translation[0],
                      &p.translation[1], &p.translation[2], &p.scaleS,      &p.scaleT};
  *fields[index] = value;
  return SetTextureParams(layer, p);
}

bool ChooseTexture(EditLayer& layer, int index) {
  const Document& doc = layer.document();
  if (index != 0 && (index < 0 || index >= CurrentTextureCount(doc.textures))) return false;
  const Scene& s = doc.scene;
  std::vector<int> groups;
  for (int g : layer.SelectedGroups()) {
    const DisplayGroup& group = s.groups[g];
    if (group.textureIndex != index || !(group.flags & Textured) || !(group.flags & TexCoords))
      groups.push_back(g);
  }
  layer.EditGroups(CommandId::kChooseTexture, {}, groups, [index](Scene& sc, int g) {
    DisplayGroup& group = sc.groups[g];
    group.textureIndex = index;
    // note: a group switched on by Enable Textures alone has the flag but
    // no coordinates to draw the texture with; it gets the mapping a first
    // texture brings.
    if (!(group.flags & Textured) || !(group.flags & TexCoords)) MapDefault(sc, g);
    group.flags |= Textured;
  });
  return !groups.empty();
}

std::vector<std::string> TextureChoices(const TextureTable& table) {
  std::vector<std::string> choices;
  for (const TextureEntry& e : table.entries)
    choices.push_back(e.name);
  if (choices.empty()) choices.emplace_back("Checker");
  choices.emplace_back(kLoadTextureChoice);
  return choices;
}

int LoadTextureFile(Document& doc, std::string_view path) {
  const std::string file(path);
  if (!path.empty() && AddTexture(doc, file, BaseName(file)) == 0) {
    NotifyChanged(doc, kSceneChanged);
    return CurrentTextureCount(doc.textures) - 1;
  }
  std::string text = "Can't Load " + file + " correctly";
  doc.shell->Message(text);
  return -1;
}

}  // namespace modra
