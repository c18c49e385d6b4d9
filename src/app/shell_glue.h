// TODO(wiring): the shell's rules and texts below belong to the core
// (document/ and view/); they live here only until those pieces land, and
// then this file goes and its callers call the core.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace modra::glue {

inline constexpr char kEraseQuestion[] =
    "The current scene has not been saved.  Is it ok to erase it?";
inline constexpr char kQuitQuestion[] =
    "The current scene has not been saved.  Is it ok to quit without saving?";
inline constexpr char kSaveFailed[] = "Can't save to %s";

// The file dialogs' filters, "|"-separated as the rest of the program
// writes them.
inline constexpr char kFilterModels[] =
    "All Supported Formats (*.knf;*.obj;*.cob;*.3ds;*.dxf)|*.knf;*.obj;*.cob;*.3ds;*.dxf|"
    "Kelmar's Native Format (*.knf)|*.knf|Wavefront Format (*.obj)|*.obj|"
    "Truespace Format (*.cob)|*.cob|3D Studio Format (*.3ds)|*.3ds|"
    "AutoCAD Format (*.dxf)|*.dxf|All Files (*.*)|*.*||";
inline constexpr char kFilterMaterial[] = "Wavefront Material (*.mtl)|*.mtl|All Files (*.*)|*.*||";
inline constexpr char kFilterNative[] = "Kelmar's Native Format (*.knf)|*.knf||";
inline constexpr char kFilterSource[] = "C source (*.cpp)|*.cpp||";
inline constexpr char kFilterWavefront[] = "Wavefront Format (*.obj)|*.obj||";
inline constexpr char kFilterSkyloom[] = "Skyloom Format (*.gfx)|*.gfx||";

// One Qt name filter per description|patterns pair, ";;"-joined. Qt takes
// the patterns from the last parenthesised, space-separated list, so each
// description keeps its own text and gets the patterns appended; a file
// dialog that hides filter details shows the description exactly.
std::string ToQtFilter(std::string_view filter);

// The document name after Open: the path with its last four characters
// replaced by ".knf" unless they already are.
std::string NativeNameFor(const std::string& path);
// `path` with `extension` appended unless it already ends in it.
std::string WithExtension(const std::string& path, std::string_view extension);
std::string TitleText(const std::string& documentName);

// What the frame box's text asks for, given the current frame: the frame
// to show and whether the box is to be rewritten with it. nullopt: no
// change ("+" and "-" together).
struct FrameRequest {
  int frame;
  bool rewrite;
};
std::optional<FrameRequest> ReadFrameBox(std::string_view text, int currentFrame);
// A group name from the name box: at most 99 characters.
std::string NameFromBox(std::string_view text);

struct ModeTexts {
  const char* menu;    // the Edit Mode item
  const char* status;  // shown while the cursor is over the view
};
inline constexpr std::array<ModeTexts, 13> kModes = {{
    {"Selection", "Left to Select,  Right to add to selection"},
    {"Rotate View", "Left to rotate X-Y,  Right to rotate Z"},
    {"Translate View", "Left to translate X-Y,  Right to translate Z"},
    {"Translate Object", "Left to translate X-Y,  Right to translate Z"},
    {"Rotate Object", "Left to rotate X-Y,  Right to rotate Z"},
    {"Translate Center", "Left to translate X-Y,  Right to translate Z"},
    {"Rotate Center", "Left to rotate X-Y,  Right to rotate Z"},
    {"Color", "Use sliders to alter color"},
    {"Create Objects", "Left to size X-Y,  Right to size Z"},
    {"Texture", ""},
    {"Scale Object", "Left to scale X-Y,  Right to scale Z"},
    {"Lights", "Left to rotate/Translate X-Y,  Right to translate Z"},
    {"Camera", "Left to rotate/Translate X-Y,  Right to translate Z"},
}};
enum Mode : int {
  kSelection = 0,
  kRotateView = 1,
  kTranslateView = 2,
  kTranslateObject = 3,
  kRotateObject = 4,
  kTranslateCenter = 5,
  kRotateCenter = 6,
  kColor = 7,
  kCreateObjects = 8,
  kTexture = 9,
  kScaleObject = 10,
  kLights = 11,
  kCamera = 12,
};

// The settings kept between runs, with their defaults.
struct Settings {
  bool lightDisplay = true;
  bool cameraDisplay = true;
  bool solidAxis = true;
  std::string texturePath = "./;./textures/;/textures/";
  std::string textureLastPath = "C:/";
};

std::string GeneralHelpText();
std::string KeyboardHelpText();

}  // namespace modra::glue
