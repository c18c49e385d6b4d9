#include "formats/cob_text.h"

#include <charconv>
#include <limits>
#include <string>

#include "io/scan_number.h"

namespace modra {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::optional<std::string_view> CobLineReader::Next() {
  if (pos_ >= text_.size()) return std::nullopt;
  size_t end = text_.find('\n', pos_);
  std::string_view line = text_.substr(pos_, end == std::string_view::npos ? end : end - pos_);
  pos_ = end == std::string_view::npos ? text_.size() : end + 1;
  // What follows a zero byte is invisible to the C string functions that
  // these files were written for.
  line = line.substr(0, line.find('\0'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool CobLineReader::Seek(size_t at) {
  if (at > text_.size()) return false;
  pos_ = at;
  return true;
}

void CobScanner::SkipBlanks() {
  while (at_ < text_.size() && IsBlank(text_[at_]))
    ++at_;
}

bool CobScanner::Literal(std::string_view pattern) {
  size_t at = at_;
  for (char c : pattern) {
    if (IsBlank(c)) {
      while (at < text_.size() && IsBlank(text_[at]))
        ++at;
    } else if (at < text_.size() && text_[at] == c) {
      ++at;
    } else {
      return false;
    }
  }
  at_ = at;
  return true;
}

bool CobScanner::Int(int32_t& out) {
  SkipBlanks();
  size_t at = at_;
  bool negative = false;
  if (at < text_.size() && (text_[at] == '+' || text_[at] == '-')) negative = text_[at++] == '-';
  if (at >= text_.size() || !IsDigit(text_[at])) return false;
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; at < text_.size() && IsDigit(text_[at]); ++at)
    if (value < kLimit) value = value * 10 + (text_[at] - '0');
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) value = std::numeric_limits<int32_t>::min();
  out = static_cast<int32_t>(value);
  at_ = at;
  return true;
}

bool CobScanner::Float(float& out) {
  SkipBlanks();
  const char* const start = text_.data() + at_;
  const char* const end = text_.data() + text_.size();
  const char* p = start;
  bool negative = false;
  // from_chars takes no '+' and reads a '-' itself: the sign is ours.
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p < end && (*p == '+' || *p == '-')) return false;
  float value = 0;
  std::from_chars_result r{};
  if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    if (end - p >= 3 && (IsHexDigit(p[2]) || p[2] == '.'))
      r = std::from_chars(p + 2, end, value, std::chars_format::hex);
    else
      r.ec = std::errc::invalid_argument;
    // "0x" without hexadecimal digits is the number 0 followed by an 'x'.
    if (r.ec == std::errc::invalid_argument) {
      r = {p + 1, std::errc{}};
      value = 0;
    }
  } else {
    r = std::from_chars(p, end, value);
  }
  if (r.ec == std::errc::invalid_argument) return false;
  if (r.ec == std::errc::result_out_of_range) {
    // Too large or too small for a float: what strtof makes of it
    // (infinity, or a tiny number or zero).
    value = StrtofC(p, r.ptr);
  }
  out = negative ? -value : value;
  at_ = static_cast<size_t>(r.ptr - text_.data());
  return true;
}

bool CobScanner::Char(char& out) {
  if (at_ >= text_.size()) return false;
  out = text_[at_++];
  return true;
}

bool CobScanner::Word(std::string_view& out) {
  SkipBlanks();
  size_t at = at_;
  while (at < text_.size() && !IsBlank(text_[at]))
    ++at;
  if (at == at_) return false;
  out = text_.substr(at_, at - at_);
  at_ = at;
  return true;
}

}  // namespace modra
