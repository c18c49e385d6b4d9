// The four key frame dialogs of the Animation menu as one request: which
// command, whose keys, and the frames A, B and C typed into the dialog.
// Running it calls the key frame commands, whose refusals reach the user
// through the shell.
#pragma once

#include <vector>

#include "document/document.h"

namespace modra {

enum class KeyRangeCommand {
  kRemoveOwnerKeys,   // owner
  kCopyKeyToRange,    // owner, A, B
  kCopyRangeToRange,  // A, B, C
  kScaleRange,        // A, B, C
};

enum class KeyOwnerChoice { kSelectedObjects, kCamera, kLight };

struct KeyRangeRequest {
  KeyRangeCommand command = KeyRangeCommand::kRemoveOwnerKeys;
  KeyOwnerChoice owner = KeyOwnerChoice::kSelectedObjects;
  int a = 0, b = 0, c = 0;
};

// The key owners a choice names: the selected groups of the level being
// edited, the camera, or `currentLight` (0 ambient, 1..8) as a light owner.
std::vector<int> ChosenKeyOwners(const Scene& s, KeyOwnerChoice choice, int currentLight);

// Runs the request for every chosen owner; the user hears each refusal
// once, however many owners it stopped.
void RunKeyRangeRequest(Document& doc, const KeyRangeRequest& request, int currentLight);

}  // namespace modra
