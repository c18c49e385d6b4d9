// The triangulator's debug environment: what it prints, in which format,
// and where.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "geometry/triangulate.h"
#include "triangulate_test_util.h"

namespace modra {
namespace {

using tritest::Build;
using tritest::Polygon;
using tritest::Ring;
using tritest::Triangulated;

const char* const kVariables[] = {
    "QX_DEBUG_DECOMP_COUNT",           "QX_DEBUG_DECOMP_SHOW_MC",
    "QX_DEBUG_SHOW_DECOMP_TRIANGLES",  "QX_DEBUG_SHOW_DECOMP_FAILURES",
    "QX_DEBUG_SET_HINTS_SIMPLE",       "QX_DEBUG_DECOMP_SPOOL_FILE",
    "QX_DEBUG_DECOMP_PRINT_HEX_FORMAT"};

const Ring kBowTie = {{0, 0}, {2, 2}, {2, 0}, {0, 2}};

class TriangulationDebug : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables)
      unsetenv(name);
    spool_ = ::testing::TempDir() + "modra-tri-spool-" + std::to_string(getpid()) + ".txt";
    std::remove(spool_.c_str());
  }
  void TearDown() override {
    for (const char* name : kVariables)
      unsetenv(name);
    std::remove(spool_.c_str());
  }

  void Set(const char* name, const char* value = "1") { setenv(name, value, 1); }
  void SpoolAndShowFailures() {
    Set("QX_DEBUG_DECOMP_SPOOL_FILE", spool_.c_str());
    Set("QX_DEBUG_SHOW_DECOMP_FAILURES");
  }

  bool SpoolExists() const { return std::ifstream(spool_).good(); }
  std::string Spooled() const {
    std::ifstream in(spool_);
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

  std::string spool_;
};

TEST_F(TriangulationDebug, SelfIntersectingGoesToTheSpoolFile) {
  SpoolAndShowFailures();
  Triangulator t;
  EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  EXPECT_EQ(Spooled().rfind("Self intersecting:\n", 0), 0u) << Spooled();
  // the file stays open for the triangulator's later runs
  EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  EXPECT_EQ(Occurrences(Spooled(), "Self intersecting:\n"), 2);
}

TEST_F(TriangulationDebug, NothingIsWrittenUnlessAsked) {
  Set("QX_DEBUG_DECOMP_SPOOL_FILE", spool_.c_str());
  Triangulator t;
  EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  EXPECT_EQ(Triangulated(t, Build({{{0, 0}, {1, 0}, {0, 1}}})).status, 0);
  EXPECT_FALSE(SpoolExists());
}

TEST_F(TriangulationDebug, FailureDumpListsTheProjectedPoints) {
  SpoolAndShowFailures();
  // a bow-tie with a hole: the first point of each contour is marked
  const Polygon p = Build({kBowTie, {{0.5, 1}, {1234567, 1}, {1, 0.25}}}, [](float x, float y) {
    return std::array<float, 3>{x, y, -1.25f};
  });
  EXPECT_EQ(Triangulated(p).status, -1);
  EXPECT_EQ(Spooled(),
            "Self intersecting:\n"
            "7 \n"
            "          0          0  0 1\n"
            "          2          2  0 0\n"
            "          2          0  0 0\n"
            "          0          2  0 0\n"
            "        0.5          1  0 1\n"
            " 1.23457e+06          1  0 0\n"
            "          1       0.25  0 0\n");
}

TEST_F(TriangulationDebug, FailureDumpWith3DPoints) {
  SpoolAndShowFailures();
  Set("QX_DEBUG_DECOMP_SHOW_MC");
  // in the plane x = 3, projected to (y, z)
  const Polygon p = Build({kBowTie}, [](float x, float y) {
    return std::array<float, 3>{3, x, y};
  });
  EXPECT_EQ(Triangulated(p).status, -1);
  EXPECT_EQ(Spooled(),
            "Self intersecting:\n"
            "4 \n"
            "          0          0  0 1\n"
            "          2          2  0 0\n"
            "          2          0  0 0\n"
            "          0          2  0 0\n"
            "4 \n"
            "          3           0            0  1 \n"
            "          3           2            2  0 \n"
            "          3           2            0  0 \n"
            "          3           0            2  0 \n");
}

