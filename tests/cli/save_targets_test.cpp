// What a save from the command line writes over: a regular file or a new
// name, reached through any symbolic link. Anything else at the output
// name (a FIFO, a device, a folder, a read-only file, a loop of links) is
// refused with the reason, and a save that runs out of disk says so; in
// both cases whatever was there stays as it was.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <tuple>

#include "../render/movie_test_util.h"
#include "modra_runner.h"
#include "nativefile/native_writer.h"
#include "render/mpeg_writer.h"
#include "test_util.h"

namespace modra {
namespace {

namespace fs = std::filesystem;

// What a directory entry is, without following a link: its type and
// mode, the device it stands for, the bytes of a file, the names in a
// folder, the text of a link. Empty when there is nothing.
struct Entry {
  mode_t mode = 0;
  dev_t device = 0;
  std::string content;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
  *os << "mode 0" << std::oct << e.mode << std::dec << ", device " << e.device << ", \""
      << e.content << "\"";
}

Entry Look(const std::string& path) {
  Entry e;
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return e;
  e.mode = info.st_mode;
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) e.device = info.st_rdev;
  if (S_ISREG(info.st_mode)) e.content = test::ReadText(path);
  if (S_ISLNK(info.st_mode)) e.content = fs::read_symlink(path).string();
  if (S_ISDIR(info.st_mode))
    for (const fs::directory_entry& d : fs::directory_iterator(path))
      e.content += d.path().filename().string() + "\n";
  return e;
}

long Entries(const std::string& folder) {
  return std::distance(fs::directory_iterator(folder), {});
}

// The inputs every save reads, made once: a scene to convert and render,
// and the two parts of a movie to join.
struct Inputs {
  test::TempDir dir;
  std::string scene = dir / "scene.knf", part0 = dir / "m.part0.mpg", part1 = dir / "m.part1.mpg";

  Inputs() {
    Document doc;
    test::AddTriangle(doc.scene, "t");
    EXPECT_EQ(WriteNativeFile(doc, scene), 0);
    for (int frame : {0, 1}) {
      MpegWriter writer;
      EXPECT_EQ(writer.Open(frame == 0 ? part0 : part1, 1, frame), 0);
      EXPECT_EQ(writer.AddFrame(movietest::Solid(16, 16, {200, 40, 90}).data(), 16, 16), 0);
      EXPECT_EQ(writer.Finish(), 0);
    }
  }
};

using Message = std::function<std::string(const std::string& out, const std::string& reason)>;

struct Command {
  const char* name;
  const char* file;  // the output's name
  std::function<test::CliRun(const Inputs&, const std::string& out)> run;
  Message refused;  // when the output cannot be made
  Message failed;   // when writing it fails
};

void PrintTo(const Command& c, std::ostream* os) {
  *os << c.name;
}

const Command kCommands[] = {
    {"Convert", "copy.knf",
     [](const Inputs& in, const std::string& out) {
       return test::Modra({"convert", in.scene, out});
     },
     [](const auto& out, const auto& reason) {
       return "Can't open " + out + " for write: " + reason + "\n";
     },
     [](const auto& out, const auto& reason) {
       return "Can't write output file: " + out + ": " + reason + "\n";
     }},
    {"RenderMovie", "movie.mpg",
     [](const Inputs& in, const std::string& out) {
       return test::Modra({"render", in.scene, "--size", "16x16", "--oversample", "1", "-o", out});
     },
     [](const auto& out, const auto& reason) {
       return "Bummer, can't create movie: " + out + ": " + reason + "\n";
     },
     [](const auto& out, const auto& reason) {
       return "Can't write entire file: " + out + ": " + reason + "\n";
     }},
    {"RenderStill", "still.ppm",
     [](const Inputs& in, const std::string& out) {
       return test::Modra({"render", in.scene, "--view", "front", "--size", "16x16", "--oversample",
                           "1", "-o", out});
     },
     [](const auto& out, const auto& reason) {
       return "Can't open output file " + out + " for write: " + reason + "\n";
     },
     [](const auto& out, const auto& reason) {
       return "Can't write entire file: " + out + ": " + reason + "\n";
     }},
    {"Join", "joined.mpg",
     [](const Inputs& in, const std::string& out) {
       return test::Modra({"join", out, in.part0, in.part1});
     },
     [](const auto& out, const auto& reason) {
       return "modra join: can't create " + out + ": " + reason + "\n";
     },
     [](const auto& out, const auto& reason) {
       return "modra join: can't write " + out + ": " + reason + "\n";
     }},
};

enum class Outcome {
  kRefused,      // nothing written, the output is refused with the reason
  kFailed,       // written until the disk refused, then given up
  kThroughLink,  // the file the link leads to is written, the link stays
};

struct Target {
  const char* name;
  Outcome outcome;
  const char* reason;
};

void PrintTo(const Target& t, std::ostream* os) {
  *os << t.name;
}

const Target kTargets[] = {
    {"Fifo", Outcome::kRefused, "Not a regular file"},
    {"Device", Outcome::kRefused, "Not a regular file"},
    {"Folder", Outcome::kRefused, "Is a directory"},
    {"ReadOnlyFile", Outcome::kRefused, "Read-only file"},
    {"LinkLoop", Outcome::kRefused, "Too many levels of symbolic links"},
    {"FullDisk", Outcome::kFailed, "No space left on device"},
    {"DanglingLink", Outcome::kThroughLink, nullptr},
    {"LinkToFile", Outcome::kThroughLink, nullptr},
};

class SaveOnto : public ::testing::TestWithParam<std::tuple<Command, Target>> {
 protected:
  static void SetUpTestSuite() { inputs_ = new Inputs; }
  static void TearDownTestSuite() {
    delete inputs_;
    inputs_ = nullptr;
  }
  void TearDown() override {
    if (!mounted_.empty()) ::umount2(mounted_.c_str(), MNT_DETACH);
  }

