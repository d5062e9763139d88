// Parser of the query dialect (precedence climbing over one expression grammar). Binding powers,
// loosest first: Imp, Eqv, Xor, Or, And, Not (prefix), comparisons with Like / Is / In / Between,
// '&', '+' '-', Mod, '\', '*' '/', unary '-' '+', '^'. So "Not A = B" is "Not (A = B)" and
// "-2^2" is -4, as the original engine reads them. Chains of And, Or and '&' (associative) are
// built as balanced trees, so thousands of terms stay a few levels deep. A refusal whose cause is
// a quote typed once inside a text, or an accent typed as an apostrophe, says so.
#pragma once

#include <string_view>
#include <vector>

#include "engine/jet/ast.h"

namespace tillbook::jet {

// A filter (the text after WHERE); blank text gives a null pointer (no condition).
ExprPtr ParseFilter(std::string_view text);
// One expression; blank text is an error.
ExprPtr ParseExpression(std::string_view text);
// A field list (the text after SELECT). Empty items ("a,,b", a trailing comma) are skipped.
std::vector<FieldItem> ParseFieldList(std::string_view text);
// A sort list: expressions with ASC/DESC. '*' items are ignored.
std::vector<SortItem> ParseSortList(std::string_view text);

}  // namespace tillbook::jet
