// Commands on whole key frames and on an owner's keys: the key-frame
// clipboard, removing and copying keys, moving ranges of key frames, and
// stepping between key frames. Refusals are told through the shell and
// change nothing. Each command sends one change notice of what it changed.
#pragma once

#include <vector>

#include "document/document.h"

namespace modra {

// Cut or copy the current key frame to the key-frame clipboard. Frame 0 is
// only ever copied, unless it is the only key frame left.
void CutOrCopyKeyFrame(Document& doc, bool cut);
// Replaces the current frame's keys by the clipboard's, asking first when
// `confirm` is set and the frame holds keys.
void PasteKeyFrame(Document& doc, bool confirm);
// Removes every key of the owner; camera keys that looked at it stop
// looking.
void RemoveOwnerKeys(Document& doc, int owner);
// Copies the owner's keys at the current frame to every key frame A..B.
void CopyKeyToRange(Document& doc, int owner, int a, int b);
// Copies key frames A..B, one by one, to the frames starting at C.
void CopyRangeToRange(Document& doc, int a, int b, int c);
// Stretches or squeezes key frames A..B to A..C; later frames follow.
void ScaleRange(Document& doc, int a, int b, int c);
void GoToPreviousKeyFrame(Document& doc);
void GoToNextKeyFrame(Document& doc);

// The owners that "Currently Selected Objects" means: the selected groups
// of the level being edited, not their descendants.
std::vector<int> SelectedOwners(const Scene& s);

}  // namespace modra
