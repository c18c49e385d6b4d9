#include "geometry/fonts/font_outlines.h"

#include <cassert>

namespace modra {

GlyphOutline GetGlyphOutline(const FontOutlines& font, int code) {
  assert(code >= kFirstGlyphCode && code <= kLastGlyphCode);
  const int i = code - kFirstGlyphCode;
  const GlyphRecord& r = font.glyphs[i];
  const bool last = i + 1 == kGlyphCount;
  const int endContour = last ? font.contourTotal : font.glyphs[i + 1].firstContour;
  const int endPoint = last ? font.pointTotal : font.glyphs[i + 1].firstPoint;

  GlyphOutline g;
  g.partCount = r.partCount;
  g.contourCount = endContour - r.firstContour;
  g.pointCount = endPoint - r.firstPoint;
  g.contoursPerPart = font.contoursPerPart + r.firstPart;
  g.pointCounts = font.pointCounts + r.firstContour;
  g.points = font.points + 2 * r.firstPoint;
  g.corners = font.corners + r.firstPoint;
  g.advance = r.advance;
  return g;
}

}  // namespace modra
