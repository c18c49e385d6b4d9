// Editing the hierarchy and the selection: the group clipboard, grouping
// and ungrouping, selection, normals and the enabled flag. The commands
// work on the level being edited and on the groups flagged Selected.
#pragma once

#include "scene/document.h"

namespace modra {

inline constexpr char kNothingSelected[] = "Nothing Selected";

// The sibling before g in the level being edited; -1 when g is first or
// not in that level.
int PreviousSibling(const Scene& s, int g);
// Frees g's body, forgets its keys and puts the slot at the front of the
// free list. g must already be unlinked.
void ReleaseGroup(Scene& s, int g);
// A deep copy of src's body in a new slot, linked nowhere: its `next` is
// -1 and its `child` still names src's first child for the caller to
// replace. -1 when memory runs out.
int CopyGroup(Scene& s, int src);

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

}  // namespace modra
