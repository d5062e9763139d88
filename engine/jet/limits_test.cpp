// Long and deep texts: chains of thousands of terms read and run; nestings too deep for the
// database are refused by the translator, never by the database at run time; nothing grows
// without bound.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/jet/jet_error.h"
#include "engine/jet/sqlite_dialect.h"
#include "engine/jet/testing/shop_catalog.h"
#include "engine/jet/testing/shop_seed.h"
#include "engine/jet/translator.h"

namespace tillbook::jet {
namespace {

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// "first sep item(0) sep item(1) ..." for n items.
std::string Chain(int n, const std::string& separator,
                  const std::function<std::string(int)>& item) {
  std::string out;
  for (int i = 0; i < n; ++i) out += (i ? separator : "") + item(i);
  return out;
}

class LimitsTest : public ::testing::Test {
 protected:
  LimitsTest() : db_(testing::ShopCatalog()), translator_(testing::ShopCatalog(), dialect_) {
    testing::SeedShop(db_);
  }
  Translation T(const std::string& table, const std::string& filter,
                const std::string& fields = "") {
    return translator_.Translate({table, filter, fields, ""}, testing::ShopNow());
  }

  testing::TestDatabase db_;
  SqliteDialect dialect_;
  Translator translator_;
};

struct ChainCase {
  const char* name;
  const char* table;
  std::function<std::string()> filter;
  std::vector<std::string> oids;
};

TEST_F(LimitsTest, LongChainsReadAndRun) {
  const ChainCase cases[] = {
      {"300 Or of texts",
       "Articoli",
       [] {
         return Chain(300, " Or ", [](int i) {
           return "Codice = '" + std::string(i == 299 ? "art003" : "X" + std::to_string(i)) + "'";
         });
       },
       {"102"}},
      {"5,000 Or",
       "Articoli",
       [] {
         return Chain(5000, " Or ",
                      [](int i) { return "OID=" + std::to_string(i == 77 ? 101 : i + 200); });
       },
       {"101"}},
      {"5,000 And",
       "Articoli",
       [] {
         return Chain(5000, " And ", [](int i) { return i == 2500 ? "Quantità>0" : "OID>-1"; });
       },
       {"100", "102"}},
      {"2,000 groups of And in Or",
       "Articoli",
       [] {
         return Chain(2000, " Or ", [](int i) {
           return "(OID=" + std::to_string(i == 1500 ? 100 : i + 200) + " And Quantità>0)";
         });
       },
       {"100"}},
      {"3,000 '&'",
       "Articoli",
       [] { return "Codice" + Repeat(" & ''", 3000) + " = 'ART002'"; },
       {"101"}},
      {"10,000 items in In",
       "Articoli",
       [] { return "OID In (" + Repeat("0,", 9999) + "104)"; },
       {"104"}},
      {"500 Or over a list",
       "Articoli",
       [] {
         return Chain(500, " Or ", [](int i) {
           return "DatiFornitori.PrezzoAcquisto = " + std::string(i == 250 ? "6.5" : "0.01");
         });
       },
       {"100"}},
      {"1,000 period tests",
       "Vendite",
       [] {
         return Chain(1000, " And ", [](int) { return "Month(Data) = 3 And Year(Data) = 2024"; });
       },
       {"400", "401"}},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.name);
    Translation t = T(c.table, c.filter());
    EXPECT_EQ(db_.Column(t, "OID"), c.oids);
    EXPECT_EQ(db_.Count(t), static_cast<int64_t>(c.oids.size()));
  }
}

struct Nesting {
  const char* name;
  std::function<std::string(int)> filter;
  int atLeast;  // levels that must be accepted
};

// Each shape nested deeper and deeper: what the translator accepts runs, what it refuses is
// refused as too complex, and ordinary depths are accepted.
TEST_F(LimitsTest, NestingIsRefusedBeforeTheDatabaseWouldRefuseIt) {
  const Nesting shapes[] = {
      {"Not", [](int d) { return Repeat("Not (", d) + "Quantità > 0" + Repeat(")", d); }, 15},
      {"function", [](int d) { return Repeat("Abs(", d) + "Quantità" + Repeat(")", d) + " > 0"; },
       15},
      {"IIF",
       [](int d) { return Repeat("IIF(Quantità > 0, 1, ", d) + "0" + Repeat(")", d) + " = 1"; }, 8},
      {"operand in parentheses",
       [](int d) { return Repeat("Quantità + (", d) + "1" + Repeat(")", d) + " > 0"; }, 15},
      {"left-associative chain", [](int d) { return "Quantità" + Repeat(" + 1", d) + " > 0"; }, 60},
      {"comparison chain", [](int d) { return "(Quantità > 0)" + Repeat(" = True", d); }, 60},
      {"sub-select",
       [](int d) {
         return Repeat("Quantità < (SELECT Max(Quantità) FROM Articoli WHERE ", d) +
                "Quantità < 100" + Repeat(")", d);
       },
       4},
      {"Like in IIF",
       [](int d) { return Repeat("IIF(Codice Like 'A*', ", d) + "True" + Repeat(", False)", d); },
       8},
      {"Nz",
       [](int d) {
         return Repeat("Nz(", d) + "DataUltimaVendita" + Repeat(", #01/01/2024#)", d) +
                " > #01/01/2020#";
       },
       15},
      {"list in sub-select",
       [](int d) {
         return Repeat(
                    "DatiFornitori.PrezzoAcquisto < (SELECT Max(PrezzoVendita) FROM Articoli "
                    "WHERE ",
                    d) +
                "DatiFornitori.PrezzoAcquisto > 0" + Repeat(")", d);
       },
       2},
      // Int repeats its operand in the SQL: the text would triple at each level.
      {"Int", [](int d) { return Repeat("Int(", d) + "Quantità" + Repeat(" / 2)", d) + " >= 0"; },
       4},
  };
  for (const Nesting& shape : shapes) {
    SCOPED_TRACE(shape.name);
    int accepted = 0;
    for (int d = 1; d <= 120; ++d) {
      Translation t;
      try {
        t = T("Articoli", shape.filter(d));
      } catch (const JetError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::TooComplex) << d << ": " << e.message();
        continue;
      }
      EXPECT_EQ(accepted, d - 1) << "accepted again at " << d << " after a refusal";
      accepted = d;
      EXPECT_NO_THROW(db_.Rows(t)) << d;
      EXPECT_NO_THROW(db_.Count(t)) << d;
    }
    EXPECT_GE(accepted, shape.atLeast);
    EXPECT_LT(accepted, 120);
  }
}

TEST_F(LimitsTest, TooManyValuesAreRefused) {
  // 32,000 literals fit in the longest text; the database binds fewer per statement.
  std::string filter = "OID In (" + Repeat("1,", 31999) + "1)";
  try {
    T("Articoli", filter);
    ADD_FAILURE() << "accepted";
  } catch (const JetError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::TooComplex);
    EXPECT_NE(e.message().find("valori"), std::string::npos) << e.message();
  }
  EXPECT_NO_THROW(T("Articoli", "OID In (" + Repeat("1,", 20000) + "1)"));
}

}  // namespace
}  // namespace tillbook::jet
