// "Save As Source": the whole scene (groups with every vertex, textures in
// use, lights, camera, background and the key-frame animation) written as
// C source, initialised arrays of the records in knf/knf.h and one
// <prefix>_internal_info record that a display program links against.
#pragma once

#include <string>
#include <string_view>

#include "document/document.h"

namespace modra {

// The lines every exported file starts with, before the first array.
inline constexpr std::string_view kSourcePreamble =
    "#include \"stdafx.h\"\n"
    "#include \"knf.h\"\n\n"
    "    /* Visual C++ requires this _DEBUG stuff! */\n\n"
    "#ifdef _DEBUG\n"
    "#define new DEBUG_NEW\n"
    "#undef THIS_FILE\n"
    "static char THIS_FILE[] = __FILE__;\n"
    "#endif\n\n";

// Rewinds the animation to frame 0 and writes the scene to `path`.
// 0 on success. -1 after the message "Can't open <path> for write:
// <reason>" when the file cannot be created, or "Can't write output file:
// <path>: <reason>" when a write fails (output_file.h words the reasons); a
// failed export leaves the file that was there untouched.
int WriteSourceFile(Document& doc, const std::string& path);

// The array name prefix for an output path: the file name without its
// directory, cut at its first '.' ("dir/robot.v2.c" gives "robot").
// Characters that cannot stand in a C name become '_', and a name that
// would be empty or start with a digit gets a '_' in front, so that the
// exported file always compiles.
std::string SourcePrefix(std::string_view path);

}  // namespace modra
