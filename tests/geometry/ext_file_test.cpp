// Extrusion profile files: both byte orders, the old layout, every message and truncation.
#include "geometry/ext_file.h"

#include <cerrno>
#include <cstring>
#include <tuple>

#include "profile_test_util.h"

namespace modra {
namespace {

using test::ByteWriter;

// Two contours, some corners, every value distinct.
ExtrusionProfile SampleProfile() {
  ExtrusionProfile p;
  p.flags = 3;
  p.depth = 0.75f;
  p.bevelSize = 0.0625f;
  p.pointCounts = {4, 3};
  p.points = {-1, -1, -1, 1, 1, 1, 1, -1, -0.1f, 0, 0.1f, 0.1f, 0.1f, -0.1f};
  p.corners = {1, 0, 0, 1, 1, 0, 1};
  p.selected.assign(7, 0);
  return p;
}

// A profile the failed loads must leave exactly as it was.
ExtrusionProfile Sentinel() {
  ExtrusionProfile p;
  ResetProfile(p);
  p.flags = 2;
  p.depth = 9;
  p.selected[3] = 1;
  return p;
}

void ExpectSameProfile(const ExtrusionProfile& a, const ExtrusionProfile& b) {
  EXPECT_EQ(
      std::tie(a.flags, a.depth, a.bevelSize, a.pointCounts, a.points, a.corners, a.selected),
      std::tie(b.flags, b.depth, b.bevelSize, b.pointCounts, b.points, b.corners, b.selected));
}

// The file layout by hand; `old` writes the old magic, shifted flags and a
// corner word per point.
std::vector<uint8_t> ExtBytes(const ExtrusionProfile& p, bool big, bool old = false) {
  ByteWriter w;
  w.big = big;
  w.Word((old ? 0x87654300u : 0x87654400u) | static_cast<uint32_t>(old ? p.flags << 1 : p.flags));
  w.Float(p.depth);
  w.Float(p.bevelSize);
  w.Int(static_cast<int32_t>(p.pointCounts.size()));
  for (int32_t n : p.pointCounts)
    w.Int(n);
  for (float v : p.points)
    w.Float(v);
  for (uint8_t c : p.corners)
    old ? w.Word(c) : w.Byte(c);
  return w.bytes;
}

struct Load {
  int result;
  ExtrusionProfile profile;
  std::vector<std::string> messages;
};

// Parsed as a file named p.ext holds them.
Load LoadBytes(const std::vector<uint8_t>& bytes) {
  RecordingShell shell;
  Load load{0, Sentinel(), {}};
  load.result = ReadExtMemory(load.profile, bytes.data(), bytes.size(), "p.ext", shell);
  load.messages = shell.messages;
  return load;
}

TEST(ExtFile, RoundTripKeepsTheProfileAndClearsTheSelection) {
  test::TempDir dir;
  RecordingShell shell;
  const ExtrusionProfile saved = SampleProfile();
  ASSERT_EQ(WriteExtFile(saved, dir / "a.ext", shell), 0);
  const std::vector<uint8_t> bytes = test::ReadBytes(dir / "a.ext");
  EXPECT_EQ(bytes, ExtBytes(saved, false));
  ExtrusionProfile loaded = Sentinel();
  ASSERT_EQ(ReadExtFile(loaded, dir / "a.ext", shell), 0);
  ExpectSameProfile(loaded, saved);
  EXPECT_TRUE(shell.messages.empty());
  // its byte-swapped twin loads the same, numbers that are not finite as zero
  ExtrusionProfile bad = SampleProfile(), want = SampleProfile();
  bad.depth = NAN;
  bad.bevelSize = INFINITY;
  bad.points[5] = -INFINITY;
  want.depth = want.bevelSize = want.points[5] = 0;
  const Load swapped = LoadBytes(ExtBytes(bad, true));
  ASSERT_EQ(swapped.result, 0);
  ExpectSameProfile(swapped.profile, want);
}

TEST(ExtFile, OldFormatShiftsTheFlagsAndReversesTheOuterContour) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big);
    const Load old = LoadBytes(ExtBytes(SampleProfile(), big, true));
    ASSERT_EQ(old.result, 0);
    EXPECT_TRUE(old.messages.empty());
    ExtrusionProfile expected = SampleProfile();
    // Outer contour 0..3 backwards, the hole as stored.
    expected.points = {1, -1, 1, 1, -1, 1, -1, -1, -0.1f, 0, 0.1f, 0.1f, 0.1f, -0.1f};
    expected.corners = {1, 0, 0, 1, 1, 0, 1};
    ExpectSameProfile(old.profile, expected);
  }
  // Only the low byte of an old corner word counts.
  ExtrusionProfile p = SampleProfile();
  p.corners = {0, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> bytes = ExtBytes(p, false, true);
  const size_t corners = bytes.size() - 4 * 7;
  bytes[corners + 1] = 0xff;   // point 0, second byte: not a corner
  bytes[corners + 4 * 1] = 2;  // point 1: a corner
  const Load low = LoadBytes(bytes);
  ASSERT_EQ(low.result, 0);
  EXPECT_EQ(low.profile.corners, (std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 0}));
}

