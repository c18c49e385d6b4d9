// The editable numbers of a built-in primitive as the Create panel and the
// "Modify Resolution" dialog see them: resolution labels, their block
// fields and ranges, and the size labels and fields.
//
// Resolutions are floats in the block and truncated where used; every
// reader clamps them into the ranges below, so a block typed in by hand or
// read from a file can never ask a generator for an empty ring, a division
// by zero or an absurd allocation.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/document.h"

namespace modra {

inline constexpr int kMaxResolutionParams = 4;
inline constexpr int kMaxSizeParams = 3;

// One resolution of a kind: its label, the float of the block that holds
// it, and the range every value is clamped into.
struct ResolutionField {
  const char* label;
  int field;
  int min;
  int max;
};

// One size of a kind: its label and the float of the block that holds it.
struct SizeField {
  const char* label;
  int field;
};

struct ResolutionFields {
  int count = 0;
  std::array<ResolutionField, kMaxResolutionParams> fields{};
};
struct SizeFields {
  int count = 0;
  std::array<SizeField, kMaxSizeParams> fields{};
};

// Empty (count 0) for kinds that are not built-in primitives, among them
// extrusions and surfaces of revolution.
ResolutionFields ResolutionFieldsOf(int32_t kind);
SizeFields SizeFieldsOf(int32_t kind);

// A resolution float truncated and held to [min, max]; NaN and infinities
// land on the nearer end (NaN on min).
int ClampResolution(float value, int min, int max);

// Fills up to kMaxResolutionParams labels and the resolutions the
// generator uses (clamped) for group g; returns how many (0 when g is not
// a live built-in primitive with a whole block).
int GetResolutionParams(const Scene& s, int g,
                        std::array<std::string, kMaxResolutionParams>& labels,
                        std::array<int, kMaxResolutionParams>& values);
// Clamps the first GetResolutionParams-count values into their ranges,
// writes them back into `values` and into the block, rebuilds the group
// (new arrays, mapping applied again) and marks the document modified.
// Does nothing for a group without resolutions.
void SetResolutionParams(Document& doc, int g, std::array<int, kMaxResolutionParams>& values);

// The size labels ("Width", "Height", ...) and values of group g; returns
// how many (0 as above).
int GetSizeParams(const Scene& s, int g, std::array<std::string, kMaxSizeParams>& labels,
                  std::array<float, kMaxSizeParams>& values);
// A typed size: stores it in size field `index` (0..count-1), regenerates
// in place and marks the document modified. Ignored for a bad index.
void SetSizeParam(Document& doc, int g, int index, float value);
// A mouse drag: adds the deltas to the first, second and third sizes (as
// many as the kind has), regenerates in place, marks the document modified.
void AddSizeParams(Document& doc, int g, float d0, float d1, float d2);

// How the panel shows a size: "%.4f" in its field, "%.3f" while dragging,
// with a point whatever the process's locale.
std::string FormatSize(float value, bool dragging);
// Reads a typed size as "%f" does in the C locale: leading blanks, then
// the longest number; nullopt when the text starts with no number.
std::optional<float> ParseSize(std::string_view text);

}  // namespace modra
