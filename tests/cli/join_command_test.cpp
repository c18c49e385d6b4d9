// `modra join` as a script drives it: a part it cannot prove whole or
// cannot read as a regular file is refused, named, with status 1 and no
// output.
#include <gtest/gtest.h>

#include <filesystem>

#include "../render/movie_test_util.h"
#include "fifo_watchdog.h"
#include "modra_runner.h"
#include "render/mpeg_writer.h"

namespace modra {
namespace {

using movietest::Bytes;

void WriteMovie(const std::string& path, int first, int count) {
  MpegWriter writer;
  ASSERT_EQ(writer.Open(path, count, first), 0);
  for (int f = first; f < first + count; ++f)
    ASSERT_EQ(writer.AddFrame(movietest::Solid(16, 16, {20 * f, 100, 200}).data(), 16, 16), 0);
  ASSERT_EQ(writer.Finish(), 0);
}

TEST(JoinCommand, RefusesPartsItCannotProveWholeOrRead) {
  test::TempDir dir;
  WriteMovie(dir / "a.mpg", 0, 2);
  WriteMovie(dir / "b.mpg", 2, 3);
  // b.mpg cut inside its last picture.
  Bytes cut = test::ReadBytes(dir / "b.mpg");
  cut.resize(cut.size() - 20);
  test::WriteBytes(dir / "cut.mpg", cut);
  test::MakeFifo(dir / "fifo.mpg");
  std::filesystem::create_directory(dir / "folder.mpg");
  const std::string out = dir / "out.mpg";
  struct Case {
    std::string part, message;
  };
  const Case cases[] = {
      {dir / "cut.mpg", dir / "cut.mpg" + " is truncated after frame 3"},
      {dir / "fifo.mpg", "can't read " + dir / "fifo.mpg" + ": not a regular file (a FIFO)"},
      {dir / "folder.mpg", "can't read " + dir / "folder.mpg" + ": not a regular file (a folder)"},
      {"/dev/null", "can't read /dev/null: not a regular file (a character device)"},
      {dir / "none.mpg", "can't read " + dir / "none.mpg" + ": No such file or directory"},
  };
  for (const Case& c : cases) {
    const test::CliRun r = test::WithFifoWatchdog(dir / "fifo.mpg", [&] {
      return test::Modra({"join", out, dir / "a.mpg", c.part});
    });
    EXPECT_EQ(r.status, 1) << c.part;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "modra join: " + c.message + "\n");
    EXPECT_FALSE(std::filesystem::exists(out)) << c.part;
  }
  EXPECT_EQ(test::Modra({"join", out, dir / "a.mpg", dir / "b.mpg"}).status, 0);
}

}  // namespace
}  // namespace modra
