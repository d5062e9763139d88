// String builtins. Texts are UTF-8; positions and lengths count characters.
#include <algorithm>

#include "base/text.h"
#include "vbscript/builtins.h"
#include "vbscript/conversions.h"
#include "vbscript/limits.h"

namespace tillbook::vbscript::builtins {
namespace {

using Args = std::span<Variant>;

// Code page 1252 for Chr/Asc between 128 and 159 (the rest of 0..255 is Latin-1).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Characters [start, start + count) of s (0-based, clamped).
std::string Slice(std::string_view s, size_t start, size_t count) {
  if (IsAscii(s)) {
    if (start >= s.size()) return {};
    return std::string(s.substr(start, count));
  }
  size_t b = Offset(s, start);
  size_t e = count == std::string::npos ? s.size() : b + Offset(s.substr(b), count);
  return std::string(s.substr(b, e - b));
}

uint32_t FirstCodePoint(std::string_view s) {
  unsigned char c = s[0];
  if (c < 0x80) return c;
  int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
  uint32_t cp = c & (0x3F >> n);
  for (int i = 1; i <= n && i < static_cast<int>(s.size()); ++i) cp = (cp << 6) | (s[i] & 0x3F);
  return cp;
}

// The compare argument: 0 binary, 1 text; anything else is an invalid call.
bool TextCompare(Machine& m, Args a, size_t i) {
  int32_t mode = LongOr(m, a, i, 0);
  if (mode != 0 && mode != 1) Throw(kInvalidCall);
  return mode == 1;
}

// Character position (0-based) of `what` in `in` from character `from`, or npos.
size_t FindChars(const std::string& in, const std::string& what, size_t from, bool text) {
  std::string hay = text ? text::Fold(in) : in;
  std::string needle = text ? text::Fold(what) : what;
  size_t b = Offset(hay, from);
  size_t pos = hay.find(needle, b);
  if (pos == std::string::npos) return pos;
  return Chars(std::string_view(hay).substr(0, pos));
}

Variant Len(Machine& m, Args a) {
  if (a[0].IsString()) {
    const std::string& s = a[0].AsString();
    return Variant::Long(static_cast<int32_t>(IsAscii(s) ? s.size() : Chars(s)));
  }
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  std::string s = Text(m, v);
  return Variant::Long(static_cast<int32_t>(IsAscii(s) ? s.size() : Chars(s)));
}

Variant Left(Machine& m, Args a) {
  Variant v = a[0].IsString() ? std::move(a[0]) : Val(a[0]);
  int32_t n = Long(m, a[1]);
  if (n < 0) Throw(kInvalidCall);
  if (v.IsNull()) return v;
  return Variant::String(Slice(Text(m, v), 0, static_cast<size_t>(n)));
}

Variant Right(Machine& m, Args a) {
  Variant v = a[0].IsString() ? std::move(a[0]) : Val(a[0]);
  int32_t n = Long(m, a[1]);
  if (n < 0) Throw(kInvalidCall);
  if (v.IsNull()) return v;
  std::string s = Text(m, v);
  size_t len = Chars(s);
  size_t k = std::min(len, static_cast<size_t>(n));
  return Variant::String(Slice(s, len - k, k));
}

Variant Mid(Machine& m, Args a) {
  Variant v = a[0].IsString() ? std::move(a[0]) : Val(a[0]);
  int32_t start = Long(m, a[1]);
  if (start < 1) Throw(kInvalidCall);
  size_t count = std::string::npos;
  if (!IsMissing(a, 2)) {
    int32_t n = Long(m, a[2]);
    if (n < 0) Throw(kInvalidCall);
    count = static_cast<size_t>(n);
  }
  if (v.IsNull()) return v;
  return Variant::String(Slice(Text(m, v), static_cast<size_t>(start - 1), count));
}

Variant InStr(Machine& m, Args a) {
  size_t first = 0;
  int32_t start = 1;
  if (a.size() >= 3) {
    Variant s = Val(a[0]);
    if (s.IsNull()) Throw(kInvalidUseOfNull);
    start = Long(m, s);
    if (start < 1) Throw(kInvalidCall);
    first = 1;
  }
  Variant s1 = Val(a[first]), s2 = Val(a[first + 1]);
  bool text = a.size() == 4 && TextCompare(m, a, 3);
  if (s1.IsNull() || s2.IsNull()) return Variant::Null();
  std::string hay = ToTextOrEmpty(s1, *m.locale), needle = ToTextOrEmpty(s2, *m.locale);
  size_t len = Chars(hay);
  if (static_cast<size_t>(start) > len) return Variant::Long(0);
  if (needle.empty()) return Variant::Long(start);
  size_t pos = FindChars(hay, needle, static_cast<size_t>(start - 1), text);
  return Variant::Long(pos == std::string::npos ? 0 : static_cast<int32_t>(pos + 1));
}

Variant InStrRev(Machine& m, Args a) {
  Variant s1 = Val(a[0]), s2 = Val(a[1]);
  int32_t start = LongOr(m, a, 2, -1);
  if (start == 0 || start < -1) Throw(kInvalidCall);
  bool text = TextCompare(m, a, 3);
  if (s1.IsNull() || s2.IsNull()) return Variant::Null();
  std::string hay = ToTextOrEmpty(s1, *m.locale), needle = ToTextOrEmpty(s2, *m.locale);
  if (text) {
    hay = text::Fold(hay);
    needle = text::Fold(needle);
  }
  int32_t len = static_cast<int32_t>(Chars(hay));
  if (start == -1) start = len;
  if (start > len) return Variant::Long(0);
  if (needle.empty()) return Variant::Long(start);
  // the match must end at or before character `start`
  std::string head = Slice(hay, 0, static_cast<size_t>(start));
  size_t pos = head.rfind(needle);
  if (pos == std::string::npos) return Variant::Long(0);
  return Variant::Long(static_cast<int32_t>(Chars(std::string_view(head).substr(0, pos)) + 1));
}

Variant Replace(Machine& m, Args a) {
  Variant sv = Val(a[0]);
  if (sv.IsNull()) return sv;
  std::string s = ToTextOrEmpty(sv, *m.locale);
  std::string find = ToTextOrEmpty(Val(a[1]), *m.locale);
  std::string with = ToTextOrEmpty(Val(a[2]), *m.locale);
  int32_t start = LongOr(m, a, 3, 1);
  int32_t count = LongOr(m, a, 4, -1);
  bool text = TextCompare(m, a, 5);
  if (start < 1 || count < -1) Throw(kInvalidCall);
  // The result begins at `start`: what comes before it is dropped.
  std::string rest = Slice(s, static_cast<size_t>(start - 1), std::string::npos);
  if (find.empty() || count == 0) return Variant::String(rest);
  std::string folded = text ? text::Fold(rest) : rest;
  std::string needle = text ? text::Fold(find) : find;
  if (folded.size() != rest.size()) {
    folded = rest;
    needle = find;
  }
  // The hits are counted first, so that the result's size is known (and refused if too large)
  // before it is built.
  size_t hits = 0;
  for (size_t pos = 0; count < 0 || hits < static_cast<size_t>(count); ++hits) {
    size_t hit = folded.find(needle, pos);
    if (hit == std::string::npos) break;
    pos = hit + needle.size();
  }
  size_t size = rest.size() - hits * needle.size() + hits * with.size();
  ReserveText(m, size);
  std::string out;
  out.reserve(size);
  size_t pos = 0;
  for (size_t k = 0; k < hits; ++k) {
    size_t hit = folded.find(needle, pos);
    out.append(rest, pos, hit - pos);
    out += with;
    pos = hit + needle.size();
  }
  out.append(rest, pos, std::string::npos);
  return Variant::String(std::move(out));
}

Variant Split(Machine& m, Args a) {
  Variant sv = Val(a[0]);
  if (sv.IsNull()) Throw(kInvalidUseOfNull);
  std::string s = ToTextOrEmpty(sv, *m.locale);
  std::string delim = IsMissing(a, 1) ? " " : ToTextOrEmpty(Val(a[1]), *m.locale);
  int32_t count = LongOr(m, a, 2, -1);
  bool text = TextCompare(m, a, 3);
  if (count < -1) Throw(kInvalidCall);
  std::vector<std::string> parts;
  if (!s.empty() && count != 0) {
    if (delim.empty()) {
      parts.push_back(s);
    } else {
      std::string folded = text ? text::Fold(s) : s;
      std::string needle = text ? text::Fold(delim) : delim;
      if (folded.size() != s.size()) {
        folded = s;
        needle = delim;
      }
      size_t pos = 0;
      while (true) {
        if (count > 0 && static_cast<int32_t>(parts.size()) == count - 1) {
          parts.push_back(s.substr(pos));
          break;
        }
        size_t hit = folded.find(needle, pos);
        if (hit == std::string::npos) {
          parts.push_back(s.substr(pos));
          break;
        }
        parts.push_back(s.substr(pos, hit - pos));
        pos = hit + needle.size();
        if (parts.size() >= kMaxArrayElements) Throw(kOutOfMemory);
      }
    }
  }
  Variant result = MakeArray({static_cast<int32_t>(parts.size()) - 1});
  auto& items = result.AsArray()->items;
  for (size_t i = 0; i < parts.size(); ++i) items[i] = Variant::String(std::move(parts[i]));
  return result;
}

Variant Join(Machine& m, Args a) {
  Variant arr = Val(a[0]);
  if (!arr.IsArray()) Throw(kTypeMismatch);
  if (arr.AsArray()->Dimensions() > 1) Throw(kSubscriptOutOfRange);
  std::string delim = IsMissing(a, 1) ? " " : ToTextOrEmpty(Val(a[1]), *m.locale);
  const auto& items = arr.AsArray()->items;
  // Texts of the items that are not texts already, then the size, then the result.
  std::vector<std::string> converted(items.size());
  size_t size = items.empty() ? 0 : delim.size() * (items.size() - 1);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].IsString()) {
      size += items[i].AsString().size();
    } else {
      converted[i] = ToTextOrEmpty(Val(items[i]), *m.locale);
      size += converted[i].size();
    }
  }
  ReserveText(m, size);
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += delim;
    out += items[i].IsString() ? items[i].AsString() : converted[i];
  }
  return Variant::String(std::move(out));
}

