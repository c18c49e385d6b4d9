// Starting the editor.
#pragma once

#include "geometry/triangulate_settings.h"

namespace modra {

// Everything that must be settled before the QApplication exists: the
// default surface format (compatibility profile, 24-bit depth), shared GL
// contexts so that a view's context survives reparenting, and the names
// under which QSettings keeps the settings, and the C locale for the numbers
// Qt's widgets write. main() and every GUI test call it.
void configureApplication();

// The editor on argv's optional FILE; the exit status. Without a display
// it says so on stderr and returns 1.
int RunEditor(int argc, char** argv, const triangulation::DebugSettings& triangulatorDebug);

}  // namespace modra
