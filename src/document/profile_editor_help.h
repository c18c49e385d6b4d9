// The texts of the profile editors' Help > General Help, with "\n"
// between lines.
#pragma once

#include <string_view>

namespace modra {

std::string_view ExtrusionEditorHelpText();
std::string_view SurfaceEditorHelpText();

}  // namespace modra
