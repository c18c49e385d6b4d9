// The ASCII form: one item a line, chunk headers such as
// "PolH V0.08 Id 497163284 Parent 497130340 Size 00013948".
#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "formats/cob_chunks.h"
#include "formats/cob_text.h"

namespace modra {
namespace {

struct ChunkHeader {
  char type[4] = {};
  int32_t major = 0, minor = 0, id = 0, parent = 0, size = 0;
  bool Is(const char* name) const { return std::memcmp(type, name, 4) == 0; }
};

// "%c%c%c%c V%d.%d Id %d Parent %d Size %d". The end chunk is known by its
// type alone; any other header must give every field.
bool ParseHeader(std::string_view line, ChunkHeader& h) {
  CobScanner s(line);
  for (char& c : h.type)
    if (!s.Char(c)) return false;
  if (h.Is("END ")) return true;
  return s.Literal(" V") && s.Int(h.major) && s.Literal(".") && s.Int(h.minor) &&
         s.Literal(" Id") && s.Int(h.id) && s.Literal(" Parent") && s.Int(h.parent) &&
         s.Literal(" Size") && s.Int(h.size);
}

// Up to `count` numbers from the start of the line; the rest keep what
// they held, as the fields of a scan that stopped early do.
void ScanFloats(std::string_view line, float* out, int count) {
  CobScanner s(line);
  for (int i = 0; i < count; ++i)
    if (!s.Float(out[i])) return;
}

float FacetCrease(std::string_view facet) {
  if (facet == "faceted") return 1.0f;
  if (facet == "smooth") return kNoCreaseTest;
  if (facet.starts_with("auto")) {
    float degrees = 0;
    CobScanner(facet.substr(4)).Float(degrees);
    return CobAutoCrease(degrees);
  }
  return 1.0f;
}

class AsciiChunks {
 public:
  AsciiChunks(CobBuilder& builder, std::span<const uint8_t> bytes, size_t start)
      : b_(builder), lines_(bytes), budget_(CobReadBudget(bytes.size())) {
    lines_.Seek(start);
  }

  int Run() {
    for (;;) {
      std::optional<std::string_view> line = held_ ? held_ : lines_.Next();
      held_.reset();
      ChunkHeader h;
      if (!line || !ParseHeader(*line, h)) return kCobBadFile;
      if (h.Is("END ")) return kCobOk;
      const size_t body = lines_.pos();
      if (h.major == 0 && h.Is("PolH")) {
        if (int r = ReadPolygon(h.id); r != kCobOk) return r;
        if (!Spend(body) || !SeekPastChunk(body, h.size)) return kCobBadFile;
      } else if (h.major == 0 && h.Is("Mat1")) {
        if (int r = ReadMaterial(h.parent); r != kCobOk) return r;
        if (!Spend(body)) return kCobBadFile;
      } else if (!SeekPastChunk(body, h.size)) {
        return kCobBadFile;
      }
    }
  }

 private:
  // What the body from `body` on took; false once bodies took too much.
  bool Spend(size_t body) {
    read_ += lines_.pos() - body;
    return read_ <= budget_;
  }

  // Sizes count from the header line's last character. Never back before
  // the body, never past the end.
  bool SeekPastChunk(size_t body, int32_t size) {
    if (size < 1 || static_cast<uint64_t>(size) - 1 > lines_.size() - body) return false;
    return lines_.Seek(body + static_cast<size_t>(size) - 1);
  }

  // A line the chunk needs; a file that ends here is cut short.
  bool Line(std::string_view& out) {
    std::optional<std::string_view> line = lines_.Next();
    if (!line) return false;
    out = *line;
    return true;
  }
  bool SkipLines(int count) {
    std::string_view unused;
    for (int i = 0; i < count; ++i)
      if (!Line(unused)) return false;
    return true;
  }
  // A "<label> %d" count line; the count must be there and not negative.
  bool Count(std::string_view label, int32_t& count) {
    std::string_view line;
    if (!Line(line)) return false;
    CobScanner s(line);
    return s.Literal(label) && s.Int(count) && count >= 0;
  }
  // Lines still to come can hold at most this many items of `minBytes`.
  size_t Bounded(int32_t count, size_t minBytes) const {
    return std::min(static_cast<size_t>(count), (lines_.size() - lines_.pos()) / minBytes);
  }

