#include "io/file_bytes.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace modra {
namespace {

namespace fs = std::filesystem;

// Each way a whole-file read fails gives the code its reader named for it,
// with nothing held; a file that reads gives its bytes.
TEST(WholeFile, EachFailureGivesTheCodeItsReaderNames) {
  std::string pattern = (fs::temp_directory_path() / "modra-io-XXXXXX").string();
  const fs::path dir = mkdtemp(pattern.data());
  std::ofstream(dir / "small") << "abc";
  std::ofstream(dir / "huge").close();
  fs::resize_file(dir / "huge", kMaxFileBytes + 1);  // sparse: takes no room
  const FileFailureCodes codes{.cannotOpen = 11, .shortRead = 12, .tooLarge = 13};

  FileBytes file;
  ASSERT_EQ(ReadWholeFile(dir / "small", file, codes), 0);
  EXPECT_EQ(std::string(file.span().begin(), file.span().end()), "abc");
  struct Case {
    fs::path path;
    int code;
    size_t size;  // still known after tooLarge, for the message that reports it
  };
  for (const Case& c : {Case{dir / "missing", 11, 0}, Case{dir, 11, 0},
                        Case{dir / "huge", 13, kMaxFileBytes + 1}}) {
    EXPECT_EQ(ReadWholeFile(c.path, file, codes), c.code) << c.path;
    EXPECT_EQ(file.data, nullptr);
    EXPECT_EQ(file.size, c.size);
  }
  EXPECT_EQ(ReadWholeFile(dir / "missing", file), kFileCannotOpen);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace modra
