// TODO(wiring): a stand-in for the core's interaction model (edit modes,
// modifier code, button and motion steps, applying the view). It covers
// picking, Rotate View and Translate View only; once the core's model
// lands, COglView and the view panels call it and this file goes.
#pragma once

#include <functional>

#include "document/document.h"

namespace modra::glue {

// Where the drags of the view modes end up besides the view: the panel of
// the mode, which shows the new values.
class AdjustTarget {
 public:
  virtual ~AdjustTarget() = default;
  virtual void adjust(float dx, float dy, float dz, bool ownMode) = 0;
};

struct ViewInteraction {
  int code = 0;        // modifier code latched at button-down
  int dragState = 0;   // 0 none, 1 left, 3 right
  float leftStart[2] = {0, 0}, lastLeft[2] = {0, 0}, rightStart[2] = {0, 0}, lastRightX = 0,
        lastRightY = 0;
  float translation[3] = {0, 0, 0};  // the view translation accumulator
  float baseRotation[3] = {0, 0, 0}, deltaRotation[3] = {0, 0, 0}, totalRotation[3] = {0, 0, 0};
  float spin[3] = {0, 0, 0};
  // The perspective settings the view panels keep.
  float nearOffset = -12, farOffset = 15, fieldOfView = 30;
};

// Modifier code: Ctrl 1, Shift 2, and the Z key adds 4 to a non-zero code.
int ModifierCode(bool ctrl, bool shift, bool zKey);
// The mode a drag with `code` works in.
int EffectiveMode(int code, int mode);

using PickFunction = std::function<int(float x, float y)>;

// button: 1 left down, 3 right down, 0 up.
void ButtonStep(Document& doc, ViewInteraction& v, float x, float y, int button, int mode,
                const PickFunction& pick);
void MotionStep(Document& doc, ViewInteraction& v, float x, float y, int mode,
                AdjustTarget* panel);
void ApplyView(Document& doc, ViewInteraction& v);
void ResetView(Document& doc, ViewInteraction& v);
void SelectView(Document& doc, int view);

}  // namespace modra::glue