  int ReadPolygon(int32_t id) {
    std::string_view name;
    if (!Line(name)) return kCobBadFile;
    if (b_.BeginPolygon(name, id) != kCobOk) return kCobNoMemory;
    // The centre, the three axis lines and "Transform" say nothing the
    // matrix does not.
    if (!SkipLines(5)) return kCobBadFile;
    float rows[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    for (int r = 0; r < 4; ++r) {
      std::string_view line;
      if (!Line(line)) return kCobBadFile;
      if (r < 3) ScanFloats(line, &rows[r * 4], 4);  // the last row is 0 0 0 1
    }
    b_.SetTransform(rows);

    int32_t count = 0;
    if (!Count("World Vertices", count)) return kCobBadFile;
    b_.ReserveVertices(Bounded(count, 6));
    for (int32_t i = 0; i < count; ++i) {
      std::string_view line;
      if (!Line(line)) return kCobBadFile;
      float p[3] = {0, 0, 0};
      ScanFloats(line, p, 3);
      b_.AddVertex(p[0], p[1], p[2]);
    }
    if (!Count("Texture Vertices", count)) return kCobBadFile;
    b_.ReserveTexVertices(Bounded(count, 4));
    for (int32_t i = 0; i < count; ++i) {
      std::string_view line;
      if (!Line(line)) return kCobBadFile;
      float t[2] = {0, 0};
      ScanFloats(line, t, 2);
      b_.AddTexVertex(t[0], t[1]);
    }
    if (!Count("Faces", count)) return kCobBadFile;
    for (int32_t i = 0; i < count; ++i)
      if (int r = ReadFace(); r != kCobOk) return r;
    return kCobOk;
  }

  // "Face verts %d flags %d mat %d", then the corners "<v,t> <v,t> ...".
  // Anything else in the first line (a hole) drops both lines.
  int ReadFace() {
    std::string_view face, cornerLine;
    if (!Line(face) || !Line(cornerLine)) return kCobBadFile;
    int32_t n = 0, flags = 0, material = 0;
    CobScanner s(face);
    if (!(s.Literal("Face verts") && s.Int(n) && s.Literal(" flags") && s.Int(flags) &&
          s.Literal(" mat") && s.Int(material)))
      return kCobOk;
    if (n < 3) return kCobOk;  // nothing to fill
    if (n > kCobMaxCorners) return kCobBadFile;
    corners_.clear();
    size_t at = cornerLine.find('<');
    while (at != std::string_view::npos && corners_.size() < static_cast<size_t>(n)) {
      CobCorner c;
      CobScanner piece(cornerLine.substr(at + 1));
      if (!(piece.Int(c.position) && piece.Literal(",") && piece.Int(c.texture)))
        return kCobBadFile;
      corners_.push_back(c);
      at = cornerLine.find('<', at + 1);
    }
    if (corners_.size() < static_cast<size_t>(n)) return kCobBadFile;
    return b_.AddFace(corners_, material);
  }

  int ReadMaterial(int32_t parent) {
    std::string_view line;
    MeshObject o;
    o.owner = parent;
    if (!Line(line)) return kCobBadFile;
    {
      CobScanner s(line);
      (void)(s.Literal("mat#") && s.Int(o.number));
    }
    if (!Line(line)) return kCobBadFile;
    {
      CobScanner s(line);
      std::string_view shader, facet;
      if (s.Literal("shader:") && s.Word(shader) && s.Literal(" facet:") && s.Word(facet))
        o.crease = FacetCrease(facet);
    }
    // A value a line lacks stays the default material's.
    float rgb[3] = {1, 1, 1};
    if (!Line(line)) return kCobBadFile;
    {
      CobScanner s(line);
      (void)(s.Literal("rgb") && s.Float(rgb[0]) && s.Literal(",") && s.Float(rgb[1]) &&
             s.Literal(",") && s.Float(rgb[2]));
    }
    float alpha = 1, ka = 0, ks = 0.5f, exponent = 15.0f / 128, ior = 1;
    if (!Line(line)) return kCobBadFile;
    {
      CobScanner s(line);
      (void)(s.Literal("alpha") && s.Float(alpha) && s.Literal(" ka") && s.Float(ka) &&
             s.Literal(" ks") && s.Float(ks) && s.Literal(" exp") && s.Float(exponent) &&
             s.Literal(" ior") && s.Float(ior));
    }
    o.color = {CobColor(rgb[0], ka), CobColor(rgb[1], ka), CobColor(rgb[2], ka)};
    o.alpha = alpha;
    o.specularLevel = ks;
    o.shininess = exponent * 128;
    o.ambient = ka;
    b_.AddMaterial(o);

    // Map lines may follow; the line read to find out is kept for the
    // chunk loop when it is none of them.
    std::string_view ahead;
    if (!Line(ahead)) return kCobBadFile;
    if (ahead.starts_with("environment") && !(SkipLines(1) && Line(ahead))) return kCobBadFile;
    if (ahead.starts_with("texture") && !(SkipLines(1) && Line(ahead))) return kCobBadFile;
    if (ahead.starts_with("bump")) return SkipLines(1) ? kCobOk : kCobBadFile;
    held_ = ahead;
    return kCobOk;
  }

  CobBuilder& b_;
  CobLineReader lines_;
  std::optional<std::string_view> held_;
  std::vector<CobCorner> corners_;
  size_t read_ = 0;
  const size_t budget_;
};

}  // namespace

int ReadCobAsciiChunks(CobBuilder& builder, std::span<const uint8_t> bytes, size_t start) {
  return AsciiChunks(builder, bytes, start).Run();
}

}  // namespace modra
