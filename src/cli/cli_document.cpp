#include "cli/cli_document.h"

#include <algorithm>
#include <cctype>

#include "formats/import_dispatch.h"
#include "geometry/ext_file.h"
#include "geometry/extrusion.h"
#include "geometry/revolution.h"
#include "geometry/surf_file.h"
#include "images/texture_table.h"

namespace modra {

bool EndsWith(const std::string& s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), s.end() - tail.size(),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

CliDocument::CliDocument(std::ostream& err, TextureUploader* uploader,
                         const triangulation::DebugSettings& triangulatorDebug)
    : shell(err), doc(shell) {
  if (uploader) doc.uploader = uploader;
  doc.scene.triangulatorDebug = triangulatorDebug;
  AddTexture(doc, "", "Checker");
}

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

}  // namespace modra
