// The text of a field's value in a panel editor, the Italian way, and the value back from what
// the person typed. Amounts keep every stored decimal (at least two) so an edit never loses the
// exact ten-thousandths; "1.234,5" and "1234.50" both read as 1234.50 euro. Qt-free.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/variant.h"
#include "engine/definition.h"

namespace tillbook::engine::ui {

// "1.234,50" (amounts), "12,5" (numbers), "31/12/2026" (dates), "31/12/2026 08:30:00"
// (date-times), plain digits (integers), the text itself (text kinds). Null and Empty give "".
std::string EditText(const Variant& value, FieldType type);

// The value of `text` for a field of `type`: Currency for amounts, Double for numbers and
// millimetres, Long for integers, Date for dates, Boolean for yes/no, String for text kinds.
// Blank text is Null when the field allows it, else the type's empty value (0, "", false); a
// blank date of a not-null field stays Null. nullopt when the text does not read as the type.
std::optional<Variant> ParseEditText(std::string_view text, FieldType type, bool notNull);

// "Il valore «text» non è valido per il campo «field»." — the panel's message for nullopt above.
std::string InvalidValueMessage(std::string_view text, std::string_view field);

}  // namespace tillbook::engine::ui
