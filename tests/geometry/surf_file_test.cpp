// Surface profile files: both byte orders, missing corners, every message and truncation.
#include "geometry/surf_file.h"

#include <cerrno>
#include <cstring>
#include <tuple>

#include "profile_test_util.h"

namespace modra {
namespace {

using test::ByteWriter;

RevolutionProfile SampleProfile() {
  RevolutionProfile p;
  p.points = {0.1f, -0.5f, 0.25f, 0.5f, 0.75f, 0.125f, 0.5f, -0.25f, 0.3f, -0.4f};
  p.corners = {1, 0, 1, 1, 0};
  p.selected.assign(5, 0);
  return p;
}

RevolutionProfile Sentinel() {
  RevolutionProfile p;
  ResetRevolution(p);
  p.flags = kCapEnds;
  p.selected[2] = 1;
  p.current = 2;
  return p;
}

void ExpectSameProfile(const RevolutionProfile& a, const RevolutionProfile& b) {
  EXPECT_EQ(std::tie(a.flags, a.points, a.corners, a.selected, a.current),
            std::tie(b.flags, b.points, b.corners, b.selected, b.current));
}

std::vector<uint8_t> SurfBytes(const RevolutionProfile& p, bool big, bool corners = true) {
  ByteWriter w;
  w.big = big;
  w.Word(0xFADEDEADu);
  w.Int(static_cast<int32_t>(p.corners.size()));
  for (float v : p.points)
    w.Float(v);
  if (corners)
    for (uint8_t c : p.corners)
      w.Byte(c);
  return w.bytes;
}

struct Load {
  int result;
  RevolutionProfile profile;
  std::vector<std::string> messages;
};

// Parsed as a file named p.surf holds them.
Load LoadBytes(const std::vector<uint8_t>& bytes) {
  RecordingShell shell;
  Load load{0, Sentinel(), {}};
  load.result = ReadSurfMemory(load.profile, bytes.data(), bytes.size(), "p.surf", shell);
  load.messages = shell.messages;
  return load;
}

// What a successful load of `p` gives: the file's points and corners, the
// profile's own flags, nothing selected.
RevolutionProfile Loaded(const RevolutionProfile& p) {
  RevolutionProfile out = p;
  out.flags = Sentinel().flags;
  out.selected.assign(p.corners.size(), 0);
  out.current = -1;
  return out;
}

TEST(SurfFile, RoundTripKeepsPointsAndCornersButNotTheFlags) {
  test::TempDir dir;
  RecordingShell shell;
  RevolutionProfile saved = SampleProfile();
  saved.flags = 0;
  ASSERT_EQ(WriteSurfFile(saved, dir / "a.surf", shell), 0);
  EXPECT_EQ(test::ReadBytes(dir / "a.surf"), SurfBytes(saved, false));
  RevolutionProfile loaded = Sentinel();
  ASSERT_EQ(ReadSurfFile(loaded, dir / "a.surf", shell), 0);
  ExpectSameProfile(loaded, Loaded(saved));
  EXPECT_TRUE(shell.messages.empty());
  // its byte-swapped twin keeps the corners too; numbers not finite load as zero
  RevolutionProfile bad = SampleProfile(), want = SampleProfile();
  bad.points[1] = NAN;
  bad.points[8] = INFINITY;
  want.points[1] = want.points[8] = 0;
  const Load load = LoadBytes(SurfBytes(bad, true));
  ASSERT_EQ(load.result, 0);
  EXPECT_TRUE(load.messages.empty());
  ExpectSameProfile(load.profile, Loaded(want));
}

// Files cut short after the points are old ones without corners: they load
// with a warning.
TEST(SurfFile, TruncatedAtEveryOffset) {
  RevolutionProfile noCorners = Loaded(SampleProfile());
  noCorners.corners.assign(5, 0);
  for (bool big : {false, true}) {
    const std::vector<uint8_t> full = SurfBytes(SampleProfile(), big);
    const size_t pointsEnd = 8 + 8 * 5;
    for (size_t size = 0; size < full.size(); ++size) {
      SCOPED_TRACE(testing::Message() << "big " << big << " size " << size);
      const Load load = LoadBytes({full.begin(), full.begin() + size});
      if (size >= pointsEnd) {
        EXPECT_EQ(load.result, 0);
        EXPECT_EQ(load.messages,
                  std::vector<std::string>{"Warning: Old file format has no corner info"});
        ExpectSameProfile(load.profile, noCorners);
        continue;
      }
      EXPECT_EQ(load.result, -1);
      const std::string message = size < 8 ? "Can't read p.surf\n"
                                           : "Can't read 5 points of p.surf.  Only got " +
                                                 std::to_string((size - 8) / 4) + "\n";
      EXPECT_EQ(load.messages, std::vector<std::string>{message});
      ExpectSameProfile(load.profile, Sentinel());
    }
  }
}

TEST(SurfFile, CountsOutsideTheProfileAreRefused) {
  struct Case {
    int32_t count;
    const char* message;
  };
  for (const Case& c :
       {Case{kMaxProfilePoints + 1, "Too many points in p.surf\n"},
        Case{0x7fffffff, "Too many points in p.surf\n"}, Case{-1, "Bad point count in p.surf\n"},
        Case{static_cast<int32_t>(0x80000000u), "Bad point count in p.surf\n"}}) {
    SCOPED_TRACE(c.count);
    ByteWriter w;
    w.Word(0xFADEDEADu);
    w.Int(c.count);
    for (int i = 0; i < 40; ++i)
      w.Float(0.5f);
    const Load load = LoadBytes(w.bytes);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(load.messages, std::vector<std::string>{c.message});
    ExpectSameProfile(load.profile, Sentinel());
  }
  RevolutionProfile most;
  most.points.assign(2 * kMaxProfilePoints, 0.25f);
  most.corners.assign(kMaxProfilePoints, 1);
  const Load load = LoadBytes(SurfBytes(most, true));
  ASSERT_EQ(load.result, 0);
  EXPECT_EQ(load.profile.corners, most.corners);
  // An empty profile is a file like any other.
  const Load empty = LoadBytes(SurfBytes(RevolutionProfile{}, false));
  ASSERT_EQ(empty.result, 0);
  EXPECT_TRUE(empty.profile.points.empty());
}

TEST(SurfFile, WrongTypeAndMissingFiles) {
  for (uint32_t magic : {0x87654403u, 0xFADEDEAEu, 0u}) {
    std::vector<uint8_t> bytes = SurfBytes(SampleProfile(), false);
    for (int i = 0; i < 4; ++i)
      bytes[i] = static_cast<uint8_t>(magic >> (8 * i));
    const Load load = LoadBytes(bytes);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(load.messages, std::vector<std::string>{"p.surf is of the wrong file type.\n"});
    ExpectSameProfile(load.profile, Sentinel());
  }
  test::TempDir dir;
  RecordingShell shell;
  RevolutionProfile p = Sentinel();
  EXPECT_EQ(ReadSurfFile(p, dir / "none.surf", shell), -1);
  EXPECT_EQ(shell.messages,
            std::vector<std::string>{"Can't open " + (dir / "none.surf") +
                                     " for read: " + std::strerror(ENOENT) + "\n"});
  ExpectSameProfile(p, Sentinel());
}

TEST(SurfFile, InconsistentProfilesAreNotWritten) {
  test::TempDir dir;
  RecordingShell shell;
  const std::string path = dir / "keep.surf";
  test::WriteText(path, "old");
  RevolutionProfile broken = SampleProfile();
  broken.points.pop_back();
  EXPECT_EQ(WriteSurfFile(broken, path, shell), -1);
  EXPECT_EQ(shell.messages, std::vector<std::string>{"Can't write all of " + path + "\n"});
  EXPECT_EQ(test::ReadText(path), "old");
}

}  // namespace
}  // namespace modra