TEST(ExtFile, RefusesFilesItCannotHold) {
  struct Case {
    const char* what;
    std::vector<int32_t> counts;
    const char* message;
    int32_t contours = -2;  // -2: as many as counts
  };
  const Case cases[] = {
      {"100 contours", std::vector<int32_t>(100, 3), "Too many contours\n"},
      {"more points than the profile holds", {6000, 4001}, "Too many points in p.ext\n"},
      {"huge count", {0x7fffffff, 0x7fffffff}, "Too many points in p.ext\n"},
      {"no contours", {}, "Bad contour count in p.ext\n"},
      {"negative contour count", {}, "Bad contour count in p.ext\n", -1},
      {"empty contour", {4, 0}, "Bad point count in p.ext\n"},
      {"negative count", {4, -3}, "Bad point count in p.ext\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteWriter w;
    w.Word(0x87654403u);
    w.Float(1);
    w.Float(0.1f);
    w.Int(c.contours == -2 ? static_cast<int32_t>(c.counts.size()) : c.contours);
    for (int32_t n : c.counts)
      w.Int(n);
    for (int i = 0; i < 64; ++i)  // some points, far fewer than claimed
      w.Float(0.25f);
    const Load load = LoadBytes(w.bytes);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(load.messages, std::vector<std::string>{c.message});
    ExpectSameProfile(load.profile, Sentinel());
  }
  // exactly the capacity loads
  ExtrusionProfile full;
  full.pointCounts = {kMaxProfilePoints};
  full.points.assign(2 * kMaxProfilePoints, 0.5f);
  full.corners.assign(kMaxProfilePoints, 1);
  const Load load = LoadBytes(ExtBytes(full, false));
  ASSERT_EQ(load.result, 0);
  EXPECT_EQ(load.profile.corners, full.corners);
}

TEST(ExtFile, WrongTypeAndMissingFiles) {
  for (uint32_t magic : {0x87654500u, 0x12345678u, 0x88654400u, 0xFADEDEADu}) {
    SCOPED_TRACE(magic);
    std::vector<uint8_t> bytes = ExtBytes(SampleProfile(), false);
    for (int i = 0; i < 4; ++i)
      bytes[i] = static_cast<uint8_t>(magic >> (8 * i));
    const Load load = LoadBytes(bytes);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(load.messages, std::vector<std::string>{"p.ext is of the wrong file type.\n"});
    ExpectSameProfile(load.profile, Sentinel());
  }
  test::TempDir dir;
  RecordingShell shell;
  ExtrusionProfile p = Sentinel();
  EXPECT_EQ(ReadExtFile(p, dir / "none.ext", shell), -1);
  EXPECT_EQ(ReadExtFile(p, dir.path.string(), shell), -1);  // a directory
  EXPECT_EQ(shell.messages,
            (std::vector<std::string>{
                "Can't open " + (dir / "none.ext") + " for read: " + std::strerror(ENOENT) + "\n",
                "Can't open " + dir.path.string() + " for read: " + std::strerror(EISDIR) +
                    "\n"}));
  ExpectSameProfile(p, Sentinel());
}

// Cut short anywhere, a file gives the message of the field it ends in and
// leaves the profile alone; only missing corner flags still load.
TEST(ExtFile, TruncatedAtEveryOffset) {
  for (bool old : {false, true}) {
    const ExtrusionProfile saved = SampleProfile();
    const std::vector<uint8_t> full = ExtBytes(saved, false, old);
    const size_t pointsAt = 16 + 4 * 2, cornersAt = pointsAt + 8 * 7;
    for (size_t size = 0; size < full.size(); ++size) {
      SCOPED_TRACE(testing::Message() << "old " << old << " size " << size);
      const Load load = LoadBytes({full.begin(), full.begin() + size});
      if (size >= cornersAt) {
        EXPECT_EQ(load.result, 0);
        EXPECT_EQ(load.messages, std::vector<std::string>{"Can't read corner info from p.ext\n"});
        EXPECT_EQ(load.profile.corners, std::vector<uint8_t>(7, 0));
        EXPECT_EQ(load.profile.pointCounts, saved.pointCounts);
        continue;
      }
      const bool depthOrBevel = size >= 4 && size < 12;
      EXPECT_EQ(load.result, -1);
      EXPECT_EQ(load.messages, std::vector<std::string>{depthOrBevel ? "Can't read all of p.ext\n"
                                                                     : "Can't read p.ext\n"});
      ExpectSameProfile(load.profile, Sentinel());
    }
  }
}

// Arrays that disagree would make a file nobody can read.
TEST(ExtFile, InconsistentProfilesAreNotWritten) {
  test::TempDir dir;
  RecordingShell shell;
  const std::string path = dir / "keep.ext";
  test::WriteText(path, "old");
  ExtrusionProfile broken = SampleProfile();
  broken.pointCounts = {4, 4};
  EXPECT_EQ(WriteExtFile(broken, path, shell), -1);
  EXPECT_EQ(shell.messages, std::vector<std::string>{"Can't write all of " + path + "\n"});
  EXPECT_EQ(test::ReadText(path), "old");
  EXPECT_EQ(dir.Entries(), 1);
}

}  // namespace
}  // namespace modra
