#include "edit/document_changes.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>
#include <tuple>
#include <type_traits>
#include <utility>

#include "edit/record_fields.h"

namespace modra {
namespace {

using record::Same;

// note: a field added to the scene or the key store stops the build here
// until it is recorded below or named as one that undo leaves alone
[[maybe_unused]] void EveryFieldPlaced(const Scene& s) {
  [[maybe_unused]] const auto& [groups, rootHead, freeHead, clipboard /* beside the document */,
                                levelStack, sceneMin, sceneMax, selectedGroup, lights, camera,
                                global, anim, triangulatorDebug /* start-up setting */] = s;
  [[maybe_unused]] const auto& [keys, freeKey, frameKeys, keyClipboard /* beside the document */,
                                keyFrameList, lastFrame, currentFrame, prevKey, prevKey2, nextKey,
                                nextKey2,
                                // playback's own state, not the document's
                                active, t, dt, playFrame, silent, playing, redrawEnabled] = s.anim;
}

template <class P>
auto PartFields(P& p) {
  auto& [a, b, d, e, f, g, h, i, j, k, l, m, n, o, q, r, s, t] = p;
  return std::tie(a, b, d, e, f, g, h, i, j, k, l, m, n, o, q, r, s, t);
}

// The document's fields in the order of SceneParts.
template <class D>
auto DocumentFields(D& doc) {
  auto& s = doc.scene;
  auto& a = s.anim;
  return std::tie(s.rootHead, s.freeHead, s.levelStack, s.sceneMin, s.sceneMax, s.selectedGroup,
                  s.lights, s.camera, s.global, a.freeKey, a.keyFrameList, a.lastFrame,
                  a.currentFrame, a.prevKey, a.prevKey2, a.nextKey, a.nextKey2,
                  doc.materials.entries);
}

template <class T>
void Assign(T& to, const T& from) {
  to = from;
}
template <class T, size_t N>
void Assign(T (&to)[N], const T (&from)[N]) {
  std::copy(from, from + N, to);
}

using PartIndices =
    std::make_index_sequence<std::tuple_size_v<decltype(PartFields(std::declval<SceneParts&>()))>>;

template <class A, class B, size_t... I>
bool SameFields(const A& a, const B& b, std::index_sequence<I...>) {
  return (Same(std::get<I>(a), std::get<I>(b)) && ...);
}
template <class To, class From, size_t... I>
void AssignFields(const To& to, const From& from, std::index_sequence<I...>) {
  (Assign(std::get<I>(to), std::get<I>(from)), ...);
}
// Each field where `side` and `other` differ, from `side` into `to`.
template <class To, class Side, size_t... I>
void AssignDiffering(const To& to, const Side& side, const Side& other, std::index_sequence<I...>) {
  ((Same(std::get<I>(side), std::get<I>(other)) ? void()
                                                : Assign(std::get<I>(to), std::get<I>(side))),
   ...);
}

constexpr uint32_t kSelectionFlags = Selected | highlighted;

bool Live(uint32_t flags) {
  return !(flags & Deleted);
}

// ---- how a record's fields are stored

// Fields of whole 32-bit words (numbers, flag sets, fixed arrays of them):
// compared, kept and swapped word by word.
template <class T>
constexpr bool kWordField =
    std::is_trivially_copyable_v<T> && !std::is_pointer_v<T> && sizeof(T) % 4 == 0;

// Vectors of 4-byte numbers: word by word too while their length holds.
template <class T>
struct IsWordVector : std::false_type {};
template <class T>
struct IsWordVector<std::vector<T>>
    : std::bool_constant<std::is_arithmetic_v<T> && sizeof(T) == 4> {};
template <class T>
constexpr bool kWordVector = IsWordVector<T>::value;

template <class T, class V>
struct IsAlternative : std::false_type {};
template <class T, class... Ts>
struct IsAlternative<T, std::variant<Ts...>> : std::bool_constant<(std::is_same_v<T, Ts> || ...)> {
};
template <class T>
constexpr bool kWholeField = IsAlternative<T, WholeField>::value;

// Bits of a field that no comparison sees: the group's display-only flag.
template <class R>
uint32_t IgnoredBits(const R& r, const void* field) {
  if constexpr (std::is_same_v<R, DisplayGroup>)
    return field == &r.flags ? drawAsBox : 0;
  else
    return 0;
}

uint32_t Word(const uint8_t* p) {
  uint32_t w;
  std::memcpy(&w, p, sizeof(w));
  return w;
}

// A word field's or word vector's bytes, const when the field is.
template <class T>
auto* WordBytes(T& field) {
  using Byte = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  if constexpr (kWordVector<std::remove_const_t<T>>)
    return reinterpret_cast<Byte*>(field.data());
  else
    return reinterpret_cast<Byte*>(&field);
}
template <class T>
size_t WordCount(const T& field) {
  if constexpr (kWordVector<T>)
    return field.size();
  else
    return sizeof(T) / 4;
}

// A step's runs, one record after another:
//
//   varint   record index minus (the previous record's index + 1)
//   entries, each opening with a tag byte:
//     field            a run of words: varint first word, varint count,
//                      then the stored side's words
//     kWhole | field   the field whole: varint index into wholeFields_
//     kSelection       the step changed the group's Selected/highlighted
//     kEnd             the record's last entry
//
// Fields are numbered in the order record::Fields lists them. Most records
// a step touches differ in a few words, so this costs a few bytes besides
// the words themselves and no allocation per record.
constexpr uint8_t kWhole = 0x40;
constexpr uint8_t kFieldBits = 0x3f;
constexpr uint8_t kSelection = 0xfe;
constexpr uint8_t kEnd = 0xff;

void PutVarint(std::vector<uint8_t>& out, size_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<uint8_t>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<uint8_t>(v));
}

size_t GetVarint(uint8_t*& p) {
  size_t v = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t b = *p++;
    v |= static_cast<size_t>(b & 0x7f) << shift;
    if (!(b & 0x80)) return v;
  }
}

