// What the extrusion editor and the surface editor each show.
#include "app/profile_editor_window.h"
#include "document/profile_editor_help.h"

namespace modra {
namespace {

ProfileEditorLayout ExtLayout() {
  using F = ProfileField;
  using C = CommandId;
  return {ProfileEditorKind::kExtrusion,
          "ExtEditor",
          "Extrusion Editor",
          C::kExtNew,
          C::kExtOpen,
          C::kExtSave,
          C::kExtSaveAs,
          true,
          {{"Extrude Depth", F::kDepth}, {"Bevel Size", F::kBevelSize}},
          F::kExtPointX,
          F::kExtPointY,
          {{"Front", C::kProfileBevel, 0, "Bevel Enables"}, {"Back", C::kProfileBevel, 1, nullptr}},
          ExtrusionEditorHelpText()};
}

ProfileEditorLayout SurfLayout() {
  using F = ProfileField;
  using C = CommandId;
  return {ProfileEditorKind::kSurface,
          "SurfEditor",
          "Surface of Revolution Editor",
          C::kSurfNew,
          C::kSurfOpen,
          C::kSurfSave,
          C::kSurfSaveAs,
          false,
          {{"Degrees to Rotate", F::kDegrees},
           {"Number of Steps", F::kSteps},
           {"Delta-Y per Rev", F::kDeltaY},
           {"Radius Scale per Rev", F::kRadiusScale}},
          F::kSurfPointX,
          F::kSurfPointY,
          {{"Cap Ends of Surface", C::kProfileCaps, 0, nullptr}},
          SurfaceEditorHelpText()};
}

}  // namespace

CExtEditorWnd::CExtEditorWnd(GuiDocument& document, QWidget* parent)
    : ProfileEditorWindow(document, ExtLayout(), parent) {}

CSurfEditWnd::CSurfEditWnd(GuiDocument& document, QWidget* parent)
    : ProfileEditorWindow(document, SurfLayout(), parent) {}

}  // namespace modra
