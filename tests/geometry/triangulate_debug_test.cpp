// The triangulator's diagnostics: their settings, what they print, in which format, where.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "geometry/triangulate.h"
#include "triangulate_test_util.h"

namespace modra {
namespace {

using triangulation::DebugSettings;
using tritest::Build;
using tritest::Polygon;
using tritest::Ring;
using tritest::Triangulated;

const Ring kBowTie = {{0, 0}, {2, 2}, {2, 0}, {0, 2}};  // crosses, and encloses nothing
const Ring kSquare = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};

DebugSettings Read(const std::map<std::string, std::string>& variables) {
  return triangulation::ReadDebugSettings([&](const char* name) -> const char* {
    auto it = variables.find(name);
    return it == variables.end() ? nullptr : it->second.c_str();
  });
}

TEST(TriangulationDebug, SettingsFromTheEnvironment) {
  const std::pair<const char*, bool DebugSettings::*> flags[] = {
      {"QX_DEBUG_DECOMP_SHOW_MC", &DebugSettings::dumpPoints3d},
      {"QX_DEBUG_SHOW_DECOMP_TRIANGLES", &DebugSettings::showTriangles},
      {"QX_DEBUG_SHOW_DECOMP_FAILURES", &DebugSettings::showFailures},
      {"QX_DEBUG_SET_HINTS_SIMPLE", &DebugSettings::hintsSimple},
      {"QX_DEBUG_DECOMP_PRINT_HEX_FORMAT", &DebugSettings::hex}};
  // set means set, whatever the value, and sets nothing else
  for (const auto& [name, field] : flags) {
    const DebugSettings s = Read({{name, ""}});
    for (const auto& [other, otherField] : flags)
      EXPECT_EQ(s.*otherField, other == name) << name << " " << other;
  }
  EXPECT_EQ(Read({}).spoolFile, "");
  EXPECT_EQ(Read({{"QX_DEBUG_DECOMP_SPOOL_FILE", "/tmp/x"}}).spoolFile, "/tmp/x");
  // a count that is no positive number dumps every run
  for (const auto& [text, every] :
       {std::pair{"3", 3}, {"0", 1}, {"-2", 1}, {"many", 1}, {"99999999999", 1}})
    EXPECT_EQ(Read({{"QX_DEBUG_DECOMP_COUNT", text}}).dumpEvery, every) << text;
}

class TriangulationSpool : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.spoolFile =
        ::testing::TempDir() + "modra-tri-spool-" + std::to_string(getpid()) + ".txt";
    std::remove(settings_.spoolFile.c_str());
  }
  void TearDown() override { std::remove(settings_.spoolFile.c_str()); }

  std::string Spooled() const {
    std::ifstream in(settings_.spoolFile);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++count;
    return count;
  }

  DebugSettings settings_;
};

// A refused polygon is dumped with the checks' message, both when the
// robust path then covers it and when it encloses nothing.
TEST_F(TriangulationSpool, RefusedPolygonsAreDumpedInEachFormat) {
  const tritest::Placement atX3 = [](float x, float y) { return std::array<float, 3>{3, x, y}; };
  const tritest::Placement below = [](float x, float y) { return std::array<float, 3>{x, y, -2}; };
  settings_.showFailures = true;
  Triangulator t(settings_);
  EXPECT_EQ(Triangulated(t, Build({kSquare, {{0, 0}, {1, 2}, {2, 1}}})).Count(), 7u);
  EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  const std::string both = Spooled();
  EXPECT_EQ(both.rfind("Self intersecting:\n7 \n          0          0  0 1\n", 0), 0u);
  EXPECT_EQ(Occurrences(both, "Self intersecting:\n"), 2);
  EXPECT_NE(both.find("Self intersecting:\n4 \n          0          0  0 1\n"
                      "          2          2  0 0\n"),
            std::string::npos);
  // in the plane x = 3, projected to (y, z), then the 3D points
  std::remove(settings_.spoolFile.c_str());
  settings_.dumpPoints3d = true;
  Triangulator points(settings_);
  EXPECT_EQ(Triangulated(points, Build({kBowTie}, atX3)).status, -1);
  EXPECT_NE(Spooled().find("          0          2  0 0\n4 \n"
                           "          3           0            0  1 \n"),
            std::string::npos);
  // u and v as float bit patterns; x, y, z cut to integers
  std::remove(settings_.spoolFile.c_str());
  settings_.hex = true;
  Triangulator hex(settings_);
  EXPECT_EQ(Triangulated(hex, Build({kBowTie}, below)).status, -1);
  EXPECT_NE(Spooled().find(" 0x40000000 0x0  0 0\n 0x0 0x40000000  0 0\n4 \n"
                           " 0 0 FFFFFFFE 1\n"),
            std::string::npos);
}