class RunWriter {
 public:
  RunWriter(std::vector<uint8_t>& out, std::vector<WholeField>& wholes)
      : out_(out), wholes_(wholes) {}

  void StartTable() { next_ = 0; }
  // Opens the record at `index` unless it is open already.
  void Open(size_t index) {
    if (open_) return;
    assert(index >= next_);
    PutVarint(out_, index - next_);
    next_ = index + 1;
    open_ = true;
  }
  void Close() {
    if (open_) out_.push_back(kEnd);
    open_ = false;
  }
  void Tag(uint8_t tag) { out_.push_back(tag); }
  void Words(size_t field, size_t first, size_t count, const uint8_t* words) {
    out_.push_back(static_cast<uint8_t>(field));
    PutVarint(out_, first);
    PutVarint(out_, count);
    out_.insert(out_.end(), words, words + 4 * count);
  }
  template <class T>
  void Whole(size_t field, T&& value) {
    out_.push_back(static_cast<uint8_t>(kWhole | field));
    PutVarint(out_, wholes_.size());
    wholes_.emplace_back(std::in_place_type<std::remove_cvref_t<T>>, std::forward<T>(value));
  }

 private:
  std::vector<uint8_t>& out_;
  std::vector<WholeField>& wholes_;
  size_t next_ = 0;
  bool open_ = false;
};

// Writes the words where `was` and `is` differ (outside `ignored`) as
// runs holding `was`'s words, and makes `was` equal to `is` there.
void TakeWords(RunWriter& w, size_t index, size_t field, uint8_t* was, const uint8_t* is,
               size_t count, uint32_t ignored) {
  if (ignored == 0 && std::memcmp(was, is, 4 * count) == 0) return;
  auto differs = [&](size_t i) { return ((Word(was + 4 * i) ^ Word(is + 4 * i)) & ~ignored) != 0; };
  for (size_t i = 0; i < count;) {
    if (!differs(i)) {
      ++i;
      continue;
    }
    const size_t first = i;
    while (i < count && differs(i))
      ++i;
    w.Open(index);
    w.Words(field, first, i - first, was + 4 * first);
    std::memcpy(was + 4 * first, is + 4 * first, 4 * (i - first));
  }
}

template <class T>
void TakeField(RunWriter& w, size_t index, size_t field, T& was, const T& is, uint32_t ignored) {
  static_assert(kWordField<T> || kWholeField<T>,
                "undo cannot keep this field: make it words or list its type in WholeField");
  if constexpr (kWordField<T>) {
    TakeWords(w, index, field, WordBytes(was), WordBytes(is), WordCount(was), ignored);
  } else {
    if constexpr (kWordVector<T>) {
      if (was.size() == is.size()) {
        if (!was.empty())
          TakeWords(w, index, field, WordBytes(was), WordBytes(is), WordCount(was), ignored);
        return;
      }
    }
    if (Same(was, is)) return;
    w.Open(index);
    w.Whole(field, std::move(was));
    was = is;
  }
}

