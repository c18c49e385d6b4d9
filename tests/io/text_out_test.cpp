#include "io/text_out.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "test_util.h"

namespace modra {
namespace {

std::string Fixed(float v, int precision) {
  char buf[kMaxFixedChars + 1];
  return std::string(buf, FormatFixed(buf, v, precision));
}

std::string Printf(float v, int precision) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.*f", precision, static_cast<double>(v));
  return buf;
}

void ExpectLikePrintf(float v) {
  for (int precision : {6, 4, 0})
    ASSERT_EQ(Fixed(v, precision), Printf(v, precision))
        << std::hex << std::bit_cast<uint32_t>(v) << " precision " << std::dec << precision;
}

TEST(FixedText, ChosenValuesMatchPrintf) {
  const float values[] = {
      0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1.5f, 2.5f, 0.1f, -0.1f, 123456.789f, 1e7f, -1e7f,
      // ties after the sixth decimal: 1/128 and 3/128 end in ...5 exactly
      0.0078125f, 0.0234375f, -0.0078125f, 0.1171875f,
      // a carry through every digit
      9.9999995f, 0.9999999f, 999999.94f,
      // tiny values that round to zero keep their sign
      1e-7f, -1e-7f, 4.9999e-7f, 5e-7f, -5e-7f, FLT_MIN, -FLT_MIN, FLT_TRUE_MIN, -FLT_TRUE_MIN,
      // both sides of the exact-arithmetic limit, and the largest floats
      8796093022208.0f, 17592186044416.0f, 1e13f, 1e20f, -1e30f, FLT_MAX, -FLT_MAX,
      INFINITY, -INFINITY, NAN};
  for (float v : values)
    ExpectLikePrintf(v);
}

TEST(FixedText, PrintableFloatReplacesOnlyNonFiniteValues) {
  EXPECT_EQ(PrintableFloat(NAN), 0.0f);
  EXPECT_EQ(PrintableFloat(-NAN), 0.0f);
  EXPECT_EQ(PrintableFloat(INFINITY), FLT_MAX);
  EXPECT_EQ(PrintableFloat(-INFINITY), -FLT_MAX);
  EXPECT_EQ(std::bit_cast<uint32_t>(PrintableFloat(-0.0f)), 0x80000000u);
  EXPECT_EQ(PrintableFloat(FLT_TRUE_MIN), FLT_TRUE_MIN);
}

class TextOutput : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string path = dir / "out.txt";
  std::string Read() { return test::ReadText(path); }
};

TEST_F(TextOutput, NumbersAsPrintfWritesThem) {
  OutputFile file;
  ASSERT_TRUE(file.Open(path));
  TextOut out(file);
  out.Int(0);
  out.Char(' ');
  out.Int(-2147483648LL);
  out.Char(' ');
  out.Hex(0);
  out.Char(' ');
  out.Hex(0x80000043u);
  out.Char(' ');
  out.Hex8(0x4f);
  out.Char(' ');
  out.Hex8(0xbf800000u);
  out.Char(' ');
  out.Fixed(NAN);
  out.Char(' ');
  out.Fixed(-INFINITY);
  ASSERT_TRUE(out.Flush());
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(Read(),
            "0 -2147483648 0 80000043 0000004f bf800000 0.000000 "
            "-340282346638528859811704183484516925440.000000");
}

TEST_F(TextOutput, LongTextCrossesChunksInOrder) {
  std::string expected;
  OutputFile file;
  ASSERT_TRUE(file.Open(path));
  {
    TextOut out(file, 4096);
    for (int i = 0; i < 5000; ++i) {
      out.Int(i);
      out.Char(',');
      expected += std::to_string(i) + ",";
      if (i % 1000 == 0) {
        const std::string big(9000, static_cast<char>('a' + i / 1000));  // larger than a chunk
        out.Text(big);
        expected += big;
      }
    }
    ASSERT_TRUE(out.Flush());
  }
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(Read(), expected);
}

}  // namespace
}  // namespace modra
