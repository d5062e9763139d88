#include "engine/jet/tokenizer.h"

#include <optional>

#include "engine/jet/internal/accents.h"
#include "engine/jet/jet_error.h"

namespace tillbook::jet {
namespace {

using internal::ComposeAccents;

struct KeywordName {
  std::string_view name;
  Keyword keyword;
};

constexpr KeywordName kKeywords[] = {
    {"AND", Keyword::And},     {"OR", Keyword::Or},           {"NOT", Keyword::Not},
    {"XOR", Keyword::Xor},     {"EQV", Keyword::Eqv},         {"IMP", Keyword::Imp},
    {"LIKE", Keyword::Like},   {"IN", Keyword::In},           {"IS", Keyword::Is},
    {"NULL", Keyword::Null},   {"BETWEEN", Keyword::Between}, {"TRUE", Keyword::True},
    {"FALSE", Keyword::False}, {"AS", Keyword::As},           {"ASC", Keyword::Asc},
    {"DESC", Keyword::Desc},   {"MOD", Keyword::Mod},         {"SELECT", Keyword::Select},
    {"FROM", Keyword::From},   {"WHERE", Keyword::Where},
};

Keyword FindKeyword(std::string_view word) {
  for (const auto& k : kKeywords) {
    if (k.name.size() != word.size()) continue;
    bool same = true;
    for (size_t i = 0; i < word.size() && same; ++i) {
      char c = word[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      same = c == k.name[i];
    }
    if (same) return k.keyword;
  }
  return Keyword::None;
}

// One UTF-8 code point at text[i]; `size` gets its byte length (1 for an invalid byte).
char32_t Decode(std::string_view text, size_t i, size_t& size) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  size = 1;
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0 || i + extra >= text.size()) return 0xFFFD;
  char32_t cp = c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char cc = static_cast<unsigned char>(text[i + k]);
    if ((cc & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (cc & 0x3F);
  }
  size = extra + 1;
  return cp;
}

bool IsDigit(char32_t c) {
  return c >= '0' && c <= '9';
}

// Letters of names: ASCII letters, '_' and the letters above Latin-1's symbols (accented
// letters of Italian names and every other alphabet); × and ÷ are not letters.
bool IsNameStart(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
         (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c != 0xFFFD);
}
bool IsNamePart(char32_t c) {
  return IsNameStart(c) || IsDigit(c);
}

bool IsSpace(char32_t c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xA0;
}

// Strict date literal contents: m/d/yyyy or yyyy-mm-dd, optionally followed by h:nn[:ss].
std::optional<DateTime> ParseDateLiteral(std::string_view s) {
  size_t i = 0;
  auto number = [&](size_t minDigits, size_t maxDigits, int& out) {
    size_t start = i;
    out = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < maxDigits) {
      out = out * 10 + (s[i] - '0');
      ++i;
    }
    return i - start >= minDigits;
  };
  auto expect = [&](char c) {
    if (i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    return false;
  };
  while (i < s.size() && s[i] == ' ') ++i;
  int year = 0, month = 0, day = 0;
  size_t start = i;
  int first = 0;
  if (!number(1, 4, first)) return std::nullopt;
  if (i - start == 4) {
    year = first;
    if (!expect('-') || !number(1, 2, month) || !expect('-') || !number(1, 2, day)) {
      return std::nullopt;
    }
  } else {
    if (i - start > 2) return std::nullopt;
    month = first;
    if (!expect('/') || !number(1, 2, day) || !expect('/') || !number(4, 4, year)) {
      return std::nullopt;
    }
  }
  int hour = 0, minute = 0, second = 0;
  if (i < s.size() && (s[i] == ' ' || s[i] == 'T')) {
    while (i < s.size() && (s[i] == ' ' || s[i] == 'T')) ++i;
    if (i < s.size()) {
      if (!number(1, 2, hour) || !expect(':') || !number(2, 2, minute)) return std::nullopt;
      if (expect(':') && !number(2, 2, second)) return std::nullopt;
      size_t mark = i;
      while (i < s.size() && s[i] == ' ') ++i;
      if (i + 2 <= s.size() && (s[i + 1] == 'M' || s[i + 1] == 'm') &&
          (s[i] == 'A' || s[i] == 'a' || s[i] == 'P' || s[i] == 'p')) {
        // 12-hour clock: 12:30 AM is 00:30, 12:30 PM is 12:30.
        if (hour < 1 || hour > 12) return std::nullopt;
        bool pm = s[i] == 'P' || s[i] == 'p';
        hour = hour % 12 + (pm ? 12 : 0);
        i += 2;
      } else {
        i = mark;
      }
    }
  }
  while (i < s.size() && s[i] == ' ') ++i;
  if (i != s.size() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return DateTime::FromParts(year, month, day, hour, minute, second);
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  std::vector<Token> Run() {
    if (text_.size() > kMaxQueryText) {
      throw JetError(
          ErrorKind::TooComplex,
          "Testo troppo lungo: al massimo " + std::to_string(kMaxQueryText) + " caratteri.", text_,
          kMaxQueryText, 0);
    }
    std::vector<Token> tokens;
    while (true) {
      SkipSpace();
      if (pos_ >= text_.size()) break;
      tokens.push_back(Next());
    }
    Token end;
    end.offset = text_.size();
    tokens.push_back(end);
    return tokens;
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size()) {
      size_t size;
      char32_t c = Decode(text_, pos_, size);
      if (!IsSpace(c)) return;
      pos_ += size;
    }
  }

  Token Make(TokenType type, size_t start) {
    Token t;
    t.type = type;
    t.offset = start;
    t.length = pos_ - start;
    return t;
  }

  [[noreturn]] void BadCharacter(size_t at, size_t size, std::string_view shown) {
    throw JetError(ErrorKind::BadCharacter,
                   "Carattere non ammesso «" + std::string(shown) + "» alla posizione " +
                       std::to_string(CharPosition(text_, at)) +
                       ": il testo deve essere una sola espressione.",
                   text_, at, size);
  }

  Token Next() {
    size_t start = pos_;
    size_t size;
    char32_t c = Decode(text_, pos_, size);
    if (IsNameStart(c)) return Name(start);
    if (IsDigit(c) || (c == '.' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
      return Number(start);
    }
    switch (c) {
      case '\'':
      case '"':
        return TextLiteral(start, static_cast<char>(c));
      case '#':
        return DateToken(start);
      case '[':
        return Bracketed(start);
      case '-':
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '-') BadCharacter(start, 2, "--");
        break;
      case '/':
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '*') BadCharacter(start, 2, "/*");
        break;
      case '<':
        if (pos_ + 1 < text_.size() && (text_[pos_ + 1] == '>' || text_[pos_ + 1] == '=')) {
          pos_ += 2;
          Token t = Make(TokenType::Op, start);
          t.text = std::string(text_.substr(start, 2));
          return t;
        }
        break;
      case '>':
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '=') {
          pos_ += 2;
          Token t = Make(TokenType::Op, start);
          t.text = ">=";
          return t;
        }
        break;
      case '!':
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '=') BadCharacter(start, 2, "!=");
        break;
      default:
        break;
    }
    static constexpr std::string_view kSingle = "=<>+-*/\\^&(),.";
    if (c < 0x80 && kSingle.find(static_cast<char>(c)) != std::string_view::npos) {
      ++pos_;
      Token t = Make(TokenType::Op, start);
      t.text = std::string(1, static_cast<char>(c));
      return t;
    }
    BadCharacter(start, size, text_.substr(start, size));
  }

  Token Name(size_t start) {
    while (pos_ < text_.size()) {
      size_t size;
      char32_t c = Decode(text_, pos_, size);
      if (!IsNamePart(c)) break;
      pos_ += size;
    }
    std::string_view word = text_.substr(start, pos_ - start);
    Keyword k = FindKeyword(word);
    Token t = Make(k == Keyword::None ? TokenType::Identifier : TokenType::Keyword, start);
    t.text = ComposeAccents(word);
    t.keyword = k;
    return t;
  }

  Token Bracketed(size_t start) {
    size_t close = text_.find(']', start + 1);
    if (close == std::string_view::npos) {
      throw JetError(ErrorKind::UnterminatedLiteral,
                     "Nome non chiuso: manca «]» per il nome iniziato alla posizione " +
                         std::to_string(CharPosition(text_, start)) + ".",
                     text_, start, text_.size() - start);
    }
    std::string_view inner = text_.substr(start + 1, close - start - 1);
    if (inner.empty() || inner.find('[') != std::string_view::npos) {
      throw JetError(ErrorKind::Syntax,
                     "Nome tra parentesi quadre non valido alla posizione " +
                         std::to_string(CharPosition(text_, start)) + ".",
                     text_, start, close + 1 - start);
    }
    pos_ = close + 1;
    Token t = Make(TokenType::Identifier, start);
    t.text = ComposeAccents(inner);
    t.bracketed = true;
    return t;
  }

  Token Number(size_t start) {
    auto digits = [&] {
      while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
    };
    digits();
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      digits();
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      size_t mark = pos_;
      ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (pos_ < text_.size() && IsDigit(text_[pos_])) {
        digits();
      } else {
        pos_ = mark;  // "1Euro": a number followed by a name, the parser decides
      }
    }
    Token t = Make(TokenType::Number, start);
    t.text = std::string(text_.substr(start, pos_ - start));
    return t;
  }

  Token TextLiteral(size_t start, char quote) {
    std::string value;
    ++pos_;
    while (true) {
      if (pos_ >= text_.size()) {
        // Whether an apostrophe was the slip is decided by the parser, which can try the text
        // without it.
        throw JetError(
            ErrorKind::UnterminatedLiteral,
            std::string("Testo non chiuso: ") +
                (quote == '\'' ? "manca l'apice finale" : "mancano le virgolette finali") +
                " del testo iniziato alla posizione " + std::to_string(CharPosition(text_, start)) +
                ".",
            text_, start, text_.size() - start);
      }
      char c = text_[pos_++];
      if (c == quote) {
        if (pos_ < text_.size() && text_[pos_] == quote) {
          value += quote;
          ++pos_;
          continue;
        }
        break;
      }
      value += c;
    }
    Token t = Make(TokenType::Text, start);
    t.text = ComposeAccents(value);
    return t;
  }

  Token DateToken(size_t start) {
    size_t close = text_.find('#', start + 1);
    if (close == std::string_view::npos) {
      throw JetError(ErrorKind::UnterminatedLiteral,
                     "Data non chiusa: manca il «#» finale della data iniziata alla posizione " +
                         std::to_string(CharPosition(text_, start)) + ".",
                     text_, start, text_.size() - start);
    }
    std::string_view inner = text_.substr(start + 1, close - start - 1);
    auto date = ParseDateLiteral(inner);
    if (!date) {
      throw JetError(ErrorKind::BadDate,
                     "Data non valida «#" + std::string(inner) + "#» alla posizione " +
                         std::to_string(CharPosition(text_, start)) +
                         ": il formato è #mm/gg/aaaa#.",
                     text_, start, close + 1 - start);
    }
    pos_ = close + 1;
    Token t = Make(TokenType::Date, start);
    t.text = std::string(inner);
    t.date = *date;
    return t;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view text) {
  return Lexer(text).Run();
}

}  // namespace tillbook::jet