template <class R>
using FieldIndices =
    std::make_index_sequence<std::tuple_size_v<decltype(record::Fields(std::declval<R&>()))>>;

template <class R, size_t... I>
void TakeFields(RunWriter& w, size_t index, R& was, const R& is, std::index_sequence<I...>) {
  static_assert(sizeof...(I) <= kFieldBits + 1, "a field number must fit its tag");
  const auto wasFields = record::Fields(was);
  const auto isFields = record::Fields(is);
  (TakeField(w, index, I, std::get<I>(wasFields), std::get<I>(isFields),
             IgnoredBits(was, &std::get<I>(wasFields))),
   ...);
}

// Records in `was` where `is` differs, and makes `was` equal to `is`.
template <class R>
void TakeRecord(RunWriter& w, size_t index, R& was, const R& is) {
  TakeFields(w, index, was, is, FieldIndices<R>());
  w.Close();
}

template <class R, class T>
bool SameField(const R& record, const T& a, const T& b, uint32_t alsoIgnored) {
  if constexpr (std::is_same_v<T, uint32_t>) {
    if (const uint32_t ignored = IgnoredBits(record, &a))
      return ((a ^ b) & ~(ignored | alsoIgnored)) == 0;
  }
  return Same(a, b);
}
template <class R, size_t... I>
bool SameFieldsExcept(const R& a, const R& b, uint32_t alsoIgnored, std::index_sequence<I...>) {
  const auto af = record::Fields(a);
  const auto bf = record::Fields(b);
  return (SameField(a, std::get<I>(af), std::get<I>(bf), alsoIgnored) && ...);
}
// Same, but blind to the bits IgnoredBits names, and to `alsoIgnored` in
// the field those bits are in.
template <class R>
bool SameExcept(const R& a, const R& b, uint32_t alsoIgnored) {
  return SameFieldsExcept(a, b, alsoIgnored, FieldIndices<const R>());
}

// Which small parts differ: those that make the selection, or others.
template <class Theirs, size_t... I>
void CompareParts(const SceneParts& parts, const Theirs& theirs, bool& selection, bool& other,
                  std::index_sequence<I...>) {
  const auto mine = PartFields(parts);
  auto compare = [&](const auto& was, const auto& is) {
    if (Same(was, is)) return;
    const void* field = &was;
    (field == &parts.levelStack || field == &parts.selectedGroup ? selection : other) = true;
  };
  (compare(std::get<I>(mine), std::get<I>(theirs)), ...);
}

// Calls fn with the field numbered `index`.
template <class Tuple, class Fn>
void VisitField(const Tuple& fields, size_t index, Fn&& fn) {
  std::apply(
      [&](auto&... field) {
        size_t i = 0;
        ((i++ == index ? fn(field) : void()), ...);
      },
      fields);
}

// Swaps one record's runs, starting at p, with the record; returns whether
// it carried kSelection. p is left past the record.
template <class R>
bool SwapRecord(uint8_t*& p, R& r, std::vector<WholeField>& wholes) {
  const auto fields = record::Fields(r);
  bool selection = false;
  for (;;) {
    const uint8_t tag = *p++;
    if (tag == kEnd) return selection;
    if (tag == kSelection) {
      selection = true;
    } else if (tag & kWhole) {
      WholeField& stored = wholes[GetVarint(p)];
      VisitField(fields, tag & kFieldBits, [&](auto& field) {
        using T = std::remove_cvref_t<decltype(field)>;
        if constexpr (kWholeField<T>)
          std::swap(field, std::get<T>(stored));
        else
          assert(!"a word field stored whole");
      });
    } else {
      const size_t first = GetVarint(p), count = GetVarint(p);
      uint8_t* words = nullptr;
      [[maybe_unused]] size_t size = 0;
      VisitField(fields, tag, [&](auto& field) {
        using T = std::remove_cvref_t<decltype(field)>;
        if constexpr (kWordField<T> || kWordVector<T>) {
          words = WordBytes(field);
          size = WordCount(field);
        }
      });
      assert(words && first + count <= size);
      std::swap_ranges(p, p + 4 * count, words + 4 * first);
      p += 4 * count;
    }
  }
}

