// The builtin functions of the script language, split by topic, and the helpers they share.
// Every builtin receives its arguments evaluated (objects not yet resolved to their default
// values) and returns a Variant; arity is checked by the caller against minArgs/maxArgs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "vbscript/machine.h"

namespace tillbook::vbscript::builtins {

std::span<const Builtin> Strings();
std::span<const Builtin> Numbers();
std::span<const Builtin> Dates();
std::span<const Builtin> Formatting();
std::span<const Builtin> Others();

// An argument left out of a host-style call (f(a, , b)) or not passed at all.
bool IsMissing(std::span<Variant> a, size_t i);
// The value of an argument (default member of objects).
Variant Val(const Variant& v);
std::string Text(Machine& m, const Variant& v);  // CStr rules, Null is error 94
int32_t Long(Machine& m, const Variant& v);      // CLng rules
double Number(Machine& m, const Variant& v);     // CDbl rules
// A Long argument or its default when missing.
int32_t LongOr(Machine& m, std::span<Variant> a, size_t i, int32_t fallback);

// Before a text result of `bytes` bytes is built: error 7 past the interpreter's text limit,
// and long texts count as work for the time limit and the stop flag.
inline void ReserveText(Machine& m, size_t bytes) {
  m.CheckText(bytes);
  m.Spend(bytes);
}

// UTF-8 strings measured in characters.
size_t Chars(std::string_view s);
// Byte offset of character `index` (0-based); s.size() when past the end.
size_t Offset(std::string_view s, size_t index);
std::string Utf8(uint32_t codePoint);

// The Err object of a machine.
std::shared_ptr<Object> MakeErrObject(Machine& m);

// Day-of-week helpers shared by dates and formatting.
double Today(Machine& m);

}  // namespace tillbook::vbscript::builtins
