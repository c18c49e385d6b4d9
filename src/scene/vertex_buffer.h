// A primitive's vertex floats, shared by every copy until one of them is
// written. The undo history keeps the groups it may restore as plain
// copies, and a group on the clipboard is a copy too; sharing the arrays
// is what keeps those copies from costing a million triangles each.
//
// Reading looks like reading a std::vector<float>, and is const only, so a
// reader never pays for a copy. Writing in place goes through Mutable() or
// MutableData(), which first give this copy an array of its own when
// anyone else holds the current one. The calls that replace or grow the
// whole array (assign, insert, push_back, resize, operator=) do the same;
// assign and operator= never copy floats they are about to overwrite.
#pragma once

#include <cassert>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace modra {

class VertexBuffer {
 public:
  using value_type = float;
  using const_iterator = const float*;
  using iterator = const float*;

  VertexBuffer() = default;
  VertexBuffer(std::vector<float> floats)  // NOLINT: a vector is a buffer
      : data_(floats.empty() ? nullptr : std::make_shared<std::vector<float>>(std::move(floats))) {}
  VertexBuffer(std::initializer_list<float> floats) : VertexBuffer(std::vector<float>(floats)) {}

  size_t size() const { return data_ ? data_->size() : 0; }
  bool empty() const { return size() == 0; }
  size_t capacity() const { return data_ ? data_->capacity() : 0; }
  const float* data() const { return data_ ? data_->data() : nullptr; }
  const float& operator[](size_t i) const {
    assert(i < size());
    return (*data_)[i];
  }
  const float* begin() const { return data(); }
  const float* end() const { return data() + size(); }
  // The floats as a vector, for code that takes one.
  const std::vector<float>& vector() const { return data_ ? *data_ : Empty(); }

  // This copy's own array, cloned first when another copy holds it.
  std::vector<float>& Mutable() {
    if (!data_)
      data_ = std::make_shared<std::vector<float>>();
    else if (data_.use_count() > 1)
      data_ = std::make_shared<std::vector<float>>(*data_);
    return *data_;
  }
  float* MutableData() { return Mutable().data(); }

  void assign(size_t count, float value) {
    if (Shared()) data_.reset();
    if (!data_) data_ = std::make_shared<std::vector<float>>();
    data_->assign(count, value);
  }
  void clear() { data_.reset(); }
  void push_back(float value) { Mutable().push_back(value); }
  void reserve(size_t count) { Mutable().reserve(count); }
  void resize(size_t count) { Mutable().resize(count); }
  void shrink_to_fit() {
    if (data_ && !Shared()) data_->shrink_to_fit();
  }
  // Inserts before `at`, an iterator of this buffer.
  template <class It>
  void insert(const float* at, It first, It last) {
    const size_t offset = static_cast<size_t>(at - begin());
    std::vector<float>& v = Mutable();
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(offset), first, last);
  }
  void insert(const float* at, std::initializer_list<float> floats) {
    insert(at, floats.begin(), floats.end());
  }

  // True when another copy holds the same array.
  bool Shared() const { return data_ && data_.use_count() > 1; }
  bool SameArray(const VertexBuffer& other) const { return data_ == other.data_; }
  // Identifies the array for counting shared memory once; null when empty.
  const void* ArrayId() const { return data_.get(); }

  friend bool operator==(const VertexBuffer& a, const VertexBuffer& b) {
    return a.data_ == b.data_ || a.vector() == b.vector();
  }
  friend bool operator==(const VertexBuffer& a, const std::vector<float>& b) {
    return a.vector() == b;
  }

 private:
  static const std::vector<float>& Empty() {
    static const std::vector<float> empty;
    return empty;
  }

  std::shared_ptr<std::vector<float>> data_;
};

}  // namespace modra
