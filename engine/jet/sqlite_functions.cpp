#include "engine/jet/sqlite_functions.h"

#include <sqlite3.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"

namespace tillbook::jet {
namespace {

std::u32string Decode(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0 || (extra > 0 && i + extra >= s.size())) {
      out += static_cast<char32_t>(c);  // stray byte: itself
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out += cp;
    i += extra + 1;
  }
  return out;
}

// One element of a pattern: a literal character, a wildcard or a group.
struct Element {
  enum Kind { Char, AnyRun, AnyOne, Digit, Group } kind = Char;
  char32_t c = 0;
  bool negated = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;

  bool Matches(char32_t x) const {
    switch (kind) {
      case Char:
        return x == c;
      case AnyOne:
        return true;
      case Digit:
        return x >= '0' && x <= '9';
      case Group: {
        bool in = false;
        for (auto [lo, hi] : ranges) in = in || (x >= lo && x <= hi);
        return in != negated;
      }
      case AnyRun:
        return false;
    }
    return false;
  }
};

std::vector<Element> Compile(const std::u32string& p) {
  std::vector<Element> out;
  for (size_t i = 0; i < p.size(); ++i) {
    Element e;
    char32_t c = p[i];
    if (c == '*') {
      e.kind = Element::AnyRun;
    } else if (c == '?') {
      e.kind = Element::AnyOne;
    } else if (c == '#') {
      e.kind = Element::Digit;
    } else if (c == '[') {
      size_t close = p.find(']', i + 1);
      if (close == std::u32string::npos) {
        e.c = c;  // an unclosed group is the character itself
      } else {
        size_t j = i + 1;
        if (close == j) {  // "[]": the empty string
          i = close;
          continue;
        }
        e.kind = Element::Group;
        if (p[j] == '!' && j + 1 < close) {
          e.negated = true;
          ++j;
        }
        for (; j < close; ++j) {
          if (j + 2 < close && p[j + 1] == '-') {
            e.ranges.push_back({p[j], p[j + 2]});
            j += 2;
          } else {
            e.ranges.push_back({p[j], p[j]});
          }
        }
        i = close;
      }
    } else {
      e.c = c;
    }
    out.push_back(std::move(e));
  }
  return out;
}

void Like(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  auto text = [](sqlite3_value* v) {
    const unsigned char* s = sqlite3_value_text(v);
    return std::string_view(reinterpret_cast<const char*>(s), sqlite3_value_bytes(v));
  };
  sqlite3_result_int(ctx, JetLike(text(argv[0]), text(argv[1])) ? 1 : 0);
}

template <std::string (*Convert)(std::string_view)>
void TextFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const unsigned char* s = sqlite3_value_text(argv[0]);
  std::string out =
      Convert(std::string_view(reinterpret_cast<const char*>(s), sqlite3_value_bytes(argv[0])));
  sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void Pow(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  double r = std::pow(sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1]));
  if (std::isfinite(r)) {
    sqlite3_result_double(ctx, r);
  } else {
    sqlite3_result_null(ctx);
  }
}

}  // namespace

bool JetLike(std::string_view value, std::string_view pattern) {
  std::u32string v = Decode(text::Fold(value));
  std::vector<Element> p = Compile(Decode(text::Fold(pattern)));
  // Greedy matching with one backtrack point per '*' (the classic wildcard walk).
  size_t vi = 0, pi = 0;
  size_t starP = std::string::npos, starV = 0;
  while (vi < v.size()) {
    if (pi < p.size() && p[pi].kind == Element::AnyRun) {
      starP = pi++;
      starV = vi;
    } else if (pi < p.size() && p[pi].Matches(v[vi])) {
      ++pi;
      ++vi;
    } else if (starP != std::string::npos) {
      pi = starP + 1;
      vi = ++starV;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi].kind == Element::AnyRun) ++pi;
  return pi == p.size();
}

void RegisterJetFunctions(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  struct Fn {
    const char* name;
    int args;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
  };
  const Fn functions[] = {
      {"jet_like", 2, Like},
      {"jet_upper", 1, TextFunction<text::Upper>},
      {"jet_lower", 1, TextFunction<text::Lower>},
      {"jet_pow", 2, Pow},
  };
  for (const Fn& f : functions) {
    int rc = sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr,
                                        nullptr);
    if (rc != SQLITE_OK) {
      throw Error("Impossibile preparare le funzioni del database",
                  std::string("sqlite3_create_function ") + f.name + ": " + sqlite3_errstr(rc));
    }
  }
}

}  // namespace tillbook::jet
