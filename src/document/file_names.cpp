#include "document/file_names.h"

#include <algorithm>

namespace modra {
namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string OpenedDocumentName(std::string_view path) {
  constexpr std::string_view kKnf = kNativeExtension;
  if (path.ends_with(kKnf)) return std::string(path);
  const size_t slash = path.rfind('/');
  const size_t fileName = slash == std::string_view::npos ? path.size() : path.size() - slash - 1;
  std::string name(fileName < kKnf.size() ? path : path.substr(0, path.size() - kKnf.size()));
  name += kKnf;
  return name;
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         std::equal(tail.begin(), tail.end(), text.end() - tail.size(),
                    [](char a, char b) { return Lower(a) == Lower(b); });
}

std::string WithExtension(std::string_view path, std::string_view extension) {
  std::string name(path);
  if (!EndsWithNoCase(path, extension)) name += extension;
  return name;
}

std::string WindowTitle(std::string_view documentName) {
  std::string title = "Modra: ";
  title += documentName;
  return title;
}

}  // namespace modra
