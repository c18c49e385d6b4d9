// The names the shell gives to files and to the window: the document name
// after Open, the extension each Save appends, and the title.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace modra {

// The document name is a path of at most this many characters.
inline constexpr size_t kMaxDocumentName = 2000;

inline constexpr char kNativeExtension[] = ".knf";     // Save, Save As
inline constexpr char kSourceExtension[] = ".cpp";     // Save As Source
inline constexpr char kWavefrontExtension[] = ".obj";  // Export to Wavefront
inline constexpr char kSkyLoomExtension[] = ".gfx";    // Export to SkyLoom

// The name File > Open gives the document: `path` with its last four
// characters replaced by ".knf", unless they are exactly ".knf" (so
// "a.KNF" becomes "a.knf"). The replacement never reaches into the folder:
// when the file's own name is shorter than four characters, ".knf" is
// appended instead ("dir/ab" -> "dir/ab.knf").
std::string OpenedDocumentName(std::string_view path);

// Whether `text` ends in `tail`, the letters A to Z compared without regard
// to case and every other byte as it is: the C library's tolower follows
// the process's locale (Turkish makes "I" no "i").
bool EndsWithNoCase(std::string_view text, std::string_view tail);

// `path` with `extension` appended unless it already ends in it, compared
// without regard to case ("A.KNF" stays as it is).
std::string WithExtension(std::string_view path, std::string_view extension);

// "Modra: " and the document name.
std::string WindowTitle(std::string_view documentName);

}  // namespace modra
