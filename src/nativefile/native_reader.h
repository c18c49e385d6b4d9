// Loading native (.knf) files of versions 1, 2 and 3, written in either
// byte order.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "document/document.h"

namespace modra {

// Replaces the scene with the file's (or, with `append`, adds the file's
// groups under one new group named after the file). 0 on success, and also
// when the version word is unknown in both byte orders (nothing changes,
// nothing is said); -1 when the file cannot be opened; -2 when it is not a
// readable native file or memory runs out. Every count, offset, record
// number and string length is checked against the file: a lie is -2.
// Nothing is changed unless the whole file reads; a failed load that
// replaces the scene leaves it empty.
int ReadNativeFile(Document& doc, const std::string& path, bool append);
// The same over bytes already in memory; `path` names the file for group
// names and the group made by append.
int ReadNativeBytes(Document& doc, std::span<const uint8_t> bytes, const std::string& path,
                    bool append);

}  // namespace modra
