#include "document/file_filters.h"

namespace modra {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ')
    s.remove_suffix(1);
  return s;
}

// The next "|"-separated part; the rest of the text after it.
std::string_view NextPart(std::string_view& rest) {
  const size_t bar = rest.find('|');
  std::string_view part = rest.substr(0, bar);
  rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  return part;
}

// "Name (*.a;*.b)" -> "Name"; a description without a trailing list stays.
std::string_view DescriptionName(std::string_view description) {
  description = Trim(description);
  if (description.ends_with(')')) {
    const size_t open = description.rfind('(');
    if (open != std::string_view::npos) description = Trim(description.substr(0, open));
  }
  return description;
}

}  // namespace

std::vector<std::string> QtNameFilters(std::string_view filter) {
  std::vector<std::string> entries;
  std::string_view rest = filter;
  while (!rest.empty()) {
    const std::string_view description = NextPart(rest);
    if (description.empty()) break;
    const bool hasPatterns = !rest.empty();
    std::string_view patterns = NextPart(rest);
    if (!hasPatterns) break;

    std::string list;
    while (!patterns.empty()) {
      const size_t semicolon = patterns.find(';');
      std::string_view pattern = Trim(patterns.substr(0, semicolon));
      patterns =
          semicolon == std::string_view::npos ? std::string_view() : patterns.substr(semicolon + 1);
      if (pattern.empty()) continue;
      if (pattern == "*.*") pattern = "*";
      if (!list.empty()) list += ' ';
      list += pattern;
    }
    if (list.empty()) continue;

    const std::string_view name = DescriptionName(description);
    std::string entry(name);
    if (!entry.empty()) entry += ' ';
    entry += '(';
    entry += list;
    entry += ')';
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string QtFilterString(std::string_view filter) {
  std::string joined;
  for (const std::string& entry : QtNameFilters(filter)) {
    if (!joined.empty()) joined += ";;";
    joined += entry;
  }
  return joined;
}

}  // namespace modra
