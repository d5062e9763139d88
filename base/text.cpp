#include "base/text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tillbook::text {
namespace {

// Case and accent knowledge covers Latin-1 Supplement and Latin Extended-A, the letters Italian
// data meets in practice (names of customers and places from all over Europe included). Other
// code points are left as they are.
constexpr char32_t kFirstMapped = 0xC0;
constexpr char32_t kLastMapped = 0x17F;
constexpr size_t kMappedCount = kLastMapped - kFirstMapped + 1;

// A byte that does not start a valid sequence decodes on its own as this base plus the byte:
// above every code point, distinct per byte, and copied through unchanged when re-encoding.
constexpr char32_t kInvalidBase = 0x110000;

struct Tables {
  char32_t upper[kMappedCount];
  char32_t lower[kMappedCount];
  // The letter without its accent, lower case, up to two letters ("ae" for æ); empty when the
  // code point is not an accented letter.
  char base[kMappedCount][3];
};

struct BaseRange {
  char32_t first;
  char32_t last;
  const char* base;
};

constexpr BaseRange kBaseRanges[] = {
    {0xC0, 0xC5, "a"},   {0xC6, 0xC6, "ae"},   {0xC7, 0xC7, "c"},   {0xC8, 0xCB, "e"},
    {0xCC, 0xCF, "i"},   {0xD0, 0xD0, "d"},    {0xD1, 0xD1, "n"},   {0xD2, 0xD6, "o"},
    {0xD8, 0xD8, "o"},   {0xD9, 0xDC, "u"},    {0xDD, 0xDD, "y"},   {0xDF, 0xDF, "ss"},
    {0xE0, 0xE5, "a"},   {0xE6, 0xE6, "ae"},   {0xE7, 0xE7, "c"},   {0xE8, 0xEB, "e"},
    {0xEC, 0xEF, "i"},   {0xF0, 0xF0, "d"},    {0xF1, 0xF1, "n"},   {0xF2, 0xF6, "o"},
    {0xF8, 0xF8, "o"},   {0xF9, 0xFC, "u"},    {0xFD, 0xFD, "y"},   {0xFF, 0xFF, "y"},
    {0x100, 0x105, "a"}, {0x106, 0x10D, "c"},  {0x10E, 0x111, "d"}, {0x112, 0x11B, "e"},
    {0x11C, 0x123, "g"}, {0x124, 0x127, "h"},  {0x128, 0x131, "i"}, {0x132, 0x133, "ij"},
    {0x134, 0x135, "j"}, {0x136, 0x138, "k"},  {0x139, 0x142, "l"}, {0x143, 0x14B, "n"},
    {0x14C, 0x151, "o"}, {0x152, 0x153, "oe"}, {0x154, 0x159, "r"}, {0x15A, 0x161, "s"},
    {0x162, 0x167, "t"}, {0x168, 0x173, "u"},  {0x174, 0x175, "w"}, {0x176, 0x178, "y"},
    {0x179, 0x17E, "z"}, {0x17F, 0x17F, "s"},
};

constexpr Tables BuildTables() {
  Tables t{};
  for (char32_t c = kFirstMapped; c <= kLastMapped; ++c) {
    t.upper[c - kFirstMapped] = c;
    t.lower[c - kFirstMapped] = c;
  }
  auto pair = [&t](char32_t upper, char32_t lower) {
    t.lower[upper - kFirstMapped] = lower;
    if (lower >= kFirstMapped) t.upper[lower - kFirstMapped] = upper;
  };
  // Latin-1: capitals 0xC0..0xDE sit 0x20 below their small letters (× and ÷ are not letters;
  // ß has no single capital).
  for (char32_t c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) pair(c, c + 0x20);
  }
  // Latin Extended-A alternates capital, small; the run shifts by one after ĸ and again after ŉ.
  for (char32_t c = 0x100; c <= 0x12E; c += 2) pair(c, c + 1);
  for (char32_t c = 0x132; c <= 0x136; c += 2) pair(c, c + 1);
  for (char32_t c = 0x139; c <= 0x147; c += 2) pair(c, c + 1);
  for (char32_t c = 0x14A; c <= 0x176; c += 2) pair(c, c + 1);
  for (char32_t c = 0x179; c <= 0x17D; c += 2) pair(c, c + 1);
  pair(0x178, 0xFF);                     // Ÿ ÿ
  t.lower[0x130 - kFirstMapped] = U'i';  // İ
  t.upper[0x131 - kFirstMapped] = U'I';  // ı
  t.upper[0x17F - kFirstMapped] = U'S';  // ſ
  for (const BaseRange& range : kBaseRanges) {
    for (char32_t c = range.first; c <= range.last; ++c) {
      for (int i = 0; range.base[i] != 0; ++i) t.base[c - kFirstMapped][i] = range.base[i];
    }
  }
  return t;
}

constexpr Tables kTables = BuildTables();

constexpr bool IsMapped(char32_t c) {
  return c >= kFirstMapped && c <= kLastMapped;
}

constexpr char AsciiLower(unsigned char c) {
  return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}
