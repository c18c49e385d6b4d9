#include "browser/thumbnail_cache.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "images/jpeg.h"

namespace modra {

namespace {

struct CacheHeader {
  uint32_t reserved = 0;
  uint32_t blockSize = kThumbBlockSize;
  uint32_t freeCount = kThumbMaxBlocks;
  uint32_t freeListOffset = 0;
  uint32_t entryCount = 0;
  uint32_t entryTableOffset = kThumbEntryTableOffset;
  uint32_t blockAreaOffset = kThumbBlockAreaOffset;
};

struct RecordHeader {
  uint32_t reserved = 0;
  uint32_t fileTime = 0;
  uint32_t nameLength = 0;
  uint32_t nameSkip = 0;
  uint32_t dataBlockCount = 0;
  uint32_t listBlock = 0;
  uint32_t jpegSize = 0;
  uint32_t width = 0, height = 0;
};

struct Entry {
  std::string name;
  uint32_t firstBlock = 0;
  uint32_t fileTime = 0;
};

uint32_t Get32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
}
void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

void PutWords(uint8_t* out, const uint32_t* words, size_t count) {
  for (size_t i = 0; i < count; ++i)
    Put32(out + 4 * i, words[i]);
}
std::vector<uint32_t> GetWords(const uint8_t* in, size_t count) {
  std::vector<uint32_t> words(count);
  for (size_t i = 0; i < count; ++i)
    words[i] = Get32(in + 4 * i);
  return words;
}

// The whole of `size` bytes at `at`, or false: a file that ends early is as
// bad as one that cannot be read.
bool ReadAt(int fd, uint64_t at, void* out, size_t size) {
  auto* p = static_cast<uint8_t*>(out);
  while (size > 0) {
    const ssize_t got = pread(fd, p, size, static_cast<off_t>(at));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    at += static_cast<uint64_t>(got);
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool WriteAt(int fd, uint64_t at, const void* bytes, size_t size) {
  auto* p = static_cast<const uint8_t*>(bytes);
  while (size > 0) {
    const ssize_t put = pwrite(fd, p, size, static_cast<off_t>(at));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    at += static_cast<uint64_t>(put);
    size -= static_cast<size_t>(put);
  }
  return true;
}

bool ReadWords(int fd, uint64_t at, size_t count, std::vector<uint32_t>& out) {
  std::vector<uint8_t> bytes(count * 4);
  if (!ReadAt(fd, at, bytes.data(), bytes.size())) return false;
  out = GetWords(bytes.data(), count);
  return true;
}

bool WriteWords(int fd, uint64_t at, const uint32_t* words, size_t count) {
  std::vector<uint8_t> bytes(count * 4);
  PutWords(bytes.data(), words, count);
  return WriteAt(fd, at, bytes.data(), bytes.size());
}

bool ReadHeader(int fd, CacheHeader& h) {
  uint8_t b[kThumbHeaderBytes];
  if (!ReadAt(fd, 0, b, sizeof b)) return false;
  h = {Get32(b),      Get32(b + 4),  Get32(b + 8), Get32(b + 12),
       Get32(b + 16), Get32(b + 20), Get32(b + 24)};
  return true;
}

bool WriteHeader(int fd, const CacheHeader& h) {
  const uint32_t words[] = {h.reserved,   h.blockSize,        h.freeCount,      h.freeListOffset,
                            h.entryCount, h.entryTableOffset, h.blockAreaOffset};
  return WriteWords(fd, 0, words, 7);
}

// Only the layout this program makes is taken: every count and offset in
// range, so that nothing read later can point outside the file's tables.
bool HeaderIsSound(const CacheHeader& h) {
  return h.blockSize == kThumbBlockSize && h.freeCount <= kThumbMaxBlocks &&
         h.entryCount <= kThumbMaxEntries && h.freeListOffset == 0 &&
         h.entryTableOffset == kThumbEntryTableOffset && h.blockAreaOffset == kThumbBlockAreaOffset;
}

uint64_t BlockAt(uint32_t block) {
  return uint64_t{kThumbHeaderBytes} + kThumbBlockAreaOffset + uint64_t{block} * kThumbBlockSize;
}
uint64_t FreeListAt(uint32_t index) {
  return kThumbHeaderBytes + uint64_t{index} * 4;
}
uint64_t EntrySlotAt(uint32_t index) {
  return kThumbHeaderBytes + kThumbEntryTableOffset + uint64_t{index} * 4;
}

void PutRecord(uint8_t* out, const RecordHeader& r) {
  const uint32_t words[] = {r.reserved,  r.fileTime, r.nameLength, r.nameSkip, r.dataBlockCount,
                            r.listBlock, r.jpegSize, r.width,      r.height};
  PutWords(out, words, 9);
}

uint32_t FileTimeWord(int64_t seconds) {
  if (seconds < 0) return 0;
  return seconds > int64_t{UINT32_MAX} ? UINT32_MAX : static_cast<uint32_t>(seconds);
}

bool CurrentFileTime(const std::string& name, uint32_t& time) {
  struct stat st;
  if (stat(name.c_str(), &st) != 0) return false;
  time = FileTimeWord(st.st_mtime);
  return true;
}

}  // namespace

uint32_t ThumbnailBlockCount(uint64_t jpegSize) {
  const uint64_t n = jpegSize / kThumbBlockSize + 3;
  return n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
}

bool ThumbnailBlocksFit(uint64_t jpegSize) {
  return uint64_t{ThumbnailBlockCount(jpegSize)} * 4 <= kThumbBlockSize;
}

struct ThumbnailCache::State {
  std::mutex openMutex;  // held while the cache opens, so that it opens once
  std::mutex mutex;      // the fields below, and the file's lock within this process
  std::string path;
  bool open = false;            // between a successful open and the close
  int fd = -1;                  // -1 also while a damaged file waits to be replaced
  std::vector<Entry> entries;   // as in the entry table, oldest first
  std::vector<uint32_t> slots;  // the first blocks as last read from the table
  std::vector<std::string> messages;

  ~State() { CloseFile(); }

  void CloseFile() {
    if (fd >= 0) close(fd);
    fd = -1;
    entries.clear();
    slots.clear();
  }
};

namespace {

using State = ThumbnailCache::State;

enum class Load { kOk, kDamaged, kNoFile };

// What a read of the file found wrong, for the message that reports it.
struct Damage {
  bool found = false;
  bool nameLength = false;  // a name longer than any this program writes
};

bool ReadRecord(int fd, uint32_t block, RecordHeader& r, std::string* name, Damage& damage) {
  if (block >= kThumbMaxBlocks) return false;
  uint8_t b[kThumbBlockSize];
  if (!ReadAt(fd, BlockAt(block), b, sizeof b)) return false;
  r = {Get32(b),      Get32(b + 4),  Get32(b + 8),  Get32(b + 12), Get32(b + 16),
       Get32(b + 20), Get32(b + 24), Get32(b + 28), Get32(b + 32)};
  if (r.nameLength > kThumbMaxNameLength) {
    damage.nameLength = true;
    return false;
  }
  // The name lies in the record's own block and ends in its zero; the
  // data blocks follow from its size alone.
  if (r.nameLength == 0 || r.nameSkip > kThumbBlockSize ||
      kThumbRecordBytes + r.nameSkip + r.nameLength > kThumbBlockSize)
    return false;
  const uint8_t* text = b + kThumbRecordBytes + r.nameSkip;
  if (text[r.nameLength - 1] != 0 || std::memchr(text, 0, r.nameLength - 1)) return false;
  if (r.listBlock >= kThumbMaxBlocks || r.listBlock == block) return false;
  if (r.dataBlockCount != r.jpegSize / kThumbBlockSize + 1 || !ThumbnailBlocksFit(r.jpegSize))
    return false;
  if (r.width == 0 || r.height == 0 || r.width > 65535 || r.height > 65535) return false;
  if (name) name->assign(reinterpret_cast<const char*>(text), r.nameLength - 1);
  return true;
}

bool ReadBlockList(int fd, const RecordHeader& r, uint32_t firstBlock,
                   std::vector<uint32_t>& blocks) {
  if (!ReadWords(fd, BlockAt(r.listBlock), r.dataBlockCount, blocks)) return false;
  for (uint32_t b : blocks)
    if (b >= kThumbMaxBlocks || b == firstBlock || b == r.listBlock) return false;
  return true;
}

// Every block the thumbnail at `firstBlock` takes, record and list first.
// With `fileSize`, also whether the file holds all of its data.
bool ReadBlocksOf(int fd, uint32_t firstBlock, std::vector<uint32_t>& out, Damage& damage,
                  uint64_t fileSize = 0) {
  RecordHeader r;
  std::vector<uint32_t> data;
  if (!ReadRecord(fd, firstBlock, r, nullptr, damage) || !ReadBlockList(fd, r, firstBlock, data))
    return false;
  if (fileSize > 0 && !data.empty() &&
      BlockAt(data.back()) + (r.jpegSize - (data.size() - 1) * kThumbBlockSize) > fileSize)
    return false;
  for (size_t i = 0; fileSize > 0 && i + 1 < data.size(); ++i)
    if (BlockAt(data[i]) + kThumbBlockSize > fileSize) return false;
  out.push_back(firstBlock);
  out.push_back(r.listBlock);
  out.insert(out.end(), data.begin(), data.end());
  return true;
}

// Whether `blocks` are all different and none is marked in `used`, which
// then marks them.
bool MarkBlocks(const std::vector<uint32_t>& blocks, std::vector<bool>& used) {
  for (uint32_t b : blocks) {
    if (b >= used.size() || used[b]) return false;
    used[b] = true;
  }
  return true;
}

// Brings the in-memory entries up to the file's entry table, which another
// process may have changed: thumbnails go from the front and come at the
// end, so the part kept is the longest tail of the old table that starts
// the new one, and only the entries after it are read. A full load (at
// open) also checks that the free list and the thumbnails share out the
// blocks exactly, which a torn eviction would break.
bool Refresh(State& s, bool full, Damage& damage) {
  CacheHeader h;
  struct stat st;
  if (fstat(s.fd, &st) != 0 || static_cast<uint64_t>(st.st_size) < kThumbNewFileBytes ||
      !ReadHeader(s.fd, h) || !HeaderIsSound(h))
    return false;
  std::vector<uint32_t> slots;
  if (!ReadWords(s.fd, EntrySlotAt(0), h.entryCount, slots)) return false;

  size_t kept = 0, dropped = s.slots.size();
  for (size_t k = 0; k < s.slots.size() && !full; ++k) {
    const size_t n = s.slots.size() - k;
    if (n <= slots.size() &&
        std::equal(s.slots.begin() + static_cast<ptrdiff_t>(k), s.slots.end(), slots.begin())) {
      kept = n;
      dropped = k;
      break;
    }
  }
  std::vector<Entry> entries;
  entries.reserve((slots.size() / 100 + 1) * 100);
  if (kept > 0)
    entries.assign(s.entries.begin() + static_cast<ptrdiff_t>(dropped), s.entries.end());
  for (size_t i = kept; i < slots.size(); ++i) {
    Entry e;
    RecordHeader r;
    if (!ReadRecord(s.fd, slots[i], r, &e.name, damage)) return false;
    e.firstBlock = slots[i];
    e.fileTime = r.fileTime;
    entries.push_back(std::move(e));
  }

  if (full) {
    std::vector<bool> used(kThumbMaxBlocks, false);
    std::vector<uint32_t> free, blocks;
    if (!ReadWords(s.fd, FreeListAt(0), h.freeCount, free) || !MarkBlocks(free, used)) return false;
    size_t total = free.size();
    for (uint32_t first : slots) {
      blocks.clear();
      if (!ReadBlocksOf(s.fd, first, blocks, damage, static_cast<uint64_t>(st.st_size)) ||
          !MarkBlocks(blocks, used))
        return false;
      total += blocks.size();
    }
    if (total != kThumbMaxBlocks) return false;
  }
  s.entries = std::move(entries);
  s.slots = std::move(slots);
  return true;
}

// A fresh cache file at `path`: written whole under a temporary name and
// linked into place, so that no other process ever sees half of it, and
// one made meanwhile by another process is kept.
bool CreateCacheFile(const std::string& path) {
  std::string temp = path + ".new-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  std::vector<uint8_t> bytes(kThumbNewFileBytes, 0);
  const CacheHeader h;
  const uint32_t header[] = {h.reserved,   h.blockSize,        h.freeCount,      h.freeListOffset,
                             h.entryCount, h.entryTableOffset, h.blockAreaOffset};
  PutWords(bytes.data(), header, 7);
  // Taken from the end, the free list hands out blocks 0, 1, 2, ...
  for (uint32_t i = 0; i < kThumbMaxBlocks; ++i)
    Put32(bytes.data() + FreeListAt(i), kThumbMaxBlocks - 1 - i);
  const bool written = fchmod(fd, 0600) == 0 && WriteAt(fd, 0, bytes.data(), bytes.size());
  close(fd);
  const bool linked = written && (link(temp.c_str(), path.c_str()) == 0 || errno == EEXIST);
  unlink(temp.c_str());
  return linked;
}

bool OpenFile(State& s) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    s.fd = open(s.path.c_str(), O_RDWR | O_CLOEXEC);
    if (s.fd >= 0) return true;
    if (errno != ENOENT || !CreateCacheFile(s.path)) return false;
  }
  return false;
}

// Whether the open file is still the one at the path: another process may
// have moved it aside as damaged and made a fresh one.
bool StillAtPath(const State& s) {
  struct stat held, named;
  return fstat(s.fd, &held) == 0 && stat(s.path.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

void NoteDamage(State& s, const Damage& damage) {
  if (damage.nameLength) s.messages.emplace_back(kThumbHeaderMessedUp);
  s.messages.emplace_back(kThumbCacheCorrupt);
}

// Holds the file's lock (and this process's mutex) while the file is
// read or written, after making sure the file is sound and current.
class FileLock {
 public:
  explicit FileLock(State& s) : s_(s), guard_(s.mutex) {}
  ~FileLock() { Unlock(); }

  // Locks the file at the cache's path and reads its table again; a
  // damaged file is moved aside and a fresh one made. false when no sound
  // cache file can be had (the cache is then closed).
  bool Acquire(bool full) {
    for (int attempt = 0; attempt < 4; ++attempt) {
      // A file not seen before is checked whole, whoever made it.
      const bool opened = s_.fd < 0;
      if (opened && !OpenFile(s_)) return false;
      if (flock(s_.fd, LOCK_EX) != 0) break;
      locked_ = true;
      if (!StillAtPath(s_)) {
        Unlock();
        s_.CloseFile();
        continue;
      }
      Damage damage;
      if (Refresh(s_, full || opened, damage)) return true;
      NoteDamage(s_, damage);
      MoveAside();
    }
    Unlock();
    s_.CloseFile();
    return false;
  }

  // Moves the damaged file aside and drops it; the next Acquire makes a
  // fresh one.
  void MoveAside() {
    rename(s_.path.c_str(), (s_.path + ".damaged").c_str());
    Unlock();
    s_.CloseFile();
  }

 private:
  void Unlock() {
    if (locked_ && s_.fd >= 0) flock(s_.fd, LOCK_UN);
    locked_ = false;
  }

  State& s_;
  std::lock_guard<std::mutex> guard_;
  bool locked_ = false;
};

const Entry* FindEntry(const State& s, const std::string& name, uint32_t time) {
  for (const Entry& e : s.entries)
    if (e.name == name && e.fileTime == time) return &e;
  return nullptr;
}

// Frees the min(10, entryCount) oldest thumbnails: their blocks go to the
// end of the free list, their slots leave the front of the entry table.
// The freed numbers and the moved table are written before the header
// that makes them count. false when the file is damaged or cannot be
// written.
bool EvictOldest(State& s, CacheHeader& h, bool& damaged, Damage& damage) {
  const uint32_t count = std::min(h.entryCount, 10u);
  if (count == 0) return true;
  std::vector<uint32_t> free;
  if (!ReadWords(s.fd, FreeListAt(0), h.freeCount, free)) {
    s.messages.emplace_back(kThumbFreeListSeek);
    damaged = true;
    return false;
  }
  std::vector<bool> used(kThumbMaxBlocks, false);
  std::vector<uint32_t> freed;
  if (!MarkBlocks(free, used)) {
    damaged = true;
    return false;
  }
  for (uint32_t i = 0; i < count; ++i)
    if (!ReadBlocksOf(s.fd, s.slots[i], freed, damage)) {
      damaged = true;
      return false;
    }
  if (!MarkBlocks(freed, used) || h.freeCount + freed.size() > kThumbMaxBlocks) {
    damaged = true;
    return false;
  }
  std::vector<uint32_t> rest(s.slots.begin() + count, s.slots.end());
  CacheHeader after = h;
  after.freeCount += static_cast<uint32_t>(freed.size());
  after.entryCount -= count;
  if (!WriteWords(s.fd, FreeListAt(h.freeCount), freed.data(), freed.size()) ||
      !WriteWords(s.fd, EntrySlotAt(0), rest.data(), rest.size()) || !WriteHeader(s.fd, after))
    return false;
  h = after;
  s.slots = std::move(rest);
  s.entries.erase(s.entries.begin(), s.entries.begin() + count);
  return true;
}

}  // namespace

ThumbnailCache::ThumbnailCache() : state_(std::make_unique<State>()) {}
ThumbnailCache::~ThumbnailCache() = default;

namespace {

// Opens the cache at `path`, keeping what there is to say for after the
// locks are let go.
int OpenAt(State& s, const std::string& path, std::vector<std::string>& messages) {
  {
    std::lock_guard<std::mutex> guard(s.mutex);
    s.CloseFile();
    s.open = false;
    s.path = path;
    // The folder holds pictures of the user's files: only its owner reads it.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::exists(folder, error)) {
      std::filesystem::create_directories(folder.parent_path(), error);
      mkdir(folder.c_str(), 0700);
    }
  }
  FileLock lock(s);
  const bool ok = !path.empty() && lock.Acquire(true);
  s.open = ok;
  messages.swap(s.messages);
  return ok ? 0 : -1;
}

}  // namespace

int OpenThumbnailCache(ThumbnailCache& cache, const std::string& path, Shell& shell) {
  State& s = cache.state();
  std::vector<std::string> messages;
  int result;
  {
    std::lock_guard<std::mutex> opening(s.openMutex);
    result = OpenAt(s, path, messages);
  }
  for (const std::string& m : messages)
    shell.Message(m);
  return result;
}

int EnsureThumbnailCacheOpen(ThumbnailCache& cache, const std::string& path, Shell& shell) {
  State& s = cache.state();
  std::vector<std::string> messages;
  int result = 0;
  {
    std::lock_guard<std::mutex> opening(s.openMutex);
    std::string at;
    {
      std::lock_guard<std::mutex> guard(s.mutex);
      if (s.open) return 0;
      at = s.path.empty() ? path : s.path;
    }
    result = OpenAt(s, at, messages);
  }
  for (const std::string& m : messages)
    shell.Message(m);
  return result;
}

bool IsThumbnailCacheOpen(ThumbnailCache& cache) {
  std::lock_guard<std::mutex> guard(cache.state().mutex);
  return cache.state().open;
}

std::string ThumbnailCachePath(ThumbnailCache& cache) {
  std::lock_guard<std::mutex> guard(cache.state().mutex);
  return cache.state().path;
}

int ThumbnailCount(ThumbnailCache& cache) {
  std::lock_guard<std::mutex> guard(cache.state().mutex);
  return static_cast<int>(cache.state().entries.size());
}

bool LookupThumbnail(ThumbnailCache& cache, const std::string& name, Thumbnail& out) {
  State& s = cache.state();
  uint32_t time;
  if (!CurrentFileTime(name, time)) return false;
  std::vector<uint8_t> jpeg;
  RecordHeader r;
  {
    FileLock lock(s);
    if (!s.open || !lock.Acquire(false)) return false;
    const Entry* e = FindEntry(s, name, time);
    if (!e) return false;
    Damage damage;
    std::string recorded;
    std::vector<uint32_t> blocks;
    if (!ReadRecord(s.fd, e->firstBlock, r, &recorded, damage) ||
        !ReadBlockList(s.fd, r, e->firstBlock, blocks)) {
      NoteDamage(s, damage);
      lock.MoveAside();
      return false;
    }
    if (recorded != name || r.fileTime != time) return false;
    jpeg.resize(r.jpegSize);
    for (size_t i = 0; i < blocks.size(); ++i) {
      const size_t at = i * kThumbBlockSize;
      const size_t part = std::min<size_t>(kThumbBlockSize, jpeg.size() - at);
      if (part > 0 && !ReadAt(s.fd, BlockAt(blocks[i]), jpeg.data() + at, part)) {
        NoteDamage(s, damage);
        lock.MoveAside();
        return false;
      }
    }
  }
  // Decoded outside the lock: other threads may read and store meanwhile.
  JpegImage decoder;
  decoder.printMessages = false;
  const uint8_t* rgb = decoder.DecodeMemory(jpeg.data(), jpeg.size());
  if (!rgb || decoder.Width() != static_cast<int>(r.width) ||
      decoder.Height() != static_cast<int>(r.height))
    return false;
  out.width = decoder.Width();
  out.height = decoder.Height();
  out.rgb.assign(rgb, rgb + size_t{r.width} * r.height * 3);
  return true;
}

int StoreThumbnail(ThumbnailCache& cache, const std::string& name, const Thumbnail& picture) {
  State& s = cache.state();
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 65535 ||
      picture.height > 65535 ||
      picture.rgb.size() != size_t(picture.width) * size_t(picture.height) * 3)
    return -1;
  const size_t nameLength = name.size() + 1;
  if (name.find('\0') != std::string::npos || kThumbRecordBytes + nameLength > kThumbBlockSize)
    return -1;
  uint32_t time;
  if (!CurrentFileTime(name, time)) return -1;

