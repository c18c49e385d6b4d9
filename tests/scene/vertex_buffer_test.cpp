// Vertex arrays shared between copies until one is written: every way of
// writing leaves the other copy as it was.
#include "scene/vertex_buffer.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace modra {
namespace {

TEST(VertexBuffer, EveryWriteLeavesTheOtherCopyAlone) {
  const std::vector<float> original = {1, 2, 3, 4, 5, 6};
  struct Write {
    const char* how;
    std::function<void(VertexBuffer&)> write;
    std::vector<float> expected;
  };
  const std::vector<Write> writes = {
      {"element", [](VertexBuffer& b) { b.Mutable()[1] = 9; }, {1, 9, 3, 4, 5, 6}},
      {"pointer", [](VertexBuffer& b) { b.MutableData()[5] = 0; }, {1, 2, 3, 4, 5, 0}},
      {"assign", [](VertexBuffer& b) { b.assign(2, 7); }, {7, 7}},
      {"insert in the middle",
       [](VertexBuffer& b) {
         b.insert(b.begin() + 2, {8, 8});
       },
       {1, 2, 8, 8, 3, 4, 5, 6}},
      {"push_back", [](VertexBuffer& b) { b.push_back(0.5f); }, {1, 2, 3, 4, 5, 6, 0.5f}},
      {"resize", [](VertexBuffer& b) { b.resize(3); }, {1, 2, 3}},
      {"replace", [](VertexBuffer& b) { b = {4}; }, {4}},
      {"clear", [](VertexBuffer& b) { b.clear(); }, {}},
  };
  for (const Write& w : writes) {
    SCOPED_TRACE(w.how);
    VertexBuffer a = original;
    VertexBuffer b = a;
    ASSERT_TRUE(a.SameArray(b));
    ASSERT_TRUE(a.Shared());
    w.write(b);
    EXPECT_EQ(a, original);
    EXPECT_EQ(b, w.expected);
    EXPECT_FALSE(a.SameArray(b));
    EXPECT_FALSE(a.Shared());
  }
}

TEST(VertexBuffer, AnUnsharedArrayIsWrittenInPlace) {
  VertexBuffer a = {1, 2, 3};
  const float* at = a.data();
  a.Mutable()[0] = 5;
  a.assign(3, 0);
  EXPECT_EQ(a.data(), at);
  VertexBuffer b = a;
  b = VertexBuffer();  // the copy let go: a is alone again
  a.MutableData()[2] = 1;
  EXPECT_EQ(a.data(), at);
  EXPECT_EQ(a, (std::vector<float>{0, 0, 1}));
}

}  // namespace
}  // namespace modra