Variant Filter(Machine& m, Args a) {
  Variant arr = Val(a[0]);
  if (!arr.IsArray()) Throw(kTypeMismatch);
  std::string what = Text(m, Val(a[1]));
  bool include = IsMissing(a, 2) ? true : ToBoolean(a[2], *m.locale);
  bool text = TextCompare(m, a, 3);
  std::vector<Variant> kept;
  for (const auto& item : arr.AsArray()->items) {
    std::string s = ToTextOrEmpty(Val(item), *m.locale);
    bool has = FindChars(s, what, 0, text) != std::string::npos;
    if (has == include) kept.push_back(Variant::String(s));
  }
  Variant result = MakeArray({static_cast<int32_t>(kept.size()) - 1});
  result.AsArray()->items = std::move(kept);
  return result;
}

Variant TrimWith(Machine& m, Args a, bool left, bool right) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  std::string s = Text(m, v);
  size_t b = 0, e = s.size();
  if (left)
    while (b < e && s[b] == ' ') ++b;
  if (right)
    while (e > b && s[e - 1] == ' ') --e;
  return Variant::String(s.substr(b, e - b));
}
Variant LTrim(Machine& m, Args a) {
  return TrimWith(m, a, true, false);
}
Variant RTrim(Machine& m, Args a) {
  return TrimWith(m, a, false, true);
}
Variant Trim(Machine& m, Args a) {
  return TrimWith(m, a, true, true);
}

