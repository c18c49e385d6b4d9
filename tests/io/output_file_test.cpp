// Writing files through a temporary file beside the target.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "io/output_file.h"
#include "nativefile/native_test_util.h"

namespace modra {
namespace {

TEST(OutputFile, ReplacesTheTargetOnlyWhenCommitted) {
  test::TempDir dir;
  const std::string path = dir / "out.txt";
  test::WriteBytes(path, {'o', 'l', 'd'});
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(path));
    out.Write("new");
    // Dropped without Commit: nothing changes, nothing is left behind.
  }
  EXPECT_EQ(test::ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);
  OutputFile out;
  ASSERT_TRUE(out.Open(path));
  out.Print("%s %d", "new", 7);
  ASSERT_TRUE(out.Commit());
  EXPECT_EQ(test::ReadBytes(path), (std::vector<uint8_t>{'n', 'e', 'w', ' ', '7'}));
}

TEST(OutputFile, KeepsTheModeAndTheLinkOfWhatItReplaces) {
  test::TempDir dir;
  const std::string real = dir / "real.txt", link = dir / "link.txt";
  test::WriteBytes(real, {'a'});
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, link);
  OutputFile out;
  ASSERT_TRUE(out.Open(link));
  out.Write("b");
  ASSERT_TRUE(out.Commit());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadBytes(real), (std::vector<uint8_t>{'b'}));
  struct stat info;
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(OutputFile, RefusesDirectoriesThatDoNotExist) {
  test::TempDir dir;
  OutputFile out;
  EXPECT_FALSE(out.Open(dir / "missing/out.txt"));
  EXPECT_FALSE(out.Write("x"));
  EXPECT_FALSE(out.Commit());
}

}  // namespace
}  // namespace modra
