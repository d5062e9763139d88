#include "vbscript/regexp.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "vbscript/builtins.h"
#include "vbscript/conversions.h"
#include "vbscript/errors.h"
#include "vbscript/machine.h"

namespace tillbook::vbscript {
namespace {

// Backtracking steps one match attempt may take: far above what a sensible pattern needs on a
// long text, reached in a fraction of a second by a pattern that backtracks exponentially.
constexpr uint32_t kMatchLimit = 2'000'000;

using builtins::Val;

std::string Text(const Variant& v, const Locale& locale) {
  Variant value = Val(v);
  return value.IsString() ? value.AsString() : ToText(value, locale);
}

// Characters in a UTF-8 text, as FirstIndex and Length count them.
int32_t Chars(std::string_view s) {
  return static_cast<int32_t>(builtins::Chars(s));
}

// Byte length of the character starting at s[pos].
size_t CharBytes(std::string_view s, size_t pos) {
  size_t end = pos + 1;
  while (end < s.size() && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) ++end;
  return end - pos;
}

void Required(std::span<Variant> args, size_t n) {
  if (args.size() < n) Throw(kArgumentNotOptional);
}

// The index argument of Item: a number within the collection.
size_t ItemIndex(std::span<Variant> args, size_t count, const Locale& locale) {
  Required(args, 1);
  int32_t i = ToLong(Val(args[0]), locale);
  if (i < 0 || static_cast<size_t>(i) >= count) Throw(kInvalidCall);
  return static_cast<size_t>(i);
}

// The read-only collections of a search: the matches of Execute and the groups of one match.
class Collection : public Object {
 public:
  Collection(std::string typeName, std::vector<Variant> items, const Locale& locale)
      : typeName_(std::move(typeName)), items_(std::move(items)), locale_(locale) {}
  std::string TypeName() const override { return typeName_; }
  bool HasMember(std::string_view name) const override {
    return text::EqualNoCase(name, "count") || text::EqualNoCase(name, "item");
  }
  bool Enumerate(std::vector<Variant>& out) override {
    out.insert(out.end(), items_.begin(), items_.end());
    return true;
  }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    if (kind == InvokeKind::Let || kind == InvokeKind::Set) Throw(kIllegalAssignment);
    if (text::EqualNoCase(name, "count")) return Variant::Long(static_cast<int32_t>(items_.size()));
    if (name.empty() || text::EqualNoCase(name, "item"))
      return items_[ItemIndex(args, items_.size(), locale_)];
    Throw(kNoSuchMember);
  }

 private:
  std::string typeName_;
  std::vector<Variant> items_;
  const Locale& locale_;
};

class Match : public Object {
 public:
  Match(std::string value, int32_t firstIndex, std::vector<Variant> groups, const Locale& locale)
      : value_(std::move(value)),
        firstIndex_(firstIndex),
        groups_(std::move(groups)),
        locale_(locale) {}
  std::string TypeName() const override { return "IMatch2"; }
  bool HasMember(std::string_view name) const override {
    std::string k = text::Fold(name);
    return k == "value" || k == "firstindex" || k == "length" || k == "submatches";
  }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    if (kind == InvokeKind::Let || kind == InvokeKind::Set) Throw(kIllegalAssignment);
    std::string k = text::Fold(name);
    if (k.empty() || k == "value") return Variant::String(value_);
    if (k == "firstindex") return Variant::Long(firstIndex_);
    if (k == "length") return Variant::Long(Chars(value_));
    if (k == "submatches") {
      auto subs = std::make_shared<Collection>("ISubMatches", groups_, locale_);
      if (args.empty()) return Variant::Object(subs);
      return subs->Invoke("", kind, args);
    }
    Throw(kNoSuchMember);
  }

 private:
  std::string value_;
  int32_t firstIndex_;
  std::vector<Variant> groups_;
  const Locale& locale_;
};

// Where one match lies in the subject, in bytes, with its groups (npos: the group took no part).
struct Hit {
  size_t start, end;
  std::vector<std::pair<size_t, size_t>> groups;
};

