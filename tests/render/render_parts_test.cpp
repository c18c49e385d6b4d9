// Splitting a render's frames into shares, and the names of movie parts.
#include <gtest/gtest.h>

#include "render/render_settings.h"

namespace modra {
namespace {

TEST(PartOfFrames, SharesCoverTheRangeInOrderLargerSharesFirst) {
  struct Case {
    FrameSpan whole;
    int count;
    std::vector<int> sizes;
  };
  const Case cases[] = {
      {{0, 9}, 3, {4, 3, 3}},        // the remainder goes to the first shares
      {{5, 7}, 5, {1, 1, 1, 0, 0}},  // more shares than frames: the last are empty
      {{2, 4}, 1, {3}},
      {{0, 6}, 7, {1, 1, 1, 1, 1, 1, 1}},
      {{0, 7}, 3, {3, 3, 2}},
  };
  for (const Case& c : cases) {
    int next = c.whole.first;
    for (int i = 0; i < c.count; ++i) {
      const FrameSpan span = PartOfFrames(c.whole, {i, c.count});
      EXPECT_EQ(span.first, next) << c.whole.first << "-" << c.whole.last << " " << i;
      EXPECT_EQ(span.Count(), c.sizes[static_cast<size_t>(i)]) << i << "/" << c.count;
      next = span.last + 1;
    }
    EXPECT_EQ(next, c.whole.last + 1);
  }
}

TEST(PartFileName, PutsTheZeroPaddedShareBeforeTheExtension) {
  struct Case {
    const char* output;
    RenderPart part;
    const char* name;
  };
  const Case cases[] = {
      {"movie.mpg", {3, 8}, "movie.part03.mpg"},
      {"movie.mpg", {3, 100}, "movie.part03.mpg"},  // the last is 99: two digits
      {"movie.mpg", {7, 101}, "movie.part007.mpg"},
      {"out/x.tar.gif", {0, 1}, "out/x.tar.part00.gif"},
      // A dot in a folder's name is no extension.
      {"renders.v2/movie", {12, 20}, "renders.v2/movie.part12"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PartFileName(c.output, c.part), c.name);
}

}  // namespace
}  // namespace modra
