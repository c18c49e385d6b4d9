#include "formats/obj_chunk.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "io/scan_number.h"

namespace modra {
namespace {

struct Token {
  const char* begin;
  const char* end;
  bool empty() const { return begin == end; }
  std::string_view view() const { return {begin, static_cast<size_t>(end - begin)}; }
};

// A line's tokens: separated by runs of spaces and by nothing else.
class Tokens {
 public:
  Tokens(const char* p, const char* end) : p_(p), end_(end) {}
  Token Next() {
    while (p_ < end_ && *p_ == ' ')
      ++p_;
    const char* begin = p_;
    while (p_ < end_ && *p_ != ' ')
      ++p_;
    return {begin, p_};
  }

 private:
  const char* p_;
  const char* end_;
};

struct Corner {
  int32_t vertex;
  int32_t normal;
  bool hasNormal;
};

// ScanInt for the usual corner number, one to nine digits with nothing
// before them, without a call; anything else goes to ScanInt.
const char* ScanIndex(const char* p, const char* end, int32_t& out) {
  int32_t v = 0;
  const char* q = p;
  for (; q < end && q - p < 9 && *q >= '0' && *q <= '9'; ++q)
    v = v * 10 + (*q - '0');
  if (q == p || (q < end && *q >= '0' && *q <= '9')) return ScanInt(p, end, out);
  out = v;
  return q;
}

// A corner token as sscanf(token, "%d//%d") reads it: position 1 when
// nothing parses; a normal only in the form v//n.
Corner ScanCorner(const Token& t) {
  Corner c{1, -1, false};
  const char* q = ScanIndex(t.begin, t.end, c.vertex);
  if (q && t.end - q >= 2 && q[0] == '/' && q[1] == '/' && ScanIndex(q + 2, t.end, c.normal))
    c.hasNormal = true;
  return c;
}

class ChunkReader {
 public:
  ChunkReader(ObjChunk& out, std::optional<ObjTableBases> bases, bool libraryLines)
      : out_(out), bases_(bases), libraryLines_(libraryLines) {}

  void Read(std::string_view text) {
    // Room for a run like most files' (a line of some thirty characters
    // a position, normal or face); what a run holds beyond that grows.
    const size_t lines = text.size() / 32 + 16;
    out_.positions.reserve(lines);
    out_.normals.reserve(lines / 2);
    out_.faces.reserve(lines);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
      const char* e = static_cast<const char*>(std::memchr(p, '\n', end - p));
      const char* next = e ? e + 1 : end;
      if (!e) e = end;
      // The CR of a CR LF line break is not part of the last token.
      if (e > p && e[-1] == '\r') --e;
      if (libraryLines_ && *p == 'm') out_.libraryLines.emplace_back(p, static_cast<size_t>(e - p));
      if (e > p && *p != '#' && *p != '$') Line(p, e);
      p = next;
    }
  }

 private:
  void Line(const char* p, const char* end) {
    Tokens t(p, end);
    const Token k = t.Next();
    const size_t n = static_cast<size_t>(k.end - k.begin);
    if (n == 1) {
      switch (k.begin[0]) {
        case 'v':
          return Position(t, out_.positions);
        case 'f':
          return Face(t);
        case 'g': {
          const Token name = t.Next();
          return Event(ObjEvent::kGroup, 0, name.view());
        }
        case 's':
          for (Token token = t.Next(); !token.empty(); token = t.Next()) {
            int32_t key = -1;
            if (token.view() != "off") ScanInt(token.begin, token.end, key);
            Event(ObjEvent::kSmoothing, key, {});
          }
          return;
      }
    } else if (n == 2) {
      if (k.begin[0] == 'v' && k.begin[1] == 'n') return Position(t, out_.normals);
      if (k.begin[0] == 'f' && k.begin[1] == 'o') return Face(t);
    } else if (k.view() == "usemtl") {
      for (Token name = t.Next(); !name.empty(); name = t.Next())
        Event(ObjEvent::kMaterial, 0, name.view());
    }
  }

