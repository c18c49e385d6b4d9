// The arithmetic of the Create panel: which primitive each button makes,
// the size fields of the current group's generator, and the edits that
// typed sizes, drags and the resolution dialog make through the edit
// layer. The Qt panel and its dialogs only show fields and call these.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "edit/edit_layer.h"
#include "geometry/primitive_params.h"

namespace modra {

struct CreateButton {
  const char* label;
  int (*create)(Document&);
};

inline constexpr int kCreateButtonCount = 9;
// The primitive buttons in panel order.
extern const std::array<CreateButton, kCreateButtonCount> kCreateButtons;

// What a create button does around its generator: the selection is
// cleared and the level left (the new group lives at the top level), then
// create(doc) runs, and the new group is current and selected, so the
// panels act on it at once. The new group's index, or -1.
int CreateFromPanel(Document& doc, int (*create)(Document&));

// The "3D Text ..." dialog's OK: the selection is cleared, the scale is
// read as "%f" reads it into a value that starts at 1.0, and the text is
// built in the font of `fontIndex`. The last group made, or -1.
int CreateTextFromPanel(Document& doc, std::string_view text, std::string_view scaleText,
                        int fontIndex);

// The size fields of the current group: labels and values, count 0 when
// there is no current group or it is not a built-in primitive (a mesh, an
// extrusion, a surface of revolution).
struct CreateFields {
  int count = 0;
  std::array<std::string, kMaxSizeParams> labels;
  std::array<float, kMaxSizeParams> values{};
};
CreateFields CreatePanelFields(const Scene& s);

// A size typed into field `index` of the current group: stored, the
// geometry regenerated in place (counts and texture coordinates kept).
// One edit step; false, and nothing changed, when the field does not
// exist, already holds the value or the value is not a finite number.
bool SetCreateField(EditLayer& layer, int index, float value);

// A drag of the view in Create mode: adds the differences to the current
// group's sizes (as many as it has) and regenerates in place. false when
// the group has no sizes or every difference it would use is 0.
bool AdjustCreate(EditLayer& layer, float dx, float dy, float dz);

// The resolutions of the current group as the "Modify Resolution" dialog
// shows them: labels, values and the range each is held to.
struct ResolutionValues {
  int count = 0;
  std::array<std::string, kMaxResolutionParams> labels;
  std::array<int, kMaxResolutionParams> values{};
  std::array<int, kMaxResolutionParams> min{};
  std::array<int, kMaxResolutionParams> max{};
};
ResolutionValues CreatePanelResolutions(const Scene& s);

// The dialog's OK: the first count values are clamped into their ranges
// (written back into `values`) and the group rebuilt with new arrays, its
// texture mapping applied again. One edit step; false, and nothing
// changed, without resolutions or when the clamped values are the ones
// the group has.
bool SetCreateResolutions(EditLayer& layer, std::array<int, kMaxResolutionParams>& values);

}  // namespace modra
