// Reading binary data held in memory, with every read bounds-checked: a
// read past the end fails (and keeps failing) instead of touching memory
// it does not own. Multi-byte values are little-endian, or big-endian when
// `swap` is set.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace modra {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteReader(std::span<const uint8_t> bytes) : ByteReader(bytes.data(), bytes.size()) {}

  bool swap = false;

  size_t pos() const { return pos_; }
  size_t size() const { return size_; }
  size_t remaining() const { return size_ - pos_; }
  bool ok() const { return ok_; }
  // Makes every later read fail.
  void Fail() { ok_ = false; }

  bool Seek(size_t at) {
    if (!ok_ || at > size_) return ok_ = false;
    pos_ = at;
    return true;
  }
  bool Skip(size_t n) { return n <= remaining() ? Seek(pos_ + n) : (ok_ = false); }
  const uint8_t* Take(size_t n) {
    if (!ok_ || n > remaining()) {
      ok_ = false;
      return nullptr;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }
  bool Bytes(void* out, size_t n) {
    const uint8_t* p = Take(n);
    if (p && n > 0) std::memcpy(out, p, n);
    return p != nullptr;
  }

  uint32_t U32() {
    uint32_t v = 0;
    if (!Bytes(&v, 4)) return 0;
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return swap ? __builtin_bswap32(v) : v;
  }
  uint16_t U16() {
    uint16_t v = 0;
    if (!Bytes(&v, 2)) return 0;
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap16(v);
    return swap ? __builtin_bswap16(v) : v;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  float F32() { return std::bit_cast<float>(U32()); }
  uint8_t U8() {
    const uint8_t* p = Take(1);
    return p ? *p : 0;
  }

  // n 32-bit words into out, swapped when the file asks for it.
  bool Words(void* out, size_t n) {
    if (n > remaining() / 4) return ok_ = false;
    const uint8_t* p = Take(n * 4);
    // Files are little-endian unless `swap` says otherwise.
    if (swap == (std::endian::native == std::endian::big)) {
      if (n > 0) std::memcpy(out, p, n * 4);
      return true;
    }
    auto* o = static_cast<uint8_t*>(out);
    for (size_t i = 0; i < n; ++i) {
      uint32_t w;
      std::memcpy(&w, p + 4 * i, 4);
      w = __builtin_bswap32(w);
      std::memcpy(o + 4 * i, &w, 4);
    }
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace modra
