#include "document/animation_bar.h"

#include <algorithm>

#include "anim/playback.h"
#include "document/group_edit.h"
#include "io/utf8.h"

namespace modra {

FrameBoxStep ReadFrameBox(std::string_view text, int current) {
  current = std::clamp(current, 0, kMaxFrame);
  const bool forward = text.find('+') != std::string_view::npos;
  const bool back = text.find('-') != std::string_view::npos;
  if (forward || back) {
    const int step = (forward ? 1 : 0) - (back ? 1 : 0);
    return {std::clamp(current + step, 0, kMaxFrame), true};
  }

  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  const size_t digits = i;
  // Saturates well above the limit, so no count of digits overflows.
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min(value * 10 + (text[i] - '0'), long{kMaxFrame} + 1);
  if (i == digits) return {current, false};
  if (value > kMaxFrame) return {kMaxFrame, true};
  return {static_cast<int>(value), false};
}

std::string FrameBoxText(int frame) {
  return std::to_string(frame);
}

std::optional<std::string> EditFrameBox(Document& doc, std::string_view text) {
  const FrameBoxStep step = ReadFrameBox(text, doc.scene.anim.currentFrame);
  GoToFrame(doc, step.frame);
  if (!step.writeBack) return std::nullopt;
  return FrameBoxText(step.frame);
}

std::string NameBoxName(std::string_view text) {
  size_t end = 0;
  for (size_t n = 0; n < kMaxNameBoxCharacters && end < text.size(); ++n)
    end += DecodeUtf8Char(text.substr(end)).length;
  return std::string(text.substr(0, end));
}

std::string NameBoxText(const Scene& s) {
  if (!IsLiveGroup(s, s.selectedGroup)) return kNothingSelected;
  return s.groups[s.selectedGroup].name;
}

std::optional<std::string> EditNameBox(Document& doc, std::string_view text) {
  Scene& s = doc.scene;
  const int g = s.selectedGroup;
  if (!IsLiveGroup(s, g)) return std::string(kNothingSelected);
  std::string name = NameBoxName(text);
  if (s.groups[g].name != name) {
    ChangeBatch batch(doc);
    SetGroupName(s, g, name);
    MarkModified(doc);
    NotifyChanged(doc, kValuesChanged);
    doc.shell->Status(s.groups[g].name);
  }
  if (name.size() == text.size()) return std::nullopt;
  return name;
}

}  // namespace modra
