// The quick-code proposal over sets of existing codes, and over an archive's articles.
#include "calc/quick_code.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/text.h"

namespace tillbook::calc {
namespace {

// The greatest of `codes` in text order among those longer than the given length.
GreatestQuickCode Over(std::vector<std::string> codes) {
  return [codes](size_t longerThan) -> std::optional<std::string> {
    std::optional<std::string> best;
    for (const std::string& c : codes)
      if (text::Length(c) > longerThan && (!best || c > *best)) best = c;
    return best;
  };
}

TEST(NextQuickCodeTest, ProposesTheGreatestNumberPlusOne) {
  struct Case {
    const char* name;
    std::vector<std::string> codes;
    const char* expected;
  } cases[] = {
      {"no codes", {}, ""},
      {"only zero", {"0"}, ""},
      {"only empty", {""}, ""},
      {"one code", {"1"}, "2"},
      {"longer counts as greater", {"9", "10"}, "11"},
      {"trailing text kept", {"12X", "7"}, "13X"},
      {"carry into a new digit", {"99"}, "100"},
      {"leading zeros dropped", {"0099"}, "100"},
      {"longest wins over text order", {"9", "8", "100", "99"}, "101"},
      {"split again on a longer code", {"8", "9", "10X"}, "11X"},
      {"no leading digits", {"ABC"}, ""},
      {"greatest in text order has no digits", {"9", "AB"}, ""},
      {"several trailing characters", {"5AB"}, "6AB"},
      {"long number without overflow", {"99999999999999999999"}, "100000000000000000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(NextQuickCode(Over(c.codes)), c.expected) << c.name;
}

TEST(NextQuickCodeTest, EverySearchLooksAtLongerCodesOnly) {
  std::vector<size_t> asked;
  const GreatestQuickCode inner = Over({"7", "12", "345"});
  const std::string next = NextQuickCode([&](size_t longerThan) {
    asked.push_back(longerThan);
    return inner(longerThan);
  });
  EXPECT_EQ(next, "346");
  // "345" is the greatest of the codes longer than "7", so two-character codes are skipped.
  EXPECT_EQ(asked, (std::vector<size_t>{0, 1, 3}));
}

}  // namespace
}  // namespace tillbook::calc