class RegExp : public Object {
 public:
  explicit RegExp(std::shared_ptr<Machine*> handle) : handle_(std::move(handle)) {}
  ~RegExp() override { Release(); }
  std::string TypeName() const override { return "IRegExp2"; }
  bool HasMember(std::string_view name) const override {
    static const char* kMembers[] = {"pattern", "ignorecase", "global", "multiline",
                                     "test",    "execute",    "replace"};
    for (const char* m : kMembers)
      if (text::EqualNoCase(name, m)) return true;
    return false;
  }

  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    const tillbook::vbscript::Locale& locale = CurrentLocale();
    std::string k = text::Fold(name);
    bool assign = kind == InvokeKind::Let || kind == InvokeKind::Set;
    if (k == "pattern") {
      if (!assign) return Variant::String(pattern_);
      Required(args, 1);
      SetOption(pattern_, Text(args.back(), locale));
      return {};
    }
    if (k == "ignorecase" || k == "global" || k == "multiline") {
      bool& flag = k == "ignorecase" ? ignoreCase_ : k == "global" ? global_ : multiline_;
      if (!assign) return Variant::Boolean(flag);
      Required(args, 1);
      SetOption(flag, ToBoolean(Val(args.back()), locale));
      return {};
    }
    if (assign) Throw(kNoSuchMember);
    if (k == "test") {
      Required(args, 1);
      std::string subject = Text(args[0], locale);
      Hit hit;
      return Variant::Boolean(Find(subject, 0, hit));
    }
    if (k == "execute") {
      Required(args, 1);
      return Execute(Text(args[0], locale), locale);
    }
    if (k == "replace") {
      Required(args, 2);
      return Variant::String(Replace(Text(args[0], locale), Text(args[1], locale)));
    }
    Throw(kNoSuchMember);
  }

 private:
  const tillbook::vbscript::Locale& CurrentLocale() const {
    Machine* m = *handle_;
    return m ? *m->locale : Locale::Italian();
  }

  template <typename T>
  void SetOption(T& option, T value) {
    if (option == value) return;
    option = std::move(value);
    Release();
  }

  void Release() {
    if (data_) pcre2_match_data_free(data_);
    if (code_) pcre2_code_free(code_);
    data_ = nullptr;
    code_ = nullptr;
  }

  // Compiles the pattern once per change of it or of the flags.
  void Compile() {
    if (code_) return;
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                       PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF |
                       PCRE2_NEVER_BACKSLASH_C;
    if (ignoreCase_) options |= PCRE2_CASELESS;
    if (multiline_)
      options |= PCRE2_MULTILINE;
    else
      options |= PCRE2_DOLLAR_ENDONLY;
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    // Lines of text from shops end in CR LF: with Multiline, ^ and $ also match around a CR.
    pcre2_set_newline(context, multiline_ ? PCRE2_NEWLINE_ANYCRLF : PCRE2_NEWLINE_LF);
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_.data()), pattern_.size(), options,
                          &error, &offset, context);
    pcre2_compile_context_free(context);
    if (!code_) Throw(SyntaxErrorNumber(error));
    data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
    if (!data_) {
      Release();
      Throw(kOutOfMemory);
    }
  }

  static int SyntaxErrorNumber(int pcreError) {
    switch (pcreError) {
      case PCRE2_ERROR_QUANTIFIER_INVALID:
      case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
        return 5018;
      case PCRE2_ERROR_MISSING_SQUARE_BRACKET:
        return 5019;
      case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS:
        return 5020;
      case PCRE2_ERROR_CLASS_RANGE_ORDER:
        return 5021;
      default:
        return kRegExpSyntax;
    }
  }

  // The first match at or after byte `from`; false when there is none.
  bool Find(const std::string& subject, size_t from, Hit& hit) {
    Compile();
    pcre2_match_context* context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(context, kMatchLimit);
    pcre2_set_depth_limit(context, kMatchLimit);
    int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), from,
                         0, data_, context);
    pcre2_match_context_free(context);
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT)
      Throw(kExpressionTooComplex);
    if (rc == PCRE2_ERROR_NOMEMORY) Throw(kOutOfMemory);
    if (rc < 0) Throw(kInvalidCall);
    PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_);
    uint32_t pairs = pcre2_get_ovector_count(data_);
    uint32_t groups = 0;
    pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &groups);
    hit.start = ovector[0];
    hit.end = ovector[1];
    hit.groups.clear();
    for (uint32_t g = 1; g <= groups; ++g) {
      bool set = g < pairs && g < static_cast<uint32_t>(rc) && ovector[2 * g] != PCRE2_UNSET;
      hit.groups.emplace_back(set ? ovector[2 * g] : std::string::npos,
                              set ? ovector[2 * g + 1] : std::string::npos);
    }
    return true;
  }

  // Every match the search visits: the first only unless Global. After an empty match the
  // search goes on one character further, so that it always advances.
  template <typename Visit>
  void ForEachHit(const std::string& subject, Visit&& visit) {
    size_t from = 0;
    Hit hit;
    while (from <= subject.size() && Find(subject, from, hit)) {
      visit(hit);
      if (!global_) return;
      if (hit.end > hit.start)
        from = hit.end;
      else if (hit.end < subject.size())
        from = hit.end + CharBytes(subject, hit.end);
      else
        return;
      if (Machine* m = *handle_) m->Tick();
    }
  }

  Variant Execute(const std::string& subject, const tillbook::vbscript::Locale& locale) {
    std::vector<Variant> items;
    // Character positions are counted incrementally: a Global search stays linear.
    size_t countedTo = 0;
    int32_t chars = 0;
    ForEachHit(subject, [&](const Hit& hit) {
      chars += Chars(std::string_view(subject).substr(countedTo, hit.start - countedTo));
      countedTo = hit.start;
      std::vector<Variant> groups;
      for (const auto& [start, end] : hit.groups)
        groups.push_back(start == std::string::npos
                             ? Variant()
                             : Variant::String(subject.substr(start, end - start)));
      items.push_back(Variant::Object(std::make_shared<Match>(
          subject.substr(hit.start, hit.end - hit.start), chars, std::move(groups), locale)));
    });
    return Variant::Object(
        std::make_shared<Collection>("IMatchCollection2", std::move(items), locale));
  }

  std::string Replace(const std::string& subject, const std::string& with) {
    std::string out;
    size_t copied = 0;
    ForEachHit(subject, [&](const Hit& hit) {
      out.append(subject, copied, hit.start - copied);
      AppendReplacement(out, subject, hit, with);
      copied = hit.end;
      if (Machine* m = *handle_) m->CheckText(out.size());
    });
    out.append(subject, copied, std::string::npos);
    return out;
  }

  // The replacement text with $& (the match), $` and $' (the text before and after it), $n and
  // $nn (a group) and $$ (a dollar); any other $ stays as written.
  static void AppendReplacement(std::string& out, const std::string& subject, const Hit& hit,
                                const std::string& with) {
    auto group = [&](size_t g) {
      const auto& [start, end] = hit.groups[g - 1];
      if (start != std::string::npos) out.append(subject, start, end - start);
    };
    auto digit = [&](size_t i) { return i < with.size() && with[i] >= '0' && with[i] <= '9'; };
    for (size_t i = 0; i < with.size(); ++i) {
      char c = with[i];
      if (c != '$' || i + 1 == with.size()) {
        out += c;
        continue;
      }
      char n = with[i + 1];
      if (n == '$') {
        out += '$';
        ++i;
      } else if (n == '&') {
        out.append(subject, hit.start, hit.end - hit.start);
        ++i;
      } else if (n == '`') {
        out.append(subject, 0, hit.start);
        ++i;
      } else if (n == '\'') {
        out.append(subject, hit.end, std::string::npos);
        ++i;
      } else if (digit(i + 1)) {
        size_t one = static_cast<size_t>(n - '0');
        size_t two = digit(i + 2) ? one * 10 + static_cast<size_t>(with[i + 2] - '0') : 0;
        if (two >= 1 && two <= hit.groups.size()) {
          group(two);
          i += 2;
        } else if (one >= 1 && one <= hit.groups.size()) {
          group(one);
          i += 1;
        } else {
          out += c;
        }
      } else {
        out += c;
      }
    }
  }

  std::shared_ptr<Machine*> handle_;
  std::string pattern_;
  bool ignoreCase_ = false, global_ = false, multiline_ = false;
  pcre2_code* code_ = nullptr;
  pcre2_match_data* data_ = nullptr;
};

}  // namespace

std::shared_ptr<Object> NewRegExp(std::shared_ptr<Machine*> handle) {
  return std::make_shared<RegExp>(std::move(handle));
}

}  // namespace tillbook::vbscript
