// TODO(wiring): see interaction_glue.h.
#include "app/interaction_glue.h"

#include <algorithm>
#include <cmath>

#include "app/shell_glue.h"
#include "document/group_edit.h"

namespace modra::glue {

int ModifierCode(bool ctrl, bool shift, bool zKey) {
  const int code = (ctrl ? 1 : 0) | (shift ? 2 : 0);
  return code != 0 && zKey ? code + 4 : code;
}

int EffectiveMode(int code, int mode) {
  switch (code) {
    case 1:
    case 5: return kSelection;
    case 2: return kRotateView;
    case 6: return kTranslateView;
    case 3: return kTranslateObject;
    case 7: return kRotateObject;
    default: return mode;
  }
}

namespace {

void SelectWithSubtree(Scene& s, int g) {
  s.groups[g].flags |= Selected | highlighted;
  ForEachGroup(s, s.groups[g].child, [&](int c) { s.groups[c].flags |= highlighted; });
  s.selectedGroup = g;
}

void Pick(Document& doc, float x, float y, int button, const PickFunction& pick) {
  Scene& s = doc.scene;
  const int p = pick(x, y);
  if (button == 1) {
    ForEachGroup(s, s.rootHead, [&](int g) { s.groups[g].flags &= ~(Selected | highlighted); });
    s.selectedGroup = -1;
    if (p >= 0) SelectWithSubtree(s, p);
  } else if (p >= 0 && !(s.groups[p].flags & Selected)) {
    SelectWithSubtree(s, p);
  } else if (p >= 0) {
    s.groups[p].flags &= ~(Selected | highlighted);
    ForEachGroup(s, s.groups[p].child,
                 [&](int c) { s.groups[c].flags &= ~(Selected | highlighted); });
    s.selectedGroup = -1;
    ForEachGroup(s, CurrentLevelHead(s), [&](int g) {
      if (s.selectedGroup == -1 && (s.groups[g].flags & Selected) && (s.groups[g].flags & Enabled))
        s.selectedGroup = g;
    });
  }
  doc.shell->Status(s.selectedGroup == -1 ? std::string(kNothingSelected)
                                          : s.groups[s.selectedGroup].name);
  doc.shell->RequestRedraw();
}

}  // namespace

void ButtonStep(Document& doc, ViewInteraction& v, float x, float y, int button, int mode,
                const PickFunction& pick) {
  const int effective = EffectiveMode(v.code, mode);
  if (effective == kSelection) {
    if (button != 0) Pick(doc, x, y, button, pick);
    return;
  }
  if (button == 1) {
    v.leftStart[0] = v.lastLeft[0] = x;
    v.leftStart[1] = v.lastLeft[1] = y;
    v.dragState = 1;
  } else if (button == 3) {
    v.rightStart[0] = v.lastRightX = x;
    v.rightStart[1] = v.lastRightY = y;
    v.dragState = 3;
  } else {
    if (effective == kRotateView) {
      for (int i = 0; i < 3; ++i) {
        v.baseRotation[i] += v.deltaRotation[i];
        v.deltaRotation[i] = 0;
      }
    }
    v.dragState = 0;
  }
}

void MotionStep(Document& doc, ViewInteraction& v, float x, float y, int mode,
                AdjustTarget* panel) {
  const int effective = EffectiveMode(v.code, mode);
  ViewSetting& view = doc.display.views[doc.display.currentView];
  if (effective == kRotateView) {
    if (view.orthographic) return;
    if (v.dragState == 1) {
      v.deltaRotation[0] = -180 * (y - v.leftStart[1]);
      v.deltaRotation[1] = 180 * (x - v.leftStart[0]);
    } else if (v.dragState == 3) {
      v.deltaRotation[2] = -180 * (x - v.rightStart[0]);
    }
    for (int i = 0; i < 3; ++i)
      v.totalRotation[i] = v.baseRotation[i] + v.deltaRotation[i];
    ApplyView(doc, v);
    if (panel)
      panel->adjust(v.totalRotation[0], v.totalRotation[1], v.totalRotation[2],
                    effective == mode);
  } else if (effective == kTranslateView) {
    if (v.dragState == 1) {
      v.translation[0] += x - v.lastLeft[0];
      v.translation[1] += y - v.lastLeft[1];
      v.lastLeft[0] = x;
      v.lastLeft[1] = y;
    } else if (v.dragState == 3) {
      v.translation[2] += 4 * (y - v.lastRightY);
      v.lastRightY = y;
    }
    ApplyView(doc, v);
    if (panel)
      panel->adjust(v.translation[0], v.translation[1], v.translation[2], effective == mode);
  }
}

void ApplyView(Document& doc, ViewInteraction& v) {
  const int index = doc.display.currentView;
  ViewSetting& view = doc.display.views[index];
  const float tx = v.translation[0], ty = v.translation[1], tz = v.translation[2];
  const float s = tz <= 0 ? 1 - tz : std::max(0.0f, 1 - std::log10(1 + tz));
  view.scale = s;
  view.rawTranslation = {tx, ty, tz};
  switch (index) {
    case kViewFront: view.translation = {tx, ty, 0}; break;
    case kViewTop: view.translation = {tx, 0, ty}; break;
    case kViewLeft: view.translation = {0, ty, -tx}; break;
    case kViewBack: view.translation = {-tx, ty, 0}; break;
    case kViewBottom: view.translation = {tx, 0, -ty}; break;
    case kViewRight: view.translation = {0, ty, tx}; break;
    case kViewPerspective:
      view.translation = {tx, ty, tz};
      view.rotation = {v.totalRotation[0], v.totalRotation[1], v.totalRotation[2]};
      break;
    default: break;
  }
  doc.shell->RequestRedraw();
}

void ResetView(Document& doc, ViewInteraction& v) {
  v = ViewInteraction{};
  ResetViews(doc.display.views, true, doc.scene.camera.position);
  doc.shell->RequestRedraw();
}

void SelectView(Document& doc, int view) {
  doc.display.currentView = std::clamp(view, 0, kViewCount - 1);
  doc.shell->RequestRedraw();
}

}  // namespace modra::glue
