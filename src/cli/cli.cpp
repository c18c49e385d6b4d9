#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <sstream>
#include <string>

namespace modra {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{
      "Modra: 3D modelling, animation and rendering.\n\n"
      "Started without a command, Modra opens the editor on FILE (or on the\n"
      "bundled demo scene). The editor window is not part of this build yet;\n"
      "until it is, Modra prints this help."};
  app.name("modra");
  app.set_version_flag("--version", "modra 0.1.0");
  std::string file;
  app.add_option("FILE", file, "scene or model to open in the editor");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForVersion& e) {
    out << e.what() << "\n";
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "modra: " << e.what() << "\nRun 'modra --help' for usage.\n";
    return 2;
  }
  out << app.help();
  return 0;
}

}  // namespace modra
