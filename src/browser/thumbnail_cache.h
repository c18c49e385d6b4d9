// The thumbnail cache: one file of fixed-size blocks that keeps the small
// JPEG pictures of the texture browser, so that a folder opens fast the
// second time.
//
// Layout (all integers 32-bit little-endian):
//   header (28 bytes): reserved, blockSize, freeCount, freeListOffset,
//     entryCount, entryTableOffset, blockAreaOffset; offsets count from the
//     end of the header.
//   free list: kThumbMaxBlocks block numbers, the first freeCount free.
//   entry table: kThumbMaxEntries slots, the first entryCount hold the
//     first block of each thumbnail, oldest first.
//   blocks: a thumbnail of S JPEG bytes takes S / blockSize + 3 of them:
//     the record header and name, the list of data blocks, the data.
//
// Several threads may use one ThumbnailCache, and several processes one
// file: every update happens under an advisory lock on the file, after the
// header and entry table were read again, and writes the header last, so
// that a write that fails leaves the previous cache as it was. A damaged
// file is moved aside (to <path>.damaged) and a fresh one takes its place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/shell.h"

namespace modra {

// A picture: width x height RGB, 3 bytes a pixel, rows top first, packed.
struct Thumbnail {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

inline constexpr uint32_t kThumbBlockSize = 1024;
inline constexpr uint32_t kThumbMaxBlocks = 20000;
inline constexpr uint32_t kThumbMaxEntries = 20000;
inline constexpr uint32_t kThumbHeaderBytes = 28;
inline constexpr uint32_t kThumbRecordBytes = 36;
inline constexpr uint32_t kThumbMaxNameLength = 1024;  // with its terminating zero
inline constexpr int kThumbJpegQuality = 65;
// Where the blocks start in a file this program made, counted from the
// end of the header.
inline constexpr uint32_t kThumbEntryTableOffset = kThumbMaxBlocks * 4;
inline constexpr uint32_t kThumbBlockAreaOffset = kThumbEntryTableOffset + kThumbMaxEntries * 4;
// The length of a freshly made cache file.
inline constexpr uint64_t kThumbNewFileBytes = kThumbHeaderBytes + kThumbBlockAreaOffset;

inline constexpr char kThumbCacheCorrupt[] = "Thumbnail image cache is corrupt or out of memory";
inline constexpr char kThumbHeaderMessedUp[] = "thumb_img_header is messed up";
inline constexpr char kThumbFreeListSeek[] = "fseek Failed: read from free list";

// Blocks a thumbnail of `jpegSize` compressed bytes takes, and whether that
// many can be cached at all (their numbers must fit in one block).
uint32_t ThumbnailBlockCount(uint64_t jpegSize);
bool ThumbnailBlocksFit(uint64_t jpegSize);

// The open cache: its file, block size and the entries read from it.
// Thread-safe; not copyable. Closed by CloseThumbnailCache or its end.
class ThumbnailCache {
 public:
  ThumbnailCache();
  ~ThumbnailCache();
  ThumbnailCache(const ThumbnailCache&) = delete;
  ThumbnailCache& operator=(const ThumbnailCache&) = delete;

  struct State;  // thumbnail_cache.cpp
  State& state() { return *state_; }

 private:
  std::unique_ptr<State> state_;
};

// Opens the cache file at `path`, making it (and its folder, 0700; the
// file 0600) when missing. A damaged file is reported on `shell`, moved
// aside and replaced by a fresh one. 0, or -1 when no cache file can be
// opened or made there.
int OpenThumbnailCache(ThumbnailCache& cache, const std::string& path, Shell& shell);
// Opens the cache unless it is open: at the path it was last opened with,
// else at `path`. Safe to call from several threads at once.
int EnsureThumbnailCacheOpen(ThumbnailCache& cache, const std::string& path, Shell& shell);
bool IsThumbnailCacheOpen(ThumbnailCache& cache);
// The path the cache was last opened with ("" before the first open).
std::string ThumbnailCachePath(ThumbnailCache& cache);
// How many thumbnails the cache holds, as last read from its file.
int ThumbnailCount(ThumbnailCache& cache);

// The thumbnail of the file `name` when the cache holds one made from the
// file as it is now (same name, same modification time): true and `out`
// filled, else false and `out` left alone.
bool LookupThumbnail(ThumbnailCache& cache, const std::string& name, Thumbnail& out);

// Stores `picture` as the thumbnail of the file `name` as it is now,
// evicting the ten oldest thumbnails when the blocks run out. 0 (also
// when an up-to-date thumbnail of `name` is there already), or -1 when
// nothing was stored: the cache is not open, the picture is empty, the
// file cannot be looked at, the name does not fit in a block, the JPEG
// data needs more than 256 blocks, or the file cannot be written.
int StoreThumbnail(ThumbnailCache& cache, const std::string& name, const Thumbnail& picture);

void CloseThumbnailCache(ThumbnailCache& cache);

// Messages about damage found by LookupThumbnail or StoreThumbnail, which
// have no shell to say them on: taken out of the cache to be shown by
// whoever holds one (GetThumbnail does this). Never shown under a lock.
std::vector<std::string> TakeThumbnailCacheMessages(ThumbnailCache& cache);

}  // namespace modra
