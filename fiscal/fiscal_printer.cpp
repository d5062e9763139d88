#include "fiscal/fiscal_printer.h"

namespace tillbook::fiscal {

void RaiseDriverError(const std::string& source, int code, std::string_view message) {
  std::string description = "Codice: " + std::to_string(code);
  if (!message.empty()) description += "\r\r" + std::string(message);
  throw DriverError(source, code, std::move(description));
}

namespace {

// Decodes one UTF-8 sequence at `i`, advancing past it; a byte that starts no valid sequence
// counts as one character of its own.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (b >= 0x80 && extra == 0) extra = -1;
  if (extra <= 0 || i + extra >= s.size()) {
    ++i;
    return extra < 0 ? 0xFFFD : b;
  }
  char32_t cp = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

}  // namespace

std::string NormalizeFiscalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      out += static_cast<char>(c);
    } else if (c == U'à') {
      out += 'a';
    } else if (c == U'è' || c == U'é') {
      out += 'e';
    } else if (c == U'ò') {
      out += 'o';
    } else if (c == U'ù') {
      out += 'u';
    } else {
      out += ' ';
    }
  }
  return out;
}

std::string DeviceDescription(std::string_view text, int maxLength) {
  std::string s = NormalizeFiscalText(text);
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (maxLength < 0) maxLength = 0;
  if (s.size() > static_cast<size_t>(maxLength)) s.resize(static_cast<size_t>(maxLength));
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace tillbook::fiscal
