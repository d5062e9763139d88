#include "printing/code128.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

#include "printing/recording_surface.h"

namespace tillbook::printing {
namespace {

using code128::AddCheckCharacter;
using code128::Modules;
using code128::Pattern;
using code128::Symbols;

TEST(Code128, CheckCharacterAndWidthFollowTheTable) {
  struct Row {
    const char* name;
    std::string code;
    std::string withCheck;
    int modules;
  };
  const Row rows[] = {
      {"three letters", "ABC", "ABC!", 68},
      {"empty code", "", "!", 35},
      {"characters outside the table are dropped", "A\xC3\xA9\tB", "AB\xC3\xB4", 57},
      // Without the dropped character the weights of B and C shift down one position.
      {"dropped character does not count as a position",
       "A\xC3\xA9"
       "BC",
       "ABC!", 68},
      {"fnc1 written as its table character",
       "\xC3\xB4"
       "01",
       "\xC3\xB4"
       "01s",
       68},
      // (104 + 33 + 2 * 34) mod 103 = 102, FNC1's character; (104 + 94) mod 103 = 95.
      {"check value above 94 is an extra character", "AB", "AB\xC3\xB4", 57},
      {"check value 95", "~", "~\xC3\xAE", 46},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(AddCheckCharacter(r.code), r.withCheck);
    EXPECT_EQ(Modules(Pattern(r.code)), r.modules);
  }
}

TEST(Code128, SymbolValuesAndSum) {
  // (104 + 33 + 2*34 + 3*35) mod 103 = 1
  EXPECT_EQ(Symbols("ABC"), (std::vector<int>{104, 33, 34, 35, 1, 106}));
  EXPECT_EQ(Symbols("AB"), (std::vector<int>{104, 33, 34, 102, 106}));
  EXPECT_EQ(Symbols(""), (std::vector<int>{104, 1, 106}));
}

TEST(Code128, PatternTableIsTheStandardOne) {
  // Every data value is a distinct 11-module pattern of three bars and three spaces; the whole
  // symbol starts with START B and ends with STOP.
  std::set<std::string> seen;
  for (char c = ' '; c <= '~'; ++c) {
    const std::string full = Pattern(std::string(1, c));
    ASSERT_EQ(full.size(), 6u + 6 + 6 + 7);
    EXPECT_EQ(full.substr(0, 6), code128::kStartB);
    EXPECT_EQ(full.substr(full.size() - 7), code128::kStop);
    const std::string own = full.substr(6, 6);
    EXPECT_EQ(Modules(own), 11) << c;
    seen.insert(own);
  }
  EXPECT_EQ(seen.size(), 95u);
  // Pinned entries from the published table.
  EXPECT_EQ(Pattern(" ").substr(6, 6), "212222");
  EXPECT_EQ(Pattern("A").substr(6, 6), "111323");
  EXPECT_EQ(Pattern("~").substr(6, 6), "131141");
  EXPECT_EQ(Pattern("\xC3\xB4").substr(6, 6), "411131");  // FNC1
}

TEST(Code128, DrawsBarsAndSpacesSideBySide) {
  RecordingSurface surface;
  const double width = code128::DrawBarcode(surface, "ABC", 10, 20, 15, 0.3);
  EXPECT_NEAR(width, 20.4, 1e-9);
  ASSERT_EQ(surface.lines().size(), 6u * 5 + 7);
  EXPECT_EQ(surface.lines()[0], "FillRectangle\t20.00\t10.00\t0.60\t15.00\t000000");
  EXPECT_EQ(surface.lines()[1], "FillRectangle\t20.60\t10.00\t0.30\t15.00\tFFFFFF");
  EXPECT_EQ(surface.lines().back(), "FillRectangle\t39.80\t10.00\t0.60\t15.00\t000000");
}

// Paints filled rectangles into a white picture, the rest of the surface left out: enough to
// read a barcode back.
class RasterSurface : public RecordingSurface {
 public:
  RasterSurface(int widthPx, int heightPx, double pxPerMm)
      : image_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, widthPx, heightPx)),
        cr_(cairo_create(image_)) {
    cairo_set_source_rgb(cr_, 1, 1, 1);
    cairo_paint(cr_);
    cairo_scale(cr_, pxPerMm, pxPerMm);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  }
  ~RasterSurface() override {
    cairo_destroy(cr_);
    cairo_surface_destroy(image_);
  }
  void FillRectangle(const Rect& r, Rgb color) override {
    cairo_set_source_rgb(cr_, RedOf(color) / 255.0, GreenOf(color) / 255.0, BlueOf(color) / 255.0);
    cairo_rectangle(cr_, r.x, r.y, r.width, r.height);
    cairo_fill(cr_);
  }
  void Save(const std::string& png) { cairo_surface_write_to_png(image_, png.c_str()); }

 private:
  cairo_surface_t* image_;
  cairo_t* cr_;
};

// What zbarimg reads from the picture ("" when nothing).
std::string ZbarRead(const std::string& png) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(
      popen(("zbarimg --raw -q -Sdisable -Scode128.enable '" + png + "' 2>/dev/null").c_str(), "r"),
      pclose);
  std::string out;
  char buf[256];
  while (pipe && std::fgets(buf, sizeof buf, pipe.get())) out += buf;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

TEST(Code128, RenderedSymbolsDecodeBack) {
  if (std::system("command -v zbarimg >/dev/null 2>&1") != 0) GTEST_SKIP() << "zbarimg missing";
  struct Row {
    const char* name;
    std::string code;
    std::string read;
  };
  const Row rows[] = {
      {"letters", "ABC", "ABC"},
      {"shop code with blanks and signs", "Tillbook 2026 #42-a", "Tillbook 2026 #42-a"},
      {"dropped characters",
       "80\xC3\xA9"
       "12\t34",
       "801234"},
      {"check value 95", "~", "~"},
      {"check value 102", "AB", "AB"},
      {"long article code", "ARTICOLO-000123456789", "ARTICOLO-000123456789"},
  };
  const std::string dir = ::testing::TempDir();
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    constexpr double kModule = 0.3;
    constexpr double kPxPerMm = 4 / kModule;  // four pixels a module
    const int modules = Modules(Pattern(r.code));
    RasterSurface surface(int((modules + 40) * 4), 240, kPxPerMm);
    code128::DrawBarcode(surface, r.code, 3, 20 * kModule, 10, kModule);  // quiet zone: ours
    const std::string png = dir + "/code128_" + std::to_string(n++) + ".png";
    surface.Save(png);
    EXPECT_EQ(ZbarRead(png), r.read);
  }
}

}  // namespace
}  // namespace tillbook::printing
