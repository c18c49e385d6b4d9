// Bytes of any encoding made into text that UTF-8 readers take.
#include "io/utf8.h"

#include <gtest/gtest.h>

namespace modra {
namespace {

TEST(DisplayText, KeepsUtf8AndReadsEveryOtherByteAsLatin1) {
  const struct {
    std::string bytes, shown;
  } cases[] = {
      {"", ""},
      {"Wing 7", "Wing 7"},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
      {"caf\xe9", "caf\xc3\xa9"},
      {"Terraind\xe6k", "Terraind\xc3\xa6k"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      // Cut short, at the end and before another character.
      {"\xc3", "\xc3\x83"},
      {"\xe2\x82-", "\xc3\xa2\xc2\x82-"},
      // Overlong, a surrogate, beyond U+10FFFF, a lone continuation byte.
      {"\xc0\xaf", "\xc3\x80\xc2\xaf"},
      {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xc2\x80"},
      {"\xf4\x90\x80\x80", "\xc3\xb4\xc2\x90\xc2\x80\xc2\x80"},
      {"\x80x", "\xc2\x80x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayText(c.bytes), c.shown) << testing::PrintToString(c.bytes);
    // What it makes is UTF-8 already, so it is left as it is.
    EXPECT_EQ(DisplayText(c.shown), c.shown);
  }
}

}  // namespace
}  // namespace modra
