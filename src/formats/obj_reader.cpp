#include "formats/obj_reader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <set>
#include <stdexcept>
#include <unordered_map>

#include "formats/wavefront_materials.h"
#include "io/file_bytes.h"
#include "io/huge_pages.h"
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

// A corner token as sscanf(token, "%d//%d") reads it: position 1 when
// nothing parses; a normal only in the form v//n.
Corner ScanCorner(const Token& t) {
  Corner c{1, -1, false};
  const char* q = ScanInt(t.begin, t.end, c.vertex);
  if (q && t.end - q >= 2 && q[0] == '/' && q[1] == '/' && ScanInt(q + 2, t.end, c.normal))
    c.hasNormal = true;
  return c;
}

struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using NameIndex = std::unordered_map<std::string, int, NameHash, std::equal_to<>>;

// The staging mesh's operations return -1 when memory runs out; reading
// stops there and the file is refused with -3.
int Check(int result) {
  if (result < 0) throw std::bad_alloc();
  return result;
}

class ObjParser {
 public:
  // Libraries named by `mtllib` are looked for in `folder`; without one
  // none are read.
  ObjParser(Document& doc, std::optional<std::filesystem::path> folder)
      : doc_(doc), m_(doc.importMesh), folder_(std::move(folder)) {}

  // Everything up to the end of the text. 0, or -3 when memory runs out.
  int Parse(std::string_view text) {
    try {
      ResetImportMesh(m_);
      m_.defaultTexCoord = {1, 1};
      Survey(text);
      // Positions and normals are numbered from 1.
      m_.meshVertices.push_back({0, 0, 0});
      m_.meshNormals.push_back({0, 0, 0});
      part_ = Part("None");
      entry_ = 0;
      material_ = Object("white");
      const char* p = text.data();
      const char* const end = p + text.size();
      while (p < end) {
        const char* e = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* next = e ? e + 1 : end;
        if (!e) e = end;
        // The CR of a CR LF line break is not part of the last token.
        if (e > p && e[-1] == '\r') --e;
        if (e > p && *p != '#' && *p != '$') Line(p, e);
        p = next;
      }
      return 0;
    } catch (const std::bad_alloc&) {
      return -3;
    } catch (const std::length_error&) {
      return -3;
    }
  }

  // What follows the last line: empty trailing smoothing groups go, and
  // the normals are made. 0 or -3.
  int Finish() {
    for (MeshPart& part : m_.parts)
      if (!part.entries.empty() && part.entries.back().faces.empty()) part.entries.pop_back();
    return ComputeVertexNormals(m_, -1.0f) == 0 ? 0 : -3;
  }

 private:
  // Room for what the file's lines announce, so that the large tables are
  // allocated once (polygons of more than four corners still grow them),
  // and the material libraries it names, read before any `usemtl` is, so
  // that it makes no difference where in the file they are named.
  void Survey(std::string_view text) {
    size_t vertices = 0, normals = 0, faces = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (end - p >= 3) {
      const char* e = static_cast<const char*>(std::memchr(p, '\n', end - p));
      if (p[0] == 'v') {
        if (p[1] == ' ') ++vertices;
        if (p[1] == 'n' && p[2] == ' ') ++normals;
      } else if (p[0] == 'f' && p[1] == ' ') {
        ++faces;
      } else if (p[0] == 'm' && folder_) {
        const char* lineEnd = e ? e : end;
        if (lineEnd > p && lineEnd[-1] == '\r') --lineEnd;
        Libraries(std::string_view(p, static_cast<size_t>(lineEnd - p)));
      }
      if (!e) break;
      p = e + 1;
    }
    ReserveHuge(m_.meshVertices, vertices + 1);
    ReserveHuge(m_.meshNormals, normals + 1);
    ReserveHuge(m_.faces, faces);
    if (normals > 0) ReserveHuge(m_.cornerNormals, faces);
    ReserveHuge(m_.vertexFaceLinks, 3 * faces);
  }

  // Tables of tens of megabytes fault in far faster in huge pages.
  template <class T>
  static void ReserveHuge(std::vector<T>& v, size_t n) {
    v.reserve(n);
    AdviseHugePages(v.data(), v.capacity() * sizeof(T));
  }

  void Line(const char* p, const char* end) {
    Tokens t(p, end);
    const Token k = t.Next();
    const size_t n = static_cast<size_t>(k.end - k.begin);
    if (n == 1) {
      switch (k.begin[0]) {
        case 'v':
          return Position(t, m_.meshVertices);
        case 'f':
          return Face(t);
        case 'g':
          return Group(t);
        case 's':
          return Smoothing(t);
      }
    } else if (n == 2) {
      if (k.begin[0] == 'v' && k.begin[1] == 'n') return Position(t, m_.meshNormals);
      if (k.begin[0] == 'f' && k.begin[1] == 'o') return Face(t);
    } else if (k.view() == "usemtl") {
      for (Token name = t.Next(); !name.empty(); name = t.Next())
        material_ = Object(name.view());
    }
  }

