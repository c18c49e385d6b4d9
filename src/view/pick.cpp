#include "view/pick.h"

#include <GL/gl.h>

#include <algorithm>
#include <bit>
#include <cstdint>

#include "view/projection.h"

namespace modra {

namespace {

struct ChannelBits {
  int red, green, blue;
  int Total() const { return red + green + blue; }
};

float Level(uint64_t v, int shift, int bits) {
  const uint64_t mask = (uint64_t{1} << bits) - 1;
  return static_cast<float>((v >> shift) & mask) / static_cast<float>(mask);
}

Vec3 PickColor(int index, int shift, const ChannelBits& b) {
  const uint64_t v = static_cast<uint64_t>(index) >> shift;
  return {Level(v, b.green + b.blue, b.red), Level(v, b.blue, b.green), Level(v, 0, b.blue)};
}

uint64_t TopBits(float c, int bits) {
  const int byte = std::clamp(static_cast<int>(255 * c + 0.5f), 0, 255);
  return static_cast<uint64_t>(byte) >> (8 - bits);
}

}  // namespace

int PickGroupAt(GroupDrawer& drawer, const Scene& s, const DisplayState& d,
                const PickTarget& target, float x, float y) {
  const size_t slots = s.groups.size();
  if (slots == 0 || target.width <= 0 || target.height <= 0) return -1;
  if (!(x >= -1 && x <= 1 && y >= -1 && y <= 1)) return -1;
  const int px = static_cast<int>((x + 1) * static_cast<float>(target.width) * 0.5f);
  const int py = static_cast<int>((y + 1) * static_cast<float>(target.height) * 0.5f);
  // The right and top edges (x or y of exactly 1) are one pixel past the view.
  if (px >= target.width || py >= target.height) return -1;

  const ChannelBits bits = {std::clamp(target.bits.red, 1, 8), std::clamp(target.bits.green, 1, 8),
                            std::clamp(target.bits.blue, 1, 8)};
  const int total = bits.Total();
  const int highest = static_cast<int>(std::bit_width(slots)) - 1;
  const int passes = highest / total + 1;

  glDisable(GL_DITHER);
  glDisable(GL_LIGHTING);
  // Only the pixel under the point is read, so only it is cleared and
  // filled: everything else the renderer can drop before rasterising.
  GLint savedScissor[4] = {};
  glGetIntegerv(GL_SCISSOR_BOX, savedScissor);
  const bool scissored = glIsEnabled(GL_SCISSOR_TEST);
  glEnable(GL_SCISSOR_TEST);
  glScissor(px, py, 1, 1);
  // Each group's colour is flat anyway; flat shading takes it from one
  // vertex as given, with no interpolation to round.
  GLint savedShade = GL_SMOOTH;
  glGetIntegerv(GL_SHADE_MODEL, &savedShade);
  glShadeModel(GL_FLAT);
  glClearColor(1, 1, 1, 1);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_TEXTURE_2D);
  const int view = std::clamp(d.currentView, 0, kViewCount - 1);
  SetupView(d.views[view], view, AspectOf(target.width, target.height));
  glPushMatrix();
  glScalef(1, 1, -1);
  const Mat4 level = AccumulatedLevelMatrix(s);
  glMultMatrixf(level.data());

  DrawSwitches sw;
  sw.displayMode = d.displayMode;
  sw.currentGroup = -1;
  sw.disabledDisplay = d.disabledDisplay;
  sw.lighting = false;
  sw.pickOverride = true;
  const int head = CurrentLevelHead(s);

  uint64_t result = 0;
  int shift = 0;
  drawer.BeginPick();
  for (int pass = 0; pass < passes; ++pass) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ForEachSibling(s, head, [&](int g) {
      sw.pickColor = PickColor(g, shift, bits);
      drawer.PickTree(s, g, sw);
    });
    drawer.EndPick();
    float rgba[4] = {1, 1, 1, 1};
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_FLOAT, rgba);
    const uint64_t code = (TopBits(rgba[0], bits.red) << (bits.green + bits.blue)) |
                          (TopBits(rgba[1], bits.green) << bits.blue) | TopBits(rgba[2], bits.blue);
    result |= code << shift;
    shift += total;
  }

  glPopMatrix();
  glShadeModel(static_cast<GLenum>(savedShade));
  glScissor(savedScissor[0], savedScissor[1], savedScissor[2], savedScissor[3]);
  if (!scissored) glDisable(GL_SCISSOR_TEST);
  glEnable(GL_DITHER);
  glEnable(GL_LIGHTING);
  SetClearColor(s.global.background);

  const int usedBits = total * passes;
  const uint64_t background = usedBits >= 64 ? ~uint64_t{0} : (uint64_t{1} << usedBits) - 1;
  // note: a code equal to the slot count names no slot either.
  if (result == background || result >= slots) return -1;
  return static_cast<int>(result);
}

}  // namespace modra
