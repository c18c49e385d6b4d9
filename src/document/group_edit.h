// Editing the hierarchy and the selection: the group clipboard, grouping
// and ungrouping, selection, normals and the enabled flag. The commands
// work on the level being edited and on the groups flagged Selected.
// They sit above the scene because they speak through the shell, set the
// modified flag and keep the animation's keys in step with the groups.
// Each sends one change notice of what it changed, none when it changed
// nothing.
#pragma once

#include "document/document.h"

namespace modra {

inline constexpr char kNothingSelected[] = "Nothing Selected";

void Cut(Document& doc);
void Copy(Document& doc);
void Paste(Document& doc);
void GroupSelected(Document& doc);
void Ungroup(Document& doc);
void SelectAll(Document& doc);
void DeselectAll(Document& doc);
void ReverseNormals(Document& doc);
void EnableSelected(Document& doc);
void DisableSelected(Document& doc);
// Draws every Selected group and its whole subtree as its bounding box, or
// as itself again.
void SetDrawAsBox(Document& doc, bool asBox);

}  // namespace modra
