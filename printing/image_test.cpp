#include "printing/image.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <fstream>

#include "base/error.h"
#include "printing/report_test_support.h"

namespace tillbook::printing {
namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path dir = testing::FreshFolder("image_test");
  return dir;
}

void Put(std::string& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b += char((v >> (8 * i)) & 0xFF);
}

// A bitmap file with the given header fields; `rows` are the stored rows, padding included.
std::filesystem::path Bmp(const std::string& name, int w, int h, int bits,
                          const std::string& palette, const std::string& rows,
                          int pixelsPerMetre = 0) {
  std::string b = "BM";
  const uint32_t pixelsAt = 54 + uint32_t(palette.size());
  Put(b, pixelsAt + uint32_t(rows.size()), 4);
  Put(b, 0, 4);
  Put(b, pixelsAt, 4);
  Put(b, 40, 4);
  Put(b, uint32_t(w), 4);
  Put(b, uint32_t(h), 4);
  Put(b, 1, 2);
  Put(b, uint32_t(bits), 2);
  Put(b, 0, 4);
  Put(b, uint32_t(rows.size()), 4);
  Put(b, uint32_t(pixelsPerMetre), 4);
  Put(b, uint32_t(pixelsPerMetre), 4);
  Put(b, uint32_t(palette.size() / 4), 4);
  Put(b, 0, 4);
  b += palette + rows;
  const std::filesystem::path file = Folder() / name;
  std::ofstream(file, std::ios::binary) << b;
  return file;
}

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;

TEST(ImageBmp, TrueColourBottomUpAndTopDown) {
  // 2 × 2: top row red, green; bottom row blue, white. Rows are padded to 8 bytes.
  const std::string top = std::string("\x00\x00\xFF\x00\xFF\x00", 6) + std::string(2, '\0');
  const std::string bottom = std::string("\xFF\x00\x00\xFF\xFF\xFF", 6) + std::string(2, '\0');
  const auto up = Image::Load(Bmp("up.bmp", 2, 2, 24, "", bottom + top, 3780));
  EXPECT_EQ(up->pixels(), (std::vector<uint32_t>{kRed, kGreen, kBlue, kWhite}));
  EXPECT_NEAR(up->WidthMm(), 2 * 25.4 / 96.012, 1e-3);  // 3780 dots a metre
  const auto down = Image::Load(Bmp("down.bmp", 2, -2, 24, "", top + bottom));
  EXPECT_EQ(down->pixels(), up->pixels());
  EXPECT_EQ(down->height(), 2);

  const std::string row32("\x00\x00\xFF\x00\xFF\xFF\xFF\x00", 8);  // red, white; 4th byte unused
  const auto wide = Image::Load(Bmp("wide.bmp", 2, 1, 32, "", row32));
  EXPECT_EQ(wide->pixels(), (std::vector<uint32_t>{kRed, kWhite}));
}

TEST(ImageBmp, PalettedColours) {
  const std::string palette("\xFF\x00\x00\x00\x00\xFF\x00\x00\x00\x00\xFF\x00", 12);
  const std::string rows = std::string("\x02\x01\x00", 3) + '\0';  // red, green, blue + pad
  const auto image = Image::Load(Bmp("pal.bmp", 3, 1, 8, palette, rows));
  EXPECT_EQ(image->pixels(), (std::vector<uint32_t>{kRed, kGreen, kBlue}));
  EXPECT_EQ(image->source(), (Folder() / "pal.bmp").string());
}

TEST(ImagePng, KeepsPremultipliedAlpha) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 2);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgba(cr, 0, 0, 1, 0.5);
  cairo_paint(cr);
  cairo_destroy(cr);
  const std::string file = (Folder() / "half.png").string();
  ASSERT_EQ(cairo_surface_write_to_png(s, file.c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(s);
  const auto image = Image::Load(file);
  ASSERT_EQ(image->width(), 3);
  ASSERT_EQ(image->height(), 2);
  const uint32_t p = image->pixels()[0];
  EXPECT_NEAR(int(p >> 24), 128, 1);
  EXPECT_NEAR(int(p & 0xFF), 128, 1);
  EXPECT_EQ((p >> 8) & 0xFFFF, 0u);
}

TEST(ImageJpeg, DecodesColourAndResolution) {
  const std::string file = (Folder() / "green.jpg").string();
  FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  jpeg_compress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = 16;
  info.image_height = 8;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  info.density_unit = 1;
  info.X_density = info.Y_density = 200;
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(16 * 3);
  for (size_t i = 0; i < row.size(); i += 3) row[i + 1] = 200;
  while (info.next_scanline < info.image_height) {
    unsigned char* rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(out);

  const auto image = Image::Load(file);
  EXPECT_EQ(image->width(), 16);
  EXPECT_NEAR(image->WidthMm(), 16 * 25.4 / 200, 1e-9);
  const uint32_t p = image->pixels()[5];
  EXPECT_NEAR(int((p >> 8) & 0xFF), 200, 4);
  EXPECT_LT(int((p >> 16) & 0xFF), 8);
}

TEST(ImageErrors, UnreadableOrUnknownFiles) {
  std::ofstream(Folder() / "testo.bmp") << "BM non è un'immagine";
  std::ofstream(Folder() / "troncato.jpg", std::ios::binary) << "\xFF\xD8\xFF\xE0";
  for (const char* name : {"testo.bmp", "troncato.jpg"}) {
    try {
      Image::Load(Folder() / name);
      ADD_FAILURE() << name;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), 481) << name;
      EXPECT_NE(e.message().find(name), std::string::npos);
    }
  }
  EXPECT_THROW(Image::Load(Folder() / "manca.png"), Error);
}

}  // namespace
}  // namespace tillbook::printing
