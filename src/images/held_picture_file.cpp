#include "images/held_picture_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "io/file_bytes.h"
#include "io/output_file.h"

namespace modra {

namespace {

constexpr int kMaxNames = 99;

// true when the file at `path` holds exactly `bytes`.
bool Holds(const std::string& path, std::span<const uint8_t> bytes) {
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) != bytes.size() || ec) return false;
  FileBytes file;
  return ReadWholeFile(path, file) == 0 && std::ranges::equal(file.span(), bytes);
}

}  // namespace

std::string WriteHeldPicture(const TextureEntry& entry, std::string_view folder,
                             std::string& error) {
  const std::span<const uint8_t> bytes =
      entry.held ? std::span<const uint8_t>(*entry.held) : std::span<const uint8_t>();
  const std::string base(BaseName(entry.path));
  const size_t dot = base.rfind('.');
  const std::string stem = base.substr(0, dot);
  const std::string ending = dot == std::string::npos ? std::string() : base.substr(dot);
  const std::string at = folder.empty() ? std::string() : std::string(folder) + "/";
  for (int n = 1; n <= kMaxNames; ++n) {
    const std::string name = n == 1 ? base : stem + " (" + std::to_string(n) + ")" + ending;
    const std::string path = at + name;
    std::error_code ec;
    const auto there = std::filesystem::symlink_status(path, ec);
    if (there.type() == std::filesystem::file_type::none) {
      error = path + ": " + ec.message();
      return {};
    }
    if (there.type() != std::filesystem::file_type::not_found) {
      if (Holds(path, bytes)) return name;
      continue;
    }
    OutputFile out;
    if (out.Open(path) && out.Write(bytes.data(), bytes.size()) && out.Commit()) return name;
    error = out.error();
    return {};
  }
  error = at + base + ": " + std::to_string(kMaxNames) + " files of that name are there already";
  return {};
}

}  // namespace modra