Variant UCase(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  return Variant::String(text::Upper(Text(m, v)));
}
Variant LCase(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  return Variant::String(text::Lower(Text(m, v)));
}

Variant Space(Machine& m, Args a) {
  int32_t n = Long(m, Val(a[0]));
  if (n < 0) Throw(kInvalidCall);
  ReserveText(m, static_cast<size_t>(n));
  return Variant::String(std::string(static_cast<size_t>(n), ' '));
}

std::string CharOf(Machine& m, const Variant& v);

Variant String(Machine& m, Args a) {
  int32_t n = Long(m, Val(a[0]));
  Variant ch = Val(a[1]);
  if (ch.IsNull()) return ch;
  if (n < 0) Throw(kInvalidCall);
  std::string c;
  if (ch.IsString()) {
    if (ch.AsString().empty()) Throw(kInvalidCall);
    c = Slice(ch.AsString(), 0, 1);
  } else {
    c = CharOf(m, Variant::Long(Long(m, ch) & 0xFF));
  }
  ReserveText(m, c.size() * static_cast<size_t>(n));
  if (c.size() == 1) return Variant::String(std::string(static_cast<size_t>(n), c[0]));
  std::string out;
  out.reserve(c.size() * static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) out += c;
  return Variant::String(std::move(out));
}

