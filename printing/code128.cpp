#include "printing/code128.h"

#include <array>

#include "printing/surface.h"

namespace tillbook::printing::code128 {

namespace {

// Bar and space widths of the symbol values 0 to 106 (106 is STOP, seven elements).
constexpr std::array<std::string_view, 107> kPatterns = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

// The characters that stand for the values 95 to 106, in order: DEL, FNC3, FNC2, SHIFT,
// CODE C, CODE B, CODE A, FNC1, START A, START B, START C, STOP.
constexpr std::array<char32_t, 12> kExtra = {U'î', U'ì', U'Ä', U'Å', U'É', U'æ',
                                             U'Æ', U'ô', U'ö', U'ò', U'û', U'ù'};

constexpr int kStartBValue = 104;
constexpr int kStopValue = 106;
constexpr int kModulo = 103;

// Value of a character of the table, -1 for any other.
int ValueOf(char32_t c) {
  if (c >= 32 && c <= 126) return int(c) - 32;
  for (size_t i = 0; i < kExtra.size(); ++i)
    if (kExtra[i] == c) return 95 + int(i);
  return -1;
}

char32_t CharacterOf(int value) {
  return value < 95 ? char32_t(value + 32) : kExtra[value - 95];
}

// Next code point of UTF-8 text; an invalid byte reads as a character of no table.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  const int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (n == 0) return 0xFFFD;
  char32_t cp = c & (0x3F >> n);
  for (int k = 0; k < n; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return cp;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else {  // the table holds nothing beyond two bytes
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  }
}

// Values of the accepted characters of `code`, followed by the check value.
std::vector<int> DataWithCheck(std::string_view code) {
  std::vector<int> values;
  int sum = kStartBValue;
  for (size_t i = 0; i < code.size();) {
    const int v = ValueOf(NextCodePoint(code, i));
    if (v < 0) continue;
    values.push_back(v);
    sum = (sum + v * int(values.size())) % kModulo;
  }
  values.push_back(sum % kModulo);
  return values;
}

}  // namespace

std::string AddCheckCharacter(std::string_view code) {
  std::string out;
  for (int v : DataWithCheck(code)) AppendUtf8(out, CharacterOf(v));
  return out;
}

std::vector<int> Symbols(std::string_view code) {
  std::vector<int> values{kStartBValue};
  for (int v : DataWithCheck(code)) values.push_back(v);
  values.push_back(kStopValue);
  return values;
}

std::string Pattern(std::string_view code) {
  std::string pattern;
  for (int v : Symbols(code)) pattern += kPatterns[v];
  return pattern;
}

int Modules(std::string_view pattern) {
  int modules = 0;
  for (char d : pattern) modules += d - '0';
  return modules;
}

double DrawPattern(Surface& surface, std::string_view pattern, double y, double x, double height,
                   double moduleWidth) {
  constexpr Rgb kBar = MakeRgb(0, 0, 0);
  constexpr Rgb kSpace = MakeRgb(255, 255, 255);
  double offset = 0;
  bool bar = true;
  for (char d : pattern) {
    const double w = (d - '0') * moduleWidth;
    surface.FillRectangle(Rect{x + offset, y, w, height}, bar ? kBar : kSpace);
    offset += w;
    bar = !bar;
  }
  return offset;
}

double DrawBarcode(Surface& surface, std::string_view code, double y, double x, double height,
                   double moduleWidth) {
  return DrawPattern(surface, Pattern(code), y, x, height, moduleWidth);
}

}  // namespace tillbook::printing::code128
