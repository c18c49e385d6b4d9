#include "view/internal_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "scene/matrix.h"
#include "view/internal_model_data.h"

namespace modra {

namespace {

std::string_view RecordName(const KnfDisplayGroup& g) {
  // The array may be filled to the end without a NUL.
  return std::string_view(g.name, strnlen(g.name, sizeof g.name));
}

// Each record is visited at most once and the nesting is bounded, so a
// looped or dangling link cannot hang the walk or overflow the stack.
struct RecordSearch {
  const KnfDisplayGroup* groups;
  int count;
  std::string_view name;
  int budget;

  int List(int first, int depth) {
    for (int r = first; r >= 0 && r < count && budget > 0; r = groups[r].next) {
      --budget;
      if (RecordName(groups[r]) == name) return r;
      if (depth < kMaxModelDepth) {
        const int found = List(groups[r].child, depth + 1);
        if (found >= 0) return found;
      }
    }
    return -1;
  }
};

// The farthest vertex from the origin over the records that are drawn,
// each inside its ancestors' matrices; bounded like the search above.
struct ReachWalk {
  const KnfDisplayGroup* groups;
  int count;
  int budget;
  float reach = 0;

  void List(int first, int depth, const Mat4& outer) {
    for (int r = first; r >= 0 && r < count && budget > 0; r = groups[r].next) {
      --budget;
      const KnfDisplayGroup& g = groups[r];
      if (!(g.flags & KNF_ENABLED)) continue;
      Mat4 own;
      std::copy(std::begin(g.matrix), std::end(g.matrix), own.begin());
      const Mat4 m = Multiply(outer, own);
      if (depth < kMaxModelDepth) List(g.child, depth + 1, m);
      const int stride =
          6 + (g.flags & KNF_VERTEX_COLORS ? 3 : 0) + (g.flags & KNF_TEX_COORDS ? 2 : 0);
      for (int i = 0; g.primitives && i < g.primitiveCount; ++i) {
        const KnfDisplayPrimitive& prim = g.primitives[i];
        for (int v = 0; prim.vertices && v < prim.vertexCount; ++v) {
          const float* at = prim.vertices + static_cast<size_t>(v) * stride;
          const Vec3 p = TransformPoint(m, {at[0], at[1], at[2]});
          reach = std::max(reach, std::hypot(p[0], p[1], p[2]));
        }
      }
    }
  }
};

int FindOr0(const InternalModel* model, std::string_view name, bool* complete) {
  const int found = FindInternalModelGroup(model, name);
  if (found >= 0) return found;
  *complete = false;
  return 0;
}

}  // namespace

const InternalModel* GetInternalModel(int id) {
  if (id < 0 || id >= kInternalModelCount) return nullptr;
  return &kCompiledInternalModels[id];
}

int FindInternalModelGroup(const InternalModel* model, std::string_view name) {
  if (!model || !model->scene || !model->scene->groups || model->groupCount <= 0) return -1;
  RecordSearch search{model->scene->groups, model->groupCount, name, model->groupCount};
  return search.List(0, 0);
}

float InternalModelReach(const InternalModel* model) {
  if (!model || !model->scene || !model->scene->groups || model->groupCount <= 0) return 0;
  ReachWalk walk{model->scene->groups, model->groupCount, model->groupCount};
  walk.List(0, 0, kIdentity);
  return walk.reach;
}

LightBulbs FindLightBulbs(const InternalModel* directional, const InternalModel* positional,
                          const InternalModel* spot) {
  LightBulbs bulbs;
  bulbs.directional = FindOr0(directional, "Bulb1", &bulbs.complete);
  bulbs.positional = FindOr0(positional, "Bulb", &bulbs.complete);
  bulbs.spot = FindOr0(spot, "Bulb", &bulbs.complete);
  return bulbs;
}

LightBulbs CompiledLightBulbs() {
  return FindLightBulbs(GetInternalModel(kDirectionalLightModel),
                        GetInternalModel(kPositionalLightModel), GetInternalModel(kSpotLightModel));
}

LightBulbs LookUpLightBulbs(Shell& shell, const InternalModel* directional,
                            const InternalModel* positional, const InternalModel* spot) {
  const LightBulbs bulbs = FindLightBulbs(directional, positional, spot);
  if (!bulbs.complete)
    shell.Message(
        "One of the three internal light models is missing their\n"
        "sub group named Bulb1 or Bulb.  If you get this message\n"
        "you need to recompile the dir_light.knf, pos_light.knf\n"
        "or spot_light.knf models into this source\n");
  return bulbs;
}

LightBulbs LookUpLightBulbs(Shell& shell) {
  return LookUpLightBulbs(shell, GetInternalModel(kDirectionalLightModel),
                          GetInternalModel(kPositionalLightModel),
                          GetInternalModel(kSpotLightModel));
}

}  // namespace modra