Variant StrReverse(Machine& m, Args a) {
  std::string s = Text(m, Val(a[0]));
  if (IsAscii(s)) return Variant::String(std::string(s.rbegin(), s.rend()));
  std::vector<std::string> chars;
  for (size_t i = 0; i < s.size();) {
    size_t n = Offset(std::string_view(s).substr(i), 1);
    chars.push_back(s.substr(i, n));
    i += n;
  }
  std::string out;
  for (auto it = chars.rbegin(); it != chars.rend(); ++it) out += *it;
  return Variant::String(std::move(out));
}

Variant StrComp(Machine& m, Args a) {
  Variant x = Val(a[0]), y = Val(a[1]);
  if (x.IsNull() || y.IsNull()) return Variant::Null();
  std::string s1 = ToTextOrEmpty(x, *m.locale), s2 = ToTextOrEmpty(y, *m.locale);
  int c = TextCompare(m, a, 2) ? text::CompareNoCase(s1, s2) : s1.compare(s2);
  return Variant::Integer(static_cast<int16_t>(c < 0 ? -1 : c > 0 ? 1 : 0));
}

std::string CharOf(Machine& m, const Variant& v) {
  int32_t code = Long(m, v);
  if (code < 0 || code > 255) Throw(kInvalidCall);
  if (code >= 0x80 && code < 0xA0) return Utf8(kCp1252High[code - 0x80]);
  return Utf8(static_cast<uint32_t>(code));
}

Variant Chr(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) Throw(kInvalidUseOfNull);
  return Variant::String(CharOf(m, v));
}

Variant ChrW(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) Throw(kInvalidUseOfNull);
  int32_t code = Long(m, v);
  if (code < -32768 || code > 65535) Throw(kInvalidCall);
  if (code < 0) code += 65536;
  return Variant::String(Utf8(static_cast<uint32_t>(code)));
}

Variant Asc(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) Throw(kInvalidUseOfNull);
  std::string s = Text(m, v);
  if (s.empty()) Throw(kInvalidCall);
  uint32_t cp = FirstCodePoint(s);
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return Variant::Integer(static_cast<int16_t>(cp));
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == cp) return Variant::Integer(static_cast<int16_t>(0x80 + i));
  return Variant::Integer('?');
}

