// Composition of accented Latin letters written as a base letter and a combining accent
// ("a" + U+0300 -> "à"), so a name or a text typed in decomposed form equals the composed one
// the archive stores. Covers the letters of Latin-1 and Latin Extended-A.
#pragma once

#include <string>
#include <string_view>

namespace tillbook::jet::internal {

std::string ComposeAccents(std::string_view s);

}  // namespace tillbook::jet::internal