// Walks the records of one table in runs [p, end).
template <class R, class Fn>
void SwapTable(uint8_t* p, uint8_t* end, std::vector<R>& table, Fn&& swapRecord) {
  for (size_t next = 0; p < end;) {
    const size_t index = next + GetVarint(p);
    next = index + 1;
    assert(index < table.size());
    swapRecord(p, table[index]);
  }
}

// The records past `then` go into `tail`, or come back from it.
template <class R>
void SwapTail(std::vector<R>& table, std::vector<R>& tail, size_t then) {
  const size_t now = table.size();
  if (now > then) {
    assert(tail.empty());
    tail.assign(std::make_move_iterator(table.begin() + static_cast<std::ptrdiff_t>(then)),
                std::make_move_iterator(table.end()));
    table.resize(then);
  } else if (now < then) {
    assert(tail.size() == then - now);
    table.insert(table.end(), std::make_move_iterator(tail.begin()),
                 std::make_move_iterator(tail.end()));
    std::vector<R>().swap(tail);
  }
}

// ---- bytes

size_t HeapBytes(const std::string& s) {
  return s.capacity() > 15 ? s.capacity() + 1 : 0;
}
template <class T>
size_t HeapBytes(const std::vector<T>& v) {
  return v.capacity() * sizeof(T);
}

// `arrayBytes` weighs one vertex array.
template <class ArrayBytes>
size_t PrimitivesBytes(const std::vector<DisplayPrimitive>& prims, const ArrayBytes& arrayBytes) {
  size_t bytes = HeapBytes(prims);
  for (const DisplayPrimitive& p : prims)
    bytes += arrayBytes(p.vertices);
  return bytes;
}

template <class ArrayBytes>
size_t GroupHeapBytes(const DisplayGroup& g, const ArrayBytes& arrayBytes) {
  return HeapBytes(g.name) + PrimitivesBytes(g.primitives, arrayBytes) +
         HeapBytes(g.generatorParams);
}

size_t PartsBytes(const SceneParts& p) {
  size_t bytes = sizeof(SceneParts) + HeapBytes(p.levelStack) + HeapBytes(p.keyFrameList) +
                 HeapBytes(p.camera.lookAtPath) + HeapBytes(p.materials);
  for (const WavefrontMaterial& m : p.materials)
    bytes += HeapBytes(m.name);
  return bytes;
}

size_t FullArrayBytes(const VertexBuffer& v) {
  return v.ArrayId() ? sizeof(std::vector<float>) + 16 + v.capacity() * sizeof(float) : 0;
}

// Counts each array once, and none the scene holds.
struct SharedArrayBytes {
  const std::unordered_set<const void*>& sceneArrays;
  std::unordered_set<const void*>& counted;
  size_t operator()(const VertexBuffer& v) const {
    const void* id = v.ArrayId();
    if (!id || sceneArrays.contains(id) || !counted.insert(id).second) return 0;
    return FullArrayBytes(v);
  }
};

// The selection can name what an undo took away: a group pasted, or the
// level of a group created, by the step; and the levels entered since can
// be no chain any more (an undone Ungroup puts their group back above
// them). The level then ends where the chain breaks, and a current group
// that is gone falls back to nothing.
void KeepSelectionInScene(Scene& s) {
  const std::vector<int32_t> parents = ParentTable(s);
  auto inScene = [&](int g) {
    return IsLiveGroup(s, g) && parents[static_cast<size_t>(g)] != kUnreached;
  };
  size_t whole = 0;
  int32_t parent = -1;
  for (int32_t g : s.levelStack) {
    if (!inScene(g) || parents[static_cast<size_t>(g)] != parent) break;
    parent = g;
    ++whole;
  }
  s.levelStack.resize(whole);
  if (s.selectedGroup != -1 && !inScene(s.selectedGroup)) s.selectedGroup = -1;
}

}  // namespace

