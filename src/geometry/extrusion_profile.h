// Editing the extrusion editor's profile: points and holes added and
// removed by selection, and the edited profile applied to its group. Every
// operation keeps the profile's arrays consistent (one count per contour,
// two floats, a corner byte and a selected byte per point).
#pragma once

#include "document/shell.h"
#include "geometry/extrusion.h"
#include "scene/scene.h"

namespace modra {

// At most 99 contours (the outer one and 98 holes): files of more are
// refused when read, so the editor never makes one.
inline constexpr int kMaxProfileContours = 99;

// Inserts the midpoint of the two selected points, which must be neighbours
// on one contour (or its last and first point; the midpoint then goes at
// the contour's end). The new point is no corner and the only one selected.
// Its index, or -1 after telling the user why not.
int AddProfilePoint(ExtrusionProfile& profile, Shell& shell);
// The first two of `total` points whose `selected` byte is set, before a
// point is added between them (the lathe profile shares the rule). False,
// with the message, when the profile is full or not exactly two are
// selected.
bool PickTwoToSplit(const std::vector<uint8_t>& selected, int total, int picked[2], Shell& shell);
// Inserts the midpoint of points picked[0] and picked[1] (x, y pairs in
// `points`) at index `at`, 0..point count: no corner, and the only point
// selected. The three arrays agree, as a profile's always do.
void InsertMidpoint(std::vector<float>& points, std::vector<uint8_t>& corners,
                    std::vector<uint8_t>& selected, const int picked[2], int at);
// Removes selected points, never leaving a contour below 3 points, then
// clears the selection.
void CutProfilePoints(ExtrusionProfile& profile);
// Appends a small triangular hole of corner points. 0, or -1 with a
// message when no more holes or points fit.
int AddProfileHole(ExtrusionProfile& profile, Shell& shell);
// Removes the first hole whose points are all selected and clears the
// selection. 0, or -1 with a message when no hole is wholly selected.
int RemoveProfileHole(ExtrusionProfile& profile, Shell& shell);
// Rebuilds extrusion group g from the profile and its flags, keeping the
// group's depth, bevel size, mapping kind and name. Nothing happens when
// the profile's arrays disagree.
void ApplyProfile(Scene& s, int g, const ExtrusionProfile& profile);

}  // namespace modra
