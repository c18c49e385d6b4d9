// The file dialogs' filters, each one string of description|patterns pairs
// ended by "||", and their conversion to the form Qt's dialogs take.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modra {

// Open and Append.
inline constexpr char kModelFilesFilter[] =
    "All Supported Formats (*.knf;*.obj;*.cob;*.3ds;*.dxf;*.gltf;*.glb;*.ply;*.stl;*.fbx;*.dae;"
    "*.3mf;*.off;*.x;*.lwo;*.ase;*.blend)|"
    "*.knf;*.obj;*.cob;*.3ds;*.dxf;*.gltf;*.glb;*.ply;*.stl;*.fbx;*.dae;*.3mf;*.off;*.x;*.lwo;"
    "*.ase;*.blend|"
    "Kelmar's Native Format (*.knf)|*.knf|Wavefront Format (*.obj)|*.obj|"
    "Truespace Format (*.cob)|*.cob|3D Studio Format (*.3ds)|*.3ds|"
    "AutoCAD Format (*.dxf)|*.dxf|glTF 2.0 (*.gltf;*.glb)|*.gltf;*.glb|"
    "Exchange Formats (*.ply;*.stl;*.fbx;*.dae;*.3mf;*.off;*.x;*.lwo;*.ase;*.blend)|"
    "*.ply;*.stl;*.fbx;*.dae;*.3mf;*.off;*.x;*.lwo;*.ase;*.blend|All Files (*.*)|*.*||";
// Load Wavefront Material.
inline constexpr char kMaterialFilter[] = "Wavefront Material (*.mtl)|*.mtl|All Files (*.*)|*.*||";
// Save As.
inline constexpr char kNativeFilter[] = "Kelmar's Native Format (*.knf)|*.knf||";
// Save As Source.
inline constexpr char kSourceFilter[] = "C source (*.cpp)|*.cpp||";
// Load Texture.
inline constexpr char kTextureFilter[] =
    "Texture Images (*.bmp;*.jpg;*.ppm)|*.bmp;*.jpg;*.ppm|All Files (*.*)|*.*||";
// Export to Wavefront.
inline constexpr char kWavefrontFilter[] = "Wavefront Format (*.obj)|*.obj||";
// Export to STL.
inline constexpr char kStlFilter[] = "STL Format (*.stl)|*.stl||";
// Export to SkyLoom.
inline constexpr char kSkyLoomFilter[] = "Skyloom Format (*.gfx)|*.gfx||";
// Export to glTF.
inline constexpr char kGltfFilter[] = "glTF Binary (*.glb)|*.glb|glTF (*.gltf)|*.gltf||";

// One "Description (*.a *.b)" entry per pair, in order. The description
// loses the pattern list it carries in parentheses, which the entry
// rebuilds with spaces between the patterns (Qt reads the last
// parenthesised list, split at spaces); "*.*" becomes "*", since a file
// without a dot in its name is a file too. The list ends at an empty part
// or at the end of the text; a description without patterns, or with an
// empty pattern list, is left out.
std::vector<std::string> QtNameFilters(std::string_view filter);
// The same entries joined by ";;", as QFileDialog's static functions take
// them.
std::string QtFilterString(std::string_view filter);

}  // namespace modra
