// The animation bar's two edit boxes: what typing into them does, and what
// they show. Each box's handler runs only for the user's typing, never
// while the shell itself writes the box.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "document/document.h"

namespace modra {

// What a change of the frame box's text asks for: the frame to make
// current, and whether the box must be written back with it.
struct FrameBoxStep {
  int frame;
  bool writeBack;
};

// The frame box's rule, from `current` (the frame shown now):
//   a "+" anywhere steps one frame forward, a "-" one back, both together
//   do not step; each of these writes the frame back, which also clears
//   the typed sign;
//   otherwise the leading decimal number (after spaces; what follows it is
//   ignored) is the frame; a number beyond 9999 is held there and written
//   back, so the box never shows a frame that is not current;
//   a text without a number (an emptied box, half-way through typing)
//   keeps the current frame and leaves the box alone.
// The frame is always held to 0..9999.
FrameBoxStep ReadFrameBox(std::string_view text, int current);
// The text the frame box shows for `frame`: "%d".
std::string FrameBoxText(int frame);
// Applies the user's text: makes the frame current and shows it (frame
// notice when it moved). The text to write back into the box, if any.
std::optional<std::string> EditFrameBox(Document& doc, std::string_view text);

// A group name typed into the name box keeps at most this many characters.
inline constexpr size_t kMaxNameBoxCharacters = 99;
// The first 99 characters of `text`; a UTF-8 sequence counts as one
// character and is never cut in two.
std::string NameBoxName(std::string_view text);
// What the name box shows: the current group's name, or "Nothing Selected".
std::string NameBoxText(const Scene& s);
// Applies the user's text: with no current group the box is to show
// "Nothing Selected" again (returned); otherwise the text (NameBoxName)
// becomes the current group's name, the document is modified and a values
// notice sent, unless the name was already that. Returns the text to write
// back into the box: only when the typed text was not kept as it is.
std::optional<std::string> EditNameBox(Document& doc, std::string_view text);

}  // namespace modra
