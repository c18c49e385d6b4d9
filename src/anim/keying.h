// Turning edits into keys. Every edit of a keyed parameter is bracketed:
// EnsureKeyed before it (the parameter becomes keyed at every key frame,
// holding its present value), StoreKey after it (the current frame becomes
// a key frame holding the new value, and the curves around it follow).
#pragma once

#include "document/document.h"

namespace modra {

inline constexpr char kNoKeyMemory[] = "Can't get memory for keyframe info";

void EnsureKeyed(Document& doc, int owner, int kind);
void StoreKey(Document& doc, int owner, int kind);

// Makes `frame` a key frame between key frames p and q (-1 where missing):
// it gets a key for every key of p, holding the values the scene shows
// now. Nothing happens when p is -1. false when memory runs out.
bool InsertKeyFrame(Document& doc, int frame, int p, int q);

// Recomputes the curves around the key of (owner, kind) at frame; says
// "Missing key frame info: ..." when the previous key frame lacks its key.
void RecomputeCurvesAt(Document& doc, int frame, int owner, int kind);

// The camera's look-at path, and the path stored in every Look-At camera
// key, rebuilt from the present hierarchy.
void RebuildLookAtPaths(Scene& s);

}  // namespace modra
