// The editors' field text: numbers, text that is none, and the step limits.
#include <gtest/gtest.h>

#include "profile/profile_fields.h"

namespace modra {
namespace {

TEST(ProfileFields, NumberTextGivesItsValueAndOtherTextKeepsTheOldOneMarked) {
  struct Case {
    const char* text;
    float value;
    bool marked;
  };
  for (const Case& c :
       {Case{"0.75", 0.75f, false}, Case{" -2.5 ", -2.5f, false}, Case{"+3", 3.0f, false},
        Case{"abc", 1.25f, true}, Case{"", 1.25f, true}, Case{"1.5x", 1.25f, true},
        Case{"nan", 1.25f, true}, Case{"1e40", 1.25f, true}}) {
    const FieldRead<float> read = ReadNumberField(c.text, 1.25f);
    EXPECT_EQ(read.value, c.value) << c.text;
    EXPECT_EQ(read.marked, c.marked) << c.text;
  }
  // Only what the field can hold is read.
  const std::string longText = std::string(kProfileFieldChars, '1') + "x";
  EXPECT_FALSE(ReadNumberField(longText, 0).marked);
}

TEST(ProfileFields, StepsAreHeldToCountsTheGeneratorCanUse) {
  struct Case {
    const char* text;
    int value;
    bool marked;
  };
  for (const Case& c :
       {Case{"30", 30, false}, Case{"-5", kNegativeSteps, false}, Case{"5000", kMostSteps, false},
        Case{"0", kLeastSteps, false}, Case{"1", kLeastSteps, false}, Case{"2", 2, false},
        Case{"2000", 2000, false}, Case{"99999999999999999999999", kMostSteps, false},
        Case{"abc", 17, true}, Case{"12.5", 17, true}, Case{" ", 17, true}}) {
    const FieldRead<int> read = ReadStepsField(c.text, 17);
    EXPECT_EQ(read.value, c.value) << c.text;
    EXPECT_EQ(read.marked, c.marked) << c.text;
  }
  EXPECT_EQ(kNegativeSteps, 4);
  EXPECT_EQ(kMostSteps, 2000);
}

TEST(ProfileFields, ValuesShowWithTheirFieldsDecimals) {
  EXPECT_EQ(NumberFieldText(0.47f, kDepthDecimals), "0.470");
  EXPECT_EQ(NumberFieldText(0.02f, kBevelSizeDecimals), "0.0200");
  EXPECT_EQ(NumberFieldText(360, kDegreesDecimals), "360.00");
  EXPECT_EQ(StepsFieldText(30), "30");
  const float points[] = {0.25f, -0.5f, 1, 2};
  EXPECT_EQ(PointFields(points, 2, 0).x, "0.250");
  EXPECT_EQ(PointFields(points, 2, 0).y, "-0.500");
  EXPECT_EQ(PointFields(points, 2, 1).x, "1.000");
  EXPECT_EQ(PointFields(points, 2, -1).x, "");
  EXPECT_EQ(PointFields(points, 2, 2).y, "");
}

}  // namespace
}  // namespace modra
