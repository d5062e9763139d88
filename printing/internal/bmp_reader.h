// Windows bitmap files: 24- and 32-bit true colour and 8-bit paletted, uncompressed, stored
// bottom-up or top-down. Enough for the backgrounds and logos layouts were drawn with.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tillbook::printing::internal {

struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;  // opaque, rows top to bottom
  double dpi = 96;
};

// Decodes the bytes of a .bmp file; false when they are not a bitmap of a supported kind.
bool DecodeBmp(std::string_view bytes, DecodedPicture& out);

}  // namespace tillbook::printing::internal