  void Event(ObjEvent::Kind kind, int32_t key, std::string_view name) {
    out_.events.push_back({kind, key, name, out_.faces.size()});
  }

  // Three numbers; a line with fewer adds nothing.
  static void Position(Tokens& t, std::vector<Vec3>& table) {
    float xyz[3] = {0, 0, 0};
    for (float& value : xyz) {
      const Token token = t.Next();
      if (token.empty()) return;
      ScanFloat(token.begin, token.end, value);
    }
    table.push_back({xyz[0], xyz[1], -xyz[2]});
  }

  void Face(Tokens& t) {
    corners_.clear();
    for (Token token = t.Next(); !token.empty(); token = t.Next())
      corners_.push_back(ScanCorner(token));
    const size_t n = corners_.size();
    if (n < 3) return;
    // A corner outside the tables read so far makes nothing of the polygon.
    // note: a corner is valid when it is at most the count before the run
    // plus the count read in it; without the first, the most it needs is kept.
    const auto vertices = static_cast<int64_t>(out_.positions.size());
    const auto normals = static_cast<int64_t>(out_.normals.size());
    int64_t needVertices = 0, needNormals = 0;
    for (const Corner& c : corners_) {
      if (c.vertex < 1) return;
      needVertices = std::max(needVertices, c.vertex - vertices);
      if (c.hasNormal) {
        if (c.normal < 1) return;
        needNormals = std::max(needNormals, c.normal - normals);
      }
    }
    if (bases_) {
      if (needVertices > bases_->vertices || needNormals > bases_->normals) return;
    } else {
      out_.verticesNeeded = std::max(out_.verticesNeeded, needVertices);
      out_.normalsNeeded = std::max(out_.normalsNeeded, needNormals);
    }

    // Up to four corners make one face; more make the fan (c1, c2, c3),
    // (c1, c3, c4), ... (c1, cn-1, cn). A face takes the file's normals
    // only when every one of its corners names one: were the last corner
    // enough, the others would have no normal at all to draw with, so such
    // a face has its normals made like a face without any.
    bool anyNormal = false;
    for (const Corner& c : corners_)
      anyNormal = anyNormal || c.hasNormal;
    if (anyNormal && !normals_) {
      out_.normalsFrom = out_.faces.size();
      out_.cornerNormals.reserve(out_.faces.capacity());
      normals_ = true;
    }
    const size_t faceCount = n <= 4 ? 1 : n - 2;
    for (size_t k = 0; k < faceCount; ++k) {
      size_t at[4] = {0, 1, 2, 3};
      int count = static_cast<int>(n);
      if (n > 4) {
        at[1] = k + 1;
        at[2] = k + 2;
        count = 3;
      }
      ObjFace f;
      f.cornerCount = static_cast<uint8_t>(count);
      f.hasNormals = true;
      f.fanContinued = k > 0;
      std::array<int32_t, 4> normals = {-1, -1, -1, -1};
      for (int j = 0; j < count; ++j) {
        const Corner& c = corners_[at[j]];
        f.hasNormals = f.hasNormals && c.hasNormal;
        f.cornerVertices[j] = c.vertex;
        if (c.hasNormal) normals[j] = c.normal;
      }
      if (f.hasNormals && out_.firstFaceWithNormals < 0)
        out_.firstFaceWithNormals = static_cast<int64_t>(out_.faces.size());
      out_.faces.push_back(f);
      if (normals_) out_.cornerNormals.push_back(normals);
    }
  }

  ObjChunk& out_;
  std::optional<ObjTableBases> bases_;
  bool libraryLines_;
  bool normals_ = false;         // cornerNormals is being filled
  std::vector<Corner> corners_;  // the face line being read
};

}  // namespace

int ReadObjChunk(ObjChunk& out, std::string_view text, std::optional<ObjTableBases> bases,
                 bool libraryLines) {
  out = ObjChunk{};
  try {
    ChunkReader(out, bases, libraryLines).Read(text);
    return 0;
  } catch (const std::bad_alloc&) {
    return -3;
  } catch (const std::length_error&) {
    return -3;
  }
}

}  // namespace modra
