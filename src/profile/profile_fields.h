// The editors' number fields: how typed text becomes a value and how a
// value is shown. Text that is no number never changes a value: the old
// value stays and the field is reported so the window can mark it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace modra {

// A field holds at most this many characters; more are not read.
inline constexpr size_t kProfileFieldChars = 19;

// Decimals each field is shown with.
inline constexpr int kDepthDecimals = 3;        // "Extrude Depth"
inline constexpr int kBevelSizeDecimals = 4;    // "Bevel Size"
inline constexpr int kPointDecimals = 3;        // "Point X", "Point Y"
inline constexpr int kDegreesDecimals = 2;      // "Degrees to Rotate"
inline constexpr int kDeltaYDecimals = 3;       // "Delta-Y per Rev"
inline constexpr int kRadiusScaleDecimals = 3;  // "Radius Scale per Rev"

// "Number of Steps": below 0 becomes kNegativeSteps, 0 and 1 (no angle
// between rings) become kLeastSteps, above kMostSteps becomes kMostSteps.
inline constexpr int kNegativeSteps = 4;
inline constexpr int kLeastSteps = 2;
inline constexpr int kMostSteps = 2000;

template <class T>
struct FieldRead {
  T value;      // what the field now stands for
  bool marked;  // the text was no number: value is the previous one
};

// A number field's text, or `previous` (marked) when it is no number.
FieldRead<float> ReadNumberField(std::string_view text, float previous);
// The steps field's text: a whole number held to the limits above, or
// `previous` (marked) when it is no whole number.
FieldRead<int> ReadStepsField(std::string_view text, int previous);
// A step count held to the limits above.
int HoldSteps(long long steps);

// The text a number field shows ("%.<decimals>f"), and the steps field's.
std::string NumberFieldText(float value, int decimals);
std::string StepsFieldText(int steps);

// Point X / Point Y of the current point: "" for both when there is none.
struct PointFieldTexts {
  std::string x, y;
};
PointFieldTexts PointFields(const float* points, size_t count, int current);

}  // namespace modra
