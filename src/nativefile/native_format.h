// The layout of native scene files: the magic line, record heads, record
// types and payload sizes, shared by the reader and the writer.
#pragma once

#include <cstdint>
#include <string_view>

#include "scene/display_group.h"

namespace modra {

inline constexpr std::string_view kNativeMagicLine = "Lon Kelmar's Native Format\n";
inline constexpr int32_t kNativeVersion = 3;
inline constexpr uint32_t kRecordMagic = 0x19621802u;

// Head sizes by file version.
inline constexpr int kHeadSizeV1 = 36;
inline constexpr int kHeadSizeV2 = 304;
inline constexpr int kHeadSizeV3 = 312;
inline constexpr int kNameBytes = 80;  // NUL-terminated, at most 79 characters

// Where the fields of a record head start, in bytes. These are a
// version-3 head's; a version-2 head holds a single specular level at
// kHeadSpecular and its shininess at kHeadShininessV2, so every field from
// kHeadRecordType on sits kHeadV2Shift bytes earlier. A version-1 head ends
// with the vertex layout at kHeadLayoutV1.
inline constexpr int kHeadCount = 0;  // primitives; a header record's entries
inline constexpr int kHeadVertexCount = 4;
inline constexpr int kHeadColor = 8;
inline constexpr int kHeadAlpha = 20;
inline constexpr int kHeadSpecular = 24;
inline constexpr int kHeadShininessV2 = 28;
inline constexpr int kHeadLayoutV1 = 32;
inline constexpr int kHeadShininess = 36;
inline constexpr int kHeadRecordType = 40;
inline constexpr int kHeadKind = 44;
inline constexpr int kHeadPayloadSize = 48;
inline constexpr int kHeadMagic = 52;
inline constexpr int kHeadName = 56;
inline constexpr int kHeadFileFlags = 136;
inline constexpr int kHeadMatrix = 140;
// centre, centre rotation, rotation, translation and scale, 3 floats each
inline constexpr int kHeadTransform = 204;
inline constexpr int kHeadScale = kHeadTransform + 4 * 12;
inline constexpr int kHeadTextureTransform = 264;  // 9 floats, the scale last
inline constexpr int kHeadNext = 300;
inline constexpr int kHeadChild = 304;
inline constexpr int kHeadTextureNumber = 308;  // a header record's section
inline constexpr int kHeadV2Shift = 8;
static_assert(kHeadTextureNumber + 4 == kHeadSizeV3 && kHeadSizeV3 - kHeadV2Shift == kHeadSizeV2);

// Record types: 0..3 are groups with that vertex layout number.
inline constexpr int32_t kRecordTextureNames = 4;
inline constexpr int32_t kRecordAnimation = 5;
inline constexpr int32_t kRecordScene = 6;

// File flag bits of a group record.
inline constexpr uint32_t kFileTextured = 0x1;
inline constexpr uint32_t kFileDisabled = 0x2;
inline constexpr uint32_t kFileKeepUnknown = 0x80000000u;

inline constexpr int kScenePayloadV2 = 68 + 9 * 60;           // camera and lights
inline constexpr int kScenePayloadV3 = kScenePayloadV2 + 12;  // and the background

// A primitive word holds the type in its top 8 bits and the vertex count in
// the low 24.
inline constexpr uint32_t kMaxFileVertexCount = 0xFFFFFF;

// Words a camera key carries in a file: 42 curve floats and the look-at group.
inline constexpr int kCameraFileWords = 43;

// Vertex layout number: 2 x VertexColors + TexCoords.
inline int LayoutNumber(uint32_t flags) {
  return ((flags & VertexColors) ? 2 : 0) + ((flags & TexCoords) ? 1 : 0);
}
inline uint32_t LayoutFlags(int layout) {
  return ((layout & 2) ? VertexColors : 0) | ((layout & 1) ? TexCoords : 0);
}

}  // namespace modra
