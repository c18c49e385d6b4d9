// The fields of the records the undo history keeps, and their sameness.
// Each record's fields are listed once, through a structured binding, so a
// field added to a record and not listed here stops the build instead of
// silently escaping undo. Fields(r) gives references that are const when
// r is.
//
// Sameness is bitwise for floats: 0 and -0 are different values in a saved
// file, and a NaN must equal itself or a no-op edit would look like a change.
#pragma once

#include <array>
#include <concepts>
#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "formats/wavefront_materials.h"
#include "scene/display_group.h"
#include "scene/key_store.h"
#include "scene/lights_camera.h"

namespace modra::record {

// clang-format off
template <class R>
requires std::same_as<std::remove_const_t<R>, DisplayPrimitive>
auto Fields(R& r) {
  auto& [a, b, c] = r;
  return std::tie(a, b, c);
}
template <class R>
requires std::same_as<std::remove_const_t<R>, DisplayGroup>
auto Fields(R& r) {
  auto& [a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, s, t, u, v, w, x, y] = r;
  return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, s, t, u, v, w, x, y);
}
template <class R>
requires std::same_as<std::remove_const_t<R>, KnfLight>
auto Fields(R& r) {
  auto& [a, b, c, d, e, f, g, h, i, j] = r;
  return std::tie(a, b, c, d, e, f, g, h, i, j);
}
template <class R>
requires std::same_as<std::remove_const_t<R>, KnfCameraView>
auto Fields(R& r) {
  auto& [a, b, c, d, e, f, g, h] = r;
  return std::tie(a, b, c, d, e, f, g, h);
}
template <class R>
requires std::same_as<std::remove_const_t<R>, KnfGlobalScene>
auto Fields(R& r) {
  auto& [a] = r;
  return std::tie(a);
}
template <class R>
requires std::same_as<std::remove_const_t<R>, KnfKeyInfo>
auto Fields(R& r) {
  auto& [a, b, c, d, e, f] = r;
  return std::tie(a, b, c, d, e, f);
}
template <class R>
requires std::same_as<std::remove_const_t<R>, WavefrontMaterial>
auto Fields(R& r) {
  auto& [a, b, c, d] = r;
  return std::tie(a, b, c, d);
}
// clang-format on

template <class T>
concept Record = requires(const T& t) {
  Fields(t);
};

template <class T>
requires std::is_arithmetic_v<T>
bool Same(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}
inline bool Same(const std::string& a, const std::string& b) {
  return a == b;
}
inline bool Same(const VertexBuffer& a, const VertexBuffer& b) {
  return a.SameArray(b) ||
         (a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}
template <Record T>
bool Same(const T& a, const T& b);

template <class T, size_t N>
bool Same(const T (&a)[N], const T (&b)[N]) {
  for (size_t i = 0; i < N; ++i)
    if (!Same(a[i], b[i])) return false;
  return true;
}
template <class T, size_t N>
bool Same(const std::array<T, N>& a, const std::array<T, N>& b) {
  if constexpr (std::is_arithmetic_v<T>) {
    return std::memcmp(a.data(), b.data(), sizeof(T) * N) == 0;
  } else {
    for (size_t i = 0; i < N; ++i)
      if (!Same(a[i], b[i])) return false;
    return true;
  }
}
template <class T>
bool Same(const std::vector<T>& a, const std::vector<T>& b) {
  if (a.size() != b.size()) return false;
  if constexpr (std::is_arithmetic_v<T>) {
    return a.empty() || std::memcmp(a.data(), b.data(), sizeof(T) * a.size()) == 0;
  } else {
    for (size_t i = 0; i < a.size(); ++i)
      if (!Same(a[i], b[i])) return false;
    return true;
  }
}
template <Record T>
bool Same(const T& a, const T& b) {
  return std::apply(
      [&](const auto&... x) {
        return std::apply([&](const auto&... y) { return (Same(x, y) && ...); }, Fields(b));
      },
      Fields(a));
}

}  // namespace modra::record
