// The texts of the Help menu's two windows, with "\n" between lines.
#pragma once

#include <string_view>

namespace modra {

// Help > General Help: the edit modes, the mouse and its modifier keys,
// the menus, the animation bar and the files the program reads and writes.
std::string_view GeneralHelpText();
// Help > Keyboard Short Cuts: the keys of the menus, the 3D view and the
// frame box.
std::string_view KeyboardHelpText();

}  // namespace modra
