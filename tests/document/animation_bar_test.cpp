// The animation bar's frame and name boxes.
#include "document/animation_bar.h"

#include <gtest/gtest.h>

#include "anim/anim_util.h"
#include "document/group_edit.h"

namespace modra {
namespace {

TEST(FrameBox, TextToFrame) {
  const struct {
    const char* text;
    int current;
    int frame;
    bool writeBack;
  } kCases[] = {
      {"12", 0, 12, false},
      {"  7", 3, 7, false},
      {"15abc", 0, 15, false},
      {"9999", 0, 9999, false},
      {"12000", 5, 9999, true},
      {"99999999999999999999999", 5, 9999, true},
      {"12+", 12, 13, true},
      {"+", 9999, 9999, true},
      {"12-", 12, 11, true},
      // A minus is a step back, also in front of a number.
      {"-5", 10, 9, true},
      {"-5", 0, 0, true},
      {"+-", 7, 7, true},
      // Nothing to read yet: the frame stays and the box is left alone.
      {"", 8, 8, false},
      {"abc", 8, 8, false},
      // A current frame out of range is held to it first.
      {"+", 20000, 9999, true},
      {"-", -3, 0, true},
  };
  for (const auto& c : kCases) {
    const FrameBoxStep step = ReadFrameBox(c.text, c.current);
    EXPECT_EQ(step.frame, c.frame) << '"' << c.text << "\" at " << c.current;
    EXPECT_EQ(step.writeBack, c.writeBack) << '"' << c.text << "\" at " << c.current;
  }
}

TEST(FrameBox, EditingTheBoxMovesTheAnimation) {
  test::RecordedDocument r;
  const int g = test::AddTriangle(r.scene(), "G");
  test::SetTranslationAt(r.doc, g, 10, {2, 0, 0});
  GoToFrame(r.doc, 0);

  EXPECT_EQ(EditFrameBox(r.doc, "5"), std::nullopt);
  EXPECT_EQ(r.anim().currentFrame, 5);
  EXPECT_NEAR(r.scene().groups[g].translation[0], 1.0f, 0.2f);
  EXPECT_EQ(EditFrameBox(r.doc, "5+"), std::optional<std::string>("6"));
  EXPECT_EQ(r.anim().currentFrame, 6);
  EXPECT_EQ(EditFrameBox(r.doc, "12000"), std::optional<std::string>("9999"));
  EXPECT_EQ(r.anim().currentFrame, 9999);
  EXPECT_FLOAT_EQ(r.scene().groups[g].translation[0], 2.0f);
  EXPECT_EQ(r.shell.framesShown.back(), 9999);
}

TEST(NameBox, RenamesTheCurrentGroup) {
  test::RecordedDocument r;
  Scene& s = r.scene();
  EXPECT_EQ(NameBoxText(s), kNothingSelected);
  EXPECT_EQ(EditNameBox(r.doc, "Arm"), std::optional<std::string>(kNothingSelected));
  EXPECT_FALSE(r.doc.modified);

  const int g = test::AddTriangle(s, "G");
  s.selectedGroup = g;
  EXPECT_EQ(NameBoxText(s), "G");
  EXPECT_EQ(EditNameBox(r.doc, "Arm"), std::nullopt);
  EXPECT_EQ(s.groups[g].name, "Arm");
  EXPECT_EQ(r.shell.status, "Arm");
  EXPECT_TRUE(r.doc.modified);

  // Too long: the first 99 characters are kept and shown.
  const std::string longName(120, 'x');
  EXPECT_EQ(EditNameBox(r.doc, longName), std::optional<std::string>(std::string(99, 'x')));
  EXPECT_EQ(s.groups[g].name, std::string(99, 'x'));

  s.groups[g].flags |= Deleted;
  EXPECT_EQ(NameBoxText(s), kNothingSelected);
}

TEST(NameBox, CutsAfterNinetyNineCharactersNeverInsideOne) {
  const std::string e = "\xc3\xa9";             // é, two bytes
  const std::string clef = "\xf0\x9d\x84\x9e";  // four bytes
  const struct {
    std::string text;
    std::string kept;
  } kCases[] = {
      {"", ""},
      {std::string(99, 'a'), std::string(99, 'a')},
      {std::string(98, 'a') + e + "b", std::string(98, 'a') + e},
      {std::string(98, 'a') + clef + clef, std::string(98, 'a') + clef},
      // A stray byte is one character of its own.
      {std::string(98, 'a') + "\xff\xc3\xa9", std::string(98, 'a') + "\xff"},
      // A sequence cut short by the end is kept as the bytes it has.
      {std::string(50, 'a') + "\xf0\x9d", std::string(50, 'a') + "\xf0\x9d"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(NameBoxName(c.text), c.kept) << c.text.size();
}

}  // namespace
}  // namespace modra