Variant AscW(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) Throw(kInvalidUseOfNull);
  std::string s = Text(m, v);
  if (s.empty()) Throw(kInvalidCall);
  uint32_t cp = FirstCodePoint(s);
  if (cp > 0xFFFF) cp = 0xD800 + ((cp - 0x10000) >> 10);
  return IntegerResult(cp > 0x7FFF ? static_cast<int64_t>(cp) - 65536 : cp);
}

bool EscapeKeeps(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         std::string_view("@*_+-./").find(static_cast<char>(c)) != std::string_view::npos;
}

Variant Escape(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  std::string s = Text(m, v), out;
  // A character becomes itself, %XX or %uXXXX: the size is known before the text is built.
  size_t size = 0;
  for (size_t i = 0; i < s.size();) {
    if (EscapeKeeps(static_cast<unsigned char>(s[i]))) {
      ++size;
      ++i;
      continue;
    }
    size_t n = Offset(std::string_view(s).substr(i), 1);
    size += FirstCodePoint(std::string_view(s).substr(i, n)) < 256 ? 3 : 6;
    i += n;
  }
  ReserveText(m, size);
  out.reserve(size);
  static const char* kHex = "0123456789ABCDEF";
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    if (EscapeKeeps(c)) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    size_t n = Offset(std::string_view(s).substr(i), 1);
    uint32_t cp = FirstCodePoint(std::string_view(s).substr(i, n));
    i += n;
    if (cp < 256) {
      out += '%';
      out += kHex[cp >> 4];
      out += kHex[cp & 15];
    } else {
      out += "%u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(cp >> shift) & 15];
    }
  }
  return Variant::String(out);
}

Variant Unescape(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  std::string s = Text(m, v), out;
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 5 < s.size() + 0 && (s[i + 1] == 'u' || s[i + 1] == 'U')) {
      int d[4] = {hex(s[i + 2]), hex(s[i + 3]), hex(s[i + 4]), hex(s[i + 5])};
      if (d[0] >= 0 && d[1] >= 0 && d[2] >= 0 && d[3] >= 0) {
        out += Utf8(static_cast<uint32_t>(d[0] << 12 | d[1] << 8 | d[2] << 4 | d[3]));
        i += 5;
        continue;
      }
    }
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out += Utf8(static_cast<uint32_t>(hex(s[i + 1]) * 16 + hex(s[i + 2])));
      i += 2;
      continue;
    }
    out += s[i];
  }
  return Variant::String(out);
}

Variant CStr(Machine& m, Args a) {
  return Variant::String(Text(m, a[0]));
}

constexpr Builtin kList[] = {
    {"Len", 1, 1, Len},         {"Left", 2, 2, Left},     {"Right", 2, 2, Right},
    {"Mid", 2, 3, Mid},         {"InStr", 2, 4, InStr},   {"InStrRev", 2, 4, InStrRev},
    {"Replace", 3, 6, Replace}, {"Split", 1, 4, Split},   {"Join", 1, 2, Join},
    {"Filter", 2, 4, Filter},   {"LTrim", 1, 1, LTrim},   {"RTrim", 1, 1, RTrim},
    {"Trim", 1, 1, Trim},       {"UCase", 1, 1, UCase},   {"LCase", 1, 1, LCase},
    {"Space", 1, 1, Space},     {"String", 2, 2, String}, {"StrReverse", 1, 1, StrReverse},
    {"StrComp", 2, 3, StrComp}, {"Chr", 1, 1, Chr},       {"ChrB", 1, 1, Chr},
    {"ChrW", 1, 1, ChrW},       {"Asc", 1, 1, Asc},       {"AscB", 1, 1, Asc},
    {"AscW", 1, 1, AscW},       {"Escape", 1, 1, Escape}, {"Unescape", 1, 1, Unescape},
    {"CStr", 1, 1, CStr},
};

}  // namespace

std::span<const Builtin> Strings() {
  return kList;
}

}  // namespace tillbook::vbscript::builtins
