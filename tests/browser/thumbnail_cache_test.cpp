// The thumbnail cache file: its layout as made and as filled, eviction,
// refusal of damaged files, and sharing by processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "browser/thumbs_test_util.h"
#include "images/jpeg.h"

namespace modra {
namespace {

using thumbtest::CacheFile;
using thumbtest::ReadCacheFile;
using thumbtest::Solid;
using thumbtest::Touch;

std::vector<std::string> Corrupt() {
  return {kThumbCacheCorrupt};
}

TEST(ThumbnailCache, NewFileHasTheLayoutOfAnEmptyCache) {
  test::TempDir dir;
  const std::string path = dir / "cache/modra/ThumbNails.bin";
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_EQ(std::filesystem::file_size(path), 28u + 80000 + 80000);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(stat((dir / "cache/modra").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  const CacheFile f = ReadCacheFile(path);
  const uint32_t header[7] = {0, 1024, 20000, 0, 0, 80000, 160000};
  EXPECT_TRUE(std::equal(header, header + 7, f.header));
  ASSERT_EQ(f.freeList.size(), 20000u);
  for (uint32_t i = 0; i < 20000; ++i)
    ASSERT_EQ(f.freeList[i], 19999 - i);
  const test::Bytes bytes = test::ReadBytes(path);
  EXPECT_TRUE(std::all_of(bytes.begin() + 80028, bytes.end(), [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(ThumbnailCount(cache), 0);
  CloseThumbnailCache(cache);
  EXPECT_FALSE(IsThumbnailCacheOpen(cache));

  // A folder that cannot be made gives no cache.
  test::WriteText(dir / "file", "");
  EXPECT_EQ(OpenThumbnailCache(cache, dir / "file/ThumbNails.bin", shell), -1);
  EXPECT_EQ(StoreThumbnail(cache, path, Solid(2, 2, 1, 2, 3)), -1);
}

TEST(ThumbnailCache, FirstThumbnailTakesTheFirstBlocksInOrder) {
  test::TempDir dir;
  const std::string path = dir / "ThumbNails.bin", picture = Touch(dir / "p.ppm", 1234567);
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  // Noise of 60 x 60 compresses to a few kilobytes: several data blocks.
  const Thumbnail noise = thumbtest::Noise(60, 60, 7);
  ASSERT_EQ(StoreThumbnail(cache, picture, noise), 0);

  JpegImage jpeg;
  jpeg.quality = 65;
  ASSERT_NE(jpeg.EncodeMemory(noise.rgb.data(), 60, 60), nullptr);
  const uint32_t size = static_cast<uint32_t>(jpeg.CompressedSize());
  const uint32_t n = size / 1024 + 3;
  ASSERT_GT(n, 4u);

  const CacheFile f = ReadCacheFile(path);
  EXPECT_EQ(f.freeCount(), 20000 - n);
  ASSERT_EQ(f.entryCount(), 1u);
  EXPECT_EQ(f.slots[0], 0u);
  const thumbtest::Record& r = f.records[0];
  EXPECT_EQ(r.fileTime, 1234567u);
  EXPECT_EQ(r.name, picture);
  EXPECT_EQ(r.nameLength, picture.size() + 1);
  EXPECT_EQ(r.nameSkip, 0u);
  EXPECT_EQ(r.listBlock, 1u);
  EXPECT_EQ(r.dataBlockCount, n - 2);
  for (uint32_t i = 0; i < n - 2; ++i)
    EXPECT_EQ(r.dataBlocks[i], i + 2);
  EXPECT_EQ(r.jpegSize, size);
  EXPECT_EQ(r.width, 60u);
  EXPECT_EQ(r.height, 60u);
  EXPECT_TRUE(
      std::equal(r.jpeg.begin(), r.jpeg.end(), jpeg.EncodeMemory(noise.rgb.data(), 60, 60)));

  // The second one follows on; both come back from a reopened cache.
  const std::string second = Touch(dir / "q.ppm", 99);
  ASSERT_EQ(StoreThumbnail(cache, second, Solid(30, 20, 200, 100, 50)), 0);
  EXPECT_EQ(ReadCacheFile(path).slots, (std::vector<uint32_t>{0, n}));
  ThumbnailCache again;
  ASSERT_EQ(OpenThumbnailCache(again, path, shell), 0);
  EXPECT_EQ(ThumbnailCount(again), 2);
  Thumbnail out;
  ASSERT_TRUE(LookupThumbnail(again, second, out));
  EXPECT_TRUE(thumbtest::Near(out, Solid(30, 20, 200, 100, 50), 3));
  ASSERT_TRUE(LookupThumbnail(again, picture, out));
  EXPECT_EQ(out.width, 60);
  EXPECT_FALSE(LookupThumbnail(again, dir / "none.ppm", out));
  EXPECT_TRUE(shell.messages.empty());

  // Storing what is there already adds nothing; nothing empty is stored,
  // nor a name that does not fit in the record's block.
  EXPECT_EQ(StoreThumbnail(again, second, Solid(30, 20, 0, 0, 0)), 0);
  EXPECT_EQ(StoreThumbnail(again, second, Thumbnail{}), -1);
  EXPECT_EQ(StoreThumbnail(again, second, Thumbnail{0, 5, {}}), -1);
  std::string folder = dir.path.string();
  while (folder.size() < 1000)
    folder += "/" + std::string(200, 'a');
  std::filesystem::create_directories(folder);
  EXPECT_EQ(StoreThumbnail(again, Touch(folder + "/p.ppm", 5), Solid(3, 3, 0, 0, 0)), -1);
  EXPECT_EQ(StoreThumbnail(again, dir / "missing.ppm", Solid(3, 3, 0, 0, 0)), -1);
  EXPECT_EQ(ReadCacheFile(path).entryCount(), 2u);
}

TEST(ThumbnailCache, ChangedPictureGetsANewEntryAndTheOldOneStays) {
  test::TempDir dir;
  const std::string path = dir / "ThumbNails.bin", picture = Touch(dir / "p.bmp", 1000);
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  ASSERT_EQ(StoreThumbnail(cache, picture, Solid(8, 8, 255, 0, 0)), 0);
  Thumbnail out;
  ASSERT_TRUE(LookupThumbnail(cache, picture, out));

  Touch(picture, 2000);
  EXPECT_FALSE(LookupThumbnail(cache, picture, out));
  ASSERT_EQ(StoreThumbnail(cache, picture, Solid(8, 8, 0, 0, 255)), 0);
  ASSERT_TRUE(LookupThumbnail(cache, picture, out));
  EXPECT_TRUE(thumbtest::Near(out, Solid(8, 8, 0, 0, 255), 3));
  const CacheFile f = ReadCacheFile(path);
  ASSERT_EQ(f.records.size(), 2u);
  EXPECT_EQ(f.records[0].fileTime, 1000u);
  EXPECT_EQ(f.records[1].fileTime, 2000u);

  // The picture put back as it was finds its first thumbnail again.
  Touch(picture, 1000);
  ThumbnailCache again;
  ASSERT_EQ(OpenThumbnailCache(again, path, shell), 0);
  ASSERT_TRUE(LookupThumbnail(again, picture, out));
  EXPECT_TRUE(thumbtest::Near(out, Solid(8, 8, 255, 0, 0), 3));
  // Times before 1970 are kept as 0.
  Touch(picture, -50);
  ASSERT_EQ(StoreThumbnail(again, picture, Solid(8, 8, 0, 255, 0)), 0);
  EXPECT_EQ(ReadCacheFile(path).records.back().fileTime, 0u);
  EXPECT_TRUE(shell.messages.empty());
}

TEST(ThumbnailCache, FullCacheEvictsTheTenOldestAndHugeThumbnailsAreNotStored) {
  test::TempDir dir;
  const std::string path = dir / "ThumbNails.bin";
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);

  // More than 256 blocks: refused, the file untouched.
  const std::string huge = Touch(dir / "huge.ppm", 10);
  const test::Bytes before = test::ReadBytes(path);
  EXPECT_EQ(StoreThumbnail(cache, huge, thumbtest::Noise(800, 800, 1)), -1);
  EXPECT_EQ(test::ReadBytes(path), before);

  // Big thumbnails, then small ones of 3, 4 and 5 blocks, until every one
  // of the 20000 blocks is in use.
  const Thumbnail big = thumbtest::Noise(650, 650, 2), small = Solid(4, 4, 9, 9, 9);
  const Thumbnail four = thumbtest::Noise(40, 40, 2), five = thumbtest::Noise(60, 60, 2);
  int stored = 0;
  std::vector<std::string> names;
  auto store = [&](const Thumbnail& t, uint32_t blocks) {
    names.push_back(Touch(dir / ("p" + std::to_string(stored) + ".jpg"), 100 + stored));
    ++stored;
    const uint32_t free = thumbtest::FreeCount(path);
    return StoreThumbnail(cache, names.back(), t) == 0 &&
           (blocks == 0 || thumbtest::FreeCount(path) == free - blocks);
  };
  ASSERT_TRUE(store(big, 0));
  const uint32_t bigBlocks = 20000 - thumbtest::FreeCount(path);
  ASSERT_GT(bigBlocks, 100u);
  ASSERT_LE(bigBlocks, 256u);
  while (thumbtest::FreeCount(path) >= bigBlocks + 5)
    ASSERT_TRUE(store(big, bigBlocks));
  while (thumbtest::FreeCount(path) >= 8)
    ASSERT_TRUE(store(small, 3));
  const uint32_t rest = thumbtest::FreeCount(path);
  ASSERT_TRUE(rest == 6   ? store(small, 3) && store(small, 3)
              : rest == 7 ? store(four, 4) && store(small, 3)
                          : store(five, 5));
  ASSERT_EQ(thumbtest::FreeCount(path), 0u);
  const CacheFile full = ReadCacheFile(path);
  ASSERT_EQ(full.entryCount(), uint32_t(stored));

  // One more takes the blocks of the ten oldest.
  ASSERT_TRUE(store(big, 0));
  const CacheFile after = ReadCacheFile(path);
  ASSERT_EQ(after.entryCount(), full.entryCount() - 10 + 1);
  EXPECT_TRUE(std::equal(full.slots.begin() + 10, full.slots.end(), after.slots.begin()));
  EXPECT_EQ(after.freeCount(), full.freeCount() + 10 * bigBlocks - bigBlocks);
  // Every block is either free or one thumbnail's, once.
  std::vector<int> uses(20000, 0);
  for (uint32_t b : after.freeList)
    ++uses.at(b);
  for (const thumbtest::Record& r : after.records) {
    ++uses.at(r.listBlock);
    for (uint32_t b : r.dataBlocks)
      ++uses.at(b);
  }
  for (uint32_t b : after.slots)
    ++uses.at(b);
  EXPECT_TRUE(std::all_of(uses.begin(), uses.end(), [](int u) { return u == 1; }));

  Thumbnail out;
  for (int i = 0; i < stored; ++i)
    EXPECT_EQ(LookupThumbnail(cache, names[size_t(i)], out), i >= 10) << i;
  ThumbnailCache again;
  ASSERT_EQ(OpenThumbnailCache(again, path, shell), 0);
  EXPECT_EQ(ThumbnailCount(again), stored - 10);
  EXPECT_TRUE(shell.messages.empty());
}

// Opens `bytes` as a cache file; true when it was refused as damaged, moved
// aside and replaced by an empty cache. Otherwise it must have opened with
// its one thumbnail, and a lookup of `name` gives that or nothing.
bool RefusedAsDamaged(const test::TempDir& dir, const test::Bytes& bytes, const std::string& name,
                      const Thumbnail& expected, std::vector<std::string>* messages) {
  const std::string path = dir / "ThumbNails.bin", aside = path + ".damaged";
  std::filesystem::remove(aside);
  test::WriteBytes(path, bytes);
  ThumbnailCache cache;
  RecordingShell shell;
  EXPECT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  *messages = shell.messages;
  if (!shell.messages.empty()) {
    EXPECT_EQ(thumbtest::ReadFile(aside), bytes);
    EXPECT_EQ(std::filesystem::file_size(path), kThumbNewFileBytes);
    EXPECT_EQ(ThumbnailCount(cache), 0);
    return true;
  }
  EXPECT_FALSE(std::filesystem::exists(aside));
  EXPECT_EQ(ThumbnailCount(cache), 1);
  Thumbnail out;
  if (LookupThumbnail(cache, name, out)) {
    EXPECT_TRUE(thumbtest::Near(out, expected, 3));
  }
  return false;
}

TEST(ThumbnailCache, DamagedHeaderOrRecordIsReportedMovedAsideAndRebuilt) {
  test::TempDir dir;
  const std::string path = dir / "ThumbNails.bin", picture = Touch(dir / "p.gif", 77);
  const Thumbnail solid = Solid(6, 5, 10, 200, 30);
  test::Bytes good;
  {
    ThumbnailCache cache;
    RecordingShell shell;
    ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
    ASSERT_EQ(StoreThumbnail(cache, picture, solid), 0);
    good = thumbtest::ReadFile(path);
  }
  std::vector<std::string> messages;
  // Header: all but the reserved word matters.
  for (size_t at = 0; at < 28; ++at) {
    test::Bytes bad = good;
    bad[at] ^= 0xff;
    EXPECT_EQ(RefusedAsDamaged(dir, bad, picture, solid, &messages), at >= 4) << at;
    if (at >= 4) {
      EXPECT_EQ(messages, Corrupt()) << at;
    }
  }
  // Record and name: a bad length, skip, count, list or size is damage;
  // a changed time or name makes a thumbnail nobody asks for.
  const size_t record = thumbtest::BlockAt(0);
  for (size_t at = record; at < record + 36 + picture.size() + 1; ++at) {
    test::Bytes bad = good;
    bad[at] ^= 0xff;
    const size_t field = (at - record) / 4;
    const bool refused = RefusedAsDamaged(dir, bad, picture, solid, &messages);
    if (field >= 2 && field <= 5) {
      EXPECT_TRUE(refused) << at;
    }
    if (field == 2 && at > record + 8) {
      EXPECT_EQ(messages, (std::vector<std::string>{kThumbHeaderMessedUp, kThumbCacheCorrupt}));
    } else if (refused) {
      EXPECT_EQ(messages, Corrupt()) << at;
    }
  }
  // Table slot, block list and a short file.
  struct Case {
    size_t at;
    uint32_t value;
  };
  for (const Case& c : {Case{28 + 80000, 20000}, Case{thumbtest::BlockAt(1), 19999},
                        Case{thumbtest::BlockAt(1), 0}, Case{28, 0}}) {
    test::Bytes bad = good;
    thumbtest::SetWord(bad, c.at, c.value);
    EXPECT_TRUE(RefusedAsDamaged(dir, bad, picture, solid, &messages)) << c.at;
  }
  for (size_t size : {size_t{0}, size_t{27}, size_t{100000}, good.size() - 1}) {
    EXPECT_TRUE(RefusedAsDamaged(dir, test::Bytes(good.begin(), good.begin() + long(size)), picture,
                                 solid, &messages))
        << size;
    EXPECT_EQ(messages, Corrupt());
  }
  // A count from the file never sizes memory before it is checked.
  test::Bytes bad = good;
  thumbtest::SetWord(bad, 16, 0xffffffff);
  EXPECT_TRUE(RefusedAsDamaged(dir, bad, picture, solid, &messages));
}

TEST(ThumbnailCache, DamageFoundWhileOpenIsReportedLaterAndRebuilt) {
  test::TempDir dir;
  const std::string path = dir / "ThumbNails.bin", picture = Touch(dir / "p.ppm", 5);
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  ASSERT_EQ(StoreThumbnail(cache, picture, Solid(3, 3, 1, 1, 1)), 0);
  // Another program writes over the header of the open file.
  test::Bytes bytes = test::ReadBytes(path);
  thumbtest::SetWord(bytes, 4, 512);
  test::WriteBytes(path, bytes);
  Thumbnail out;
  EXPECT_FALSE(LookupThumbnail(cache, picture, out));
  EXPECT_EQ(TakeThumbnailCacheMessages(cache), Corrupt());
  EXPECT_TRUE(TakeThumbnailCacheMessages(cache).empty());
  EXPECT_EQ(test::ReadBytes(path + ".damaged"), bytes);
  ASSERT_EQ(StoreThumbnail(cache, picture, Solid(3, 3, 1, 1, 1)), 0);
  EXPECT_EQ(ReadCacheFile(path).entryCount(), 1u);
  EXPECT_TRUE(LookupThumbnail(cache, picture, out));
}

TEST(ThumbnailCache, FailedWriteLeavesThePreviousCacheReadable) {
  test::TempDir dir;
  const std::string path = dir / "ThumbNails.bin", first = Touch(dir / "a.ppm", 1);
  const std::string second = Touch(dir / "b.ppm", 2);
  {
    ThumbnailCache cache;
    RecordingShell shell;
    ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
    ASSERT_EQ(StoreThumbnail(cache, first, Solid(4, 4, 50, 60, 70)), 0);
  }
  const test::Bytes before = test::ReadBytes(path);
  // A child whose files may not grow: the data blocks, past the end of
  // the file, cannot be written.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{before.size(), before.size()};
    setrlimit(RLIMIT_FSIZE, &limit);
    ThumbnailCache cache;
    QuietShell shell;
    const bool opened = OpenThumbnailCache(cache, path, shell) == 0;
    _exit(opened && StoreThumbnail(cache, second, thumbtest::Noise(60, 60, 3)) == -1 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const test::Bytes after = test::ReadBytes(path);
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 160028, after.begin()));
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  EXPECT_TRUE(shell.messages.empty());
  Thumbnail out;
  EXPECT_TRUE(LookupThumbnail(cache, first, out));
  EXPECT_FALSE(LookupThumbnail(cache, second, out));
}

TEST(ThumbnailCache, TwoProcessesStoringAtOnceLeaveEveryThumbnail) {
  test::TempDir dir;
  const std::string path = dir / "ThumbNails.bin";
  std::vector<std::string> names;
  for (int i = 0; i < 400; ++i)
    names.push_back(Touch(dir / ("t" + std::to_string(i) + ".bmp"), 1000 + i));
  {
    ThumbnailCache cache;
    QuietShell shell;
    ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  }
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      ThumbnailCache cache;
      QuietShell shell;
      int failures = OpenThumbnailCache(cache, path, shell) != 0;
      for (int i = c; i < 400; i += 2)
        failures += StoreThumbnail(cache, names[size_t(i)], Solid(2, 2, uint8_t(i), 0, 0)) != 0;
      _exit(failures == 0 ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ThumbnailCache cache;
  RecordingShell shell;
  ASSERT_EQ(OpenThumbnailCache(cache, path, shell), 0);
  EXPECT_TRUE(shell.messages.empty());
  EXPECT_EQ(ThumbnailCount(cache), 400);
  EXPECT_EQ(ReadCacheFile(path).freeCount(), 20000u - 400 * 3);
  Thumbnail out;
  for (int i = 0; i < 400; ++i) {
    ASSERT_TRUE(LookupThumbnail(cache, names[size_t(i)], out)) << i;
    EXPECT_NEAR(out.rgb[0], i % 256, 3) << i;
  }
}

}  // namespace
}  // namespace modra