  // Compressed outside the lock: the slow part, which threads share out.
  JpegImage encoder;
  encoder.printMessages = false;
  encoder.quality = kThumbJpegQuality;
  const uint8_t* jpeg = encoder.EncodeMemory(picture.rgb.data(), picture.width, picture.height);
  if (!jpeg) return -1;
  const size_t size = encoder.CompressedSize();
  if (!ThumbnailBlocksFit(size)) return -1;
  const uint32_t n = ThumbnailBlockCount(size);

  FileLock lock(s);
  if (!s.open || !lock.Acquire(false)) return -1;
  if (FindEntry(s, name, time)) return 0;
  CacheHeader h;
  if (!ReadHeader(s.fd, h)) return -1;
  if (h.freeCount < n) {
    bool damaged = false;
    Damage damage;
    if (!EvictOldest(s, h, damaged, damage)) {
      if (damaged) {
        NoteDamage(s, damage);
        lock.MoveAside();
      }
      return -1;
    }
    if (h.freeCount < n) return -1;
  }
  if (h.entryCount >= kThumbMaxEntries) return -1;

  std::vector<uint32_t> taken;
  if (!ReadWords(s.fd, FreeListAt(h.freeCount - n), n, taken)) return -1;
  std::sort(taken.begin(), taken.end());
  if (taken.back() >= kThumbMaxBlocks ||
      std::adjacent_find(taken.begin(), taken.end()) != taken.end()) {
    NoteDamage(s, {});
    lock.MoveAside();
    return -1;
  }