TEST_F(TriangulationSpool, DumpsOnlyEveryNthRun) {
  settings_.showFailures = true;
  settings_.dumpEvery = 3;
  Triangulator t(settings_);
  for (int run = 1; run <= 7; ++run)
    EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  // messages every time, dumps on runs 3 and 6
  EXPECT_EQ(Occurrences(Spooled(), "Self intersecting:\n"), 7);
  EXPECT_EQ(Occurrences(Spooled(), "4 \n"), 2);
  const std::string three = "Self intersecting:\nSelf intersecting:\nSelf intersecting:\n";
  EXPECT_EQ(Spooled().rfind(three + "4 \n", 0), 0u);
}

TEST_F(TriangulationSpool, TrianglesListedAfterEachSuccessAndNothingUnasked) {
  Triangulator quiet(settings_);
  EXPECT_EQ(Triangulated(quiet, Build({kBowTie})).status, -1);
  EXPECT_EQ(Triangulated(quiet, Build({{{0, 0}, {1, 0}, {0, 1}}})).status, 0);
  EXPECT_FALSE(std::ifstream(settings_.spoolFile).good());
  settings_.showTriangles = true;
  Triangulator t(settings_);
  EXPECT_EQ(Triangulated(t, Build({{{0, 0}, {2, 0}, {0, 1}}})).status, 0);
  EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  EXPECT_EQ(Spooled(), "MC_DECOMP TRIANGLES: triangle_cnt = 1 [\n    0:     2,     0,     1 \n]");
}

// With the checks skipped, what the sweep cannot handle comes back as a fan
// over the input order, while what it can keeps its own triangles.
TEST_F(TriangulationSpool, SimpleHintsFallBackToAFan) {
  settings_.hintsSimple = true;
  settings_.showTriangles = true;
  settings_.showFailures = true;
  Triangulator t(settings_);
  // a "hole" beside the square
  EXPECT_EQ(Triangulated(t, Build({kSquare, {{5, 0}, {6, 0}, {6, 1}}})).Count(), 5u);
  EXPECT_NE(Spooled().find("triangle_cnt = 5 [\n    0:     0,     1,     2 \n    1:     0,     2,"),
            std::string::npos);
  const Polygon good = Build({kSquare, {{1, 1}, {1, 3}, {3, 3}, {3, 1}}});
  tritest::ExpectTiles(good, Triangulated(t, good));
  // the bow-tie's crossing leaves its lowest point between trapezoids that
  // do not fit; a ring through one point twice gives a piece not monotone
  Triangulator bowTie(settings_), twice(settings_);
  std::remove(settings_.spoolFile.c_str());
  EXPECT_EQ(Triangulated(bowTie, Build({kBowTie})).Count(), 2u);
  EXPECT_EQ(Spooled().rfind("Found wrong number of trapezoids in type 3 search!!\n", 0), 0u);
  std::remove(settings_.spoolFile.c_str());
  EXPECT_EQ(Triangulated(twice, Build({{{3, 1}, {2, 2}, {1, 3}, {2, 2}, {3, 3}}})).Count(), 3u);
  EXPECT_EQ(Spooled().rfind("Can't match [2-0] with [2-0]!\n", 0), 0u);
}

TEST_F(TriangulationSpool, UnopenableSpoolFileMeansStandardError) {
  settings_.spoolFile = "/nonexistent-directory/spool.txt";
  settings_.showFailures = true;
  Triangulator t(settings_);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("Self intersecting:\n4 \n", 0), 0u) << err;
}

}  // namespace
}  // namespace modra
