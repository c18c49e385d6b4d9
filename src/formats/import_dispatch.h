// Reading any model or scene file the program knows, chosen by the end of
// its name, with the user's messages for every failure.
#pragma once

#include <string>

#include "scene/document.h"

namespace modra {

enum ModelFileType : int {
  kDxfFile = 1,
  kWavefrontFile = 2,
  kTruespaceFile = 3,
  kNativeFile = 4,
  k3dStudioFile = 5,
};

// The type named by the name's last three characters (all lower or all
// upper case), else by the three that end two characters before the end
// (a.obj.1); -1 after "Unrecognized File Type".
int GetModelFileType(Document& doc, const std::string& name);

// Reads the file into the scene (replacing it, or adding to it with
// `append`). 0, or -1 after one message naming the file.
int ReadModelFile(Document& doc, const std::string& name, bool append);

}  // namespace modra
