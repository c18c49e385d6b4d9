#include "view/internal_model.h"

#include <cstring>

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
