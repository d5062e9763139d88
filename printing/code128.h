// Code 128 symbols in code set B, drawn as bars and spaces on any surface. Codes are UTF-8; the
// printable ASCII characters are the data values 0 to 94, and the twelve characters
// "îìÄÅÉæÆôöòûù" place the values 95 to 106 (FNC1 is "ô"), so a layout can write any symbol.
// Characters outside that table are left out. No quiet zone and no human-readable text: the
// layout places its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tillbook::printing {

class Surface;

namespace code128 {

inline constexpr std::string_view kStartB = "211214";
inline constexpr std::string_view kStop = "2331112";

// The characters of `code` that the table holds, followed by the check character.
std::string AddCheckCharacter(std::string_view code);
// Symbol values of what is drawn: START B, the accepted characters, the check, STOP.
std::vector<int> Symbols(std::string_view code);
// Bar and space widths in modules of the whole symbol (start to stop), one digit each,
// starting with a bar.
std::string Pattern(std::string_view code);
// Width of a pattern in modules.
int Modules(std::string_view pattern);

// Paints the pattern's bars black and its spaces white from (x, y), `height` tall, each module
// `moduleWidth` wide; returns the width drawn.
double DrawPattern(Surface& surface, std::string_view pattern, double y, double x, double height,
                   double moduleWidth);
// Paints the whole symbol of `code` with its top-left corner at (x, y); returns its width.
double DrawBarcode(Surface& surface, std::string_view code, double y, double x, double height,
                   double moduleWidth);

}  // namespace code128
}  // namespace tillbook::printing
