#include "geometry/primitives.h"

#include "geometry/create_group.h"
#include "geometry/primitive_fields.h"
#include "geometry/primitive_generators.h"
#include "geometry/regenerate.h"
#include "geometry/texture_mapping.h"
#include "scene/bounds.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

constexpr uint32_t kCreatedFlags = Enabled | Selected | highlighted;  // 0x43

// The common steps of every create button around the kind's Make call.
template <class Make>
int CreatePrimitive(Document& doc, const char* name, Make make) {
  return CreateGeneratedGroup(doc, name, kCreatedFlags, make);
}

}  // namespace

void MakePrimitive(Scene& s, int g, int32_t kind, std::initializer_list<float> values) {
  DisplayGroup& group = s.groups[g];
  group.primitives.clear();
  group.generatorParams.clear();
  group.name.clear();
  group.kind = kind;
  if (AllocGeneratorParams(s, g) != 0 || group.generatorParams.empty()) {
    ComputeBoundingBox(s, g);
    return;
  }
  int field = 0;
  for (float v : values)
    WriteBlockFloat(group, field++, v);
  SetMappingKind(s, g, kNoMapping);
  RegenerateGroup(s, g, 1);
}

bool IsPrimitiveKind(int32_t kind) {
  switch (kind) {
    case kKindRectangle:
    case kKindBlock:
    case kKindCone:
    case kKindRoundedCone:
    case kKindTube:
    case kKindCylinder:
    case kKindTorus:
    case kKindSphere:
    case kKindSphere2:
      return true;
    default:
      return false;
  }
}

void GeneratePrimitive(Scene& s, int g, int rebuild) {
  if (!IsValidSlot(s, g)) return;
  Prepared r = Prepared::kUnchanged;
  switch (s.groups[g].kind) {
    case kKindRectangle:
      r = GenerateRectangle(s, g, rebuild);
      break;
    case kKindBlock:
      r = GenerateBlock(s, g, rebuild);
      break;
    case kKindCone:
      r = GenerateCone(s, g, rebuild);
      break;
    case kKindRoundedCone:
      r = GenerateRoundedCone(s, g, rebuild);
      break;
    case kKindTube:
      r = GenerateTube(s, g, rebuild);
      break;
    case kKindCylinder:
      r = GenerateCylinder(s, g, rebuild);
      break;
    case kKindTorus:
      r = GenerateTorus(s, g, rebuild);
      break;
    case kKindSphere:
      r = GenerateSphere(s, g, rebuild);
      break;
    case kKindSphere2:
      r = GenerateSphere2(s, g, rebuild);
      break;
    default:
      return;
  }
  // New arrays hold zero texture coordinates until the mapping runs again.
  if (r == Prepared::kRebuilt) ReapplyTextureMapping(s, g);
}

int CreateRectangle(Document& doc) {
  return CreatePrimitive(doc, "Rectangle",
                         [](Scene& s, int g) { MakeRectangle(s, g, 0.5f, 0.3f, 1); });
}

int CreateBlock(Document& doc) {
  return CreatePrimitive(doc, "Block",
                         [](Scene& s, int g) { MakeBlock(s, g, 0.5f, 0.05f, 0.3f, 1); });
}

int CreateCone(Document& doc) {
  return CreatePrimitive(doc, "Cone",
                         [](Scene& s, int g) { MakeCone(s, g, 0.1f, 0.25f, 0.05f, 20, 1, 1, 1); });
}

int CreateRoundedCone(Document& doc) {
  return CreatePrimitive(doc, "Rounded Cone", [](Scene& s, int g) {
    MakeRoundedCone(s, g, 0.1f, 0.25f, 0.05f, 20, 1, 5, 5);
  });
}

int CreateTube(Document& doc) {
  return CreatePrimitive(doc, "Tube", [](Scene& s, int g) { MakeTube(s, g, 0.1f, 0.25f, 20, 1); });
}

int CreateCylinder(Document& doc) {
  return CreatePrimitive(doc, "Cylinder",
                         [](Scene& s, int g) { MakeCylinder(s, g, 0.1f, 0.25f, 20, 1, 1); });
}

int CreateTorus(Document& doc) {
  return CreatePrimitive(doc, "Torus",
                         [](Scene& s, int g) { MakeTorus(s, g, 0.1f, 0.02f, 30, 20); });
}

int CreateSphere1(Document& doc) {
  return CreatePrimitive(doc, "Sphere", [](Scene& s, int g) { MakeSphere1(s, g, 0.1f, 30, 15); });
}

int CreateSphere2(Document& doc) {
  return CreatePrimitive(doc, "Sphere", [](Scene& s, int g) { MakeSphere2(s, g, 0.1f, 8); });
}

}  // namespace modra
