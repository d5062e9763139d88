#include "engine/jet/jet_literal.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/money.h"
#include "engine/jet/parser.h"

namespace tillbook::jet {
namespace {

TEST(JetLiteralTest, Literals) {
  struct Case {
    Variant value;
    const char* literal;
  } cases[] = {
      {Variant::String("ROSSI"), "'ROSSI'"},
      {Variant::String("dell'Angolo"), "'dell''Angolo'"},
      {Variant::String("x'; DROP TABLE Clienti; --"), "'x''; DROP TABLE Clienti; --'"},
      {Variant::String(""), "''"},
      {Variant::Long(-12), "-12"},
      {Variant::Double(2.5), "2.5"},
      {Variant::Currency(*Money::Parse("7.05")), "7.05"},
      {Variant::Boolean(true), "True"},
      {Variant::Null(), "Null"},
      {Variant::Date(*DateTime::FromParts(2024, 3, 5)), "#03/05/2024#"},
  };
  for (const Case& c : cases) EXPECT_EQ(JetLiteral(c.value), c.literal);
}

TEST(JetLiteralTest, LiteralsReadBackAsTheSameValue) {
  // Whatever the value, the filter stays one comparison with that value.
  const char* texts[] = {"a'b", "'", "''", "\"", "#01/01/2024#", "x' Or 'a'='a", "àèì"};
  for (const char* t : texts) {
    ExprPtr e = ParseFilter(JetFilter("Codice = {}", {Variant::String(t)}));
    ASSERT_EQ(e->kind, ExprKind::Binary) << t;
    ASSERT_EQ(e->args[1]->kind, ExprKind::Literal) << t;
    EXPECT_EQ(e->args[1]->text, t);
  }
  ExprPtr d = ParseFilter(
      JetFilter("Data < {}", {Variant::Date(*DateTime::FromParts(2024, 3, 15, 10, 30, 5))}));
  EXPECT_EQ(d->args[1]->date.ToIso(), "2024-03-15 10:30:05");
}

TEST(JetLiteralTest, Filters) {
  EXPECT_EQ(JetFilter("Not Evaso AND Clienti.Codice={}", {Variant::String("C'1")}),
            "Not Evaso AND Clienti.Codice='C''1'");
  EXPECT_EQ(JetFilter("Month(Data)={} AND Year(Data)={}", {Variant::Long(3), Variant::Long(2024)}),
            "Month(Data)=3 AND Year(Data)=2024");
  EXPECT_THROW(JetFilter("a = {} And b = {}", {Variant::Long(1)}), Error);
  EXPECT_THROW(JetFilter("a = 1", {Variant::Long(1)}), Error);
}

}  // namespace
}  // namespace tillbook::jet
