#include "edit/camera_edits.h"

#include "scene/camera_lights.h"
#include "scene/key_store.h"

namespace modra {

CameraFields CameraPanelFields(const Scene& s) {
  return {s.camera.rotation[0], s.camera.rotation[1], s.camera.position};
}

std::array<float, 5> CameraFieldValues(const CameraFields& f) {
  return {f.rx, f.ry, f.position[0], f.position[1], f.position[2]};
}

bool SetCameraField(EditLayer& layer, int index, float value) {
  if (index < 0 || index > 4) return false;
  std::array<float, 5> v = CameraFieldValues(CameraPanelFields(layer.document().scene));
  v[index] = value;
  return SetCameraFields(layer, {v[0], v[1], {v[2], v[3], v[4]}});
}

bool SetCameraFields(EditLayer& layer, const CameraFields& fields) {
  return layer.EditOwner(CommandId::kMoveCamera, kCameraOwner, {kKeyCamera}, [&](Scene& s) {
    s.camera.rotation[0] = fields.rx;
    s.camera.rotation[1] = fields.ry;
    s.camera.position = fields.position;
    UpdateCameraTarget(s);
  });
}

CameraMouse SetCameraMode(EditLayer& layer, int mode) {
  const CameraMouse mouse = mode == kCameraLookAt ? CameraMouse::kPosition : CameraMouse::kRotation;
  if (mode != kCameraManual && mode != kCameraLookAt) return mouse;
  layer.EditOwner(CommandId::kCameraMode, kCameraOwner, {kKeyCamera}, [&](Scene& s) {
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
  return layer.EditOwner(CommandId::kSetLookAtGroup, kCameraOwner, {kKeyCamera}, [&](Scene& s) {
    s.camera.lookAtGroup = g;
    RebuildCameraPath(s);
    UpdateCameraTarget(s);
  });
}

bool AdjustCamera(EditLayer& layer, CameraMouse mode, const Vec3& d) {
  const bool turn = mode == CameraMouse::kRotation;
  if (turn ? (d[0] == 0 && d[1] == 0) : (d[0] == 0 && d[1] == 0 && d[2] == 0)) return false;
  return layer.EditOwner(turn ? CommandId::kRotateCamera : CommandId::kMoveCamera, kCameraOwner,
                         {kKeyCamera}, [&](Scene& s) {
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
}

}  // namespace modra