  // The blocks first, then the table slot, the header last: until the
  // header counts them, the blocks are free and the slot unused, so a
  // failed write leaves the cache as it was.
  RecordHeader r;
  r.fileTime = time;
  r.nameLength = static_cast<uint32_t>(nameLength);
  r.dataBlockCount = n - 2;
  r.listBlock = taken[1];
  r.jpegSize = static_cast<uint32_t>(size);
  r.width = static_cast<uint32_t>(picture.width);
  r.height = static_cast<uint32_t>(picture.height);
  uint8_t block[kThumbBlockSize] = {};
  PutRecord(block, r);
  std::memcpy(block + kThumbRecordBytes, name.c_str(), nameLength);
  bool written = WriteAt(s.fd, BlockAt(taken[0]), block, sizeof block) &&
                 WriteWords(s.fd, BlockAt(taken[1]), taken.data() + 2, n - 2);
  for (uint32_t i = 0; written && i < n - 2; ++i) {
    const size_t at = size_t{i} * kThumbBlockSize;
    written = WriteAt(s.fd, BlockAt(taken[i + 2]), jpeg + at,
                      std::min<size_t>(kThumbBlockSize, size - at));
  }
  CacheHeader after = h;
  after.freeCount -= n;
  after.entryCount += 1;
  if (!written || !WriteWords(s.fd, EntrySlotAt(h.entryCount), taken.data(), 1) ||
      !WriteHeader(s.fd, after))
    return -1;
  s.slots.push_back(taken[0]);
  s.entries.push_back({name, taken[0], time});
  return 0;
}

void CloseThumbnailCache(ThumbnailCache& cache) {
  State& s = cache.state();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.CloseFile();
  s.open = false;
}

std::vector<std::string> TakeThumbnailCacheMessages(ThumbnailCache& cache) {
  State& s = cache.state();
  std::lock_guard<std::mutex> guard(s.mutex);
  std::vector<std::string> messages;
  messages.swap(s.messages);
  return messages;
}

}  // namespace modra