TEST_F(TriangulationDebug, FailureDumpInHexadecimal) {
  SpoolAndShowFailures();
  Set("QX_DEBUG_DECOMP_SHOW_MC");
  Set("QX_DEBUG_DECOMP_PRINT_HEX_FORMAT");
  const Polygon p = Build({{{0, 0}, {2, 2}, {2, 0.5}, {0, 2}}}, [](float x, float y) {
    return std::array<float, 3>{x, y, -1.75f};
  });
  EXPECT_EQ(Triangulated(p).status, -1);
  // u and v as float bit patterns; x, y, z cut to integers
  EXPECT_EQ(Spooled(),
            "Self intersecting:\n"
            "4 \n"
            " 0x0 0x0  0 1\n"
            " 0x40000000 0x40000000  0 0\n"
            " 0x40000000 0x3F000000  0 0\n"
            " 0x0 0x40000000  0 0\n"
            "4 \n"
            " 0 0 FFFFFFFF 1\n"
            " 2 2 FFFFFFFF 0\n"
            " 2 0 FFFFFFFF 0\n"
            " 0 2 FFFFFFFF 0\n");
}

TEST_F(TriangulationDebug, DumpsOnlyEveryNthRun) {
  SpoolAndShowFailures();
  Set("QX_DEBUG_DECOMP_COUNT", "3");
  Triangulator t;
  for (int run = 1; run <= 7; ++run)
    EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  const std::string text = Spooled();
  // messages every time, dumps on runs 3 and 6
  EXPECT_EQ(Occurrences(text, "Self intersecting:\n"), 7);
  EXPECT_EQ(Occurrences(text, "4 \n"), 2);
  const std::string three = "Self intersecting:\nSelf intersecting:\nSelf intersecting:\n";
  EXPECT_EQ(text.rfind(three + "4 \n", 0), 0u);
}

TEST_F(TriangulationDebug, CountThatIsNoNumberDumpsEveryRun) {
  SpoolAndShowFailures();
  Set("QX_DEBUG_DECOMP_COUNT", "0");
  Triangulator t;
  for (int run = 0; run < 2; ++run)
    EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  EXPECT_EQ(Occurrences(Spooled(), "4 \n"), 2);
}

TEST_F(TriangulationDebug, TrianglesListedAfterEachSuccess) {
  Set("QX_DEBUG_DECOMP_SPOOL_FILE", spool_.c_str());
  Set("QX_DEBUG_SHOW_DECOMP_TRIANGLES");
  Triangulator t;
  EXPECT_EQ(Triangulated(t, Build({{{0, 0}, {2, 0}, {0, 1}}})).status, 0);
  EXPECT_EQ(Triangulated(t, Build({kBowTie})).status, -1);
  EXPECT_EQ(Spooled(), "MC_DECOMP TRIANGLES: triangle_cnt = 1 [\n    0:     2,     0,     1 \n]");
}

