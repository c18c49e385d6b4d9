#include "anim/spline_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "anim/playback.h"

namespace modra {
namespace {

bool Near(float a, float b) {
  return std::fabs(a - b) <= kSplinePickDistance;
}

void ClearSelection(SplineCurve& curve) {
  for (SplineEntry& entry : curve.entries)
    entry.selected = false;
}

int SelectedCount(const SplineCurve& curve) {
  return static_cast<int>(std::count_if(curve.entries.begin(), curve.entries.end(),
                                        [](const SplineEntry& e) { return e.selected; }));
}

bool IsStepEntry(const SplineCurve& curve, int entry) {
  return curve.keys[SplineKeyOfEntry(entry)].step;
}

// The owner a choice names now; false for the selected object when no
// group is selected.
bool OwnerOf(const Scene& s, int choice, int& owner) {
  if (choice == kSplineSelectedObject) {
    owner = s.selectedGroup;
    return IsLiveGroup(s, owner);
  }
  if (choice == kSplineCamera) {
    owner = kCameraOwner;
    return true;
  }
  owner = LightOwner(choice - kSplineLight1 + 1);
  return choice > kSplineCamera && choice < kSplineOwnerChoiceCount;
}

void Load(const Document& doc, SplineEditor& e, int ownerChoice, int param) {
  e.ownerChoice = ownerChoice;
  int owner = 0;
  e.loaded = OwnerOf(doc.scene, ownerChoice, owner);
  e.curve = e.loaded ? LoadSplineCurve(doc.scene.anim, owner, param) : SplineCurve{};
  e.curve.param = param;
  e.picked = -1;
  e.banding = false;
  e.status.clear();
  FitSplineEditor(e);
}

}  // namespace

int PickSplineEntry(const SplineCurve& curve, const SplineView& view, float x, float y) {
  for (size_t i = 0; i < curve.entries.size(); ++i) {
    const SplineEntry& entry = curve.entries[i];
    if (Near(SplineWindowX(view, entry.x), x) && Near(SplineWindowY(view, entry.y), y)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void SelectSplineRectangle(SplineCurve& curve, const SplineView& view, float x0, float y0, float x1,
                           float y1) {
  float xLo = std::min(x0, x1), xHi = std::max(x0, x1);
  float yLo = std::min(y0, y1), yHi = std::max(y0, y1);
  for (SplineEntry& entry : curve.entries) {
    float x = SplineWindowX(view, entry.x), y = SplineWindowY(view, entry.y);
    if (x >= xLo && x <= xHi && y >= yLo && y <= yHi) entry.selected = true;
  }
}

void PressSpline(SplineEditor& e, float x, float y, bool adding) {
  e.status.clear();
  SplineCurve& curve = e.curve;
  e.picked = PickSplineEntry(curve, e.view, x, y);
  if (e.picked == -1) {
    if (!adding) ClearSelection(curve);
    e.banding = true;
    e.bandX0 = e.bandX1 = x;
    e.bandY0 = e.bandY1 = y;
    return;
  }
  bool keepGroup = SelectedCount(curve) >= 2 && curve.entries[e.picked].selected;
  if (!adding && !keepGroup) ClearSelection(curve);
  curve.entries[e.picked].selected = true;
  if (!IsSplineHandle(e.picked)) curve.entries[e.picked + 1].selected = true;
}

bool MoveSpline(SplineEditor& e, float x, float y) {
  if (e.banding) {
    e.bandX1 = x;
    e.bandY1 = y;
    return true;
  }
  if (e.picked == -1) return true;
  SplineCurve& curve = e.curve;
  auto moves = [&](size_t i) {
    return static_cast<int>(i) == e.picked || curve.entries[i].selected;
  };
  for (size_t i = 0; i < curve.entries.size(); ++i) {
    if (moves(i) && IsStepEntry(curve, static_cast<int>(i))) {
      e.status = kSplineStepKeyText;
      return false;
    }
  }
  e.status.clear();
  float dy = SplineDisplayY(e.view, y) - curve.entries[e.picked].y;
  for (size_t i = 0; i < curve.entries.size(); ++i) {
    if (moves(i)) curve.entries[i].y += dy;
  }
  RebuildSplinePolygon(curve);
  e.status = SplineDragText(curve, e.picked);
  return true;
}

void ReleaseSpline(SplineEditor& e, float x, float y) {
  if (e.banding) {
    MoveSpline(e, x, y);
    SelectSplineRectangle(e.curve, e.view, e.bandX0, e.bandY0, e.bandX1, e.bandY1);
  }
  // A press cleared the status, so only the drag's own words are in it.
  if (e.picked != -1 && e.status != kSplineStepKeyText) e.status.clear();
  e.banding = false;
  e.picked = -1;
}

std::string SplineDragText(const SplineCurve& curve, int entry) {
  char text[96];
  std::snprintf(text, sizeof text, "Frame %d  %s %.3f%s", curve.keys[SplineKeyOfEntry(entry)].frame,
                IsSplineHandle(entry) ? "Handle" : "Value", curve.entries[entry].y,
                curve.param == kSplineRotation ? " degrees" : "");
  return text;
}

SplineEditor OpenSplineEditor(const Document& doc) {
  SplineEditor e;
  Load(doc, e, kSplineSelectedObject, kSplineTranslation);
  return e;
}

bool WriteSplineCurve(Document& doc, SplineCurve& curve) {
  if (!WriteBackSplineCurve(doc.scene.anim, curve)) return false;
  ShowFrame(doc);
  MarkModified(doc);
  return true;
}

void ReloadSplineEditor(const Document& doc, SplineEditor& e) {
  if (!e.loaded) return;
  std::vector<SplineEntry> before = std::move(e.curve.entries);
  // The same owner as before, even when another group is selected now.
  e.curve = LoadSplineCurve(doc.scene.anim, e.curve.owner, e.curve.param);
  e.picked = -1;
  e.banding = false;
  for (size_t i = 0; i < before.size() && i < e.curve.entries.size(); ++i) {
    e.curve.entries[i].selected = before[i].selected;
  }
}

void ChooseSplineCurve(Document& doc, SplineEditor& e, int ownerChoice, int param) {
  if (e.loaded) WriteSplineCurve(doc, e.curve);
  Load(doc, e, ownerChoice, param);
}

void FinishSplineEditor(Document& doc, SplineEditor& e) {
  if (e.loaded) WriteSplineCurve(doc, e.curve);
  MarkModified(doc);
}

void FitSplineEditor(SplineEditor& e) {
  e.view = FitSplineView(e.curve.entries);
}

void FitSplineSelection(SplineEditor& e) {
  e.view = FitSplineViewToSelection(e.curve.entries);
}

void ResetSplineEditorView(SplineEditor& e) {
  e.view = ResetSplineView(e.curve.param);
}

}  // namespace modra
