// Minimal JSON writing for command-line output: quoted strings with the escapes JSON requires
// (UTF-8 passes through), numbers in their shortest round-trip form.
#pragma once

#include <string>
#include <string_view>

namespace tillbook::json {

std::string Quote(std::string_view s);
std::string Number(double v);

}  // namespace tillbook::json
