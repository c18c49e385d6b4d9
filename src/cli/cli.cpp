#include "cli/cli.h"

#include <unistd.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <string>

#include "anim/playback.h"
#include "cli/cli_document.h"
#include "cli/join_command.h"
#include "cli/render_command.h"
#include "cli/scene_json.h"
#include "cli/thumbnails_command.h"
#include "export/gfx_writer.h"
#include "formats/gltf_writer.h"
#include "formats/obj_writer.h"
#include "formats/stl_writer.h"
#include "io/c_locale.h"
#include "nativefile/native_writer.h"
#include "nativefile/source_writer.h"

namespace modra {
namespace {

int Dump(const std::string& file, int frame, bool geometry, std::ostream& out, std::ostream& err,
         const triangulation::DebugSettings& debug) {
  CliDocument cli(err, nullptr, debug);
  if (!Load(cli.doc, file)) return 1;
  if (frame >= 0) GoToFrame(cli.doc, frame);
  out << SceneToJson(cli.doc, geometry).dump() << "\n";
  return 0;
}

int Convert(const std::string& in, const std::string& outPath, std::ostream& err,
            const triangulation::DebugSettings& debug) {
  using Writer = int (*)(Document&, const std::string&);
  struct Format {
    std::string_view extension;
    Writer write;
  };
  static const Format kFormats[] = {
      {".knf", &WriteNativeFile},    {".cpp", &WriteSourceFile}, {".gfx", &WriteSkyloomFile},
      {".obj", &WriteWavefrontFile}, {".stl", &WriteStlFile},    {".glb", &WriteGltfFile},
      {".gltf", &WriteGltfFile},
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
  CliDocument cli(err, nullptr, debug);
  if (!Load(cli.doc, in)) return 1;
  return format->write(cli.doc, outPath) == 0 ? 0 : 1;
}

}  // namespace

bool IsCommandLineRun(int argc, const char* const* argv) {
  if (argc < 2) return false;
  const std::string_view first = argv[1];
  return first.starts_with('-') || first == "dump" || first == "convert" || first == "render" ||
         first == "join" || first == "thumbnails";
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const triangulation::DebugSettings& triangulatorDebug) {
  // CLI11 reads --gamma and --blur-range with strtold, which follows the
  // locale in force; a program that runs the command line after setting
  // the user's locale must still read "1.5" as one and a half.
  const CLocaleScope cLocale;
  CLI::App app{
      "Modra: 3D modelling, animation and rendering.\n\n"
      "Started without a command, Modra opens the editor on FILE (run.sh\n"
      "opens the bundled demo scene)."};
  app.name("modra");
  app.set_version_flag("--version", "modra 0.1.0");
  app.footer(
      "Examples:\n"
      "  modra dump scene.knf                  the scene as JSON\n"
      "  modra dump scene.knf --frame 40       ... as it stands at frame 40\n"
      "  modra convert scene.knf copy.knf      load and save again\n"
      "  modra convert scene.knf scene.cpp     the scene as C source\n"
      "  modra convert scene.knf scene.gfx     the scene as Skyloom text\n"
      "  modra convert scene.knf scene.obj     the scene as Wavefront OBJ (+ scene.mtl)\n"
      "  modra convert scene.knf scene.stl     the triangles as binary STL\n"
      "  modra convert part.ply part.knf       a model read through assimp (PLY, STL, FBX, ...)\n"
      "  modra convert scene.knf scene.glb     the scene as binary glTF (.gltf: as text)\n"
      "  modra render scene.knf -o movie.mp4 --size 640x480\n"
      "                                        an H.264 movie of the whole animation\n"
      "  modra render scene.knf -o frame.png --frames 10-20\n"
      "                                        frame10.png .. frame20.png\n"
      "  modra render scene.knf -o movie.mpg --part 2/8\n"
      "                                        the third of eight shares of the frames\n"
      "  modra join movie.mpg movie.part*.mpg  the shares as one movie\n"
      "  modra thumbnails ~/textures           the texture browser's thumbnails made ahead");
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
                   "(with a .mtl beside it), .stl binary STL, .glb or .gltf glTF 2.0")
      ->required();
  convert->footer(
      "glTF: y up, right-handed, so z is negated. One node per group, named after it,\n"
      "children under their parent. Materials: baseColorFactor = colour and alpha,\n"
      "roughness = 1 - shininess/128, metalness = 0 up to a mean specular of 0.5,\n"
      "rising to 1 at 1. Animation at 30 frames a second: translation and scale keys\n"
      "as exact cubic splines (step keys as STEP), rotation sampled every frame.\n"
      "The camera becomes a perspective camera node, lights 1-8 KHR_lights_punctual\n"
      "lights; textures as PNG (inside .glb, beside .gltf). Not carried: the texture\n"
      "transform, keys of colour, specular, centre, centre rotation, the enabled flag,\n"
      "lights and the camera; the spot power, light attenuation, the ambient light.");

  RenderArgs renderArgs;
  CLI::App* render = AddRenderCommand(app, renderArgs);
  JoinArgs joinArgs;
  CLI::App* join = AddJoinCommand(app, joinArgs);
  ThumbnailsArgs thumbnailsArgs;
  CLI::App* thumbnails = AddThumbnailsCommand(app, thumbnailsArgs);

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
  if (*dump) return Dump(dumpFile, frame, geometry, out, err, triangulatorDebug);
  if (*convert) return Convert(in, outPath, err, triangulatorDebug);
  if (*render)
    return RunRender(renderArgs, err, &err == &std::cerr && isatty(2), triangulatorDebug);
  if (*join) return RunJoin(joinArgs, err);
  if (*thumbnails) return RunThumbnails(thumbnailsArgs, out, err);
  out << app.help();
  return 0;
}

}  // namespace modra
