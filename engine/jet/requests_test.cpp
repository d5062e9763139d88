// Whole data-set requests: constants in the field list and the sort, the row identifier as a
// shown column, and the secret fields no request can reach.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/jet/jet_error.h"
#include "engine/jet/sqlite_dialect.h"
#include "engine/jet/testing/shop_catalog.h"
#include "engine/jet/testing/shop_seed.h"
#include "engine/jet/translator.h"

namespace tillbook::jet {
namespace {

using Values = std::vector<std::string>;

class RequestsTest : public ::testing::Test {
 protected:
  RequestsTest() : db_(testing::ShopCatalog()), translator_(testing::ShopCatalog(), dialect_) {
    testing::SeedShop(db_);
    db_.Insert("Operatori", 1,
               {{"Nome", Variant::String("Amministratore")},
                {"Password", Variant::String("segreta")},
                {"LivelloAccesso", Variant::Long(1)}});
  }
  Translation T(const std::string& table, const std::string& filter, const std::string& fields,
                const std::string& sort = "") {
    return translator_.Translate({table, filter, fields, sort}, testing::ShopNow());
  }
  // Names of the shown columns (the row identifier kept apart is column 0).
  static Values Shown(const Translation& t) {
    Values names;
    for (size_t i = 1; i < t.columns.size(); ++i) names.push_back(t.columns[i].name);
    return names;
  }

  testing::TestDatabase db_;
  SqliteDialect dialect_;
  Translator translator_;
};

struct CountCase {
  const char* fields;
  const char* filter;
  const char* sort;
  int64_t rows;
};

// The data set and its count are two statements; each binds its own values, whatever the field
// list and the sort hold (the test database refuses a list that is not the statement's own).
TEST_F(RequestsTest, CountsBindTheirOwnValues) {
  const CountCase cases[] = {
      {"Descrizione, 1 AS Uno", "", "", 5},
      {"Codice, ScortaMinima * 2 AS X", "", "", 5},
      {"Codice", "", "IIF(Quantità > 0, 1, 2), Codice", 5},
      {"Codice, 'x' AS Segno", "Quantità > 0", "", 2},
      {"PrezzoVendita * 2 AS Doppio", "Doppio > 10", "", 2},
      {"*, 'x' & Codice AS Etichetta", "Etichetta Like 'xART*' And Quantità >= 0", "Etichetta DESC",
       4},
      {"Codice, #05/01/2024# AS Dal", "DataInserimento < Dal Or Codice = 'ART001'", "", 5},
      {"Codice, DatiFornitori.PrezzoAcquisto * 2 AS P", "P > 12.5", "", 1},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(std::string(c.fields) + " | " + c.filter + " | " + c.sort);
    Translation t = T("Articoli", c.filter, c.fields, c.sort);
    EXPECT_EQ(static_cast<int64_t>(db_.Rows(t).size()), c.rows);
    EXPECT_EQ(db_.Count(t), c.rows);
  }
  EXPECT_EQ(db_.Column(T("Articoli", "", "Descrizione, 1 AS Uno"), "Uno"),
            (Values{"1", "1", "1", "1", "1"}));
}

struct RowIdCase {
  const char* fields;
  Values columns;
};

TEST_F(RequestsTest, RowIdentifierShowsLikeAnyField) {
  const RowIdCase cases[] = {
      {"OID", {"OID"}},
      {"[OID]", {"OID"}},
      {"OID AS OID", {"OID"}},
      {"Articoli.OID", {"OID"}},
      {"Codice, OID", {"Codice", "OID"}},
      {"OID AS Id, OID", {"Id", "OID"}},
  };
  const Values oids{"100", "101", "102", "103", "104"};
  for (const RowIdCase& c : cases) {
    SCOPED_TRACE(c.fields);
    Translation t = T("Articoli", "", c.fields);
    EXPECT_EQ(Shown(t), c.columns);
    EXPECT_EQ(db_.Column(t, c.columns.back()), oids);
  }
  Translation all = T("Articoli", "", "*,OID");
  EXPECT_EQ(Shown(all).back(), "OID");
  EXPECT_EQ(db_.Column(all, "OID"), oids);
  // Links show the same way, and an alias naming its own field is that field.
  EXPECT_EQ(db_.Column(T("Articoli", "", "OID_Settore"), "OID_Settore"),
            (Values{"1", "1", "2", "2", "1"}));
  EXPECT_EQ(db_.Column(T("Articoli", "", "Codice AS Codice", "Codice DESC"), "Codice"),
            (Values{"art005", "ART004", "ART003", "ART002", "ART001"}));
  EXPECT_EQ(db_.Column(T("Articoli", "OID > 102", "OID", "OID DESC"), "OID"),
            (Values{"104", "103"}));
}

TEST_F(RequestsTest, ConstantSortKeysAreRefusedAndComputedOnesSort) {
  for (const char* sort : {"1", "Codice, 2 DESC", "'x'", "1 + 2", "Now", "#01/01/2024#", "-1"}) {
    try {
      T("Articoli", "", "", sort);
      ADD_FAILURE() << sort;
    } catch (const JetError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::BadSort) << sort << ": " << e.message();
    }
  }
  // A constant column of the field list is a column like the others.
  EXPECT_NO_THROW(db_.Rows(T("Articoli", "", "Codice, 1 AS Uno", "Uno, Codice")));
  EXPECT_EQ(db_.Column(T("Articoli", "", "Codice", "Len(Codice) * 0 + OID DESC"), "Codice"),
            (Values{"art005", "ART004", "ART003", "ART002", "ART001"}));
}

TEST_F(RequestsTest, SecretFieldsAreOutOfReach) {
  Translation all = T("Operatori", "", "*");
  EXPECT_EQ(Shown(all), (Values{"Nome", "LivelloAccesso"}));
  EXPECT_EQ(db_.Column(all, "Nome"), (Values{"Amministratore"}));
  struct Case {
    const char* table;
    const char* filter;
    const char* fields;
    const char* sort;
  } refused[] = {
      {"Operatori", "Password = 'segreta'", "", ""},
      {"Operatori", "Password Is Not Null", "", ""},
      {"Operatori", "", "Nome, Password", ""},
      {"Operatori", "", "Operatori.Password AS P", ""},
      {"Operatori", "", "Nome, Len(password) AS L", ""},
      {"Operatori", "", "", "Password"},
      {"Vendite", "Operatore.Password = 'segreta'", "", ""},
      {"Articoli", "(SELECT Max(Password) FROM Operatori) = 'segreta'", "", ""},
      {"Articoli", "Codice In ((SELECT Max(Password) FROM Operatori))", "", ""},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(std::string(c.filter) + " | " + c.fields + " | " + c.sort);
    try {
      T(c.table, c.filter, c.fields, c.sort);
      ADD_FAILURE() << "accepted";
    } catch (const JetError& e) {
      // As if the table had no such field.
      EXPECT_EQ(e.kind(), ErrorKind::UnknownName) << e.message();
      EXPECT_NE(e.message().find("assword» nella tabella Operatori"), std::string::npos)
          << e.message();
    }
  }
  EXPECT_THROW(translator_.TranslateAggregate("Operatori", Aggregate::Max, "Password", "",
                                              testing::ShopNow()),
               JetError);
}

}  // namespace
}  // namespace tillbook::jet