  // Three numbers; a line with fewer adds nothing.
  void Position(Tokens& t, std::vector<Vec3>& table) {
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
    const auto vertexCount = static_cast<int64_t>(m_.meshVertices.size());
    const auto normalCount = static_cast<int64_t>(m_.meshNormals.size());
    for (const Corner& c : corners_) {
      if (c.vertex < 1 || c.vertex >= vertexCount) return;
      if (c.hasNormal && (c.normal < 1 || c.normal >= normalCount)) return;
    }

    // Up to four corners make one face; more make the fan (c1, c2, c3),
    // (c1, c3, c4), ... (c1, cn-1, cn). A face takes the file's normals
    // only when every one of its corners names one: were the last corner
    // enough, the others would have no normal at all to draw with, so such
    // a face has its normals made like a face without any.
    const int base = static_cast<int>(m_.faces.size());
    const size_t faceCount = n <= 4 ? 1 : n - 2;
    for (size_t k = 0; k < faceCount; ++k) {
      size_t at[4] = {0, 1, 2, 3};
      int count = static_cast<int>(n);
      if (n > 4) {
        at[1] = k + 1;
        at[2] = k + 2;
        count = 3;
      }
      MeshFace f;
      f.cornerCount = static_cast<uint8_t>(count);
      f.hasNormals = true;
      for (int j = 0; j < count; ++j)
        f.hasNormals = f.hasNormals && corners_[at[j]].hasNormal;
      f.creaseCos = kNoCreaseTest;
      f.objectIndex = material_;
      f.colorObject = material_;
      f.partIndex = part_;
      f.entryIndex = entry_;
      std::array<int32_t, 4> normals = {-1, -1, -1, -1};
      for (int j = 0; j < count; ++j) {
        const Corner& c = corners_[at[j]];
        f.cornerVertices[j] = c.vertex;
        if (c.hasNormal) normals[j] = c.normal;
      }
      // Per-corner normal indices exist once a face uses them, for every
      // face from then on and, filled with none, for the faces before.
      if (f.hasNormals && !cornerNormals_) {
        m_.cornerNormals.reserve(m_.faces.capacity());
        m_.cornerNormals.assign(m_.faces.size(), {-1, -1, -1, -1});
        cornerNormals_ = true;
      }
      m_.faces.push_back(f);
      if (cornerNormals_) m_.cornerNormals.push_back(normals);
      Check(AddFaceToEntry(m_, part_, entry_, base + static_cast<int>(k)));
    }
    // Each corner joins the face being filled when it is read: in a fan,
    // corner i (from 0) that of triangle i - 2.
    for (size_t i = 0; i < n; ++i) {
      const size_t face = n <= 4 || i < 2 ? 0 : i - 2;
      Check(AddVertexFace(m_, base + static_cast<int>(face), corners_[i].vertex));
    }
  }

  void Group(Tokens& t) {
    const Token name = t.Next();
    if (!name.empty()) part_ = Part(name.view());
    entry_ = Entry(part_, 0);
  }

  void Smoothing(Tokens& t) {
    for (Token token = t.Next(); !token.empty(); token = t.Next()) {
      int32_t key = -1;
      if (token.view() != "off") ScanInt(token.begin, token.end, key);
      entry_ = Entry(part_, key);
    }
  }

  // FindOrAddPart, by hash: part names stay unique, since a part is only
  // added, or the last one renamed, for a name that no part has.
  int Part(std::string_view name) {
    if (auto it = parts_.find(name); it != parts_.end()) return it->second;
    const size_t before = m_.parts.size();
    std::string renamed = before > 0 ? m_.parts.back().name : std::string();
    Check(AddPart(m_, name));
    const int index = static_cast<int>(m_.parts.size()) - 1;
    if (m_.parts.size() == before) {
      parts_.erase(renamed);
    } else {
      const std::vector<SmoothEntry>& entries = m_.parts[index].entries;
      for (size_t e = 0; e < entries.size(); ++e)
        entries_.emplace(EntryKey(index, entries[e].key), static_cast<int>(e));
    }
    parts_.emplace(std::string(name), index);
    return index;
  }

