#include "scene/bounds.h"

#include <algorithm>

#include "scene/matrix.h"

namespace modra {
namespace {

constexpr float kFar = 1e35f;

struct Box {
  Vec3 min = {kFar, kFar, kFar};
  Vec3 max = {-kFar, -kFar, -kFar};

  void Add(const Vec3& p) {
    for (int i = 0; i < 3; ++i) {
      min[i] = std::min(min[i], p[i]);
      max[i] = std::max(max[i], p[i]);
    }
  }
  void Add(const Box& b) {
    for (int i = 0; i < 3; ++i) {
      min[i] = std::min(min[i], b.min[i]);
      max[i] = std::max(max[i], b.max[i]);
    }
  }
};

void AddTransformedBox(Box& box, const Mat4& m, const Vec3& lo, const Vec3& hi) {
  for (int corner = 0; corner < 8; ++corner) {
    Vec3 p = {(corner & 1) ? hi[0] : lo[0], (corner & 2) ? hi[1] : lo[1],
              (corner & 4) ? hi[2] : lo[2]};
    box.Add(TransformPoint(m, p));
  }
}

void WalkExtents(const Scene& s, int first, const Mat4& parent, int depth, Box& box) {
  ForEachSibling(s, first, [&](int g) {
    const DisplayGroup& group = s.groups[g];
    if (group.flags & Deleted) return;
    Mat4 m = Multiply(parent, group.matrix);
    if (group.child == -1) {
      AddTransformedBox(box, m, group.bboxMin, group.bboxMax);
    } else if (depth < kMaxLevelDepth) {
      WalkExtents(s, group.child, m, depth + 1, box);
    }
  });
}

}  // namespace

void ComputeBoundingBox(Scene& s, int g) {
  DisplayGroup& group = s.groups[g];
  bool any = false;
  Vec3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
  const int stride = VertexStride(group);
  for (const DisplayPrimitive& prim : group.primitives) {
    size_t count =
        std::min(static_cast<size_t>(std::max(prim.vertexCount, 0)), prim.vertices.size() / stride);
    for (size_t v = 0; v < count; ++v) {
      const float* p = &prim.vertices[v * stride];
      for (int i = 0; i < 3; ++i) {
        if (p[i] < lo[i]) lo[i] = p[i];
        if (p[i] > hi[i]) hi[i] = p[i];
      }
    }
    any = true;
  }
  if (!any) lo = hi = {0, 0, 0};
  group.bboxMin = lo;
  group.bboxMax = hi;
}

void ComputeSceneExtents(Scene& s) {
  Box scene;
  ForEachSibling(s, s.rootHead, [&](int g) {
    DisplayGroup& group = s.groups[g];
    if (group.flags & Deleted) return;
    Box box;
    if (group.child == -1)
      AddTransformedBox(box, group.matrix, group.bboxMin, group.bboxMax);
    else
      WalkExtents(s, group.child, group.matrix, 1, box);
    group.extentMin = box.min;
    group.extentMax = box.max;
    scene.Add(box);
  });
  s.sceneMin = scene.min;
  s.sceneMax = scene.max;
}

}  // namespace modra
