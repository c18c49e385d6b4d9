// Writing files through a temporary file beside the target, and every
// writer built on it: a failed save names the file and says why, and keeps
// the files that were there, with nothing left beside them.
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
#include "render/frame_output.h"
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

// Following links: the temporary file goes beside the file the chain of
// links ends at (a rename cannot cross file systems), and a target that
// became something else while the file was written is not replaced.
TEST(OutputFile, WritesBesideTheFileALinkChainEndsAtAndChecksItAgainAtCommit) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "links");
  std::filesystem::create_directory(dir / "files");
  const std::string link = dir / "links/a.txt", real = dir / "files/real.txt";
  std::filesystem::create_symlink("b.txt", link);
  std::filesystem::create_symlink("../files/real.txt", dir / "links/b.txt");
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(link)) << out.error();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "files"), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "links"), {}), 2);
    out.Write("new");
    ASSERT_TRUE(out.Commit()) << out.error();
    EXPECT_EQ(out.error(), link);  // nothing failed: the name alone
  }
  EXPECT_EQ(test::ReadText(real), "new");
  EXPECT_EQ(std::filesystem::read_symlink(link), "b.txt");

  {
    OutputFile out;
    ASSERT_TRUE(out.Open(link));
    out.Write("newer");
    std::filesystem::remove(real);
    ASSERT_EQ(::mkfifo(real.c_str(), 0600), 0);
    EXPECT_FALSE(out.Commit());
    EXPECT_EQ(out.error(), link + ": Not a regular file");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(real));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "files"), {}), 1);
}

// A failed save names the file and the system's reason after the
// writer's own words. PATH and REASON stand for them.
struct Writer {
  const char* name;
  const char* file;     // what it writes, in a folder of its own
  const char* sibling;  // a second file it writes beside the first, if any
  // Writes a scene, profile or picture the disk will not take when `big`.
  std::function<int(test::RecordedDocument&, const std::string& path, bool big)> write;
  const char* cantOpen;   // when the file cannot be made
  const char* cantWrite;  // when the disk refuses its bytes
};

void PrintTo(const Writer& w, std::ostream* os) {
  *os << w.name;
}

int WriteScene(int (*writer)(Document&, const std::string&), test::RecordedDocument& r,
               const std::string& path, bool big) {
  for (int i = 0; i < (big ? 20 : 1); ++i)
    test::AddLayoutGroup(r.scene(), "g", 0, kTriangles, big ? 3000 : 3, 1);
  return writer(r.doc, path);
}

// One picture of a render in `format` at `path` itself; noise, so that a
// big one stays big however it is coded.
int WriteFrame(int format, test::RecordedDocument& r, const std::string& path, bool big) {
  const int side = big ? 128 : 4;
  std::vector<uint8_t> rgb(static_cast<size_t>(side) * side * 3);
  uint32_t state = 12345;
  for (uint8_t& byte : rgb)
    byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
  FrameOutput output(format, path, r.shell);
  bool ok =
      output.Open(1) && output.Begin(side, side) && output.Write(rgb.data(), side, side, 0, true);
  ok = output.Finish() && ok;
  return ok ? 0 : -1;
}

constexpr char kCantOpenFrame[] = "Can't open output file PATH for write: REASON\n";
constexpr char kCantWriteFrame[] = "Can't write entire file: PATH: REASON";

