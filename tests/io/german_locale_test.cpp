// Numbers under a German locale, which writes one and a half as "1,5" and
// reads "1.5" as 1: everything the program reads and writes must be what it
// is under the C locale, since the editor runs with the user's locale in
// force (QApplication sets it) and a program embedding the core may too.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <functional>

#include "anim/anim_util.h"
#include "cli/scene_json.h"
#include "edit/field_values.h"
#include "export/gfx_writer.h"
#include "formats/cob_text.h"
#include "formats/import_dispatch.h"
#include "formats/obj_writer.h"
#include "geometry/primitive_params.h"
#include "geometry/primitives.h"
#include "io/output_file.h"
#include "io/scan_number.h"
#include "modra_runner.h"
#include "nativefile/native_writer.h"
#include "nativefile/source_writer.h"
#include "render/render_settings.h"

namespace modra {
namespace {

constexpr char kGerman[] = "de_DE.UTF-8";

// A float by its bits, so that the text of a value read never goes
// through the locale being tested.
std::string Bits(std::optional<float> v) {
  if (!v) return "none";
  uint32_t bits;
  std::memcpy(&bits, &*v, sizeof bits);
  return std::to_string(bits);
}

std::string Outcome(const test::CliRun& run) {
  return std::to_string(run.status) + "\n" + run.out + run.err;
}

struct GermanLocale : ::testing::Test {
  test::TempDir dir;
  std::string scene = dir / "scene.knf";
  std::string previous = std::setlocale(LC_ALL, nullptr);

  void SetUp() override {
    if (!std::setlocale(LC_ALL, kGerman))
      GTEST_SKIP() << "the " << kGerman
                   << " locale is not installed; tools/install-packages.sh generates it";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    std::setlocale(LC_ALL, "C");

    // Fractions everywhere: vertices, a primitive's sizes, a key frame.
    test::RecordedDocument r;
    r.doc.textures.entries = {{"Checker", "checker.ppm"}};
    test::AddLayoutGroup(r.scene(), "Wing", TexCoords, kTriangles, 3, 0.1f);
    const int block = CreateBlock(r.doc);
    ASSERT_GE(block, 0);
    SetSizeParam(r.doc, block, 0, 0.375f);
    test::SetTranslationAt(r.doc, block, 10, {0.5f, -1.25f, 2.0625f});
    r.scene().lights[1].c2 = 0.125f;
    ASSERT_EQ(WriteNativeFile(r.doc, scene), 0);
    test::WriteText(dir / "part.obj",
                    "mtllib part.mtl\nv 0.5 0.25 -1.5\nv 1.5e0 0 0\nv 0 2.5 0\n"
                    "usemtl Half\nf 1 2 3\n");
    test::WriteText(dir / "part.mtl", "newmtl Half\nKd 0.5 0.25 0.125\nNs 12.5\n");
  }
  void TearDown() override { std::setlocale(LC_ALL, previous.c_str()); }

  // The scene or model at `path` as `modra dump --geometry` shows it, read
  // by the core itself (the command line keeps to the C locale anyway).
  std::string Read(const std::string& path) {
    test::RecordedDocument r;
    const int status = ReadModelFile(r.doc, path, false);
    return std::to_string(status) + "\n" + SceneToJson(r.doc, true).dump();
  }
  // What one of the core's writers makes of the scene.
  std::string Written(int (*writer)(Document&, const std::string&), const std::string& name) {
    test::RecordedDocument r;
    const int read = ReadModelFile(r.doc, scene, false);
    const int status = writer(r.doc, dir / name);
    return std::to_string(read) + " " + std::to_string(status) + "\n" + test::ReadText(dir / name);
  }
};

TEST_F(GermanLocale, NumbersReadAndWrittenAsInTheCLocale) {
  const struct {
    const char* what;
    std::function<std::string()> run;
    const char* shows;  // a piece of what it gives under the C locale
  } cases[] = {
      {"panel fields",
       [] {
         return FormatField(0.5f) + " " + FormatField(-12.25f, 4) + " " + FormatField(30, 1) + " " +
                Bits(ParseField("0.5")) + " " + Bits(ParseField(" -1.25e1 "));
       },
       "0.500 -12.2500 30.0 1056964608 3242721280"},
      {"create panel sizes",
       [] {
         return FormatSize(0.5f, false) + " " + FormatSize(1.25f, true) + " " +
                Bits(ParseSize("0.5")) + " " + Bits(ParseSize(" 2.5e1mm"));
       },
       "0.5000 1.250 1056964608 1103626240"},
      {"render options",
       [] {
         RenderSettings s;
         SetMotionBlur(s, true);
         SetBlurRangeFromSlider(s, 250);
         return BlurRangeLabel(s);
       },
       "0.25"},
      {"numbers beyond a float",
       [] {
         float v = 0, w = 0;
         CobScanner("1.5e50").Float(v);
         const std::string text = "2.5e-60";
         ScanFloat(text.data(), text.data() + text.size(), w);
         return Bits(v) + " " + Bits(w) + " " + Bits(StrtofC(text.data(), text.data() + 3));
       },
       "2139095040 0 1075838976"},
      {"printed text",
       [&] {
         OutputFile out;
         if (!out.Open(dir / "printed.txt")) return std::string("not opened");
         out.Print("%.2f %g", 0.5, 1.25);
         out.Commit();
         return test::ReadText(dir / "printed.txt");
       },
       "0.50 1.25"},
      {"scene read", [&] { return Read(scene); }, "[0.1875,"},
      {"Wavefront read", [&] { return Read(dir / "part.obj"); }, "[0.5,0.25,0.125]"},
      {"C source", [&] { return Written(&WriteSourceFile, "scene.cpp"); }, "0.187500f"},
      {"Skyloom text", [&] { return Written(&WriteSkyloomFile, "scene.gfx"); }, "0.500000"},
      {"Wavefront written",
       [&] {
         const std::string obj = Written(&WriteWavefrontFile, "scene.obj");
         return obj + test::ReadText(dir / "scene.mtl");
       },
       "0.35"},
      {"modra dump at a frame",
       [&] {
         return Outcome(test::Modra({"dump", scene, "--frame", "5"}));
       },
       "-0.625,"},
      // Refused for its frames, after the fractions were read.
      {"modra render's options",
       [&] {
         return Outcome(
             test::Modra({"render", scene, "--gamma", "1.5", "--blur", "2", "--blur-range", "0.25",
                          "--frames", "5-2", "-o", dir / "movie.mpg"}));
       },
       "Frames 5 to 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string inC = c.run();
    ASSERT_TRUE(std::setlocale(LC_ALL, kGerman));
    const std::string inGerman = c.run();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(inGerman, inC);
    EXPECT_NE(inC.find(c.shows), std::string::npos) << inC.substr(0, 2000);
  }
}

}  // namespace
}  // namespace modra
