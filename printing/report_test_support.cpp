#include "printing/report_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tillbook::printing::testing {

double MonospaceSurface::TextWidth(std::string_view text) {
  double n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::unique_ptr<Surface> MonospaceTarget::BeginDocument(bool landscape) {
  log_->push_back("BeginDocument");
  return std::make_unique<MonospaceSurface>(page_, false, log_);
}

std::vector<std::string> Only(const std::vector<std::string>& lines,
                              std::initializer_list<std::string_view> calls) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    const std::string_view name = std::string_view(line).substr(0, line.find('\t'));
    for (std::string_view c : calls)
      if (name == c) kept.push_back(line);
  }
  return kept;
}

namespace {
void Put16(std::string& b, uint32_t v) {
  b += char(v & 0xFF);
  b += char((v >> 8) & 0xFF);
}
void Put32(std::string& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
}  // namespace

void WriteBmp(const std::filesystem::path& file, int w, int h, uint32_t rrggbb) {
  const int stride = (w * 3 + 3) / 4 * 4;
  std::string b = "BM";
  Put32(b, 54 + stride * h);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, w);
  Put32(b, h);
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      b += char(rrggbb & 0xFF);
      b += char((rrggbb >> 8) & 0xFF);
      b += char((rrggbb >> 16) & 0xFF);
    }
    b.append(stride - w * 3, '\0');
  }
  std::ofstream(file, std::ios::binary) << b;
}

std::filesystem::path FreshFolder(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace tillbook::printing::testing
