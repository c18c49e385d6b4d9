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
