// Writing small .cob files of both forms from one description, so that a
// test can state a model once and read it as ASCII, as binary and as
// big-endian binary.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "scene/display_group.h"

namespace modra::test {

struct CobFace {
  int32_t material = 0;
  std::vector<std::array<int32_t, 2>> corners;  // position, texture
  bool hole = false;
};

struct CobPolygonChunk {
  std::string name = "Name Thing";  // the ASCII name line; the binary name
  int32_t id = 100;
  std::array<float, 12> rows = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
  std::vector<Vec3> vertices;
  std::vector<std::array<float, 2>> texVertices;
  std::vector<CobFace> faces;
};

struct CobMaterialChunk {
  int32_t number = 0;
  int32_t parent = 100;
  std::string facet = "faceted";  // "faceted", "smooth" or "autoN"
  Vec3 rgb = {0.5f, 0.25f, 0.125f};
  float alpha = 0.75f, ka = 0.0f, ks = 0.25f, exponent = 0.5f;
  std::vector<std::string> mapLines = {};  // ASCII only: lines after the four
};

// Any other chunk: skipped by its size.
struct CobOtherChunk {
  std::string type = "Unit";
  int32_t major = 0;
  std::string asciiBody = "Units 2\n";
  std::vector<uint8_t> binaryBody = {2, 0};
};

using CobChunk = std::variant<CobPolygonChunk, CobMaterialChunk, CobOtherChunk>;

struct CobModel {
  std::vector<CobChunk> chunks;
  bool end = true;  // the closing "END " chunk
};

inline std::string CobNumber(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
  return text;
}

inline std::string CobAsciiChunk(const std::string& type, int major, int32_t id, int32_t parent,
                                 const std::string& body, const std::string& eol = "\n") {
  char header[128];
  // The size counts the header line's last character as well.
  std::snprintf(header, sizeof header, "%-4.4s V%d.08 Id %d Parent %d Size %08zu", type.c_str(),
                major, id, parent, body.size() + 1);
  return header + eol + body;
}

inline std::string CobAsciiBody(const CobPolygonChunk& p) {
  std::string s = p.name + "\ncenter 0 0 0\nx axis 1 0 0\ny axis 0 1 0\nz axis 0 0 1\nTransform\n";
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c)
      s += CobNumber(p.rows[r * 4 + c]) + (c < 3 ? " " : "\n");
  s += "0 0 0 1\nWorld Vertices " + std::to_string(p.vertices.size()) + "\n";
  for (const Vec3& v : p.vertices)
    s += CobNumber(v[0]) + " " + CobNumber(v[1]) + " " + CobNumber(v[2]) + "\n";
  s += "Texture Vertices " + std::to_string(p.texVertices.size()) + "\n";
  for (const auto& t : p.texVertices)
    s += CobNumber(t[0]) + " " + CobNumber(t[1]) + "\n";
  s += "Faces " + std::to_string(p.faces.size()) + "\n";
  for (const CobFace& f : p.faces) {
    s += (f.hole ? "Hole verts " : "Face verts ") + std::to_string(f.corners.size());
    s += f.hole ? "\n" : " flags 0 mat " + std::to_string(f.material) + "\n";
    for (const auto& c : f.corners)
      s += "<" + std::to_string(c[0]) + "," + std::to_string(c[1]) + "> ";
    s += "\n";
  }
  return s + "DrawFlags 0\n";
}

inline std::string CobAsciiBody(const CobMaterialChunk& m) {
  std::string s = "mat# " + std::to_string(m.number) + "\nshader: phong  facet: " + m.facet +
                  "\nrgb " + CobNumber(m.rgb[0]) + "," + CobNumber(m.rgb[1]) + "," +
                  CobNumber(m.rgb[2]) + "\nalpha " + CobNumber(m.alpha) + "  ka " +
                  CobNumber(m.ka) + "  ks " + CobNumber(m.ks) + "  exp " + CobNumber(m.exponent) +
                  "  ior 1\n";
  for (const std::string& line : m.mapLines)
    s += line + "\n";
  return s;
}

// Every line ends in `eol`, which each chunk's size counts.
inline std::string CobAscii(const CobModel& model, const std::string& eol = "\n") {
  auto lines = [&](std::string s) {
    for (size_t at = 0; eol != "\n" && (at = s.find('\n', at)) != s.npos; at += eol.size())
      s.replace(at, 1, eol);
    return s;
  };
  std::string s = "Caligari V00.01ALH             " + eol;
  int32_t id = 1;
  for (const CobChunk& chunk : model.chunks) {
    if (const auto* p = std::get_if<CobPolygonChunk>(&chunk))
      s += CobAsciiChunk("PolH", 0, p->id, 0, lines(CobAsciiBody(*p)), eol);
    else if (const auto* m = std::get_if<CobMaterialChunk>(&chunk))
      s += CobAsciiChunk("Mat1", 0, id++, m->parent, lines(CobAsciiBody(*m)), eol);
    else if (const auto* o = std::get_if<CobOtherChunk>(&chunk))
      s += CobAsciiChunk(o->type, o->major, id++, 0, lines(o->asciiBody), eol);
  }
  if (model.end) s += "END  V1.00 Id 0 Parent 0 Size        0" + eol;
  return s;
}

