#include "geometry/text.h"

#include <cmath>
#include <string>

#include "geometry/extrusion.h"
#include "io/utf8.h"
#include "scene/group_fields.h"

namespace modra {

namespace {

bool HasGlyph(char32_t c) {
  return c >= kFirstGlyphCode && c <= kLastGlyphCode;
}

// The characters of UTF-8 text; a byte that is not part of a well-formed
// character is one character of its own, which no font has.
std::u32string Characters(std::string_view text) {
  std::u32string out;
  while (!text.empty()) {
    const Utf8Char c = DecodeUtf8Char(text);
    out += c.valid ? c.codePoint : U'\uFFFD';
    text.remove_prefix(c.length);
  }
  return out;
}

// The flags of a new letter: enabled, selected and highlighted. The layout
// bits stay as the generator left them, since the vertex arrays follow them.
uint32_t LetterFlags(uint32_t generated) {
  return (Enabled | Selected | highlighted) | (generated & (VertexColors | TexCoords));
}

}  // namespace

const TextFont& TextFontAt(int fontIndex) {
  if (fontIndex < 0 || fontIndex >= kTextFontCount) fontIndex = 0;
  return kTextFonts[fontIndex];
}

float CharacterAdvance(const FontOutlines& font, char32_t c) {
  return GetGlyphOutline(font, HasGlyph(c) ? static_cast<unsigned char>(c) : '+').advance;
}

int CreateText(Document& doc, std::string_view text, float scale, int fontIndex) {
  const TextFont& font = TextFontAt(fontIndex);
  // note: "nan" and "inf" pass the dialog's "%f"; they would spread into
  // every matrix and bounding box of the scene.
  if (!std::isfinite(scale)) scale = 1.0f;
  const float s = scale * font.factor;

  float width = 0;
  const std::u32string characters = Characters(text);
  for (char32_t c : characters)
    width += CharacterAdvance(*font.outlines, c);
  float x = -width * s * 0.5f;

  Scene& scene = doc.scene;
  ChangeBatch batch(doc);
  int last = -1;
  bool currentChosen = false;
  for (char32_t c : characters) {
    if (HasGlyph(c)) {
      const GlyphOutline glyph = GetGlyphOutline(*font.outlines, static_cast<int>(c));
      const int32_t* pointCounts = glyph.pointCounts;
      const float* points = glyph.points;
      const uint8_t* corners = glyph.corners;
      for (int part = 0; part < glyph.partCount; ++part) {
        const int contours = glyph.contoursPerPart[part];
        const int g = NewGroup(scene, "");
        if (g < 0) {
          if (last >= 0) MarkModified(doc);
          return -1;
        }
        MakeExtrusion(scene, g, kTextBevelFlags, kTextDepth, kTextBevelSize, contours, pointCounts,
                      points, corners);
        SetGroupName(scene, g, "Text");
        SetColor(scene, g, 1.0f, 0.9f, 0.8f);
        DisplayGroup& group = scene.groups[g];
        group.translation = {x, 0, 0};
        group.scale = {s, s, s};
        BuildGroupMatrix(scene, g);
        group.flags = LetterFlags(group.flags);
        if (!currentChosen) {
          scene.selectedGroup = g;
          NotifyChanged(doc, kSelectionChanged);
        }
        last = g;

        int partPoints = 0;
        for (int k = 0; k < contours; ++k)
          partPoints += pointCounts[k];
        pointCounts += contours;
        points += 2 * partPoints;
        corners += partPoints;
      }
      currentChosen = currentChosen || glyph.partCount > 0;
    }
    x += CharacterAdvance(*font.outlines, c) * s;
  }
  MarkModified(doc);
  return last;
}

}  // namespace modra
