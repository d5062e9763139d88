// The operators of the script language on Variants: result subtypes that widen instead of
// overflowing (Integer to Long to Double), Null propagation, '&' against '+', banker's rounding
// of the operands of '\' and Mod, bitwise logic on numbers, and the comparison rules between
// strings, numbers, Empty and Null.
#pragma once

#include <cstddef>

#include "base/variant.h"
#include "vbscript/ast.h"

namespace tillbook::vbscript {

struct Locale;

// + of two texts joins them: error 7 when the text would be longer than `maxTextBytes`.
Variant Arithmetic(ast::BinaryOp op, const Variant& a, const Variant& b, const Locale& locale,
                   size_t maxTextBytes);
// Error 7 when the text would be longer than `maxBytes`.
Variant Concat(const Variant& a, const Variant& b, const Locale& locale, size_t maxBytes);
Variant Logic(ast::BinaryOp op, const Variant& a, const Variant& b, const Locale& locale);
Variant Negate(const Variant& a, const Locale& locale);
Variant Not(const Variant& a, const Locale& locale);

// Which side of a comparison was written as a literal changes how a string meets a number.
struct LiteralSides {
  bool leftNumber = false, rightNumber = false, leftString = false, rightString = false;
};
// -1, 0 or 1; `isNull` set (and 0 returned) when either side is Null.
int Compare(const Variant& a, const Variant& b, LiteralSides sides, const Locale& locale,
            bool& isNull);
// The Boolean (or Null) result of = <> < > <= >=.
Variant Comparison(ast::BinaryOp op, const Variant& a, const Variant& b, LiteralSides sides,
                   const Locale& locale);

Variant Apply(ast::BinaryOp op, const Variant& a, const Variant& b, LiteralSides sides,
              const Locale& locale, size_t maxTextBytes);

}  // namespace tillbook::vbscript
