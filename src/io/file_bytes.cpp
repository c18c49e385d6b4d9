#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "io/byte_reader.h"

namespace modra {

bool ReadWholeFile(const std::string& path, FileBytes& out) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!f) return false;
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
  long size = std::ftell(f.get());
  if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return false;
  // Left uninitialised: the read fills it, and large files load faster.
  out.data.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size) + 1]);
  if (!out.data) return false;
  out.size = static_cast<size_t>(size);
  return std::fread(out.data.get(), 1, out.size, f.get()) == out.size;
}

}  // namespace modra
