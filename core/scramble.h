// The program's reversible scrambling of stored passwords (the application password file, the
// database password in the settings, operators' passwords in the archive). It only keeps a
// password from being read at a glance: anyone with the program or this code can reverse it.
// Printable ASCII characters are rotated within the printable range by an amount that depends
// on their position; other bytes (accented letters in UTF-8) stay as they are, so the scrambled
// text is as long as the password and still one line of valid text.
#pragma once

#include <string>
#include <string_view>

namespace tillbook::core {

std::string Scramble(std::string_view plain);
std::string Unscramble(std::string_view scrambled);

}  // namespace tillbook::core
