#include "edit/camera_edits.h"

#include "scene/camera_lights.h"
#include "scene/key_store.h"

namespace modra {

CameraFields CameraPanelFields(const Scene& s) {
  return {s.camera.rotation[0], s.camera.rotation[1], s.camera.position};
}

void SetCameraFields(EditLayer& layer, const CameraFields& fields) {
  layer.EditOwner("Move Camera", kCameraOwner, {kKeyCamera}, [&](Scene& s) {
    s.camera.rotation[0] = fields.rx;
    s.camera.rotation[1] = fields.ry;
    s.camera.position = fields.position;
    UpdateCameraTarget(s);
  });
}

CameraMouse SetCameraMode(EditLayer& layer, int mode) {
  const CameraMouse mouse = mode == kCameraLookAt ? CameraMouse::kPosition : CameraMouse::kRotation;
  if (mode != kCameraManual && mode != kCameraLookAt) return mouse;
  layer.EditOwner("Camera Mode", kCameraOwner, {kKeyCamera}, [&](Scene& s) {
    s.camera.mode = mode;
    UpdateCameraTarget(s);
  });
  return mouse;
}

bool SetLookAtGroup(EditLayer& layer) {
  Document& doc = layer.document();
  const int g = doc.scene.selectedGroup;
  if (!IsLiveGroup(doc.scene, g)) {
    doc.shell->Message(kNoLookAtGroup);
    return false;
  }
  layer.EditOwner("Set Look-At Group", kCameraOwner, {kKeyCamera}, [&](Scene& s) {
    s.camera.lookAtGroup = g;
    RebuildCameraPath(s);
    UpdateCameraTarget(s);
  });
  return true;
}

bool AdjustCamera(EditLayer& layer, CameraMouse mode, const Vec3& d) {
  const bool turn = mode == CameraMouse::kRotation;
  if (turn ? (d[0] == 0 && d[1] == 0) : (d[0] == 0 && d[1] == 0 && d[2] == 0)) return false;
  layer.EditOwner(turn ? "Rotate Camera" : "Move Camera", kCameraOwner, {kKeyCamera},
                  [&](Scene& s) {
                    KnfCameraView& cam = s.camera;
                    if (turn) {
                      cam.rotation[0] += d[0];
                      cam.rotation[1] += d[1];
                    } else {
                      for (int i = 0; i < 3; ++i)
                        cam.position[i] += d[i];
                    }
                    UpdateCameraTarget(s);
                  });
  return true;
}

}  // namespace modra
