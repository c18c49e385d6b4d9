#include "formats/gltf_picture_views.h"

#include <cstring>
#include <nlohmann/json.hpp>
#include <string_view>

namespace modra {
namespace {

bool Unsigned(const nlohmann::json& object, const char* key, uint64_t& out) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_number_unsigned()) return false;
  out = it->get<uint64_t>();
  return true;
}

// The JSON of a .glb (its first chunk), or the bytes themselves.
std::string_view JsonText(std::span<const uint8_t> bytes) {
  const auto* text = reinterpret_cast<const char*>(bytes.data());
  if (bytes.size() < 4 || std::memcmp(text, "glTF", 4) != 0) return {text, bytes.size()};
  if (bytes.size() < 20) return {};
  const uint32_t length = uint32_t{bytes[12]} | uint32_t{bytes[13]} << 8 |
                          uint32_t{bytes[14]} << 16 | uint32_t{bytes[15]} << 24;
  if (length > bytes.size() - 20) return {};
  return {text + 20, length};
}

}  // namespace

bool GltfPictureViewsInside(std::span<const uint8_t> bytes) {
  const std::string_view text = JsonText(bytes);
  // Most files keep no picture in a view: they are not parsed twice.
  if (text.find("\"bufferView\"") == std::string_view::npos ||
      text.find("\"images\"") == std::string_view::npos)
    return true;
  const nlohmann::json root = nlohmann::json::parse(text, nullptr, false);
  if (!root.is_object()) return true;
  const auto images = root.find("images");
  if (images == root.end() || !images->is_array()) return true;
  const auto views = root.find("bufferViews");
  const auto buffers = root.find("buffers");
  for (const nlohmann::json& image : *images) {
    if (!image.is_object() || !image.contains("bufferView")) continue;
    uint64_t v = 0, b = 0, offset = 0, length = 0, size = 0;
    if (!Unsigned(image, "bufferView", v) || views == root.end() || !views->is_array() ||
        v >= views->size())
      return false;
    const nlohmann::json& view = (*views)[v];
    if (!view.is_object() || !Unsigned(view, "buffer", b) || buffers == root.end() ||
        !buffers->is_array() || b >= buffers->size() || !Unsigned(view, "byteLength", length))
      return false;
    if (view.contains("byteOffset") && !Unsigned(view, "byteOffset", offset)) return false;
    const nlohmann::json& buffer = (*buffers)[b];
    // tinygltf's buffer holds exactly its byteLength, and it takes the
    // view's first byte even for an empty view
    if (!buffer.is_object() || !Unsigned(buffer, "byteLength", size) || offset >= size ||
        length > size - offset)
      return false;
  }
  return true;
}

}  // namespace modra
