// Speed of the archive's collations against the plain ASCII case-insensitive loop a database
// engine uses for its own NOCASE, measured on the same texts in the same run. Lists of articles
// and customers share long prefixes, so the texts here do too.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"

namespace {

using Compare = int (*)(std::string_view, std::string_view);

int AsciiNoCase(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
    if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::vector<std::string> Texts(bool accented) {
  const char* endings[] = {"à", "è", "é", "ò", "ù", "À", "É"};
  std::vector<std::string> texts;
  uint32_t seed = 7;
  for (int i = 0; i < 4000; ++i) {
    std::string word;
    for (int k = 0; k < 8; ++k) {
      seed = seed * 1103515245 + 12345;
      word += static_cast<char>('a' + (seed >> 16) % 26);
    }
    if (accented) word = endings[i % 7] + word;  // the rest of the text leaves the ASCII path
    texts.push_back((i % 2 ? "ARTICOLO DI PROVA " : "Articolo di prova ") + word);
  }
  return texts;
}

double Seconds(Compare compare, const std::vector<std::string>& texts, long* checksum) {
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < 200; ++round) {
    for (size_t i = 0; i + 1 < texts.size(); ++i) *checksum += compare(texts[i], texts[i + 1]) < 0;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  long checksum = 0;
  for (bool accented : {false, true}) {
    const auto texts = Texts(accented);
    const double baseline = Seconds(AsciiNoCase, texts, &checksum);
    const double noCase = Seconds(tillbook::text::CompareNoCase, texts, &checksum);
    const double sort = Seconds(tillbook::text::CompareForSort, texts, &checksum);
    std::printf("%-9s ASCII NOCASE loop %.4f s  CompareNoCase x%.2f  CompareForSort x%.2f\n",
                accented ? "accented" : "ascii", baseline, noCase / baseline, sort / baseline);
  }
  std::printf("(checksum %ld)\n", checksum);
}
