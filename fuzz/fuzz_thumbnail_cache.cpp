// The thumbnail cache file: opened (checked whole), looked up in, stored
// into, with eviction when the input says the blocks are used up. The
// pictures it names are files of a folder of this process, so that a seed
// made by the cache itself (a run's ThumbNails.bin) finds its entries.
#include <sys/time.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "browser/thumbnail_cache.h"
#include "fuzz_files.h"

namespace {

constexpr int kPictures = 4;

std::string PictureName(int i) {
  return "p" + std::to_string(i) + ".ppm";
}

const std::string& Folder() {
  static const std::string folder = [] {
    std::string made = modra::fuzz::MakeFolder("thumbs");
    if (chdir(made.c_str()) != 0) __builtin_trap();
    for (int i = 0; i < kPictures; ++i) {
      std::FILE* f = std::fopen(PictureName(i).c_str(), "wb");
      if (!f) __builtin_trap();
      std::fclose(f);
      const timeval times[2] = {{1000 + i, 0}, {1000 + i, 0}};
      utimes(PictureName(i).c_str(), times);
    }
    return made;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = Folder() + "/ThumbNails.bin";
  std::remove((path + ".damaged").c_str());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) __builtin_trap();
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);

  modra::ThumbnailCache cache;
  modra::QuietShell shell;
  if (modra::OpenThumbnailCache(cache, path, shell) != 0) return 0;
  modra::Thumbnail out;
  uint32_t sum = 0;
  for (int i = 0; i < kPictures; ++i)
    if (modra::LookupThumbnail(cache, PictureName(i), out))
      for (uint8_t v : out.rgb)
        sum += v;
  asm volatile("" : : "r"(sum));  // keep the reads
  modra::Thumbnail picture{4, 4, std::vector<uint8_t>(48, 0x80)};
  for (int i = 0; i < kPictures; ++i)
    modra::StoreThumbnail(cache, PictureName(i), picture);
  modra::CloseThumbnailCache(cache);
  return 0;
}
