#include "printing/internal/bmp_reader.h"

#include <cstdlib>

namespace tillbook::printing::internal {

namespace {

uint32_t U16(std::string_view b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8;
}
uint32_t U32(std::string_view b, size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}

constexpr size_t kFileHeader = 14;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;  // 32-bit files written with explicit masks

uint32_t Opaque(uint8_t r, uint8_t g, uint8_t b) {
  return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

}  // namespace

bool DecodeBmp(std::string_view b, DecodedPicture& out) {
  if (b.size() < kFileHeader + 40 || b.substr(0, 2) != "BM") return false;
  const uint32_t pixelsAt = U32(b, 10);
  const uint32_t infoSize = U32(b, kFileHeader);
  if (infoSize < 40 || kFileHeader + infoSize > b.size()) return false;
  const auto width = int32_t(U32(b, 18));
  const auto rawHeight = int32_t(U32(b, 22));
  const uint32_t bits = U16(b, 28);
  const uint32_t compression = U32(b, 30);
  const auto pixelsPerMetre = int32_t(U32(b, 38));
  uint32_t colours = U32(b, 46);
  const bool topDown = rawHeight < 0;
  const int64_t height = std::llabs(int64_t(rawHeight));
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return false;
  if (bits != 8 && bits != 24 && bits != 32) return false;
  if (compression != kUncompressed && !(bits == 32 && compression == kBitFields)) return false;

  std::vector<uint32_t> palette;
  if (bits == 8) {
    if (colours == 0 || colours > 256) colours = 256;
    const size_t paletteAt = kFileHeader + infoSize;
    for (uint32_t i = 0; i < colours && paletteAt + 4 * i + 3 < b.size(); ++i) {
      const size_t e = paletteAt + 4 * i;
      palette.push_back(Opaque(uint8_t(b[e + 2]), uint8_t(b[e + 1]), uint8_t(b[e])));
    }
  }
  const size_t stride = (size_t(width) * bits / 8 + 3) / 4 * 4;
  if (pixelsAt > b.size() || stride * height > b.size() - pixelsAt) return false;

  out.width = width;
  out.height = int(height);
  out.argb.assign(size_t(width) * height, 0xFF000000u);
  if (pixelsPerMetre > 0) out.dpi = pixelsPerMetre * 0.0254;
  for (int64_t row = 0; row < height; ++row) {
    const int64_t stored = topDown ? row : height - 1 - row;
    const std::string_view line = b.substr(pixelsAt + stored * stride, stride);
    uint32_t* dest = &out.argb[size_t(row) * width];
    for (int32_t x = 0; x < width; ++x) {
      if (bits == 8) {
        const auto index = uint8_t(line[x]);
        dest[x] = index < palette.size() ? palette[index] : 0xFF000000u;
      } else {
        const size_t p = size_t(x) * bits / 8;  // blue, green, red (, unused)
        dest[x] = Opaque(uint8_t(line[p + 2]), uint8_t(line[p + 1]), uint8_t(line[p]));
      }
    }
  }
  return true;
}

}  // namespace tillbook::printing::internal
