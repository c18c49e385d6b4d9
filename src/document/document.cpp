#include "document/document.h"

#include "scene/camera_lights.h"

namespace modra {

void ResetScene(Document& doc, bool keepCamera) {
  Scene& s = doc.scene;
  ClearScene(s);
  ClearKeyFrames(s.anim);
  s.anim.currentFrame = 0;
  s.anim.playing = false;
  ResetLights(s);
  if (!keepCamera) ResetCamera(s);
  s.global = KnfGlobalScene{};
  ResetViews(doc.display.views, keepCamera, s.camera.position);
}

}  // namespace modra