struct CobByteWriter {
  bool big = false;
  std::vector<uint8_t> bytes;
  void Put(uint32_t v, int size) {
    for (int i = 0; i < size; ++i)
      bytes.push_back(static_cast<uint8_t>(v >> (big ? 8 * (size - 1 - i) : 8 * i)));
  }
  void U8(uint8_t v) { bytes.push_back(v); }
  void U16(uint32_t v) { Put(v, 2); }
  void I32(int32_t v) { Put(static_cast<uint32_t>(v), 4); }
  void F32(float v) {
    uint32_t w;
    std::memcpy(&w, &v, 4);
    Put(w, 4);
  }
  void Text(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
  // A chunk header whose size need not be the body's.
  void Header(const std::string& type, int major, int32_t id, int32_t parent, int32_t size) {
    Text(type.substr(0, 4));
    U16(static_cast<uint32_t>(major));
    U16(8);
    I32(id);
    I32(parent);
    I32(size);
  }
  void Chunk(const std::string& type, int major, int32_t id, int32_t parent,
             const std::vector<uint8_t>& body) {
    Header(type, major, id, parent, static_cast<int32_t>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
  }
};

inline std::vector<uint8_t> CobBinaryBody(const CobPolygonChunk& p, bool big) {
  CobByteWriter w{big, {}};
  w.U16(0);
  w.U16(static_cast<uint32_t>(p.name.size()));
  w.Text(p.name);
  for (float f : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f})
    w.F32(f);
  for (float f : p.rows)
    w.F32(f);
  w.I32(static_cast<int32_t>(p.vertices.size()));
  for (const Vec3& v : p.vertices)
    for (float f : v)
      w.F32(f);
  w.I32(static_cast<int32_t>(p.texVertices.size()));
  for (const auto& t : p.texVertices)
    for (float f : t)
      w.F32(f);
  w.I32(static_cast<int32_t>(p.faces.size()));
  for (const CobFace& f : p.faces) {
    w.U8(f.hole ? 8 : 0);
    w.U16(static_cast<uint32_t>(f.corners.size()));
    if (!f.hole) w.U16(static_cast<uint32_t>(f.material));
    for (const auto& c : f.corners) {
      w.I32(c[0]);
      w.I32(c[1]);
    }
  }
  w.I32(0);  // what a writer may add after the faces
  return w.bytes;
}

inline std::vector<uint8_t> CobBinaryBody(const CobMaterialChunk& m, bool big) {
  CobByteWriter w{big, {}};
  w.U16(static_cast<uint32_t>(m.number));
  w.U8('p');
  const bool automatic = m.facet.rfind("auto", 0) == 0;
  w.U8(m.facet == "faceted" ? 'f' : m.facet == "smooth" ? 's' : 'a');
  w.U8(automatic ? static_cast<uint8_t>(std::stoi(m.facet.substr(4))) : 0);
  for (float f : {m.rgb[0], m.rgb[1], m.rgb[2], m.alpha, m.ka, m.ks, m.exponent, 1.0f})
    w.F32(f);
  w.I32(0);  // newer writers add a word
  return w.bytes;
}

inline std::vector<uint8_t> CobBinary(const CobModel& model, bool big = false) {
  CobByteWriter w{big, {}};
  std::string header = big ? "Caligari V00.01BHL" : "Caligari V00.01BLH";
  w.Text(header + std::string(31 - header.size(), ' ') + "\n");
  int32_t id = 1;
  for (const CobChunk& chunk : model.chunks) {
    if (const auto* p = std::get_if<CobPolygonChunk>(&chunk))
      w.Chunk("PolH", 0, p->id, 0, CobBinaryBody(*p, big));
    else if (const auto* m = std::get_if<CobMaterialChunk>(&chunk))
      w.Chunk("Mat1", 0, id++, m->parent, CobBinaryBody(*m, big));
    else if (const auto* o = std::get_if<CobOtherChunk>(&chunk))
      w.Chunk(o->type, o->major, id++, 0, o->binaryBody);
  }
  if (model.end) w.Chunk("END ", 1, 0, 0, {});
  return w.bytes;
}

inline std::vector<uint8_t> CobBytes(const std::string& text) {
  return {text.begin(), text.end()};
}

}  // namespace modra::test