TEST_F(TriangulationDebug, SimpleHintsFallBackToAFan) {
  Set("QX_DEBUG_DECOMP_SPOOL_FILE", spool_.c_str());
  Set("QX_DEBUG_SHOW_DECOMP_TRIANGLES");
  // a "hole" beside the square: refused after the checks, a fan without them
  const Polygon p = Build({{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, {{5, 0}, {6, 0}, {6, 1}}});
  EXPECT_EQ(Triangulated(p).status, -1);
  EXPECT_FALSE(SpoolExists());
  Set("QX_DEBUG_SET_HINTS_SIMPLE");
  EXPECT_EQ(Triangulated(p).Count(), 5u);
  EXPECT_EQ(Spooled(),
            "MC_DECOMP TRIANGLES: triangle_cnt = 5 [\n"
            "    0:     0,     1,     2 \n"
            "    1:     0,     2,     3 \n"
            "    2:     0,     3,     4 \n"
            "    3:     0,     4,     5 \n"
            "    4:     0,     5,     6 \n"
            "]");
  // a polygon the sweep can handle still gets its own triangles
  const Polygon good = Build({{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, {{1, 1}, {1, 3}, {3, 3}, {3, 1}}});
  tritest::ExpectTiles(good, Triangulated(good));
}

TEST_F(TriangulationDebug, UncheckedRepeatedCornerEndsInAFanFromTheTop) {
  Set("QX_DEBUG_DECOMP_SPOOL_FILE", spool_.c_str());
  Set("QX_DEBUG_SHOW_DECOMP_TRIANGLES");
  Set("QX_DEBUG_SET_HINTS_SIMPLE");
  // unmerged, the doubled corner leaves a piece whose chain is all straight
  // corners: it goes as a fan from the piece's top (point 1), not as the
  // fallback fan from point 0
  EXPECT_EQ(Triangulated(Build({{{0, 0}, {1, 3}, {0, 2}, {0, 2}}})).status, 0);
  EXPECT_EQ(Spooled(),
            "MC_DECOMP TRIANGLES: triangle_cnt = 2 [\n"
            "    0:     1,     2,     3 \n"
            "    1:     1,     3,     0 \n"
            "]");
}

TEST_F(TriangulationDebug, UncheckedPieceThatWillNotClipFallsBackToAFan) {
  Set("QX_DEBUG_DECOMP_SPOOL_FILE", spool_.c_str());
  Set("QX_DEBUG_SHOW_DECOMP_TRIANGLES");
  Set("QX_DEBUG_SET_HINTS_SIMPLE");
  // the doubled first point leaves a piece with a chain that bends but has
  // no ear: no fan from its top, the whole run becomes the fallback fan
  EXPECT_EQ(Triangulated(Build({{{3, 3}, {3, 3}, {2, 2}, {1, 0}, {1, 3}}})).status, 0);
  EXPECT_EQ(Spooled(),
            "MC_DECOMP TRIANGLES: triangle_cnt = 3 [\n"
            "    0:     0,     1,     2 \n"
            "    1:     0,     2,     3 \n"
            "    2:     0,     3,     4 \n"
            "]");
}

TEST_F(TriangulationDebug, SweepFailuresReportedBeforeTheFan) {
  SpoolAndShowFailures();
  Set("QX_DEBUG_SET_HINTS_SIMPLE");
  {
    // unchecked, the bow-tie's crossing leaves its lowest point between
    // trapezoids that do not fit
    Triangulator t;
    EXPECT_EQ(Triangulated(t, Build({kBowTie})).Count(), 2u);
    EXPECT_EQ(Spooled(), "Found wrong number of trapezoids in type 3 search!!\n");
  }
  {
    // a ring through one point twice gives a piece that is not monotone
    Triangulator t;
    EXPECT_EQ(Triangulated(t, Build({{{3, 1}, {2, 2}, {1, 3}, {2, 2}, {3, 3}}})).Count(), 3u);
    EXPECT_EQ(Spooled(), "Can't match [2-0] with [2-0]!\n");
  }
}

TEST_F(TriangulationDebug, SettingsAreReadWhenTheTriangulatorIsMade) {
  Triangulator before;
  SpoolAndShowFailures();
  EXPECT_EQ(Triangulated(before, Build({kBowTie})).status, -1);
  EXPECT_FALSE(SpoolExists());
  Triangulator after;
  EXPECT_EQ(Triangulated(after, Build({kBowTie})).status, -1);
  EXPECT_TRUE(SpoolExists());
}

TEST_F(TriangulationDebug, UnopenableSpoolFileMeansStandardError) {
  Set("QX_DEBUG_DECOMP_SPOOL_FILE", "/nonexistent-directory/spool.txt");
  Set("QX_DEBUG_SHOW_DECOMP_FAILURES");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Triangulated(Build({kBowTie})).status, -1);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("Self intersecting:\n4 \n", 0), 0u) << err;
}

}  // namespace
}  // namespace modra
