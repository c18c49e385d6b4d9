#include "formats/dxf_groups.h"

#include <cstring>

#include "io/scan_number.h"

namespace modra::dxf {

ValueKind KindOfCode(int32_t code) {
  if (code < 10 || (code >= 1000 && code <= 1009)) return ValueKind::kString;
  if ((code >= 10 && code <= 59) || (code >= 140 && code <= 147) || (code >= 210 && code <= 239) ||
      (code >= 1010 && code <= 1059))
    return ValueKind::kFloat;
  return ValueKind::kInt;
}

float Group::Float() const {
  assert(KindOfCode(code) == ValueKind::kFloat);
  float v = 0;
  ScanFloat(value.data(), value.data() + value.size(), v);
  return v;
}

int32_t Group::Int() const {
  assert(KindOfCode(code) == ValueKind::kInt);
  int32_t v = 0;
  ScanInt(value.data(), value.data() + value.size(), v);
  return v;
}

bool GroupReader::NextLine(std::string_view& line) {
  if (at_ == end_) return false;
  const auto* feed = static_cast<const char*>(std::memchr(at_, '\n', end_ - at_));
  const char* stop = feed ? feed : end_;
  line = {at_, static_cast<size_t>(stop - at_)};
  at_ = feed ? feed + 1 : end_;
  return true;
}

bool GroupReader::Next(Group& g) {
  if (pushedBack_) {
    pushedBack_ = false;
    g = pending_;
    return true;
  }
  std::string_view codeLine;
  if (!NextLine(codeLine) || !NextLine(g.value)) return false;
  if (!ScanInt(codeLine.data(), codeLine.data() + codeLine.size(), g.code)) g.code = -1;
  return true;
}

}  // namespace modra::dxf