  static uint64_t EntryKey(int part, int32_t key) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(part)) << 32) | static_cast<uint32_t>(key);
  }

  // FindOrAddSmoothEntry, by hash; keys within a part stay unique the same way.
  int Entry(int part, int32_t key) {
    if (auto it = entries_.find(EntryKey(part, key)); it != entries_.end()) return it->second;
    std::vector<SmoothEntry>& entries = m_.parts[part].entries;
    const size_t before = entries.size();
    const int32_t rekeyed = before > 0 ? entries.back().key : 0;
    Check(AddSmoothEntry(m_, part, key));
    if (entries.size() == before) entries_.erase(EntryKey(part, rekeyed));
    const int index = static_cast<int>(entries.size()) - 1;
    entries_.emplace(EntryKey(part, key), index);
    return index;
  }

  // `mtllib` names one or more libraries, separated by spaces, relative to
  // the model's folder. Some exporters write one name that holds spaces:
  // the whole rest of the line is taken as one name when such a file
  // exists. A library that is missing, is no regular file or cannot be
  // read is passed over without a word, as the model reads without it.
  void Libraries(std::string_view line) {
    constexpr std::string_view kKeyword = "mtllib ";
    if (!line.starts_with(kKeyword)) return;
    std::string_view rest = line.substr(kKeyword.size());
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    rest = rest.substr(0, rest.find_last_not_of(' ') + 1);
    std::error_code error;
    if (rest.find(' ') != std::string_view::npos &&
        std::filesystem::is_regular_file(*folder_ / rest, error)) {
      Library(rest);
      return;
    }
    Tokens t(rest.data(), rest.data() + rest.size());
    for (Token name = t.Next(); !name.empty(); name = t.Next())
      Library(name.view());
  }

  // The library's materials join those of the libraries read before it;
  // each file is read once, however often it is named.
  void Library(std::string_view name) {
    const std::string path = (*folder_ / name).string();
    if (!libraryPaths_.insert(path).second) return;
    FileBytes file;
    if (ReadWholeFile(path, file) != 0) return;
    WavefrontMaterialTable table;
    const std::string_view text(reinterpret_cast<const char*>(file.data.get()), file.size);
    if (ParseWavefrontMaterials(table, text) != 0) return;
    library_.insert(library_.end(), std::make_move_iterator(table.entries.begin()),
                    std::make_move_iterator(table.entries.end()));
  }

  // UseWavefrontMaterial, by hash, with the file's own libraries first.
  int Object(std::string_view name) {
    if (auto it = objects_.find(name); it != objects_.end()) return it->second;
    if (table_.empty()) {
      // The first of a name wins.
      for (const WavefrontMaterial& e : library_)
        table_.emplace(e.name, &e);
      for (const WavefrontMaterial& e : doc_.materials.entries)
        table_.emplace(e.name, &e);
    }
    const auto entry = table_.find(name);
    const size_t before = m_.objects.size();
    const int index = AddWavefrontObject(m_, entry == table_.end() ? nullptr : entry->second, name);
    if (m_.objects.size() == before) return index;  // no memory for it: object 0
    objects_.emplace(std::string(name), index);
    return index;
  }

  Document& doc_;
  ImportMesh& m_;
  std::optional<std::filesystem::path> folder_;
  std::vector<WavefrontMaterial> library_;  // the file's libraries, in the order named
  std::set<std::string> libraryPaths_;
  int part_ = 0;
  int entry_ = 0;
  int material_ = 0;
  bool cornerNormals_ = false;
  std::vector<Corner> corners_;  // the face line being read
  NameIndex parts_;
  std::unordered_map<uint64_t, int> entries_;
  NameIndex objects_;
  std::unordered_map<std::string_view, const WavefrontMaterial*> table_;
};

}  // namespace

int ReadWavefrontBytes(Document& doc, std::string_view bytes) {
  ObjParser parser(doc, std::nullopt);
  int result = parser.Parse(bytes);
  if (result == 0) result = parser.Finish();
  if (result != 0) ResetImportMesh(doc.importMesh);
  return result;
}

int ReadWavefrontModel(Document& doc, const std::string& path) {
  FileBytes file;
  // The Wavefront reader never says "cannot decode": a file it cannot read
  // whole is one it cannot open.
  if (int failed = ReadWholeFile(path, file, {.shortRead = -1})) return failed;
  ObjParser parser(doc, std::filesystem::path(path).parent_path());
  int result =
      parser.Parse(std::string_view(reinterpret_cast<const char*>(file.data.get()), file.size));
  // The text is not needed for the normals, and the memory is.
  file.data.reset();
  if (result == 0) result = parser.Finish();
  if (result != 0) ResetImportMesh(doc.importMesh);
  return result;
}

}  // namespace modra
