#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <string>

#include "anim/playback.h"
#include "cli/scene_json.h"
#include "cli/stderr_shell.h"
#include "export/gfx_writer.h"
#include "formats/import_dispatch.h"
#include "formats/obj_writer.h"
#include "geometry/ext_file.h"
#include "geometry/extrusion.h"
#include "geometry/revolution.h"
#include "geometry/surf_file.h"
#include "images/texture_table.h"
#include "nativefile/native_writer.h"
#include "nativefile/source_writer.h"

namespace modra {
namespace {

// Extensions match in any case: scene.KNF is a native file too.
bool EndsWith(const std::string& s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), s.end() - tail.size(),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

// A document as the editor has it after start-up, without a display: the
// checkerboard is texture 0, and textures are decoded but never uploaded.
struct CliDocument {
  explicit CliDocument(std::ostream& err) : shell(err), doc(shell) {
    AddTexture(doc, "", "Checker");
  }
  StderrShell shell;
  Document doc;
};

// Reads any scene or model file; a profile file (.ext, .surf) gives a scene
// of the one object the editor would make of it.
bool Load(Document& doc, const std::string& file) {
  if (EndsWith(file, ".ext")) {
    ExtrusionProfile profile;
    return ReadExtFile(profile, file, *doc.shell) == 0 && CreateExtrusionFrom(doc, profile) != -1;
  }
  if (EndsWith(file, ".surf")) {
    RevolutionProfile profile;
    return ReadSurfFile(profile, file, *doc.shell) == 0 && CreateRevolutionFrom(doc, profile) != -1;
  }
  return ReadModelFile(doc, file, false) == 0;
}

int Dump(const std::string& file, int frame, bool geometry, std::ostream& out, std::ostream& err) {
  CliDocument cli(err);
  if (!Load(cli.doc, file)) return 1;
  if (frame >= 0) GoToFrame(cli.doc, frame);
  out << SceneToJson(cli.doc, geometry).dump() << "\n";
  return 0;
}

int Convert(const std::string& in, const std::string& outPath, std::ostream& err) {
  using Writer = int (*)(Document&, const std::string&);
  struct Format {
    std::string_view extension;
    Writer write;
  };
  static const Format kFormats[] = {
      {".knf", &WriteNativeFile},
      {".cpp", &WriteSourceFile},
      {".gfx", &WriteSkyloomFile},
      {".obj", &WriteWavefrontFile},
  };
  const Format* format = nullptr;
  for (const Format& f : kFormats)
    if (EndsWith(outPath, f.extension)) format = &f;
  if (!format) {
    err << "modra: can't write " << outPath << ": the name must end in";
    for (const Format& f : kFormats)
      err << " " << f.extension;
    err << "\n";
    return 2;
  }
  CliDocument cli(err);
  if (!Load(cli.doc, in)) return 1;
  return format->write(cli.doc, outPath) == 0 ? 0 : 1;
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{
      "Modra: 3D modelling, animation and rendering.\n\n"
      "Started without a command, Modra opens the editor on FILE (or on the\n"
      "bundled demo scene). The editor window is not part of this build yet;\n"
      "until it is, Modra prints this help."};
  app.name("modra");
  app.set_version_flag("--version", "modra 0.1.0");
  app.footer(
      "Examples:\n"
      "  modra dump scene.knf                  the scene as JSON\n"
      "  modra dump scene.knf --frame 40       ... as it stands at frame 40\n"
      "  modra convert scene.knf copy.knf      load and save again\n"
      "  modra convert scene.knf scene.cpp     the scene as C source\n"
      "  modra convert scene.knf scene.gfx     the scene as Skyloom text\n"
      "  modra convert scene.knf scene.obj     the scene as Wavefront OBJ (+ scene.mtl)");
  std::string file;
  app.add_option("FILE", file, "scene or model to open in the editor");

  CLI::App* dump = app.add_subcommand("dump", "Load a scene or model and print it as JSON");
  std::string dumpFile;
  int frame = -1;
  bool geometry = false;
  dump->add_option("FILE", dumpFile, "scene, model or profile (.ext, .surf) file")->required();
  dump->add_option("--frame", frame, "show the scene at this frame (0..9999)")
      ->check(CLI::Range(0, 9999));
  dump->add_flag("--geometry", geometry, "include every vertex's floats");

  CLI::App* convert =
      app.add_subcommand("convert", "Load IN and write OUT, chosen by its extension");
  std::string in, outPath;
  convert->add_option("IN", in, "scene, model or profile (.ext, .surf) file to read")->required();
  convert
      ->add_option("OUT", outPath,
                   "file to write: .knf native, .cpp C source, .gfx Skyloom text, .obj Wavefront "
                   "(with a .mtl beside it)")
      ->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return 0;
  } catch (const CLI::CallForVersion& e) {
    out << e.what() << "\n";
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "modra: " << e.what() << "\nRun 'modra --help' for usage.\n";
    return 2;
  }
  if (*dump) return Dump(dumpFile, frame, geometry, out, err);
  if (*convert) return Convert(in, outPath, err);
  out << app.help();
  return 0;
}

}  // namespace modra
