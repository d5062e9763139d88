// A picture decoded into memory, ready for any surface: PNG, JPEG and BMP files (24/32-bit and
// 8-bit paletted, bottom-up and top-down). Pixels are 32-bit native-endian premultiplied ARGB,
// rows packed, which is what cairo draws from directly.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tillbook::printing {

class Image {
 public:
  // Reads and decodes the file; throws tillbook::Error (Italian text, path in the detail) when
  // it cannot be read or is no picture of a known kind.
  static std::shared_ptr<const Image> Load(const std::filesystem::path& path);
  // A picture from pixels already in memory (tests, generated pictures).
  Image(int width, int height, std::vector<uint32_t> argb, double dpi = 96,
        std::string source = {});

  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<uint32_t>& pixels() const { return argb_; }
  // The file it came from ("" when made in memory); recordings show it.
  const std::string& source() const { return source_; }
  // Distinct for every picture made in this process: surfaces cache what they built from it.
  uint64_t id() const { return id_; }
  // Natural size in millimetres, from the resolution stored in the file (96 dpi when none).
  double WidthMm() const { return width_ * 25.4 / dpi_; }
  double HeightMm() const { return height_ * 25.4 / dpi_; }

 private:
  int width_;
  int height_;
  std::vector<uint32_t> argb_;
  double dpi_;
  std::string source_;
  uint64_t id_;
};

}  // namespace tillbook::printing
