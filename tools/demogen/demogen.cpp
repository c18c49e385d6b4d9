// Writes the bundled demo scene and its floor texture:
//
//   demogen OUT_DIR      OUT_DIR/marble.ppm and OUT_DIR/demo.knf
//
// The output is committed in examples/; a test runs this program again and
// compares the bytes, so the same build must always write the same files.
#include <cstdio>
#include <string>
#include <vector>

#include "demo_scene.h"
#include "document/document.h"
#include "document/shell.h"
#include "images/ppm.h"
#include "io/output_file.h"
#include "marble_texture.h"
#include "nativefile/native_writer.h"

namespace {

constexpr int kMarbleSize = 128;
// note: binary PPM, the program's own simplest texture format: its bytes
// are the pixels themselves, so they never change with a codec library.
constexpr char kMarbleName[] = "marble.ppm";
constexpr char kSceneName[] = "demo.knf";

bool WritePpm(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height) {
  modra::OutputFile out;
  return out.Open(path) && out.Write(modra::PpmFrameHeader(width, height)) &&
         out.Write(rgb.data(), rgb.size()) && out.Commit();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demogen OUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::string marblePath = dir + "/" + kMarbleName;
  const std::string scenePath = dir + "/" + kSceneName;

  const std::vector<uint8_t> marble = modra::MarblePixels(kMarbleSize);
  if (!WritePpm(marblePath, marble, kMarbleSize, kMarbleSize)) {
    std::fprintf(stderr, "demogen: can't write %s\n", marblePath.c_str());
    return 1;
  }

  // Anything the core has to say means the scene is not what it should be.
  modra::RecordingShell shell;
  modra::Document doc(shell);
  modra::AddTexture(doc, "", "Checker");  // entry 0, as in the editor
  const bool built = modra::BuildDemoScene(doc, marblePath);
  for (const std::string& message : shell.messages)
    std::fprintf(stderr, "demogen: %s\n", message.c_str());
  if (!built || !shell.messages.empty()) {
    std::fprintf(stderr, "demogen: the demo scene could not be built\n");
    return 1;
  }
  if (modra::WriteNativeFile(doc, scenePath) != 0) {
    std::fprintf(stderr, "demogen: can't write %s\n", scenePath.c_str());
    return 1;
  }
  return 0;
}
