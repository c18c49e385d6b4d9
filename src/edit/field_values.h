// The panels' number fields: the value each field of a command shows, the
// text it shows it as, and how typed text reads. The same rules decide
// what a field shows and whether typed text changes anything, so the two
// cannot disagree.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "edit/commands.h"

namespace modra {

class EditSession;

// "%.<decimals>f" as the C locale writes it, whatever the process's locale
// (decimals 0 to 6).
std::string FormatField(float value, int decimals = 3);
// A plain number, spaces around it allowed; nothing for text that is no
// finite number.
std::optional<float> ParseField(std::string_view text);

// The value typed text stands for in field `index` of a field command,
// once the field's limits are applied; nothing for text it does not read.
std::optional<float> FieldReading(CommandId id, int index, std::string_view text);

// The value field `index` of a field command shows now; nothing when the
// field is disabled (no current group, a light type without that field).
std::optional<float> FieldValue(const EditSession& session, CommandId id, int index);
// The text the field shows; "" when it is disabled.
std::string FieldText(const EditSession& session, CommandId id, int index);

}  // namespace modra