inline char AsciiUpper(unsigned char c) {
  return static_cast<char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
}

constexpr auto kAsciiLower = [] {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(AsciiLower(c));
  return table;
}();

inline char32_t LowerOf(char32_t c) {
  if (c < 0x80) return static_cast<unsigned char>(AsciiLower(static_cast<unsigned char>(c)));
  return IsMapped(c) ? kTables.lower[c - kFirstMapped] : c;
}
inline char32_t UpperOf(char32_t c) {
  if (c < 0x80) return static_cast<unsigned char>(AsciiUpper(static_cast<unsigned char>(c)));
  return IsMapped(c) ? kTables.upper[c - kFirstMapped] : c;
}
// Simple case folding: the small letter, except that the long s folds to s.
inline char32_t FoldOf(char32_t c) {
  return c == 0x17F ? U's' : LowerOf(c);
}

inline bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Decodes the code point at s[i] and moves i past it. Overlong forms, surrogates and values
// beyond U+10FFFF are invalid: their first byte decodes alone as kInvalidBase + byte.
char32_t Decode(std::string_view s, size_t& i) {
  const auto at = [&s](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b0 = at(i);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  const size_t left = s.size() - i;
  if (b0 >= 0xC2 && b0 <= 0xDF && left >= 2 && IsContinuation(at(i + 1))) {
    const char32_t c = (char32_t(b0 & 0x1F) << 6) | (at(i + 1) & 0x3F);
    i += 2;
    return c;
  }
  if (b0 >= 0xE0 && b0 <= 0xEF && left >= 3) {
    const unsigned char b1 = at(i + 1);
    const unsigned char low = b0 == 0xE0 ? 0xA0 : 0x80;
    const unsigned char high = b0 == 0xED ? 0x9F : 0xBF;
    if (b1 >= low && b1 <= high && IsContinuation(at(i + 2))) {
      const char32_t c =
          (char32_t(b0 & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (at(i + 2) & 0x3F);
      i += 3;
      return c;
    }
  }
  if (b0 >= 0xF0 && b0 <= 0xF4 && left >= 4) {
    const unsigned char b1 = at(i + 1);
    const unsigned char low = b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = b0 == 0xF4 ? 0x8F : 0xBF;
    if (b1 >= low && b1 <= high && IsContinuation(at(i + 2)) && IsContinuation(at(i + 3))) {
      const char32_t c = (char32_t(b0 & 0x07) << 18) | (char32_t(b1 & 0x3F) << 12) |
                         (char32_t(at(i + 2) & 0x3F) << 6) | (at(i + 3) & 0x3F);
      i += 4;
      return c;
    }
  }
  ++i;
  return kInvalidBase + b0;
}

void Encode(char32_t c, std::string& out) {
  if (c >= kInvalidBase) {
    out.push_back(static_cast<char>(c - kInvalidBase));
  } else if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

size_t FirstNonAscii(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  return i;
}

// Maps every code point; ASCII text is mapped byte by byte.
template <typename AsciiMap, typename Map>
std::string Transform(std::string_view s, AsciiMap asciiMap, Map map) {
  std::string out;
  out.reserve(s.size());
  const size_t ascii = FirstNonAscii(s);
  for (size_t i = 0; i < ascii; ++i) out.push_back(asciiMap(static_cast<unsigned char>(s[i])));
  for (size_t i = ascii; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(asciiMap(b));
      ++i;
    } else {
      map(Decode(s, i), out);
    }
  }
  return out;
}

// One collation element of the list order: the letter without accent or case (primary), the
// accent (secondary: 0 for none, else the accented small letter) and the case (tertiary: 0 for
// small or uncased, 1 for capital). A letter that expands (æ, ß) gives two elements sharing its
// accent and case.
struct SortElement {
  char32_t primary;
  char32_t secondary;
  uint8_t tertiary;
};

class SortReader {
 public:
  explicit SortReader(std::string_view s) : s_(s) {}

  bool Next(SortElement* e) {
    if (pending_ != 0) {
      *e = {pending_, pendingSecondary_, pendingTertiary_};
      pending_ = 0;
      return true;
    }
    if (pos_ == s_.size()) return false;
    const unsigned char b = static_cast<unsigned char>(s_[pos_]);
    if (b < 0x80) {
      ++pos_;
      const bool capital = b >= 'A' && b <= 'Z';
      *e = {static_cast<char32_t>(capital ? b + ('a' - 'A') : b), 0, capital};
      return true;
    }
    const char32_t c = Decode(s_, pos_);
    const char32_t folded = FoldOf(c);
    const uint8_t tertiary = folded != c;
    if (!IsMapped(folded) || kTables.base[folded - kFirstMapped][0] == 0) {
      *e = {folded, 0, tertiary};
      return true;
    }
    const char* base = kTables.base[folded - kFirstMapped];
    *e = {static_cast<char32_t>(base[0]), folded, tertiary};
    if (base[1] != 0) {
      pending_ = static_cast<char32_t>(base[1]);
      pendingSecondary_ = folded;
      pendingTertiary_ = tertiary;
    }
    return true;
  }

 private:
  std::string_view s_;
  size_t pos_ = 0;
  char32_t pending_ = 0;
  char32_t pendingSecondary_ = 0;
  uint8_t pendingTertiary_ = 0;
};

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

std::string Upper(std::string_view s) {
  return Transform(s, AsciiUpper, [](char32_t c, std::string& out) { Encode(UpperOf(c), out); });
}

std::string Lower(std::string_view s) {
  return Transform(s, AsciiLower, [](char32_t c, std::string& out) { Encode(LowerOf(c), out); });
}

std::string Fold(std::string_view s) {
  return Transform(s, AsciiLower, [](char32_t c, std::string& out) { Encode(FoldOf(c), out); });
}

std::string FoldNoAccents(std::string_view s) {
  return Transform(s, AsciiLower, [](char32_t c, std::string& out) {
    const char32_t folded = FoldOf(c);
    if (IsMapped(folded) && kTables.base[folded - kFirstMapped][0] != 0) {
      out += kTables.base[folded - kFirstMapped];
    } else {
      Encode(folded, out);
    }
  });
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  size_t i = 0;
  // Pure ASCII runs compare byte by byte without decoding.
  for (; i < common; ++i) {
    const unsigned char ca = static_cast<unsigned char>(a[i]);
    const unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca == cb) {
      if (ca < 0x80) continue;
      break;
    }
    if ((ca | cb) >= 0x80) break;
    const unsigned char la = kAsciiLower[ca];
    const unsigned char lb = kAsciiLower[cb];
    if (la != lb) return la < lb ? -1 : 1;
  }
  if (i == common) return Sign(a.size(), b.size());
  // Everything before i is ASCII in both texts, so both decode from i in step.
  size_t j = i;
  while (i < a.size() && j < b.size()) {
    const char32_t fa = FoldOf(Decode(a, i));
    const char32_t fb = FoldOf(Decode(b, j));
    if (fa != fb) return fa < fb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

int CompareForSort(std::string_view a, std::string_view b) {
  // One pass: the first primary difference decides at once; the first accent and case
  // differences are remembered in case the letters turn out equal.
  int secondary = 0;
  int tertiary = 0;
  const size_t common = std::min(a.size(), b.size());
  size_t i = 0;
  for (; i < common; ++i) {
    const unsigned char ca = static_cast<unsigned char>(a[i]);
    const unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca == cb) {
      if (ca < 0x80) continue;
      break;
    }
    if ((ca | cb) >= 0x80) break;
    const unsigned char la = kAsciiLower[ca];
    const unsigned char lb = kAsciiLower[cb];
    if (la != lb) return la < lb ? -1 : 1;
    if (tertiary == 0) tertiary = la == ca ? -1 : 1;  // the small letter first
  }
  if (i == common && (i == a.size() || i == b.size())) {
    if (a.size() != b.size()) return Sign(a.size(), b.size());
    return tertiary;
  }
  SortReader ra(a.substr(i));
  SortReader rb(b.substr(i));
  for (;;) {
    SortElement ea;
    SortElement eb;
    const bool hasA = ra.Next(&ea);
    const bool hasB = rb.Next(&eb);
    if (!hasA || !hasB) {
      if (hasA != hasB) return hasA ? 1 : -1;
      break;
    }
    if (ea.primary != eb.primary) return ea.primary < eb.primary ? -1 : 1;
    if (secondary == 0) secondary = Sign(ea.secondary, eb.secondary);
    if (tertiary == 0) tertiary = Sign(ea.tertiary, eb.tertiary);
  }
  if (secondary != 0) return secondary;
  if (tertiary != 0) return tertiary;
  // Equal to the eye yet different bytes (a long s and an s, invalid bytes): order by bytes so
  // that the collation is a total order and 0 means the same text.
  return Sign(a.compare(b), 0);
}

size_t Length(std::string_view s) {
  size_t count = 0;
  for (size_t i = 0; i < s.size(); ++count) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
    } else {
      Decode(s, i);
    }
  }
  return count;
}

std::string_view Trim(std::string_view s) {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  const size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string> Split(std::string_view s, char separator) {
  std::vector<std::string> parts;
  for (;;) {
    const size_t at = s.find(separator);
    parts.emplace_back(s.substr(0, at));
    if (at == std::string_view::npos) return parts;
    s.remove_prefix(at + 1);
  }
}

bool IsValidUtf8(std::string_view s) {
  for (size_t i = FirstNonAscii(s); i < s.size();) {
    if (Decode(s, i) >= kInvalidBase) return false;
  }
  return true;
}

size_t NoCaseHash::operator()(std::string_view s) const {
  // FNV-1a over the folded code points, so that texts equal without regard to case hash alike.
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    char32_t c;
    if (b < 0x80) {
      c = static_cast<unsigned char>(AsciiLower(b));
      ++i;
    } else {
      c = FoldOf(Decode(s, i));
    }
    hash = (hash ^ c) * 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

}  // namespace tillbook::text