void DocumentChanges::Swap(Document& doc, bool undo) {
  Scene& s = doc.scene;
  KeyStore& a = s.anim;
  uint8_t* const runs = runs_.data();
  SwapTable(runs, runs + keyRunsAt_, s.groups, [&](uint8_t*& p, DisplayGroup& g) {
    const uint32_t was = g.flags;
    const bool selectionChanged = SwapRecord(p, g, wholeFields_);
    const uint32_t now = g.flags;
    if (Live(was) && Live(now)) {
      const uint32_t keep = drawAsBox | (selectionChanged ? 0 : kSelectionFlags);
      g.flags = (now & ~keep) | (was & keep);
    }
  });
  SwapTable(runs + keyRunsAt_, runs + runs_.size(), a.keys,
            [&](uint8_t*& p, KnfKeyInfo& k) { SwapRecord(p, k, wholeFields_); });
  SwapTail(s.groups, tailGroups_, static_cast<size_t>(undo ? slotCountBefore_ : slotCountAfter_));
  SwapTail(a.keys, tailKeys_, static_cast<size_t>(undo ? keyCountBefore_ : keyCountAfter_));

  for (const FrameHeadChange& c : frames_)
    a.frameKeys[static_cast<size_t>(c.frame)] = undo ? c.before : c.after;
  if (parts_) {
    const SceneParts& side = parts_[undo ? 0 : 1];
    const SceneParts& other = parts_[undo ? 1 : 0];
    AssignDiffering(DocumentFields(doc), PartFields(side), PartFields(other), PartIndices());
  }
  KeepSelectionInScene(s);
}

size_t DocumentChanges::MemoryUse(const std::unordered_set<const void*>& sceneArrays,
                                  std::unordered_set<const void*>& counted) const {
  return HeldBytes(SharedArrayBytes{sceneArrays, counted});
}

size_t DocumentChanges::Bytes() const {
  return HeldBytes(FullArrayBytes);
}

size_t DocumentChanges::HeldBytes(const ArrayBytes& arrayBytes) const {
  size_t bytes = sizeof(DocumentChanges) + HeapBytes(runs_) + HeapBytes(wholeFields_) +
                 HeapBytes(tailGroups_) + HeapBytes(tailKeys_) + HeapBytes(frames_);
  for (const WholeField& w : wholeFields_)
    bytes += std::visit(
        [&](const auto& field) -> size_t {
          using T = std::remove_cvref_t<decltype(field)>;
          if constexpr (std::is_same_v<T, std::vector<DisplayPrimitive>>)
            return PrimitivesBytes(field, arrayBytes);
          else
            return HeapBytes(field);
        },
        w);
  for (const DisplayGroup& g : tailGroups_)
    bytes += GroupHeapBytes(g, arrayBytes);
  for (const KnfKeyInfo& k : tailKeys_)
    bytes += HeapBytes(k.values);
  if (parts_) bytes += PartsBytes(parts_[0]) + PartsBytes(parts_[1]);
  return bytes;
}

DocumentMirror::DocumentMirror(const Document& doc)
    : groups_(doc.scene.groups), keys_(doc.scene.anim.keys), frameKeys_(doc.scene.anim.frameKeys) {
  AssignFields(PartFields(parts_), DocumentFields(doc), PartIndices());
}

