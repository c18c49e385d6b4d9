#include "profile/profile_fields.h"

#include <charconv>

#include "edit/field_values.h"

namespace modra {
namespace {

std::string_view Visible(std::string_view text) {
  return text.substr(0, kProfileFieldChars);
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

}  // namespace

FieldRead<float> ReadNumberField(std::string_view text, float previous) {
  const std::optional<float> v = ParseField(Visible(text));
  if (!v) return {previous, true};
  return {*v, false};
}

int HoldSteps(long long steps) {
  if (steps < 0) return kNegativeSteps;
  if (steps < kLeastSteps) return kLeastSteps;
  if (steps > kMostSteps) return kMostSteps;
  return static_cast<int>(steps);
}

FieldRead<int> ReadStepsField(std::string_view text, int previous) {
  text = Trimmed(Visible(text));
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long steps = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), steps);
  // Out of range of a long long is still a count far above the limit.
  if (error == std::errc::result_out_of_range && end == text.data() + text.size())
    return {HoldSteps(text.front() == '-' ? -1 : kMostSteps + 1), false};
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    return {previous, true};
  return {HoldSteps(steps), false};
}

std::string NumberFieldText(float value, int decimals) {
  return FormatField(value, decimals);
}

std::string StepsFieldText(int steps) {
  return std::to_string(steps);
}

PointFieldTexts PointFields(const float* points, size_t count, int current) {
  if (current < 0 || static_cast<size_t>(current) >= count) return {};
  return {FormatField(points[2 * current], kPointDecimals),
          FormatField(points[2 * current + 1], kPointDecimals)};
}

}  // namespace modra
