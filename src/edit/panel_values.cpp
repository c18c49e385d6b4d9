#include "edit/panel_values.h"

namespace modra {

LightMouse LightMouseChoice(const Scene& s, const PanelValues& p) {
  const LightPanelState st = LightPanel(s, p.lightEntry);
  const bool rotation = st.mouseRotation, position = st.mousePosition;
  if (p.lightMouse == LightMouse::kRotation)
    return rotation || !position ? LightMouse::kRotation : LightMouse::kPosition;
  return position || !rotation ? LightMouse::kPosition : LightMouse::kRotation;
}

void StartPanelsAfresh(PanelValues& p, const Scene& s) {
  const PanelValues fresh;
  p.locks = fresh.locks;
  p.lightEntry = EntryOfLight(p.currentLight);
  p.lightMouse = fresh.lightMouse;
  p.cameraMouseMode = s.camera.mode;
  p.cameraMouse = s.camera.mode == kCameraLookAt ? CameraMouse::kPosition : CameraMouse::kRotation;
}

CameraMouse CameraMouseChoice(const Scene& s, const PanelValues& p) {
  if (s.camera.mode == p.cameraMouseMode) return p.cameraMouse;
  return s.camera.mode == kCameraLookAt ? CameraMouse::kPosition : CameraMouse::kRotation;
}

}  // namespace modra
