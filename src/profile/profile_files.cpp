#include "profile/profile_files.h"

#include "document/file_names.h"

namespace modra {

const char* NewProfileName(ProfileEditorKind kind) {
  return kind == ProfileEditorKind::kExtrusion ? kNewExtName : kNewSurfName;
}

const char* ProfileOpenFilter(ProfileEditorKind kind) {
  return kind == ProfileEditorKind::kExtrusion ? kExtOpenFilter : kSurfOpenFilter;
}

const char* ProfileSaveFilter(ProfileEditorKind kind) {
  return kind == ProfileEditorKind::kExtrusion ? kExtSaveFilter : kSurfSaveFilter;
}

std::string ProfileSaveAsName(ProfileEditorKind kind, std::string_view chosen) {
  return WithExtension(chosen,
                       kind == ProfileEditorKind::kExtrusion ? kExtExtension : kSurfExtension);
}

}  // namespace modra
