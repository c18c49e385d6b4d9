// Numbers read as the C library's sscanf reads them, checked against it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <tuple>

#include "io/scan_number.h"

namespace modra {
namespace {

// What sscanf(text, "%f%n") gives: matched, the value and the characters used.
struct Scanned {
  bool matched;
  float value;
  int used;
};
Scanned CScanFloat(const std::string& text) {
  float v = 0;
  int used = 0;
  const bool matched = std::sscanf(text.c_str(), "%f%n", &v, &used) == 1;
  return {matched, v, used};
}
Scanned OurScanFloat(const std::string& text) {
  float v = 0;
  const char* end = ScanFloat(text.data(), text.data() + text.size(), v);
  return {end != nullptr, v, end ? static_cast<int>(end - text.data()) : 0};
}

TEST(ScanNumbers, FloatsMatchScanf) {
  // clang-format off
  const char* const cases[] = {
      "0", "1", "-1", "+1.5", "1.", "2.e1", ".5", "-.5", "+.5", "1e5", "1E5", "1e+2", "1e-2",
      "3.1+e2", "3.1-e2", "1e", "1e+", "1e-x", "1.5e+3x", "1e5e3", "12abc", " \t2.5", "\v7",
      "inf", "INF", "-infinity", "Infinity", "infx", "infinit", "in", "nan", "-nan", "NaN",
      "nan(abc)", "nanq", "0x1p3", "0X1.8", "-0x.8", "0x1p", "0x1P-2", "0x5P+-3", "0x1.8p-",
      "0x.8P+x", "5e+-3", "0x", "0x.", "-0x.q", "0xg", "0x-1", "0xinf", ".", "-", "+", "",
      "--1", "+-1", ".e1", "e5", "1,5", "1d5", "1/2", "1e38", "3.4028235e38", "3.4028236e38",
      "1e39", "-1e39", "1e99999", "1e-40", "1e-46", "1e-99999", "0x1p200", "0x1p-200",
      "00000000000000000000000000000000000000000000000001.5",
      "0.000000000000000000000000000000000000000000001", "123456789012345678901234567890"};
  // clang-format on
  for (const char* c : cases) {
    SCOPED_TRACE(std::string("\"") + c + "\"");
    const Scanned want = CScanFloat(c), got = OurScanFloat(c);
    ASSERT_EQ(got.matched, want.matched);
    if (!want.matched) continue;
    EXPECT_EQ(got.used, want.used);
    if (std::isnan(want.value))
      EXPECT_TRUE(std::isnan(got.value));
    else
      EXPECT_EQ(got.value, want.value);
    EXPECT_EQ(std::signbit(got.value), std::signbit(want.value));
  }
}

// Short strings made of the characters a number is built from, in any
// order: whatever scanf makes of them, so do we.
TEST(ScanNumbers, RandomNumberLikeTextMatchesScanf) {
  static constexpr std::string_view kAlphabet = "0123456789.eE+-xXpPinfaty \t";
  std::mt19937 rng(97);
  int mismatches = 0;
  for (int round = 0; round < 200000 && mismatches < 10; ++round) {
    std::string text;
    for (int n = 1 + static_cast<int>(rng() % 7); n > 0; --n)
      text += kAlphabet[rng() % kAlphabet.size()];
    const Scanned want = CScanFloat(text), got = OurScanFloat(text);
    const bool same =
        got.matched == want.matched &&
        (!want.matched ||
         (got.used == want.used &&
          (got.value == want.value || (std::isnan(got.value) && std::isnan(want.value)))));
    if (!same) {
      ++mismatches;
      ADD_FAILURE() << "\"" << text << "\": scanf " << want.matched << " " << want.value << " "
                    << want.used << ", ours " << got.matched << " " << got.value << " " << got.used;
    }
    int32_t wantInt = -7, gotInt = -7;
    int used = 0;
    const bool matched = std::sscanf(text.c_str(), "%d%n", &wantInt, &used) == 1;
    const char* end = ScanInt(text.data(), text.data() + text.size(), gotInt);
    EXPECT_EQ(end != nullptr, matched) << text;
    EXPECT_EQ(gotInt, wantInt) << text;
    if (matched && end) {
      EXPECT_EQ(end - text.data(), used) << text;
    }
  }
}

// Plain decimals, the numbers of nearly every file, take a short way; it
// must round every one of them as scanf does, up to the last bit, and stop
// where scanf stops. Digits around the point, leading zeros, signs, a
// point at either end, and what may follow the digits.
TEST(ScanNumbers, PlainDecimalsRoundAsScanfDoesToTheLastBit) {
  std::mt19937 rng(2024);
  static constexpr std::string_view kAfter[] = {"", " ", "/", "e", "E3", ".", "5", "x", "\t", "#"};
  int mismatches = 0;
  for (int round = 0; round < 300000 && mismatches < 10; ++round) {
    std::string text;
    if (rng() % 4 == 0) text += rng() % 2 ? "-" : "+";
    const int whole = static_cast<int>(rng() % 10), fraction = static_cast<int>(rng() % 11);
    for (int i = 0; i < whole; ++i)
      text += static_cast<char>('0' + (i == 0 && rng() % 3 ? 1 + rng() % 9 : rng() % 10));
    if (fraction > 0 || rng() % 2) text += '.';
    for (int i = 0; i < fraction; ++i)
      text += static_cast<char>('0' + rng() % 10);
    text += kAfter[rng() % std::size(kAfter)];
    const Scanned want = CScanFloat(text), got = OurScanFloat(text);
    const bool same = got.matched == want.matched &&
                      (!want.matched || (got.used == want.used &&
                                         std::memcmp(&got.value, &want.value, sizeof(float)) == 0));
    if (!same) {
      ++mismatches;
      ADD_FAILURE() << "\"" << text << "\": scanf " << want.matched << " " << want.value << " "
                    << want.used << ", ours " << got.matched << " " << got.value << " " << got.used;
    }
  }
  // The edges of the short way: 2^24 and one beyond, the tenth place, the
  // halfway cases between two floats, and zeros of either sign.
  for (const char* c : {"16777216", "16777217", "1677721.7", "0.16777217", "8388609.5",
                        "0.000000001", "0.0000000001", "99999999", "0.00000000", "-0.0", "-.0",
                        "+0.", "1.00000005960464477539", "0.1", "0.3", "2.5", "1e0"}) {
    SCOPED_TRACE(c);
    const Scanned want = CScanFloat(c), got = OurScanFloat(c);
    ASSERT_TRUE(got.matched);
    EXPECT_EQ(got.used, want.used);
    EXPECT_EQ(std::memcmp(&got.value, &want.value, sizeof(float)), 0) << got.value;
  }
}

TEST(ScanNumbers, FloatsStopAtTheEndGivenNotAtATerminator) {
  const std::string text = "12345";
  float v = 0;
  const char* end = ScanFloat(text.data(), text.data() + 3, v);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(v, 123.0f);
  EXPECT_EQ(end, text.data() + 3);
  EXPECT_EQ(ScanFloat(text.data(), text.data(), v), nullptr);
  const std::string sign = "-5";
  EXPECT_EQ(ScanFloat(sign.data(), sign.data() + 1, v), nullptr);
  EXPECT_EQ(v, 123.0f) << "a failed scan leaves the value alone";
}

// Short integers meet scanf in the random text above; here what it never
// makes: stops at other characters, the ends of the range and beyond.
TEST(ScanNumbers, IntegersStopWhereScanfStopsAndSaturateBeyondTheRange) {
  for (auto [text, value, used] : {std::tuple<const char*, int32_t, int>{"1/2/3", 1, 1},
                                   {"\v-12,", -12, 4},
                                   {"2147483647", INT32_MAX, 10},
                                   {"-2147483648", INT32_MIN, 11},
                                   {"2147483648", INT32_MAX, 10},
                                   {"99999999999999999999999", INT32_MAX, 23},
                                   {"-2147483649", INT32_MIN, 11}}) {
    int32_t got = 0;
    const char* end = ScanInt(text, text + std::strlen(text), got);
    ASSERT_NE(end, nullptr) << text;
    EXPECT_EQ(got, value) << text;
    EXPECT_EQ(end, text + used) << text;
  }
}

}  // namespace
}  // namespace modra
