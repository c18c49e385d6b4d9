#include "formats/obj_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <unordered_map>

#include "formats/obj_chunk.h"
#include "formats/parallel_slices.h"
#include "formats/wavefront_materials.h"
#include "io/file_bytes.h"
#include "io/huge_pages.h"

namespace modra {
namespace {

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

  // Everything up to the end of the text, read in pieces that start at
  // the line starts at or after `cuts`. 0, or -3 when memory runs out.
  int Parse(std::string_view text, std::span<const size_t> cuts, unsigned threads,
            const std::function<void()>& textDone) {
    try {
      ResetImportMesh(m_);
      m_.defaultTexCoord = {1, 1};
      m_.linksFollowFaces = true;
      const std::vector<std::string_view> pieces = Pieces(text, cuts);
      std::vector<ObjChunk> chunks(pieces.size());
      std::vector<int> results(pieces.size(), 0);
      // The first piece knows that nothing comes before it; the others
      // learn what did once all are read.
      RunSlices(pieces.size(), threads, [&](size_t i) {
        results[i] =
            ReadObjChunk(chunks[i], pieces[i],
                         i == 0 ? std::optional<ObjTableBases>(ObjTableBases{}) : std::nullopt,
                         folder_.has_value());
      });
      ObjTableBases bases;
      for (size_t i = 0; i < chunks.size(); ++i) {
        if (results[i] != 0) return results[i];
        ObjChunk& c = chunks[i];
        // A piece that named corners beyond the tables before it is read
        // again knowing them, and so skips the faces the one piece would.
        if (c.verticesNeeded > bases.vertices || c.normalsNeeded > bases.normals)
          if (int failed = ReadObjChunk(c, pieces[i], bases, folder_.has_value())) return failed;
        bases.vertices += static_cast<int64_t>(c.positions.size());
        bases.normals += static_cast<int64_t>(c.normals.size());
      }
      // Libraries are read before any `usemtl` is, so that it makes no
      // difference where in the file they are named.
      if (folder_)
        for (const ObjChunk& c : chunks)
          for (std::string_view line : c.libraryLines)
            Libraries(line);
      part_ = Part("None");
      entry_ = 0;
      material_ = Object("white");
      const std::vector<Run> runs = JoinEvents(chunks);
      // The text is not needed from here on, and the memory is.
      if (textDone) textDone();
      Fill(chunks, runs, threads);
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
  // The text cut at the first line start at or after each cut.
  static std::vector<std::string_view> Pieces(std::string_view text, std::span<const size_t> cuts) {
    std::vector<std::string_view> pieces;
    size_t begin = 0;
    for (size_t cut : cuts) {
      size_t at = std::min(cut, text.size());
      if (at > 0 && text[at - 1] != '\n') {
        const size_t lf = text.find('\n', at);
        at = lf == std::string_view::npos ? text.size() : lf + 1;
      }
      if (at <= begin) continue;
      pieces.push_back(text.substr(begin, at - begin));
      begin = at;
    }
    pieces.push_back(text.substr(begin));
    return pieces;
  }

  // Faces of one piece that share part, smoothing group and material.
  struct Run {
    size_t chunk, begin, end;  // faces [begin, end) of the piece
    int part, entry, material;
  };

  // The pieces' `g`, `s` and `usemtl` lines, in file order, as the one
  // piece reader meets them; each face joins its smoothing group there.
  std::vector<Run> JoinEvents(const std::vector<ObjChunk>& chunks) {
    std::vector<Run> runs;
    size_t faces = 0;  // before the piece
    for (size_t i = 0; i < chunks.size(); ++i) {
      const ObjChunk& c = chunks[i];
      size_t done = 0;
      auto flush = [&](size_t upTo) {
        if (upTo <= done) return;
        runs.push_back({i, done, upTo, part_, entry_, material_});
        std::vector<int32_t>& list = m_.parts[part_].entries[entry_].faces;
        for (size_t f = done; f < upTo; ++f)
          list.push_back(static_cast<int32_t>(faces + f));
        done = upTo;
      };
      for (const ObjEvent& e : c.events) {
        flush(e.facesBefore);
        switch (e.kind) {
          case ObjEvent::kGroup:
            // A `g` without a name keeps the group and restarts its smoothing group 0.
            if (!e.name.empty()) part_ = Part(e.name);
            entry_ = Entry(part_, 0);
            break;
          case ObjEvent::kSmoothing:
            entry_ = Entry(part_, e.key);
            break;
          case ObjEvent::kMaterial:
            material_ = Object(e.name);
            break;
        }
      }
      flush(c.faces.size());
      faces += c.faces.size();
    }
    return runs;
  }

  // The tables made whole from the pieces, each piece copied by one thread.
  void Fill(std::vector<ObjChunk>& chunks, const std::vector<Run>& runs, unsigned threads) {
    size_t vertices = 1, normals = 1, faces = 0;
    int64_t firstWithNormals = -1;
    std::vector<size_t> vertexAt, normalAt, faceAt;
    for (const ObjChunk& c : chunks) {
      vertexAt.push_back(vertices);
      normalAt.push_back(normals);
      faceAt.push_back(faces);
      if (firstWithNormals < 0 && c.firstFaceWithNormals >= 0)
        firstWithNormals = static_cast<int64_t>(faces) + c.firstFaceWithNormals;
      vertices += c.positions.size();
      normals += c.normals.size();
      faces += c.faces.size();
    }
    if (faces > static_cast<size_t>(INT32_MAX)) throw std::bad_alloc();
    // Positions and normals are numbered from 1.
    ResizeForFill(m_.meshVertices, vertices);
    ResizeForFill(m_.meshNormals, normals);
    m_.meshVertices[0] = m_.meshNormals[0] = {0, 0, 0};
    ResizeForFill(m_.faces, faces);
    // Per-corner normal indices exist once a face uses them, for every
    // face from then on and, filled with none, for the faces before.
    if (firstWithNormals >= 0) ResizeForFill(m_.cornerNormals, faces);
    std::vector<size_t> firstRun(chunks.size() + 1, runs.size());
    for (size_t r = runs.size(); r-- > 0;)
      firstRun[runs[r].chunk] = r;
    for (size_t i = chunks.size(); i-- > 0;)
      firstRun[i] = std::min(firstRun[i], firstRun[i + 1]);
    RunSlices(chunks.size(), threads, [&](size_t i) {
      ObjChunk& c = chunks[i];
      std::copy(c.positions.begin(), c.positions.end(), m_.meshVertices.begin() + vertexAt[i]);
      std::copy(c.normals.begin(), c.normals.end(), m_.meshNormals.begin() + normalAt[i]);
      for (size_t r = firstRun[i]; r < runs.size() && runs[r].chunk == i; ++r) {
        const Run& run = runs[r];
        for (size_t f = run.begin; f < run.end; ++f) {
          const ObjFace& read = c.faces[f];
          MeshFace& face = m_.faces[faceAt[i] + f];
          face.cornerCount = read.cornerCount;
          face.hasNormals = read.hasNormals;
          face.fanContinued = read.fanContinued;
          face.creaseCos = kNoCreaseTest;
          face.cornerVertices = read.cornerVertices;
          face.objectIndex = face.colorObject = run.material;
          face.partIndex = run.part;
          face.entryIndex = run.entry;
        }
      }
      if (firstWithNormals >= 0)
        for (size_t f = 0; f < c.faces.size(); ++f) {
          const int64_t at = static_cast<int64_t>(faceAt[i] + f);
          // A piece whose faces named no normal recorded none.
          const bool recorded = f >= c.normalsFrom && f - c.normalsFrom < c.cornerNormals.size();
          m_.cornerNormals[faceAt[i] + f] = at < firstWithNormals || !recorded
                                                ? std::array<int32_t, 4>{-1, -1, -1, -1}
                                                : c.cornerNormals[f - c.normalsFrom];
        }
      c = ObjChunk{};
    });
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
    while (!rest.empty()) {
      const size_t space = std::min(rest.find(' '), rest.size());
      if (space > 0) Library(rest.substr(0, space));
      rest.remove_prefix(std::min(space + 1, rest.size()));
    }
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
  NameIndex parts_;
  std::unordered_map<uint64_t, int> entries_;
  NameIndex objects_;
  std::unordered_map<std::string_view, const WavefrontMaterial*> table_;
};

// Pieces of a few megabytes, handed out to the cores in turn; a file of
// less than one is read in one piece.
constexpr size_t kPieceBytes = size_t{4} << 20;

// `done` lets go of the text (it may be called twice).
int Read(Document& doc, std::string_view text, std::optional<std::filesystem::path> folder,
         std::span<const size_t> cuts, unsigned threads, const std::function<void()>& done) {
  ObjParser parser(doc, std::move(folder));
  int result = parser.Parse(text, cuts, threads, done);
  if (done) done();
  if (result == 0) result = parser.Finish();
  if (result != 0) ResetImportMesh(doc.importMesh);
  return result;
}

int ReadWhole(Document& doc, std::string_view text, std::optional<std::filesystem::path> folder,
              const std::function<void()>& done) {
  const unsigned threads = ThreadsFor(text.size(), kPieceBytes / 4);
  std::vector<size_t> cuts;
  if (threads > 1)
    for (size_t at = kPieceBytes; at < text.size(); at += kPieceBytes)
      cuts.push_back(at);
  return Read(doc, text, std::move(folder), cuts, threads, done);
}

}  // namespace

int ReadWavefrontBytes(Document& doc, std::string_view bytes) {
  return ReadWhole(doc, bytes, std::nullopt, {});
}

int ReadWavefrontPieces(Document& doc, std::string_view bytes, std::span<const size_t> cuts,
                        unsigned threads) {
  return Read(doc, bytes, std::nullopt, cuts, threads, {});
}

namespace {

// A large file read in place, where the system already keeps it: mapped
// and its pages filled at once, not copied into new memory, which costs
// as much as reading it. Anything unusual (not a regular file, too large,
// a failed map) is left to the reading below and its failure codes.
class MappedText {
 public:
  explicit MappedText(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<uint64_t>(info.st_size) >= kPieceBytes &&
        static_cast<uint64_t>(info.st_size) <= kMaxFileBytes) {
      void* at = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ,
                        MAP_PRIVATE | MAP_POPULATE, fd, 0);
      if (at != MAP_FAILED) {
        data_ = static_cast<const char*>(at);
        size_ = static_cast<size_t>(info.st_size);
      }
    }
    ::close(fd);
  }
  ~MappedText() { Release(); }
  MappedText(const MappedText&) = delete;
  MappedText& operator=(const MappedText&) = delete;

  bool mapped() const { return data_ != nullptr; }
  std::string_view text() const { return {data_, size_}; }
  void Release() {
    if (data_) ::munmap(const_cast<char*>(data_), size_);
    data_ = nullptr;
  }

 private:
  const char* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace

int ReadWavefrontModel(Document& doc, const std::string& path) {
  if (MappedText mapped(path); mapped.mapped()) {
    const std::string_view text = mapped.text();
    return ReadWhole(doc, text, std::filesystem::path(path).parent_path(),
                     [&] { mapped.Release(); });
  }
  FileBytes file;
  // The Wavefront reader never says "cannot decode": a file it cannot read
  // whole is one it cannot open.
  if (int failed = ReadWholeFile(path, file, {.shortRead = -1})) return failed;
  const std::string_view text(reinterpret_cast<const char*>(file.data.get()), file.size);
  return ReadWhole(doc, text, std::filesystem::path(path).parent_path(),
                   [&] { file.data.reset(); });
}

}  // namespace modra
