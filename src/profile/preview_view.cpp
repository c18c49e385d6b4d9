#include "profile/preview_view.h"

#include "view/interaction.h"

namespace modra {
namespace {

constexpr float kDegreesPerUnit = 180;
constexpr float kDepthPerUnit = 4;

}  // namespace

PreviewControl PreviewControlAt(int choice, bool shift, bool ctrl) {
  if (shift) return PreviewControl::kRotation;
  if (ctrl) return PreviewControl::kTranslation;
  if (choice <= 0) return PreviewControl::kRotation;
  return choice == 1 ? PreviewControl::kTranslation : PreviewControl::kParameter;
}

void TurnPreview(PreviewView& view, PaneButton button, float dx, float dy) {
  if (button == PaneButton::kLeft) {
    view.angles[0] -= kDegreesPerUnit * dy;
    view.angles[1] += kDegreesPerUnit * dx;
  } else {
    view.angles[2] -= kDegreesPerUnit * dx;
  }
}

void ShiftPreview(PreviewView& view, PaneButton button, float dx, float dy) {
  if (button == PaneButton::kLeft) {
    view.translation[0] += dx;
    view.translation[1] += dy;
  } else {
    view.translation[2] += kDepthPerUnit * dy;
  }
}

ViewSetting PreviewViewSetting(const PreviewView& view) {
  std::array<ViewSetting, kViewCount> views;
  ResetViews(views, false, {0, 0, 0});
  ViewSetting setting = views[kViewPerspective];
  setting.rotation = view.angles;
  setting.translation = view.translation;
  setting.rawTranslation = view.translation;
  setting.scale = ZoomScale(view.translation[2]);
  return setting;
}

}  // namespace modra