  // Puts the target at dir/<name> (or on a full disk there) and returns
  // the output path; empty, with the reason in *skip, where this machine
  // cannot make it.
  std::string Make(const std::string& target, const std::string& name, std::string* skip) {
    const std::string out = dir_ / name, real = dir_ / "real.out";
    if (target == "Fifo") {
      EXPECT_EQ(::mkfifo(out.c_str(), 0644), 0);
    } else if (target == "Device") {
      if (::geteuid() != 0) {
        *skip = "making a device node needs root";
        return {};
      }
      EXPECT_EQ(::mknod(out.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0) << std::strerror(errno);
    } else if (target == "Folder") {
      fs::create_directory(out);
      test::WriteText(out + "/inside", "kept");
    } else if (target == "ReadOnlyFile") {
      test::WriteText(out, "old");
      EXPECT_EQ(::chmod(out.c_str(), 0444), 0);
    } else if (target == "LinkLoop") {
      fs::create_symlink("loop.b", out);
      fs::create_symlink(name, dir_ / "loop.b");
    } else if (target == "DanglingLink") {
      fs::create_symlink("real.out", out);
    } else if (target == "LinkToFile") {
      test::WriteText(real, "old");
      EXPECT_EQ(::chmod(real.c_str(), 0640), 0);
      fs::create_symlink(real, out);
    } else if (target == "FullDisk") {
      return MakeFullDisk(name, skip);
    }
    return out;
  }

  // A 64 KiB file system filled to the last block, holding the output's
  // previous version.
  std::string MakeFullDisk(const std::string& name, std::string* skip) {
    const std::string disk = dir_ / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
      *skip = "can't mount a small tmpfs to fill (" + std::string(std::strerror(errno)) +
              "); run as root to test a full disk";
      return {};
    }
    mounted_ = disk;
    const std::string out = disk + "/" + name;
    test::WriteText(out, "old");
    std::ofstream filler(disk + "/filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) &&
           filler.flush()) {
    }
    filler.close();
    // note: a byte more must not fit, or the save would not fail.
    std::ofstream probe(disk + "/probe", std::ios::binary);
    probe << 'x';
    probe.flush();
    const bool full = !probe;
    probe.close();
    fs::remove(disk + "/probe");
    EXPECT_TRUE(full) << "the disk did not fill";
    return out;
  }

  static Inputs* inputs_;
  test::TempDir dir_;
  std::string mounted_;
};

Inputs* SaveOnto::inputs_ = nullptr;

TEST_P(SaveOnto, WritesOnlyARegularFileAndKeepsWhatItRefuses) {
  const auto& [command, target] = GetParam();
  std::string skip;
  const std::string out = Make(target.name, command.file, &skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  ASSERT_FALSE(out.empty());
  const std::string folder = fs::path(out).parent_path().string();
  const Entry before = Look(out), realBefore = Look(dir_ / "real.out");
  const long entries = Entries(folder);

  const test::CliRun r = command.run(*inputs_, out);
  EXPECT_EQ(r.out, "");
  switch (target.outcome) {
    case Outcome::kRefused:
    case Outcome::kFailed: {
      const Message& message =
          target.outcome == Outcome::kRefused ? command.refused : command.failed;
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, message(out, target.reason));
      EXPECT_EQ(Look(out), before);
      EXPECT_EQ(Entries(folder), entries);  // no temporary file left behind
      break;
    }
    case Outcome::kThroughLink: {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(Look(out), before);  // still the same link
      const Entry written = Look(dir_ / "real.out");
      EXPECT_TRUE(S_ISREG(written.mode));
      EXPECT_GT(written.content.size(), 3u);
      EXPECT_NE(written.content, realBefore.content);
      // A file replaced keeps its mode; a new one gets the usual one.
      if (realBefore.mode != 0) {
        EXPECT_EQ(written.mode & 07777, 0640u);
      }
      EXPECT_EQ(Entries(folder), entries + (realBefore.mode == 0 ? 1 : 0));
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryCommandAndTarget, SaveOnto,
                         ::testing::Combine(::testing::ValuesIn(kCommands),
                                            ::testing::ValuesIn(kTargets)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

}  // namespace
}  // namespace modra