const Writer kWriters[] = {
    {"native", "scene.knf", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteScene(WriteNativeFile, r, path, big); },
     "Can't open PATH for write: REASON", "Can't write output file: PATH: REASON"},
    {"source", "scene.cpp", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteScene(WriteSourceFile, r, path, big); },
     "Can't open PATH for write: REASON", "Can't write output file: PATH: REASON"},
    {"skyloom", "scene.gfx", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteScene(WriteSkyloomFile, r, path, big); },
     "Can't open PATH for write: REASON", "Can't write output file: PATH: REASON"},
    {"wavefront", "scene.obj", "scene.mtl",
     [](auto& r, const auto& path, bool big) {
       return WriteScene(WriteWavefrontFile, r, path, big);
     },
     "Can't open PATH for write: REASON", "Can't write output file: PATH: REASON"},
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
     "Can't open PATH for write: REASON\n", "Can't write entire file to PATH: REASON\n"},
    {"surface", "profile.surf", nullptr,
     [](auto& r, const auto& path, bool big) {
       RevolutionProfile p;
       const int n = big ? 4000 : 3;
       p.points.assign(2 * n, 0.5f);
       p.corners.assign(n, 0);
       return WriteSurfFile(p, path, r.shell);
     },
     "Can't open PATH for write: REASON\n", "Can't write entire file to PATH: REASON\n"},
    {"ppmFrame", "frame.ppm", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteFrame(kRenderPpm, r, path, big); },
     kCantOpenFrame, kCantWriteFrame},
    {"bmpFrame", "frame.bmp", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteFrame(kRenderBmp, r, path, big); },
     kCantOpenFrame, kCantWriteFrame},
    {"jpegFrame", "frame.jpg", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteFrame(kRenderJpeg, r, path, big); },
     kCantOpenFrame, kCantWriteFrame},
    {"pngFrame", "frame.png", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteFrame(kRenderPng, r, path, big); },
     kCantOpenFrame, kCantWriteFrame},
    {"mp4", "movie.mp4", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteFrame(kRenderMp4, r, path, big); },
     "Bummer, can't create movie: PATH: REASON", kCantWriteFrame},
    {"movie", "movie.mpg", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteFrame(kRenderMpeg, r, path, big); },
     "Bummer, can't create movie: PATH: REASON", kCantWriteFrame},
    {"gif", "movie.gif", nullptr,
     [](auto& r, const auto& path, bool big) { return WriteFrame(kRenderGif, r, path, big); },
     kCantWriteFrame, kCantWriteFrame},
};

std::string Expand(std::string text, const std::string& path, const std::string& reason) {
  for (const auto& [key, value] : {std::pair<std::string, std::string>{"PATH", path},
                                   std::pair<std::string, std::string>{"REASON", reason}})
    if (const size_t at = text.find(key); at != std::string::npos)
      text.replace(at, key.size(), value);
  return text;
}

class FailedWrite : public ::testing::TestWithParam<Writer> {};

TEST_P(FailedWrite, NamesTheFileAndTheReasonAndKeepsThePreviousFiles) {
  const Writer& w = GetParam();
  test::TempDir dir;
  const std::string path = dir / w.file, missing = dir / ("missing/" + std::string(w.file));
  test::RecordedDocument r;
  EXPECT_EQ(w.write(r, missing, false), -1);
  EXPECT_EQ(r.shell.messages,
            std::vector<std::string>{Expand(w.cantOpen, missing, "No such file or directory")});

  test::WriteText(path, "old");
  if (w.sibling) test::WriteText(dir / w.sibling, "old sibling");
  const long entries = dir.Entries();
  r.shell.messages.clear();
  {
    test::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.active());
    EXPECT_EQ(w.write(r, path, true), -1);
  }
  EXPECT_EQ(r.shell.messages,
            std::vector<std::string>{Expand(w.cantWrite, path, "File too large")});
  EXPECT_EQ(test::ReadText(path), "old");
  if (w.sibling) {
    EXPECT_EQ(test::ReadText(dir / w.sibling), "old sibling");
  }
  EXPECT_EQ(dir.Entries(), entries);

  // Once the disk takes it, the same save goes through.
  r.shell.messages.clear();
  EXPECT_EQ(w.write(r, path, false), 0);
  EXPECT_EQ(r.shell.messages, std::vector<std::string>{});
  EXPECT_NE(test::ReadText(path), "old");
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, FailedWrite, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace modra
