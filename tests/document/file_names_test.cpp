// The names the shell gives to documents, saved files and the window, and
// the file dialogs' filters in Qt's form.
#include "document/file_names.h"

#include <gtest/gtest.h>

#include "document/file_filters.h"

namespace modra {
namespace {

TEST(FileNames, OpenNamesTheDocumentAsANativeFile) {
  const struct {
    const char* path;
    const char* name;
  } kCases[] = {
      {"model.obj", "model.knf"},
      {"/home/u/scenes/robot.knf", "/home/u/scenes/robot.knf"},
      // Only ".knf" itself is kept: the four characters are replaced as
      // they stand, whatever they are.
      {"a.KNF", "a.knf"},
      {"part.obj.1", "part.o.knf"},
      {"abcd", ".knf"},
      // A file name shorter than four characters gets the ending added,
      // and the folder is never cut into.
      {"ab", "ab.knf"},
      {"/data/xyz", "/data/xyz.knf"},
      {"/data/wxyz", "/data/.knf"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(OpenedDocumentName(c.path), c.name) << c.path;
}

TEST(FileNames, SavingAddsTheEndingUnlessItIsThereInAnyCase) {
  const struct {
    const char* path;
    const char* extension;
    const char* saved;
  } kCases[] = {
      {"scene", kNativeExtension, "scene.knf"},
      {"scene.knf", kNativeExtension, "scene.knf"},
      {"scene.Knf", kNativeExtension, "scene.Knf"},
      {"scene.obj", kNativeExtension, "scene.obj.knf"},
      {"robot.CPP", kSourceExtension, "robot.CPP"},
      {"robot.c", kSourceExtension, "robot.c.cpp"},
      {"/tmp/out.Obj", kWavefrontExtension, "/tmp/out.Obj"},
      {"/tmp/out.obj.bak", kWavefrontExtension, "/tmp/out.obj.bak.obj"},
      {"sky.GFX", kSkyLoomExtension, "sky.GFX"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(WithExtension(c.path, c.extension), c.saved) << c.path << " " << c.extension;
}

TEST(FileNames, TitleCarriesTheDocumentName) {
  EXPECT_EQ(WindowTitle("new.knf"), "Modra: new.knf");
  EXPECT_EQ(WindowTitle("/a b/100%s.knf"), "Modra: /a b/100%s.knf");
}

TEST(FileFilters, DialogFiltersBecomeQtEntries) {
  const struct {
    const char* filter;
    const char* qt;
  } kCases[] = {
      {kModelFilesFilter,
       "All Supported Formats (*.knf *.obj *.cob *.3ds *.dxf *.gltf *.glb *.ply *.stl *.fbx "
       "*.dae *.3mf *.off *.x *.lwo *.ase *.blend);;"
       "Kelmar's Native Format (*.knf);;"
       "Wavefront Format (*.obj);;Truespace Format (*.cob);;3D Studio Format (*.3ds);;"
       "AutoCAD Format (*.dxf);;glTF 2.0 (*.gltf *.glb);;"
       "Exchange Formats (*.ply *.stl *.fbx *.dae *.3mf *.off *.x *.lwo *.ase *.blend);;"
       "All Files (*)"},
      {kSkyLoomFilter, "Skyloom Format (*.gfx)"},
      // A description without a list of its own keeps all its words.
      {"Pictures|*.jpg; *.bmp ;*.ppm||", "Pictures (*.jpg *.bmp *.ppm)"},
      {"(*.x)|*.x||", "(*.x)"},
      // Text after the terminator, a missing terminator, a description
      // without patterns and an empty list.
      {"A (*.a)|*.a||B|*.b||", "A (*.a)"},
      {"A|*.a|B|*.b", "A (*.a);;B (*.b)"},
      {"A|*.a|B", "A (*.a)"},
      {"A|;;|B|*.b||", "B (*.b)"},
      {"", ""},
      {"||", ""},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(QtFilterString(c.filter), c.qt) << c.filter;
}

}  // namespace
}  // namespace modra
