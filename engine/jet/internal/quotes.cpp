#include "engine/jet/internal/quotes.h"

#include <string>
#include <vector>

namespace tillbook::jet::internal {
namespace {

// Letters of words, accented ones included (any byte of a multi-byte character).
bool IsWordByte(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u >= 0x80;
}

bool IsLetterByte(char c) {
  return IsWordByte(c) && !(c >= '0' && c <= '9');
}

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

struct QuoteScan {
  std::vector<size_t> closings;  // closing quote of each text in apostrophes, in order
  std::optional<size_t> unclosed;
};

// Where the texts in apostrophes open and close, read as the tokenizer reads them: names in
// brackets, dates and texts in double quotes hide their apostrophes.
QuoteScan Scan(std::string_view text) {
  QuoteScan scan;
  auto skipTo = [&](size_t from, char close) { return text.find(close, from); };
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '[' || c == '#') {
      size_t close = skipTo(i + 1, c == '[' ? ']' : '#');
      if (close == std::string_view::npos) break;
      i = close;
    } else if (c == '"' || c == '\'') {
      size_t j = i + 1;
      while (j < text.size()) {
        if (text[j] == c && j + 1 < text.size() && text[j + 1] == c) {
          j += 2;
        } else if (text[j] == c) {
          break;
        } else {
          ++j;
        }
      }
      if (j >= text.size()) {
        if (c == '\'') scan.unclosed = i;
        break;
      }
      if (c == '\'') scan.closings.push_back(j);
      i = j;
    }
  }
  return scan;
}

// Whether the text goes on with a word of the dialect right after the quote at `at`, as in
// "Codice='A'And ..." (no blank is needed there).
bool KeywordFollows(std::string_view text, size_t at) {
  static constexpr std::string_view kKeywords[] = {"and",  "or",   "not",  "xor",     "eqv", "imp",
                                                   "like", "in",   "is",   "between", "mod", "as",
                                                   "asc",  "desc", "from", "where"};
  size_t end = at + 1;
  while (end < text.size() && IsWordByte(text[end])) ++end;
  std::string word(text.substr(at + 1, end - at - 1));
  for (char& c : word) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  for (std::string_view k : kKeywords) {
    if (word == k) return true;
  }
  return false;
}

// "dell''Angolo": the word around the quote at `at` with the quote doubled.
std::string Doubled(std::string_view text, size_t at) {
  constexpr size_t kMaxWord = 24;
  size_t start = at;
  while (start > 0 && at - start < kMaxWord && IsWordByte(text[start - 1])) --start;
  while (start < at && IsContinuation(text[start])) ++start;
  size_t end = at + 1;
  while (end < text.size() && end - at <= kMaxWord && IsWordByte(text[end])) ++end;
  while (end < text.size() && end > at + 1 && IsContinuation(text[end])) --end;
  return std::string(text.substr(start, at - start)) + "''" +
         std::string(text.substr(at + 1, end - at - 1));
}

}  // namespace

std::optional<JetError> ExplainQuotes(std::string_view text, const JetError& error,
                                      const std::function<bool(std::string_view)>& reads) {
  if (text.find('\'') == std::string_view::npos) return std::nullopt;
  const QuoteScan scan = Scan(text);
  const bool accentLike =
      scan.unclosed && *scan.unclosed > 0 && IsLetterByte(text[*scan.unclosed - 1]);
  const std::string accentHint = " Per una lettera accentata scrivere «à», non «a'».";
  auto accent = [&] {
    return JetError(error.kind(), error.message() + accentHint, text, error.offset(),
                    error.length());
  };
  // "Quantita' > 0": without the apostrophe the text reads.
  if (accentLike) {
    std::string without(text);
    without.erase(*scan.unclosed, 1);
    if (reads(without)) return accent();
  }
  // "'Bar dell'Angolo'": the first text closed by an apostrophe after a letter, when the word
  // goes on after it or the text reads with that apostrophe doubled. Only the first few are
  // tried: each try reads the whole text again.
  constexpr size_t kMaxTries = 8;
  size_t tries = 0;
  for (size_t close : scan.closings) {
    if (!IsLetterByte(text[close - 1])) continue;
    bool inWord =
        close + 1 < text.size() && IsLetterByte(text[close + 1]) && !KeywordFollows(text, close);
    bool readsDoubled = false;
    if (!inWord && tries++ < kMaxTries) {
      std::string doubled(text);
      doubled.insert(close, 1, '\'');
      readsDoubled = reads(doubled);
    }
    if (inWord || readsDoubled) {
      return JetError(error.kind(),
                      "Il testo si chiude con l'apice alla posizione " +
                          std::to_string(CharPosition(text, close)) +
                          ": un apice dentro un testo si scrive due volte («" +
                          Doubled(text, close) + "»).",
                      text, close, 1);
    }
  }
  if (accentLike) return accent();
  return std::nullopt;
}

}  // namespace tillbook::jet::internal
