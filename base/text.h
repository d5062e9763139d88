// UTF-8 text helpers for Italian data: case folding and upper case that know the accented
// letters (à è é ì ò ù and the rest of Latin-1 and Latin Extended-A), and the comparisons the
// archive uses: equality without regard to case (accents count), and the sort order of lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tillbook::text {

std::string Upper(std::string_view s);
std::string Lower(std::string_view s);
// Case-folded form used for case-insensitive equality and hashing.
std::string Fold(std::string_view s);
// Fold and drop accents: "Città" -> "citta"; used for suggestions, never for equality.
std::string FoldNoAccents(std::string_view s);

// Case-insensitive, accent-sensitive: <0, 0, >0. "Italia" == "ITALIA", "Città" != "Citta".
int CompareNoCase(std::string_view a, std::string_view b);
inline bool EqualNoCase(std::string_view a, std::string_view b) {
  return CompareNoCase(a, b) == 0;
}
// Order of sorted lists: letters ignoring accents and case first, then accents, then case
// (abete, alfa, area, Àrea, ARIA, Beta).
int CompareForSort(std::string_view a, std::string_view b);

// Count of Unicode code points; invalid bytes count one each.
size_t Length(std::string_view s);
std::string_view Trim(std::string_view s);
std::vector<std::string> Split(std::string_view s, char separator);
bool IsValidUtf8(std::string_view s);

// Hash and equality functors for unordered containers keyed without regard to case.
struct NoCaseHash {
  size_t operator()(std::string_view s) const;
};
struct NoCaseEqual {
  bool operator()(std::string_view a, std::string_view b) const { return EqualNoCase(a, b); }
};

}  // namespace tillbook::text
