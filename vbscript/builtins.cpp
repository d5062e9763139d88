#include "vbscript/builtins.h"

#include <unordered_map>

#include "vbscript/conversions.h"

namespace tillbook::vbscript {
namespace builtins {

bool IsMissing(std::span<Variant> a, size_t i) {
  return i >= a.size() || (a[i].type() == VarType::Error && a[i].AsInteger() == -2147352572);
}

Variant Val(const Variant& v) { return v.IsObject() ? ValueOf(v) : v; }

std::string Text(Machine& m, const Variant& v) {
  return v.IsString() ? v.AsString() : ToText(v, *m.locale);
}
int32_t Long(Machine& m, const Variant& v) { return ToLong(v, *m.locale); }
double Number(Machine& m, const Variant& v) { return ToDouble(v, *m.locale); }
int32_t LongOr(Machine& m, std::span<Variant> a, size_t i, int32_t fallback) {
  return IsMissing(a, i) ? fallback : ToLong(a[i], *m.locale);
}

size_t Chars(std::string_view s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

size_t Offset(std::string_view s, size_t index) {
  size_t pos = 0;
  while (pos < s.size() && index > 0) {
    ++pos;
    while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) ++pos;
    --index;
  }
  return pos;
}

std::string Utf8(uint32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

double Today(Machine& m) { return static_cast<double>(static_cast<int64_t>(m.now())); }

}  // namespace builtins

const Builtin* FindBuiltin(const std::string& key) {
  static const auto* table = [] {
    auto* map = new std::unordered_map<std::string, const Builtin*>();
    for (auto list : {builtins::Strings(), builtins::Numbers(), builtins::Dates(),
                      builtins::Formatting(), builtins::Others()}) {
      for (const Builtin& b : list) {
        std::string k;
        for (const char* p = b.name; *p; ++p) k += static_cast<char>(std::tolower(*p));
        (*map)[k] = &b;
      }
    }
    return map;
  }();
  auto it = table->find(key);
  return it == table->end() ? nullptr : it->second;
}

bool FindBuiltinConstant(const std::string& key, Variant& out) {
  static const auto* table = [] {
    auto* map = new std::unordered_map<std::string, Variant>();
    auto integer = [&](const char* name, int v) {
      std::string k;
      for (const char* p = name; *p; ++p) k += static_cast<char>(std::tolower(*p));
      (*map)[k] = IntegerResult(v);
    };
    auto string = [&](const char* name, std::string v) {
      std::string k;
      for (const char* p = name; *p; ++p) k += static_cast<char>(std::tolower(*p));
      (*map)[k] = Variant::String(std::move(v));
    };
    string("vbCr", "\r");
    string("vbLf", "\n");
    string("vbCrLf", "\r\n");
    // Scripts split and count on the two-character line end, whatever system runs them.
    string("vbNewLine", "\r\n");
    string("vbTab", "\t");
    string("vbNullChar", std::string(1, '\0'));
    string("vbNullString", "");
    string("vbFormFeed", "\f");
    string("vbVerticalTab", "\v");
    string("vbBack", "\b");
    const std::pair<const char*, int> numbers[] = {
        {"vbTrue", -1}, {"vbFalse", 0}, {"vbUseDefault", -2}, {"vbBinaryCompare", 0},
        {"vbTextCompare", 1}, {"vbDatabaseCompare", 2}, {"vbUseSystemDayOfWeek", 0},
        {"vbSunday", 1}, {"vbMonday", 2}, {"vbTuesday", 3}, {"vbWednesday", 4},
        {"vbThursday", 5}, {"vbFriday", 6}, {"vbSaturday", 7}, {"vbUseSystem", 0},
        {"vbFirstJan1", 1}, {"vbFirstFourDays", 2}, {"vbFirstFullWeek", 3},
        {"vbGeneralDate", 0}, {"vbLongDate", 1}, {"vbShortDate", 2}, {"vbLongTime", 3},
        {"vbShortTime", 4}, {"vbEmpty", 0}, {"vbNull", 1}, {"vbInteger", 2}, {"vbLong", 3},
        {"vbSingle", 4}, {"vbDouble", 5}, {"vbCurrency", 6}, {"vbDate", 7}, {"vbString", 8},
        {"vbObject", 9}, {"vbError", 10}, {"vbBoolean", 11}, {"vbVariant", 12},
        {"vbDataObject", 13}, {"vbDecimal", 14}, {"vbByte", 17}, {"vbArray", 8192},
        {"vbOKOnly", 0}, {"vbOKCancel", 1}, {"vbAbortRetryIgnore", 2},
        {"vbYesNoCancel", 3}, {"vbYesNo", 4}, {"vbRetryCancel", 5}, {"vbCritical", 16},
        {"vbQuestion", 32}, {"vbExclamation", 48}, {"vbInformation", 64},
        {"vbDefaultButton1", 0}, {"vbDefaultButton2", 256}, {"vbDefaultButton3", 512},
        {"vbDefaultButton4", 768}, {"vbApplicationModal", 0}, {"vbSystemModal", 4096},
        {"vbOK", 1}, {"vbCancel", 2}, {"vbAbort", 3}, {"vbRetry", 4}, {"vbIgnore", 5},
        {"vbYes", 6}, {"vbNo", 7}, {"vbObjectError", -2147221504},
    };
    for (const auto& [name, v] : numbers) integer(name, v);
    // Colours and message box options are Long whatever their size.
    const std::pair<const char*, int> longs[] = {
        {"vbBlack", 0}, {"vbRed", 255}, {"vbGreen", 65280}, {"vbYellow", 65535},
        {"vbBlue", 16711680}, {"vbMagenta", 16711935}, {"vbCyan", 16776960},
        {"vbWhite", 16777215}, {"vbMsgBoxHelpButton", 16384}, {"vbMsgBoxSetForeground", 65536},
        {"vbMsgBoxRight", 524288}, {"vbMsgBoxRtlReading", 1048576},
    };
    for (const auto& [name, v] : longs) {
      std::string k;
      for (const char* p = name; *p; ++p) k += static_cast<char>(std::tolower(*p));
      (*map)[k] = Variant::Long(v);
    }
    return map;
  }();
  auto it = table->find(key);
  if (it == table->end()) return false;
  out = it->second;
  return true;
}

}  // namespace tillbook::vbscript
