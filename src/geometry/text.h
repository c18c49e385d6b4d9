// 3D text: a line of characters turned into solid letters. Every part of a
// glyph (the dot and the stroke of an "i" are two) becomes one extrusion
// group with a front bevel; the letters stand side by side along X, the
// whole line centred on the origin, and every new group is selected so the
// line can be moved as a unit.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "document/document.h"
#include "geometry/fonts/font_outlines.h"

namespace modra {

struct TextFont {
  std::string_view name;  // the font list's label
  float factor;           // the typed scale is multiplied by it
  const FontOutlines* outlines;
};

inline constexpr int kTextFontCount = 5;
// In the order of the font list of the "Create 3D Text" dialog.
inline constexpr std::array<TextFont, kTextFontCount> kTextFonts = {{
    {"Arial", 0.2f, &kSansOutlines},
    {"Comic Sans", 0.16f, &kComicOutlines},
    {"Serifa", 0.16f, &kSlabOutlines},
    {"Handel Gothic", 0.2f, &kGothicOutlines},
    {"Orbit", 0.2f, &kDisplayOutlines},
}};

// The font of a list index; an index outside the list means the first font.
const TextFont& TextFontAt(int fontIndex);

// How far a character (a code point) moves the next one, in font units:
// its glyph's advance, or the advance of '+' for a character without a
// glyph (the space and every code outside 33..126).
float CharacterAdvance(const FontOutlines& font, char32_t c);

// How every letter is extruded.
inline constexpr int32_t kTextBevelFlags = 1;  // front bevel only
inline constexpr float kTextDepth = 0.2f;
inline constexpr float kTextBevelSize = 0.014f;

// Adds the groups of `text` in the font of `fontIndex`, each named "Text",
// scaled by scale * the font's factor, coloured (1.0, 0.9, 0.8), flagged
// enabled, selected and highlighted; the last part of the first character
// that has a glyph becomes the current group. The text is UTF-8: a
// character of several bytes advances once, and a byte that is not part of
// a well-formed character counts as one character without a glyph. A scale
// that is not a finite number counts as 1. Marks the document modified.
// Returns the last group made, or -1 when none was made or a group could
// not be made (the groups made before it stay).
int CreateText(Document& doc, std::string_view text, float scale, int fontIndex);

}  // namespace modra
