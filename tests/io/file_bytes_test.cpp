#include "io/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_util.h"

namespace modra {
namespace {

// Each way a whole-file read fails gives the code its reader named for it,
// with nothing held; a file that reads gives its bytes.
TEST(WholeFile, EachFailureGivesTheCodeItsReaderNames) {
  test::TempDir dir;
  test::WriteText(dir / "small", "abc");
  test::WriteText(dir / "huge", "");
  std::filesystem::resize_file(dir / "huge", kMaxFileBytes + 1);  // sparse: takes no room
  const FileFailureCodes codes{.cannotOpen = 11, .shortRead = 12, .tooLarge = 13};

  FileBytes file;
  ASSERT_EQ(ReadWholeFile(dir / "small", file, codes), 0);
  EXPECT_EQ(std::string(file.span().begin(), file.span().end()), "abc");
  struct Case {
    std::string path;
    int code;
    size_t size;  // still known after tooLarge, for the message that reports it
  };
  for (const Case& c : {Case{dir / "missing", 11, 0}, Case{dir.path.string(), 11, 0},
                        Case{dir / "huge", 13, kMaxFileBytes + 1}}) {
    EXPECT_EQ(ReadWholeFile(c.path, file, codes), c.code) << c.path;
    EXPECT_EQ(file.data, nullptr);
    EXPECT_EQ(file.size, c.size);
  }
  EXPECT_EQ(ReadWholeFile(dir / "missing", file), kFileCannotOpen);
}

}  // namespace
}  // namespace modra
