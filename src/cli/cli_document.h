// The document the commands work on, and reading any file into it.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "cli/stderr_shell.h"
#include "document/document.h"

namespace modra {

// Extensions match in any case: scene.KNF is a native file too.
bool EndsWith(const std::string& s, std::string_view tail);

// A document as the editor has it after start-up, without a display: the
// checkerboard is texture 0. Textures are decoded and handed to
// `uploader` (none: never uploaded), which must be set before anything is
// loaded; the scene's triangulators get `triangulatorDebug`.
struct CliDocument {
  explicit CliDocument(std::ostream& err, TextureUploader* uploader = nullptr,
                       const triangulation::DebugSettings& triangulatorDebug = {});
  StderrShell shell;
  Document doc;
};

// Reads any scene or model file; a profile file (.ext, .surf) gives a scene
// of the one object the editor would make of it.
bool Load(Document& doc, const std::string& file);

}  // namespace modra
