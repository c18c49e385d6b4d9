// Writing small 3D Studio files chunk by chunk.
#pragma once

#include <bit>
#include <optional>
#include <string_view>

#include "test_util.h"

namespace modra::test::tds {

inline void Put(Bytes& b, uint32_t v, int size) {
  for (int i = 0; i < size; ++i)
    b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void PutF32(Bytes& b, float f) {
  Put(b, std::bit_cast<uint32_t>(f), 4);
}
inline void PutName(Bytes& b, std::string_view name) {
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0);
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A chunk around `body`; its length counts the header unless given.
inline Bytes Chunk(uint16_t id, const Bytes& body, std::optional<uint32_t> length = {}) {
  Bytes b;
  Put(b, id, 2);
  Put(b, length.value_or(static_cast<uint32_t>(body.size() + 6)), 4);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

inline Bytes Vertices(const std::vector<Vec3>& xyz) {
  Bytes body;
  Put(body, static_cast<uint32_t>(xyz.size()), 2);
  for (const Vec3& p : xyz)
    for (float f : p)
      PutF32(body, f);
  return Chunk(0x4110, body);
}

// Three vertex indices a face, then the sub-chunks `after` the face records.
inline Bytes Faces(const std::vector<std::array<uint16_t, 3>>& faces, const Bytes& after = {}) {
  Bytes body;
  Put(body, static_cast<uint32_t>(faces.size()), 2);
  for (const auto& f : faces) {
    for (uint16_t v : f)
      Put(body, v, 2);
    Put(body, 7, 2);  // edge flags
  }
  body.insert(body.end(), after.begin(), after.end());
  return Chunk(0x4120, body);
}
inline Bytes FaceMaterials(std::string_view material, const std::vector<uint16_t>& faces) {
  Bytes body;
  PutName(body, material);
  Put(body, static_cast<uint32_t>(faces.size()), 2);
  for (uint16_t f : faces)
    Put(body, f, 2);
  return Chunk(0x4130, body);
}
inline Bytes Smoothing(size_t faces) {
  Bytes body;
  for (size_t i = 0; i < faces; ++i)
    Put(body, 1u << (i % 32), 4);
  return Chunk(0x4150, body);
}
inline Bytes Mesh(const Bytes& children) {
  return Chunk(0x4100, children);
}
inline Bytes Object(std::string_view name, const Bytes& children) {
  Bytes body;
  PutName(body, name);
  body.insert(body.end(), children.begin(), children.end());
  return Chunk(0x4000, body);
}

inline Bytes ByteColor(uint8_t r, uint8_t g, uint8_t b, uint16_t id = 0x0011) {
  return Chunk(id, {r, g, b});
}
inline Bytes FloatColor(float r, float g, float b, uint16_t id = 0x0010) {
  Bytes body;
  for (float f : {r, g, b})
    PutF32(body, f);
  return Chunk(id, body);
}
inline Bytes MaterialName(std::string_view name) {
  Bytes body;
  PutName(body, name);
  return Chunk(0xA000, body);
}

// A material block: name, ambient (always grey), diffuse and specular
// colour chunks holding the given colour sub-chunks.
inline Bytes Material(std::string_view name, const Bytes& diffuse, const Bytes& specular = {}) {
  return Chunk(0xAFFF, Join({MaterialName(name), Chunk(0xA010, ByteColor(9, 9, 9)),
                             Chunk(0xA020, diffuse), Chunk(0xA030, specular)}));
}
inline Bytes MasterScale() {
  return Chunk(0x0100, {0, 0, 0x80, 0x3F});  // 1.0
}

// The main chunk: a version chunk, the editor block, then `after`.
inline Bytes File(const Bytes& editor, const Bytes& after = {}) {
  return Chunk(0x4D4D, Join({Chunk(0x0002, {3, 0, 0, 0}), Chunk(0x3D3D, editor), after}));
}

// A unit square of two triangles in the file's x-y plane, shifted by `dx`.
inline Bytes Square(float dx = 0, const Bytes& afterFaces = {}) {
  return Mesh(Join({Vertices({{dx, 0, 0}, {dx + 1, 0, 0}, {dx + 1, 1, 0}, {dx, 1, 0}}),
                    Faces({{0, 1, 2}, {0, 2, 3}}, afterFaces)}));
}

}  // namespace modra::test::tds
