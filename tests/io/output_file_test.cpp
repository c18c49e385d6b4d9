// Writing files through a temporary file beside the target, and every
// writer built on it: a failed save says why and keeps the files that were
// there, with nothing left beside them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "export/gfx_writer.h"
#include "formats/obj_writer.h"
#include "geometry/ext_file.h"
#include "geometry/surf_file.h"
#include "io/file_size_limit.h"
#include "io/output_file.h"
#include "nativefile/native_writer.h"
#include "nativefile/source_writer.h"
#include "test_util.h"

namespace modra {
namespace {

// The target is replaced only on Commit, keeping its mode and the link
// that led to it; a file dropped uncommitted leaves nothing behind.
TEST(OutputFile, ReplacesTheTargetOnlyWhenCommitted) {
  test::TempDir dir;
  const std::string real = dir / "real.txt", link = dir / "link.txt";
  test::WriteText(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, link);
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(link));
    out.Write("new");
  }
  EXPECT_EQ(test::ReadText(real), "old");
  EXPECT_EQ(dir.Entries(), 2);
  OutputFile out;
  ASSERT_TRUE(out.Open(link));
  out.Print("%s %d", "new", 7);
  ASSERT_TRUE(out.Commit());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadText(real), "new 7");
  struct stat info;
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

struct Writer {
  const char* name;
  const char* file;     // what it writes, in a folder of its own
  const char* sibling;  // a second file it writes beside the first, if any
  // Writes a scene or profile the disk will not take when `big`.
  std::function<int(test::RecordedDocument&, const std::string& path, bool big)> write;
  const char* refused;  // what it says when the disk refuses; PATH stands for the file
  bool lineEnd;         // its messages end with a line break
};

int WriteScene(int (*writer)(Document&, const std::string&), test::RecordedDocument& r,
               const std::string& path, bool big) {
  for (int i = 0; i < (big ? 20 : 1); ++i)
    test::AddLayoutGroup(r.scene(), "g", 0, kTriangles, big ? 3000 : 3, 1);
  return writer(r.doc, path);
}

const Writer kWriters[] = {
    {"native", "scene.knf", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteScene(WriteNativeFile, r, path, big); },
     "Can't write output file", false},
    {"source", "scene.cpp", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteScene(WriteSourceFile, r, path, big); },
     "Can't write output file", false},
    {"skyloom", "scene.gfx", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteScene(WriteSkyloomFile, r, path, big); },
     "Can't write output file", false},
    {"wavefront", "scene.obj", "scene.mtl",
     [](auto& r, const auto& path, bool big) {
       return WriteScene(WriteWavefrontFile, r, path, big);
     },
     "Can't write output file", false},
    {"extrusion", "profile.ext", nullptr,
     [](auto& r, const auto& path, bool big) {
       ExtrusionProfile p;
       ResetProfile(p);
       const int n = big ? 5000 : 3;
       p.pointCounts = {n};
       p.points.assign(2 * n, 0.5f);
       p.corners.assign(n, 0);
       p.selected.assign(n, 0);
       return WriteExtFile(p, path, r.shell);
     },
     "Can't write entire file to PATH\n", true},
    {"surface", "profile.surf", nullptr,
     [](auto& r, const auto& path, bool big) {
       RevolutionProfile p;
       const int n = big ? 4000 : 3;
       p.points.assign(2 * n, 0.5f);
       p.corners.assign(n, 0);
       return WriteSurfFile(p, path, r.shell);
     },
     "Can't write entire file to PATH\n", true},
};

class FailedWrite : public ::testing::TestWithParam<Writer> {};

TEST_P(FailedWrite, SaysWhyAndKeepsThePreviousFiles) {
  const Writer& w = GetParam();
  const std::string end = w.lineEnd ? "\n" : "";
  test::TempDir dir;
  const std::string path = dir / w.file, missing = dir / ("missing/" + std::string(w.file));
  test::RecordedDocument r;
  EXPECT_EQ(w.write(r, missing, false), -1);
  EXPECT_EQ(r.shell.messages,
            std::vector<std::string>{"Can't open " + missing + " for write" + end});

  test::WriteText(path, "old");
  if (w.sibling) test::WriteText(dir / w.sibling, "old sibling");
  const long entries = dir.Entries();
  r.shell.messages.clear();
  {
    test::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.active());
    EXPECT_EQ(w.write(r, path, true), -1);
  }
  std::string refused = w.refused;
  if (const size_t at = refused.find("PATH"); at != std::string::npos) refused.replace(at, 4, path);
  EXPECT_EQ(r.shell.messages, std::vector<std::string>{refused});
  EXPECT_EQ(test::ReadText(path), "old");
  if (w.sibling) {
    EXPECT_EQ(test::ReadText(dir / w.sibling), "old sibling");
  }
  EXPECT_EQ(dir.Entries(), entries);
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, FailedWrite, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace modra
