// The names and file dialog filters of the two editors' File menus.
#pragma once

#include <string>
#include <string_view>

#include "profile/pane.h"

namespace modra {

inline constexpr char kNewExtName[] = "new.ext";
inline constexpr char kNewSurfName[] = "new.surf";
inline constexpr char kExtExtension[] = ".ext";
inline constexpr char kSurfExtension[] = ".surf";

inline constexpr char kExtOpenFilter[] =
    "Modra Extrusion Files (*.ext)|*.ext|All Files (*.*)|*.*||";
inline constexpr char kSurfOpenFilter[] =
    "Modra Surface Files (*.surf)|*.surf|All Files (*.*)|*.*||";
inline constexpr char kExtSaveFilter[] = "Modra Extrusion Files (*.ext)|*.ext||";
inline constexpr char kSurfSaveFilter[] = "Modra Surface Files (*.surf)|*.surf||";

// The file name an editor starts with (and goes back to on New).
const char* NewProfileName(ProfileEditorKind kind);
// The open and save dialogs' filters.
const char* ProfileOpenFilter(ProfileEditorKind kind);
const char* ProfileSaveFilter(ProfileEditorKind kind);
// The name Save As writes: the chosen name with ".ext" or ".surf" appended
// unless it already ends in it (in any case of letters).
std::string ProfileSaveAsName(ProfileEditorKind kind, std::string_view chosen);

}  // namespace modra
