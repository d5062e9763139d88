#include "vbscript/lexer.h"

#include <charconv>
#include <unordered_map>

#include "base/text.h"
#include "vbscript/errors.h"

namespace tillbook::vbscript {
namespace {

const std::unordered_map<std::string, Kw>& Keywords() {
  static const std::unordered_map<std::string, Kw> kMap = {
      {"and", Kw::And}, {"or", Kw::Or}, {"not", Kw::Not}, {"xor", Kw::Xor}, {"eqv", Kw::Eqv},
      {"imp", Kw::Imp}, {"mod", Kw::Mod}, {"is", Kw::Is}, {"new", Kw::New},
      {"nothing", Kw::Nothing}, {"null", Kw::Null}, {"empty", Kw::Empty}, {"true", Kw::True},
      {"false", Kw::False}, {"call", Kw::Call}, {"dim", Kw::Dim}, {"redim", Kw::ReDim},
      {"preserve", Kw::Preserve}, {"erase", Kw::Erase}, {"const", Kw::Const}, {"set", Kw::Set},
      {"let", Kw::Let}, {"if", Kw::If}, {"then", Kw::Then}, {"else", Kw::Else},
      {"elseif", Kw::ElseIf}, {"end", Kw::End}, {"select", Kw::Select}, {"case", Kw::Case},
      {"for", Kw::For}, {"to", Kw::To}, {"step", Kw::Step}, {"next", Kw::Next},
      {"each", Kw::Each}, {"in", Kw::In}, {"do", Kw::Do}, {"loop", Kw::Loop},
      {"while", Kw::While}, {"until", Kw::Until}, {"wend", Kw::Wend}, {"exit", Kw::Exit},
      {"function", Kw::Function}, {"sub", Kw::Sub}, {"property", Kw::Property},
      {"get", Kw::Get}, {"class", Kw::Class}, {"public", Kw::Public}, {"private", Kw::Private},
      {"default", Kw::Default}, {"byval", Kw::ByVal}, {"byref", Kw::ByRef}, {"on", Kw::On},
      {"error", Kw::Error}, {"resume", Kw::Resume}, {"goto", Kw::GoTo}, {"option", Kw::Option},
      {"explicit", Kw::Explicit}, {"with", Kw::With}, {"me", Kw::Me}, {"stop", Kw::Stop},
  };
  return kMap;
}

bool IsIdentStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}
bool IsIdentPart(unsigned char c) {
  return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '_';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void Fail(int number, int line) {
  throw ScriptError(number, std::string(Description(number)), line,
                    std::string(kCompileSource));
}

class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  std::vector<Token> Run() {
    while (true) {
      bool space = SkipBlanks();
      if (pos_ >= s_.size()) break;
      char c = s_[pos_];
      if (c == '\r' || c == '\n') {
        NewLine();
        continue;
      }
      if (c == '\'') {
        SkipComment();
        continue;
      }
      Token t;
      t.line = line_;
      t.spaceBefore = space;
      if (IsIdentStart(static_cast<unsigned char>(c))) {
        LexIdentifier(t);
        if (t.kw == Kw::None && t.key == "rem" && AtStatementStart()) {
          SkipComment();
          continue;
        }
      } else if (c == '[') {
        size_t end = s_.find(']', pos_);
        if (end == std::string_view::npos) Fail(1007, line_);
        t.type = Tok::Ident;
        t.text = std::string(s_.substr(pos_ + 1, end - pos_ - 1));
        t.key = text::Fold(t.text);
        pos_ = end + 1;
      } else if (IsDigit(c) || (c == '.' && pos_ + 1 < s_.size() && IsDigit(s_[pos_ + 1]) &&
                                !AfterOperand(space))) {
        LexNumber(t);
      } else if (c == '"') {
        LexString(t);
      } else if (c == '#') {
        size_t end = s_.find('#', pos_ + 1);
        size_t eol = s_.find_first_of("\r\n", pos_ + 1);
        if (end == std::string_view::npos || (eol != std::string_view::npos && eol < end))
          Fail(kSyntaxError, line_);
        t.type = Tok::Date;
        t.text = std::string(s_.substr(pos_ + 1, end - pos_ - 1));
        pos_ = end + 1;
      } else if (c == '&' && pos_ + 1 < s_.size() &&
                 (s_[pos_ + 1] == 'h' || s_[pos_ + 1] == 'H' || s_[pos_ + 1] == 'o' ||
                  s_[pos_ + 1] == 'O') &&
                 pos_ + 2 < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_ + 2]))) {
        LexRadix(t);
      } else {
        LexOperator(t, c);
      }
      tokens_.push_back(std::move(t));
    }
    Token nl;
    nl.type = Tok::NewLine;
    nl.line = line_;
    tokens_.push_back(nl);
    Token end;
    end.line = line_;
    tokens_.push_back(end);
    return std::move(tokens_);
  }

 private:
  // Skips blanks and '_' continuations; true when anything was skipped.
  bool SkipBlanks() {
    bool any = false;
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\0') {
        ++pos_;
        any = true;
      } else if (c == '_') {
        // A '_' ending the line continues it, also right after an operator ("x =_"); one
        // ending a name was taken by the name.
        size_t p = pos_ + 1;
        while (p < s_.size() && (s_[p] == ' ' || s_[p] == '\t')) ++p;
        if (p < s_.size() && s_[p] != '\r' && s_[p] != '\n') break;
        pos_ = p;
        if (pos_ < s_.size()) {
          if (s_[pos_] == '\r' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '\n') ++pos_;
          ++pos_;
          ++line_;
        }
        any = true;
      } else {
        break;
      }
    }
    return any;
  }

  void NewLine() {
    if (s_[pos_] == '\r' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    Token t;
    t.type = Tok::NewLine;
    t.line = line_;
    if (tokens_.empty() || tokens_.back().type != Tok::NewLine) tokens_.push_back(t);
    ++line_;
  }

  void SkipComment() {
    while (pos_ < s_.size() && s_[pos_] != '\r' && s_[pos_] != '\n') ++pos_;
  }

  bool AtStatementStart() const {
    if (tokens_.empty()) return true;
    const Token& last = tokens_.back();
    return last.type == Tok::NewLine || last.type == Tok::Colon || last.kw == Kw::Then ||
           last.kw == Kw::Else;
  }

  bool AfterOperand(bool space) const {
    if (space || tokens_.empty()) return false;
    Tok t = tokens_.back().type;
    return t == Tok::Ident || t == Tok::RParen;
  }

  void LexIdentifier(Token& t) {
    size_t start = pos_;
    while (pos_ < s_.size() && IsIdentPart(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    t.type = Tok::Ident;
    t.text = std::string(s_.substr(start, pos_ - start));
    if (t.text.size() > 255) Fail(kIdentifierTooLong, line_);
    t.key = text::Fold(t.text);
    auto it = Keywords().find(t.key);
    if (it != Keywords().end()) t.kw = it->second;
  }

  void LexNumber(Token& t) {
    size_t start = pos_;
    bool isDouble = false;
    while (pos_ < s_.size() && IsDigit(s_[pos_])) ++pos_;
    if (pos_ < s_.size() && s_[pos_] == '.') {
      isDouble = true;
      ++pos_;
      while (pos_ < s_.size() && IsDigit(s_[pos_])) ++pos_;
    }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      size_t p = pos_ + 1;
      if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) ++p;
      if (p < s_.size() && IsDigit(s_[p])) {
        isDouble = true;
        pos_ = p;
        while (pos_ < s_.size() && IsDigit(s_[pos_])) ++pos_;
      }
    }
    if (pos_ < s_.size() && IsIdentStart(static_cast<unsigned char>(s_[pos_])))
      Fail(kExpectedEndOfStatement, line_);
    std::string digits(s_.substr(start, pos_ - start));
    double value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (!isDouble && value <= 2147483647.0) {
      t.type = Tok::Integer;
      t.integer = static_cast<int64_t>(value);
    } else {
      t.type = Tok::Double;
      t.number = value;
    }
  }

  void LexRadix(Token& t) {
    int base = (s_[pos_ + 1] == 'h' || s_[pos_ + 1] == 'H') ? 16 : 8;
    pos_ += 2;
    size_t start = pos_;
    while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    uint64_t v = 0;
    auto r = std::from_chars(s_.data() + start, s_.data() + pos_, v, base);
    if (r.ec != std::errc() || v > 0xFFFFFFFFull) Fail(kInvalidNumber, line_);
    if (pos_ < s_.size() && s_[pos_] == '&') ++pos_;  // a trailing & marks a Long
    t.type = Tok::Integer;
    t.hexLiteral = true;
    size_t n = pos_ - start;
    if ((base == 16 && n <= 4) || (base == 8 && v <= 0xFFFF))
      t.integer = static_cast<int16_t>(static_cast<uint16_t>(v));
    else
      t.integer = static_cast<int32_t>(static_cast<uint32_t>(v));
  }

  void LexString(Token& t) {
    t.type = Tok::String;
    ++pos_;
    while (true) {
      if (pos_ >= s_.size() || s_[pos_] == '\r' || s_[pos_] == '\n')
        Fail(kUnterminatedString, line_);
      char c = s_[pos_++];
      if (c == '"') {
        if (pos_ < s_.size() && s_[pos_] == '"') {
          t.text += '"';
          ++pos_;
          continue;
        }
        break;
      }
      t.text += c;
    }
  }

  void LexOperator(Token& t, char c) {
    ++pos_;
    char n = pos_ < s_.size() ? s_[pos_] : '\0';
    switch (c) {
      case ':': t.type = Tok::Colon; break;
      case '(': t.type = Tok::LParen; break;
      case ')': t.type = Tok::RParen; break;
      case ',': t.type = Tok::Comma; break;
      case '.': t.type = Tok::Dot; break;
      case '=':
        // "=>" and "=<" are accepted as ">=" and "<=" (and "><" as "<>" below).
        t.type = n == '>' ? Tok::Ge : n == '<' ? Tok::Le : Tok::Eq;
        if (t.type != Tok::Eq) ++pos_;
        break;
      case '+': t.type = Tok::Plus; break;
      case '-': t.type = Tok::Minus; break;
      case '*': t.type = Tok::Star; break;
      case '/': t.type = Tok::Slash; break;
      case '\\': t.type = Tok::Backslash; break;
      case '^': t.type = Tok::Caret; break;
      case '&': t.type = Tok::Amp; break;
      case '<':
        if (n == '>') {
          t.type = Tok::Ne;
          ++pos_;
        } else if (n == '=') {
          t.type = Tok::Le;
          ++pos_;
        } else {
          t.type = Tok::Lt;
        }
        break;
      case '>':
        if (n == '=') {
          t.type = Tok::Ge;
          ++pos_;
        } else if (n == '<') {
          t.type = Tok::Ne;
          ++pos_;
        } else {
          t.type = Tok::Gt;
        }
        break;
      default: Fail(kInvalidCharacter, line_);
    }
  }

  std::string_view s_;
  size_t pos_ = 0;
  int line_ = 1;
  std::vector<Token> tokens_;
};

}  // namespace

bool IsSoftKeyword(Kw kw) {
  switch (kw) {
    case Kw::Preserve:
    case Kw::Step:
    case Kw::Each:
    case Kw::In:
    case Kw::Until:
    case Kw::Property:
    case Kw::Get:
    case Kw::Default:
    case Kw::Error:
    case Kw::Resume:
    case Kw::Explicit:
    case Kw::GoTo:
    case Kw::Stop:
    case Kw::None: return true;
    default: return false;
  }
}

std::vector<Token> Tokenize(std::string_view source) {
  // A byte-order mark at the start of a file is not part of the script.
  if (source.substr(0, 3) == "\xEF\xBB\xBF") source.remove_prefix(3);
  return Lexer(source).Run();
}

}  // namespace tillbook::vbscript
