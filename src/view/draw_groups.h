// Drawing the display groups: each group inside its parent's matrix, with
// its material, texture and per-vertex data, the visibility rules of
// enabled and disabled groups, bounding boxes, the highlight of the
// current group's subtree, and the pick colours.
//
// Primitives go to OpenGL as client vertex arrays straight from the
// group's interleaved vertices (stride from its flags), in the runs of
// primitive_runs.h: consecutive triangles one draw, consecutive quads one
// draw, each strip alone. Nothing is kept between frames, so an edit to a
// group's vertices shows in the next picture.
//
// note: a welded, indexed copy per group was tried and dropped: on Mesa's
// llvmpipe it drew slower than these arrays, and checking that each copy
// still matched its group cost more than it saved.
#pragma once

#include <span>
#include <vector>

#include "scene/scene.h"
#include "view/pick_draw.h"
#include "view/primitive_runs.h"
#include "view/view_setting.h"

namespace modra {

// The switches one walk of the groups reads.
struct DrawSwitches {
  int displayMode = kTexturedMode;
  // The current group (the scene's selectedGroup); while a live group is
  // current, every group that is not highlighted is drawn as plain lines.
  int currentGroup = -1;
  bool disabledDisplay = false;  // draw disabled groups instead of enabled ones
  bool axisMarker = true;        // the current group's axes at its pivot
  bool solidAxis = true;         // ... as the arrows of the axis model, not three lines
  bool lighting = true;          // filled drawing may light
  bool texturedPass = false;     // Textured groups bind their texture
  // The texture object of each table entry (TextureUploader::DrawingNames).
  std::span<const unsigned> textureNames;
  // While picking: every group is one flat colour, boxes are drawn as
  // geometry and vertex colours are ignored.
  bool pickOverride = false;
  Vec3 pickColor = {0, 0, 0};
};

// The texture object drawing binds for table entry `index`: the one the
// uploader made for it, or 0 (no texture) when it made none.
inline unsigned TextureName(std::span<const unsigned> names, int index) {
  return index >= 0 && static_cast<size_t>(index) < names.size() ? names[index] : 0;
}

// Holds the work buffers of the walks, so one drawer reused across frames
// allocates nothing once they have grown. Needs a current context.
class GroupDrawer {
 public:
  // Draws `first` and the groups after it along `next`, each with its
  // subtree, inside the current modelview matrix, which is left as it was.
  // A damaged hierarchy (a loop, a dangling index, any depth) draws each
  // slot at most once and never overflows a stack.
  void DrawList(const Scene& s, int first, const DrawSwitches& sw);
  // g and its subtree only.
  void DrawTree(const Scene& s, int g, const DrawSwitches& sw);
  // Lines from each vertex along 0.05 of its normal, for the groups that
  // DrawList would show.
  void DrawNormals(const Scene& s, int first, const DrawSwitches& sw);
  // The same for g and its subtree only.
  void DrawTreeNormals(const Scene& s, int g, const DrawSwitches& sw);

  // Picking: PickTree draws g's subtree in sw.pickColor as DrawTree does
  // with sw.pickOverride on and no current group, sending positions only
  // and no material. Call BeginPick once before the first pass (polygons
  // filled, the pick's modelview matrix set) and EndPick after each pass;
  // the modelview matrix is then as BeginPick found it.
  void BeginPick();
  void PickTree(const Scene& s, int g, const DrawSwitches& sw);
  void EndPick();

 private:
  enum class Content { kGeometry, kNormals, kPick };
  struct Frame {
    int group;
    int next;
    Mat4 world;  // relative to the modelview matrix the walk started in
    bool savedInside;
    bool visible;
  };
  void Walk(const Scene& s, int first, bool siblings, const DrawSwitches& sw, Content content);
  void DrawOwn(const Scene& s, int g, const DrawSwitches& sw);
  void DrawNormalLines(const DisplayGroup& group);
  void DrawPrimitives(const DisplayGroup& group, bool colors, bool normals, bool texCoords);
  void AddPickGroup(const Scene& s, int g, const Mat4& world, const DrawSwitches& sw);

  std::vector<Frame> stack_;
  std::vector<float> batch_;
  PickDraw pick_;
  Mat4 pickView_ = kIdentity;
  bool pickLines_ = false;  // a highlighted group in Wire Frame turned polygons to lines
};

}  // namespace modra
