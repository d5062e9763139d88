#include "calc/quick_code.h"

#include <algorithm>
#include <string_view>

#include "base/text.h"
#include "base/variant.h"
#include "engine/dataset.h"

namespace tillbook::calc {
namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct SplitCode {
  std::string leading;   // the number
  std::string trailing;  // what follows it
};

// Moves characters from the end of the code to its trailing part until what is left is a number
// (or nothing).
SplitCode Split(const std::string& code) {
  SplitCode s{code, {}};
  while (!s.leading.empty() && !AllDigits(s.leading)) {
    s.trailing.insert(s.trailing.begin(), s.leading.back());
    s.leading.pop_back();
  }
  return s;
}

// The decimal text of `digits` + 1, without leading zeros ("009" gives "10"); exact for numbers
// of any length.
std::string Increment(std::string digits) {
  int i = static_cast<int>(digits.size()) - 1;
  while (i >= 0 && digits[i] == '9') digits[i--] = '0';
  if (i < 0)
    digits.insert(digits.begin(), '1');
  else
    ++digits[i];
  const size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? "0" : digits.substr(first);
}

}  // namespace

std::string NextQuickCode(const GreatestQuickCode& greatest) {
  std::optional<std::string> top = greatest(0);
  if (!top || top->empty() || *top == "0") return "";
  SplitCode split = Split(*top);
  // Every step looks among strictly longer codes, so the loop ends at the longest length.
  for (;;) {
    const size_t length = text::Length(*top);
    std::optional<std::string> longer = greatest(length);
    if (!longer || *longer == "0" || text::Length(*longer) <= length) break;
    top = std::move(longer);
    if (AllDigits(std::string_view(*top).substr(0, split.leading.size())) || split.leading.empty())
      split = Split(*top);
  }
  if (split.leading.empty()) return "";
  return Increment(split.leading) + split.trailing;
}

std::string NextQuickCode(engine::Connection& connection) {
  return NextQuickCode([&connection](size_t longerThan) -> std::optional<std::string> {
    const std::string filter =
        longerThan == 0 ? std::string() : "Len(CodiceRapido)>" + std::to_string(longerThan);
    const Variant v = engine::Aggregate(connection, "Articoli", engine::AggregateKind::Max,
                                        "CodiceRapido", filter);
    if (v.IsNull() || v.IsEmpty()) return std::nullopt;
    return v.ToText();
  });
}

}  // namespace tillbook::calc
