// Drawing the display groups: each group inside its parent's matrix, with
// its material, texture and per-vertex data, the visibility rules of
// enabled and disabled groups, bounding boxes, the highlight of the
// current group's subtree, and the pick colours.
//
// Primitives go to OpenGL from each group's buffer objects (group_buffers.h),
// uploaded when the group's geometry changes, in the runs of
// primitive_runs.h: consecutive triangles one draw, consecutive quads one
// draw, each strip alone. A context without buffer objects, or a drawer
// switched to DrawPath::kClientArrays, sends the same runs as client
// arrays straight from the group's interleaved vertices every frame; both
// ways give the same pixels.
#pragma once

#include <span>
#include <vector>

#include "scene/scene.h"
#include "view/group_buffers.h"
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

enum class DrawPath {
  kBuffers,       // from buffer objects, where the context has them
  kClientArrays,  // every vertex sent each frame
};

// Holds the work buffers of the walks, so one drawer reused across frames
// allocates nothing once they have grown. Needs a current context.
class GroupDrawer {
 public:
  // One drawer draws in one context (or share group): its buffer objects
  // live there. The owner calls ReleaseBuffers with that context current
  // before the context goes; destroying the drawer calls no OpenGL.
  void SetPath(DrawPath path) { path_ = path; }
  DrawPath Path() const { return path_; }
  const GroupBuffers& Buffers() const { return buffers_; }
  void ReleaseBuffers() { buffers_.Release(); }
  // For a context that went without ReleaseBuffers (its objects with it).
  void AbandonBuffers() { buffers_.Abandon(); }

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
  void DrawPrimitives(const Scene& s, int g, bool colors, bool normals, bool texCoords);
  // The group's buffers when this walk draws from buffers, else null.
  const GroupBuffers::Buffers* BuffersOf(const Scene& s, int g);
  void AddPickGroup(const Scene& s, int g, const Mat4& world, const DrawSwitches& sw);

  DrawPath path_ = DrawPath::kBuffers;
  bool fromBuffers_ = false;  // this walk's path, as the context allows
  GroupBuffers buffers_;
  std::vector<Frame> stack_;
  std::vector<float> batch_;
  PickDraw pick_;
  Mat4 pickView_ = kIdentity;
  bool pickLines_ = false;  // a highlighted group in Wire Frame turned polygons to lines
};

}  // namespace modra
