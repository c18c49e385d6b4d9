// The small operations every caller uses on one display group: material
// setters with their clamping, transform setters, the group matrix and the
// generator parameter block. g must be a valid slot index.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/scene.h"

namespace modra {

// Colours are held to [0,1], shininess to [1,128].
void SetColor(Scene& s, int g, float r, float gr, float b);
void SetSpecular(Scene& s, int g, float r, float gr, float b);
void SetShininess(Scene& s, int g, float shininess);

// Add deltas; rotation wraps past +-36000 degrees, centre rotation past
// +-360 degrees, each by one turn of that size.
void AddTranslation(Scene& s, int g, float dx, float dy, float dz);
void AddCenter(Scene& s, int g, float dx, float dy, float dz);
void AddScale(Scene& s, int g, float dx, float dy, float dz);
void AddRotation(Scene& s, int g, float dx, float dy, float dz);
void AddCenterRotation(Scene& s, int g, float dx, float dy, float dz);

void GetMatrix(const Scene& s, int g, float out[16]);
void SetMatrix(Scene& s, int g, const float in[16]);

// matrix = R(centerRotation) T(translation) T(center) R(rotation) S(scale) T(-center).
// Every change to those five fields is followed by this.
void BuildGroupMatrix(Scene& s, int g);
Mat4 GroupMatrixFromFields(const DisplayGroup& group);

// Parameter block size in bytes for a kind; variable-size kinds read it
// from the block's first word.
int GeneratorParamSize(const DisplayGroup& group);
// Where the texture-mapping float sits in the block, -1 when there is none.
int MappingKindOffset(int32_t kind);
// 0, or -1 when memory runs out (the group then has no block).
int AllocGeneratorParams(Scene& s, int g);
void SetGeneratorParams(Scene& s, int g, size_t size, const void* bytes);
void SetVariableParamSize(Scene& s, int g, int32_t size);
// 0 when the group's block has no mapping-kind float.
int GetMappingKind(const Scene& s, int g);
void SetMappingKind(Scene& s, int g, int mappingKind);

}  // namespace modra
