#include "cli/cli_document.h"

#include "document/file_names.h"
#include "formats/import_dispatch.h"
#include "geometry/ext_file.h"
#include "geometry/extrusion.h"
#include "geometry/revolution.h"
#include "geometry/surf_file.h"
#include "images/texture_table.h"

namespace modra {

bool EndsWith(const std::string& s, std::string_view tail) {
  return EndsWithNoCase(s, tail);
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
