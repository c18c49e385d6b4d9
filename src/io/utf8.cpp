#include "io/utf8.h"

namespace modra {
namespace {

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

}  // namespace

Utf8Char DecodeUtf8Char(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const Utf8Char bad{lead, 1, false};
  if (lead < 0x80) return {lead, 1, true};
  size_t length;
  char32_t cp;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
  } else {
    return bad;  // a continuation byte, or a lead that only starts overlong or too large forms
  }
  if (bytes.size() < length) return bad;
  for (size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (!IsContinuation(b)) return bad;
    cp = (cp << 6) | (b & 0x3F);
  }
  const char32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  if (cp < shortest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return bad;
  return {cp, length, true};
}

std::string DisplayText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const Utf8Char c = DecodeUtf8Char(bytes);
    if (c.valid) {
      out.append(bytes.substr(0, c.length));
    } else {
      out += static_cast<char>(0xC0 | (c.codePoint >> 6));
      out += static_cast<char>(0x80 | (c.codePoint & 0x3F));
    }
    bytes.remove_prefix(c.length);
  }
  return out;
}

}  // namespace modra
