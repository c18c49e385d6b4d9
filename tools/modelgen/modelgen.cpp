// Builds the five internal models (axis arrows, camera, and the lamps of
// the directional, positional and spot lights) with the program's own
// primitives and group functions, and writes them, as the C source export
// writes any scene, into one source file of the core library.
//
//   modelgen OUT.cpp
//
// The output depends on nothing but this program, so the committed file
// can be checked by generating it again and comparing bytes.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/stderr_shell.h"
#include "document/document.h"
#include "geometry/primitives.h"
#include "io/output_file.h"
#include "nativefile/source_writer.h"
#include "scene/group_fields.h"
#include "scene/scene.h"

namespace modra {
namespace {

namespace fs = std::filesystem;

constexpr Vec3 kAxisRed = {1, 0.3f, 0.3f};
constexpr Vec3 kAxisGreen = {0.3f, 1, 0.3f};
constexpr Vec3 kAxisBlue = {0.3f, 0.3f, 1};
constexpr Vec3 kMetal = {0.55f, 0.55f, 0.6f};
constexpr Vec3 kDark = {0.2f, 0.2f, 0.22f};
constexpr Vec3 kWarmWhite = {1, 1, 0.8f};

// Puts g last among parent's children (or leaves it at the top level for
// parent -1), so that the records come out in the order they were made.
void AppendChild(Scene& s, int g, int parent) {
  if (parent < 0) return;
  UnlinkGroup(s, g, FindGroupLink(s, g));
  s.groups[g].next = -1;
  int* link = &s.groups[parent].child;
  while (*link >= 0)
    link = &s.groups[*link].next;
  *link = g;
}

// A group under parent, named and coloured, with no geometry yet.
int Part(Scene& s, int parent, const char* name, const Vec3& color) {
  const int g = NewGroup(s, name);
  s.groups[g].flags = Enabled;
  SetColor(s, g, color[0], color[1], color[2]);
  AppendChild(s, g, parent);
  return g;
}

// Turns g by `rotation` (degrees) and then moves it by `translation`.
void Place(Scene& s, int g, const Vec3& rotation, const Vec3& translation) {
  AddRotation(s, g, rotation[0], rotation[1], rotation[2]);
  AddTranslation(s, g, translation[0], translation[1], translation[2]);
  BuildGroupMatrix(s, g);
}

// The generators clear the name; the part keeps the one it was made with.
template <class Make>
void Shape(Scene& s, int g, Make make) {
  const std::string name = s.groups[g].name;
  make();
  SetGroupName(s, g, name);
}

void Cylinder(Scene& s, int g, float radius, float length, int ring) {
  Shape(s, g, [&] { MakeCylinder(s, g, radius, length, static_cast<float>(ring), 1, 1); });
}

// Bottom radius at -length/2, top radius at +length/2.
void Cone(Scene& s, int g, float bottom, float length, float top, int ring) {
  Shape(s, g, [&] { MakeCone(s, g, bottom, length, top, static_cast<float>(ring), 1, 1, 1); });
}

void Sphere(Scene& s, int g, float radius, int ring, int bands) {
  Shape(s, g,
        [&] { MakeSphere1(s, g, radius, static_cast<float>(ring), static_cast<float>(bands)); });
}

// A shaft from the origin to 0.75 and a head to 1, along +y of the arrow.
void Arrow(Scene& s, int parent, const char* name, const Vec3& color, const Vec3& turn) {
  const int arrow = Part(s, parent, name, color);
  Place(s, arrow, turn, {0, 0, 0});
  const int shaft = Part(s, arrow, "Shaft", color);
  Cylinder(s, shaft, 0.025f, 0.75f, 9);
  Place(s, shaft, {0, 0, 0}, {0, 0.375f, 0});
  const int head = Part(s, arrow, "Head", color);
  Cone(s, head, 0.07f, 0.25f, 0, 9);
  Place(s, head, {0, 0, 0}, {0, 0.875f, 0});
}

// Arrows along +x, +y and +z in the colours of the axis lines.
void BuildAxis(Scene& s) {
  const int root = Part(s, -1, "Axis", {1, 1, 1});
  Arrow(s, root, "X", kAxisRed, {0, 0, -90});
  Arrow(s, root, "Y", kAxisGreen, {0, 0, 0});
  Arrow(s, root, "Z", kAxisBlue, {90, 0, 0});
}

// A box body with the lens towards +z, where the camera looks, and two film
// reels on top.
void BuildCamera(Scene& s) {
  const int root = Part(s, -1, "Camera", {1, 1, 1});
  const int body = Part(s, root, "Body", kDark);
  Shape(s, body, [&] { MakeBlock(s, body, 0.5f, 0.7f, 1.0f, 1); });
  const int lens = Part(s, root, "Lens", kMetal);
  Cylinder(s, lens, 0.2f, 0.4f, 13);
  Place(s, lens, {90, 0, 0}, {0, 0, 0.7f});
  const int reels = Part(s, root, "Reels", kMetal);
  for (const auto& [name, z] : {std::pair{"Reel1", -0.25f}, std::pair{"Reel2", 0.25f}}) {
    const int reel = Part(s, reels, name, kMetal);
    Cylinder(s, reel, 0.24f, 0.12f, 13);
    Place(s, reel, {0, 0, 90}, {0, 0.59f, z});
  }
}

// The light leaves a lamp along its +y (the light's rotation turns it). A
// directional light is an arrow with its bulb at the tail.
void BuildDirectionalLight(Scene& s) {
  const int root = Part(s, -1, "Directional Light", {1, 1, 1});
  const int bulb = Part(s, root, "Bulb1", kWarmWhite);
  Sphere(s, bulb, 0.35f, 13, 6);
  const int shaft = Part(s, root, "Shaft", kMetal);
  Cylinder(s, shaft, 0.08f, 0.35f, 9);
  Place(s, shaft, {0, 0, 0}, {0, 0.475f, 0});
  const int head = Part(s, root, "Head", kMetal);
  Cone(s, head, 0.2f, 0.3f, 0, 9);
  Place(s, head, {0, 0, 0}, {0, 0.8f, 0});
}

// A bulb at the light's position with a socket above it.
void BuildPositionalLight(Scene& s) {
  const int root = Part(s, -1, "Positional Light", {1, 1, 1});
  const int bulb = Part(s, root, "Bulb", kWarmWhite);
  Sphere(s, bulb, 0.5f, 13, 7);
  const int socket = Part(s, root, "Socket", kMetal);
  Cylinder(s, socket, 0.2f, 0.3f, 11);
  Place(s, socket, {0, 0, 0}, {0, 0.6f, 0});
}

// A shade behind the bulb, opening towards +y.
void BuildSpotLight(Scene& s) {
  const int root = Part(s, -1, "Spot Light", {1, 1, 1});
  const int shade = Part(s, root, "Shade", kMetal);
  Cone(s, shade, 0.12f, 0.7f, 0.5f, 13);
  Place(s, shade, {0, 0, 0}, {0, -0.45f, 0});
  const int bulb = Part(s, root, "Bulb", kWarmWhite);
  Sphere(s, bulb, 0.3f, 13, 6);
}

struct Model {
  const char* prefix;  // the array names' prefix, from the exported file's name
  std::function<void(Scene&)> build;
};

bool ReadFile(const fs::path& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return true;
}

// The export of one model without its preamble (the library file has its
// own includes instead), or false after a message.
bool ExportModel(const Model& model, const fs::path& dir, std::string* body) {
  StderrShell shell(std::cerr);
  Document doc(shell);
  model.build(doc.scene);
  const fs::path file = dir / (std::string(model.prefix) + ".cpp");
  if (WriteSourceFile(doc, file.string()) != 0) return false;
  std::string text;
  const bool read = ReadFile(file, &text);
  std::error_code ignored;
  fs::remove(file, ignored);
  if (!read || text.compare(0, kSourcePreamble.size(), kSourcePreamble) != 0) {
    std::cerr << "modelgen: unexpected export of " << model.prefix << "\n";
    return false;
  }
  *body = text.substr(kSourcePreamble.size());
  return true;
}

int Run(const std::string& out) {
  const std::vector<Model> models = {{"axis", BuildAxis},
                                     {"camera", BuildCamera},
                                     {"dir_light", BuildDirectionalLight},
                                     {"pos_light", BuildPositionalLight},
                                     {"spot_light", BuildSpotLight}};
  std::string dirTemplate = (fs::temp_directory_path() / "modelgen-XXXXXX").string();
  if (!mkdtemp(dirTemplate.data())) {
    std::cerr << "modelgen: cannot make a temporary directory\n";
    return 1;
  }
  const fs::path dir = dirTemplate;

  std::string text =
      "// The five internal models: the current group's axis arrows, the camera\n"
      "// and a lamp for each kind of light, as the C source export writes them.\n"
      "// Generated by tools/modelgen: do not edit, run tools/modelgen/regenerate.sh.\n"
      "// clang-format off\n"
      "#include \"view/internal_model_data.h\"\n\n"
      "#include \"nativefile/knf/knf.h\"\n\n"
      "namespace {\n\n";
  bool ok = true;
  for (const Model& model : models) {
    std::string body;
    ok = ok && ExportModel(model, dir, &body);
    text += body + "\n";
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  if (!ok) return 1;

  text +=
      "}  // namespace\n\n"
      "namespace modra {\n\n"
      "extern const InternalModel kCompiledInternalModels[kInternalModelCount] = {\n";
  for (const Model& model : models) {
    const std::string p = model.prefix;
    text += "    {&" + p + "_internal_info, static_cast<int>(sizeof " + p +
            "_display_group / sizeof " + p + "_display_group[0])},\n";
  }
  text += "};\n\n}  // namespace modra\n";

  OutputFile file;
  if (!file.Open(out) || !file.Write(text) || !file.Commit()) {
    std::cerr << "modelgen: cannot write " << out << "\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace modra

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: modelgen OUT.cpp\n";
    return 2;
  }
  return modra::Run(argv[1]);
}
