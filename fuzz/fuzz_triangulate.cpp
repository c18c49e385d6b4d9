// The triangulator on polygons made from the fuzzer's bytes: contour
// counts and ends (sometimes raw, so that bad ends come through), float
// coordinates (raw bits, or small whole numbers for many touching, crossing
// and in-line points), extra floats, and the debug settings. Checks what
// must hold for any input: nothing is emitted on failure, at most n + 2c -
// 2 triangles, every corner is an input vertex; and that a flat ring of
// whole numbers that encloses some area is never refused.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "geometry/triangulate.h"

namespace {

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint32_t Word() {
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i)
      w = w << 8 | Byte();
    return w;
  }
  bool Empty() const { return at_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_, at_ = 0;
};

constexpr int kMaxVertices = 4096;

modra::triangulation::DebugSettings Debug(uint8_t flags) {
  modra::triangulation::DebugSettings s;
  s.hintsSimple = flags & 1;
  s.showFailures = flags & 2;
  s.showTriangles = flags & 4;
  s.dumpPoints3d = flags & 8;
  s.hex = flags & 0x10;
  s.dumpEvery = (flags & 0x20) ? 2 : 1;
  s.spoolFile = "/dev/null";
  return s;
}

double Cross(const float* a, const float* b, const float* c) {
  return (double(b[0]) - a[0]) * (double(c[1]) - a[1]) -
         (double(b[1]) - a[1]) * (double(c[0]) - a[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes in(data, size);
  const uint8_t mode = in.Byte();
  const uint8_t debug = in.Byte();
  const int extra = in.Byte() % 4;
  const bool rawEnds = mode & 1;
  const bool wholeNumbers = mode & 2;
  const int stride = 3 + extra;

  // contours
  int contourCount = 1 + in.Byte() % 8;
  if (rawEnds && (mode & 4)) contourCount = static_cast<int>(in.Word() % 4096) - 4;
  std::vector<int> ends;
  int last = -1;
  for (int k = 0; k < contourCount && k < 4096; ++k) {
    if (rawEnds) {
      int32_t end = static_cast<int32_t>(in.Word());
      // ends the buffer cannot back are only allowed where they must be refused
      if (end >= kMaxVertices && end < (1 << 26)) end %= kMaxVertices;
      ends.push_back(end);
    } else {
      last += 1 + in.Byte() % 24;
      if (last >= kMaxVertices) break;
      ends.push_back(last);
    }
  }
  int vertexCount = 0;
  for (int e : ends)
    if (e >= 0 && e < kMaxVertices) vertexCount = std::max(vertexCount, e + 1);

  // points, then the extra floats
  std::vector<float> vertices(static_cast<size_t>(vertexCount) * stride + 1);
  const int plane = in.Byte() % 4;
  for (int i = 0; i < vertexCount; ++i) {
    float x, y;
    if (wholeNumbers) {
      x = static_cast<float>(static_cast<int8_t>(in.Byte()) / 16);
      y = static_cast<float>(static_cast<int8_t>(in.Byte()) / 16);
    } else {
      uint32_t bx = in.Word(), by = in.Word();
      std::memcpy(&x, &bx, 4);
      std::memcpy(&y, &by, 4);
    }
    float* v = &vertices[static_cast<size_t>(i) * stride];
    const float z = plane == 3 ? static_cast<float>(in.Byte() % 3) : 0.5f;
    v[plane == 1 ? 1 : 0] = x;
    v[plane == 1 ? 2 : 1] = y;
    v[plane == 1 ? 0 : 2] = plane == 2 ? -x - y : z;
    for (int k = 0; k < extra; ++k)
      v[3 + k] = static_cast<float>(i * 7 + k);
  }

  // star-shaped rings: each ring's points sorted by angle round its middle,
  // so that many polygons are simple and reach the tiling check below
  if ((mode & 8) && !rawEnds && plane == 0) {
    int first = 0;
    for (int end : ends) {
      double cx = 0, cy = 0;
      for (int i = first; i <= end; ++i) {
        cx += vertices[static_cast<size_t>(i) * stride];
        cy += vertices[static_cast<size_t>(i) * stride + 1];
      }
      cx /= end - first + 1;
      cy /= end - first + 1;
      std::vector<std::pair<double, std::pair<float, float>>> ring;
      for (int i = first; i <= end; ++i) {
        const float* v = &vertices[static_cast<size_t>(i) * stride];
        ring.push_back({std::atan2(v[1] - cy, v[0] - cx), {v[0], v[1]}});
      }
      std::sort(ring.begin(), ring.end());
      for (int i = first; i <= end; ++i) {
        vertices[static_cast<size_t>(i) * stride] = ring[i - first].second.first;
        vertices[static_cast<size_t>(i) * stride + 1] = ring[i - first].second.second;
      }
      first = end + 1;
    }
  }

  modra::Triangulator t(Debug(debug));
  std::vector<float> out;
  const int count = static_cast<int>(ends.size());
  const int status =
      t.Run(vertices.data(), ends.data(), contourCount > count ? count : contourCount, extra,
            [&](const float* tri) { out.insert(out.end(), tri, tri + 3 * stride); });
  // one whole-number ring in the z plane, checked, with some area
  double area = 0;
  for (int i = 0; wholeNumbers && plane == 0 && !(debug & 1) && !rawEnds && ends.size() == 1 &&
                  i < vertexCount;
       ++i)
    area += Cross(&vertices[0], &vertices[static_cast<size_t>(i) * stride],
                  &vertices[static_cast<size_t>((i + 1) % vertexCount) * stride]);
  if (status != 0) {
    if (!out.empty() || area != 0) __builtin_trap();
    return 0;
  }
  const size_t triangles = out.size() / (3 * stride);
  if (triangles > static_cast<size_t>(vertexCount) + 2 * ends.size() - 2) __builtin_trap();

  std::set<std::string> inputs;
  for (int i = 0; i < vertexCount; ++i)
    inputs.insert(
        std::string(reinterpret_cast<const char*>(&vertices[static_cast<size_t>(i) * stride]),
                    sizeof(float) * stride));
  for (size_t v = 0; v < triangles * 3; ++v)
    if (!inputs.count(
            std::string(reinterpret_cast<const char*>(&out[v * stride]), sizeof(float) * stride)))
      __builtin_trap();
  return 0;
}
