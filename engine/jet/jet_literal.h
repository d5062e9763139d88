// Writing values into query texts. Program code builds filters by joining a text with a value
// ("Not Evaso AND Clienti.Codice=" + code); these helpers write the value as a literal of the
// dialect — quoted text with doubled quotes, #mm/dd/yyyy# dates, numbers with '.' — so no value
// can change the meaning of the text around it. The translator then binds every literal as a
// parameter anyway.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "base/variant.h"

namespace tillbook::jet {

// The literal of `value`: 'text', #mm/dd/yyyy# (with the time when not midnight), a number,
// True/False or Null. Empty is Null. Throws Error for objects and arrays.
std::string JetLiteral(const Variant& value);

// `format` with each "{}" replaced by the literal of the next value, in order:
// JetFilter("Not Evaso AND Clienti.Codice = {}", {Variant::String(code)}).
// Throws Error when the counts of "{}" and values differ.
std::string JetFilter(std::string_view format, std::initializer_list<Variant> values);

}  // namespace tillbook::jet
