// Shared by the editor tests.
#pragma once

#include <gtest/gtest.h>

#include "scene/display_group.h"

namespace modra::test {

// Two groups hold the same primitives: types, counts and every float.
inline void ExpectSameGeometry(const DisplayGroup& a, const DisplayGroup& b) {
  ASSERT_EQ(a.primitives.size(), b.primitives.size());
  ASSERT_EQ(a.flags, b.flags);
  for (size_t p = 0; p < a.primitives.size(); ++p) {
    EXPECT_EQ(a.primitives[p].type, b.primitives[p].type) << p;
    ASSERT_EQ(a.primitives[p].vertexCount, b.primitives[p].vertexCount) << p;
    const std::vector<float> va(a.primitives[p].vertices.begin(), a.primitives[p].vertices.end());
    const std::vector<float> vb(b.primitives[p].vertices.begin(), b.primitives[p].vertices.end());
    EXPECT_EQ(va, vb) << p;
  }
  EXPECT_GT(a.primitives.size(), 0u);
}

}  // namespace modra::test
