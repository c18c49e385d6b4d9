#include <cstdlib>
#include <iostream>

#include "cli/cli.h"
#include "geometry/triangulate_settings.h"
#include "io/heap_policy.h"
#ifdef MODRA_WITH_GUI
#include "app/application.h"
#endif

int main(int argc, char** argv) {
  modra::SetHeapPolicy();
  // The one place the environment is read: library code gets its settings
  // handed down.
  const modra::triangulation::DebugSettings triangulatorDebug =
      modra::triangulation::ReadDebugSettings(
          [](const char* name) -> const char* { return std::getenv(name); });
#ifdef MODRA_WITH_GUI
  if (!modra::IsCommandLineRun(argc, argv)) return modra::RunEditor(argc, argv, triangulatorDebug);
#endif
  return modra::RunCli(argc, argv, std::cout, std::cerr, triangulatorDebug);
}
