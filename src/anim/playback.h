// Showing frames and playing the animation. Playback evaluates only the
// curves that are running, with one shared curve parameter t and step dt.
#pragma once

#include <functional>

#include "document/document.h"

namespace modra {

// One frame of playback at the play frame: running curves advance and are
// applied, key frames apply their keys exactly and start new curves.
void PlayStep(Document& doc);
// Sets the scene to currentFrame by replaying from the key frame before it.
void ShowFrame(Document& doc);
// As ShowFrame for `frame`, then every running curve a further `fraction`
// (0..1) of a frame on: the scene between two frames, for motion blur.
void ShowFrameAt(Document& doc, int frame, float fraction);
// Playback's frames reach the frame box through ShowFrameNumber alone: a
// change notice for every painted frame would reload the panel many times
// a second. Starting and stopping send kFrameChanged, as does a move of
// the current frame; ShowFrame and ShowFrameAt send nothing, since their
// callers either changed the keys (and say so) or only draw.

// Makes `frame` (held to 0..9999) current, shows its number and the scene.
void GoToFrame(Document& doc, int frame);
void GoToFrame0(Document& doc);
// Shows every frame from 0 to the last key frame in order, each exactly as
// GoToFrame would show it after the frame before, and calls visit(frame)
// with the scene there. GoToFrame replays from the key frame before its
// frame, so calling it for each frame costs the square of the distance
// between key frames; this carries the running curves from one frame to
// the next and replays only where GoToFrame would start afresh. No change
// notice or frame number is sent; the scene is left at the last frame.
void ForEachFrameInOrder(Document& doc, const std::function<void(int)>& visit);
// Playback runs one PlayStep per redraw while it is on.
void StartPlayback(Document& doc);
void StopPlayback(Document& doc);

}  // namespace modra