DocumentChanges DocumentMirror::TakeChanges(const Document& doc) {
  const Scene& s = doc.scene;
  const KeyStore& a = s.anim;
  DocumentChanges c;
  c.slotCountBefore_ = static_cast<int32_t>(groups_.size());
  c.slotCountAfter_ = static_cast<int32_t>(s.groups.size());
  c.keyCountBefore_ = static_cast<int32_t>(keys_.size());
  c.keyCountAfter_ = static_cast<int32_t>(a.keys.size());
  work_.clear();
  RunWriter w(work_, c.wholeFields_);

  const size_t slots = std::min(groups_.size(), s.groups.size());
  // note: most records are the same; a whole-record comparison finds
  // that several times faster than looking for runs field by field
  for (size_t i = 0; i < slots; ++i) {
    DisplayGroup& was = groups_[i];
    const DisplayGroup& is = s.groups[i];
    if (!SameExcept(was, is, 0)) {
      if ((was.flags ^ is.flags) & kSelectionFlags) {
        w.Open(i);
        w.Tag(kSelection);
      }
      TakeRecord(w, i, was, is);
    }
    was.flags = (was.flags & ~drawAsBox) | (is.flags & drawAsBox);
  }
  c.keyRunsAt_ = work_.size();
  w.StartTable();
  const size_t keys = std::min(keys_.size(), a.keys.size());
  for (size_t i = 0; i < keys; ++i)
    if (!Same(keys_[i], a.keys[i])) TakeRecord(w, i, keys_[i], a.keys[i]);
  c.runs_.assign(work_.begin(), work_.end());

  // What is past the shorter table is kept whole.
  if (groups_.size() > slots) {
    c.tailGroups_.assign(
        std::make_move_iterator(groups_.begin() + static_cast<std::ptrdiff_t>(slots)),
        std::make_move_iterator(groups_.end()));
    groups_.resize(slots);
  } else {
    groups_.insert(groups_.end(), s.groups.begin() + static_cast<std::ptrdiff_t>(slots),
                   s.groups.end());
  }
  if (keys_.size() > keys) {
    c.tailKeys_.assign(std::make_move_iterator(keys_.begin() + static_cast<std::ptrdiff_t>(keys)),
                       std::make_move_iterator(keys_.end()));
    keys_.resize(keys);
  } else {
    keys_.insert(keys_.end(), a.keys.begin() + static_cast<std::ptrdiff_t>(keys), a.keys.end());
  }

  if (std::memcmp(frameKeys_.data(), a.frameKeys.data(), sizeof(frameKeys_)) != 0)
    for (size_t f = 0; f < frameKeys_.size(); ++f)
      if (frameKeys_[f] != a.frameKeys[f]) {
        c.frames_.push_back({static_cast<int32_t>(f), frameKeys_[f], a.frameKeys[f]});
        frameKeys_[f] = a.frameKeys[f];
      }

  if (!SameFields(PartFields(parts_), DocumentFields(doc), PartIndices())) {
    c.parts_ = std::make_unique<SceneParts[]>(2);
    c.parts_[0] = std::move(parts_);
    AssignFields(PartFields(parts_), DocumentFields(doc), PartIndices());
    c.parts_[1] = parts_;
  }
  return c;
}

OutsideChange DocumentMirror::Compare(const Document& doc) const {
  const Scene& s = doc.scene;
  const KeyStore& a = s.anim;
  if (groups_.size() != s.groups.size() || keys_.size() != a.keys.size() ||
      std::memcmp(frameKeys_.data(), a.frameKeys.data(), sizeof(frameKeys_)) != 0)
    return OutsideChange::kOther;

  bool selection = false;
  for (size_t i = 0; i < groups_.size(); ++i) {
    const DisplayGroup& was = groups_[i];
    const DisplayGroup& is = s.groups[i];
    if (!SameExcept(was, is, kSelectionFlags)) return OutsideChange::kOther;
    if ((was.flags ^ is.flags) & kSelectionFlags) {
      if (!Live(was.flags) || !Live(is.flags)) return OutsideChange::kOther;
      selection = true;
    }
  }
  for (size_t i = 0; i < keys_.size(); ++i)
    if (!Same(keys_[i], a.keys[i])) return OutsideChange::kOther;

  bool other = false;
  CompareParts(parts_, DocumentFields(doc), selection, other, PartIndices());
  if (other) return OutsideChange::kOther;
  return selection ? OutsideChange::kSelection : OutsideChange::kNone;
}

void DocumentMirror::FollowDisplayFlags(const Document& doc) {
  const std::vector<DisplayGroup>& groups = doc.scene.groups;
  const size_t slots = std::min(groups_.size(), groups.size());
  for (size_t i = 0; i < slots; ++i)
    groups_[i].flags = (groups_[i].flags & ~drawAsBox) | (groups[i].flags & drawAsBox);
}

size_t DocumentMirror::MemoryUse(const std::unordered_set<const void*>& sceneArrays,
                                 std::unordered_set<const void*>& counted) const {
  SharedArrayBytes arrays{sceneArrays, counted};
  size_t bytes = sizeof(DocumentMirror) + HeapBytes(groups_) + HeapBytes(keys_) + HeapBytes(work_) +
                 PartsBytes(parts_) - sizeof(SceneParts);
  for (const DisplayGroup& g : groups_)
    bytes += GroupHeapBytes(g, arrays);
  for (const KnfKeyInfo& k : keys_)
    bytes += HeapBytes(k.values);
  return bytes;
}

std::unordered_set<const void*> SceneArrays(const Scene& s) {
  std::unordered_set<const void*> ids;
  for (const DisplayGroup& g : s.groups)
    for (const DisplayPrimitive& p : g.primitives)
      if (p.vertices.ArrayId()) ids.insert(p.vertices.ArrayId());
  return ids;
}

}  // namespace modra
