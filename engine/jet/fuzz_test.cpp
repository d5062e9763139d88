// Random texts built from the dialect's own pieces: every text is either refused with a
// JetError or translated into SQL that the database accepts and runs. Nothing else may happen
// (no other exception, no SQL error, no crash).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/jet/jet_error.h"
#include "engine/jet/parser.h"
#include "engine/jet/sqlite_dialect.h"
#include "engine/jet/testing/shop_catalog.h"
#include "engine/jet/testing/shop_seed.h"
#include "engine/jet/translator.h"

namespace tillbook::jet {
namespace {

const std::vector<std::string> kPieces = {
    "Quantità",
    "PrezzoVendita",
    "Codice",
    "Descrizione",
    "Settore",
    "IVA",
    "Settore.Reparto",
    "CodiciIva.Percentuale",
    "DatiFornitori.Fornitore",
    "DatiFornitori.PrezzoAcquisto",
    "CodiciCorrelati.Codice",
    "OID",
    "OID_Settore",
    "Articoli.OID",
    "DataInserimento",
    "DataUltimaVendita",
    "ScortaMinima",
    "Note",
    "Deposito",
    "Valore",
    "1",
    "0",
    "-1",
    "2.35",
    "'ART001'",
    "'*a*'",
    "\"x\"",
    "#03/15/2024#",
    "True",
    "False",
    "Null",
    "Now",
    "Date()",
    "=",
    "<>",
    "<",
    ">=",
    "+",
    "-",
    "*",
    "/",
    "&",
    "^",
    "Mod",
    "\\",
    "And",
    "Or",
    "Not",
    "Xor",
    "Like",
    "In",
    "Between",
    "Is",
    "Is Not Null",
    "Is Null",
    "(",
    ")",
    ",",
    ".",
    "IIF(",
    "Month(",
    "Year(",
    "Len(",
    "Abs(",
    "Int(",
    "Left(",
    "Mid(",
    "UCase(",
    "Nz(",
    "Sum(",
    "Count(*)",
    "(SELECT Sum(QuantitàScarico) FROM DettagliVendite WHERE ",
    "OID_Articoli = Articoli.OID)",
};

std::string RandomText(std::mt19937& rng, int length) {
  std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
  std::string s;
  for (int i = 0; i < length; ++i) s += kPieces[pick(rng)] + " ";
  return s;
}

// Texts that are well formed more often: comparisons joined by And / Or.
std::string RandomCondition(std::mt19937& rng) {
  static const std::vector<std::string> operands = {
      "Quantità",
      "PrezzoVendita",
      "Codice",
      "Settore",
      "CodiciIva.Percentuale",
      "DatiFornitori.PrezzoAcquisto",
      "CodiciCorrelati.Codice",
      "Len(Codice)",
      "1",
      "2.35",
      "'ART001'",
      "Month(DataInserimento)",
      "PrezzoVendita * 3",
      "Quantità / 2",
      "Null",
      "IIF(Quantità > 0, PrezzoVendita, 0)",
      "Nz(DataUltimaVendita, #01/01/2024#)",
      "DataInserimento",
      "#03/15/2024#",
      "Codice & Descrizione",
      "True",
      "ScortaMinima",
  };
  static const std::vector<std::string> ops = {"=", "<>", "<", ">=", "Like", "In (", "Between"};
  std::uniform_int_distribution<size_t> operand(0, operands.size() - 1);
  std::uniform_int_distribution<size_t> op(0, ops.size() - 1);
  std::uniform_int_distribution<int> count(1, 4);
  std::string s;
  int n = count(rng);
  for (int i = 0; i < n; ++i) {
    if (i) s += rng() % 2 ? " And " : " Or ";
    if (rng() % 4 == 0) s += "Not ";
    std::string o = ops[op(rng)];
    std::string a = operands[operand(rng)], b = operands[operand(rng)];
    if (o == "In (") {
      s += a + " In (" + b + ", " + operands[operand(rng)] + ")";
    } else if (o == "Between") {
      s += a + " Between " + b + " And " + operands[operand(rng)];
    } else {
      s += a + " " + o + " " + b;
    }
  }
  return s;
}

TEST(FuzzTest, RandomBytesAreRefusedCleanly) {
  // Truncated UTF-8, stray continuation bytes, NULs and control characters included.
  std::mt19937 rng(7);
  static const char kAscii[] = "aZ09 .,()'\"#[]*&<>=-+/\\^\t\r\n";  // and its final NUL
  const std::string alphabet =
      std::string(kAscii, sizeof kAscii) + "\xC3\xA0\xCC\x80\xE2\x82\xAC\xF0\x9F\x98\x80\xFF\xC3";
  int accepted = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = rng() % 24; n > 0; --n) text += alphabet[rng() % alphabet.size()];
    try {
      ParseFilter(text);
      ParseFieldList(text);
      ParseSortList(text);
      ++accepted;
    } catch (const JetError& e) {
      EXPECT_LE(e.offset(), text.size());
      EXPECT_GE(e.position(), 1u);
    }
  }
  EXPECT_GT(accepted, 100);
}

TEST(FuzzTest, EveryTextIsRefusedOrRuns) {
  testing::TestDatabase db(testing::ShopCatalog());
  testing::SeedShop(db);
  SqliteDialect dialect;
  Translator translator(testing::ShopCatalog(), dialect);
  std::mt19937 rng(20240315);
  int accepted = 0;
  for (int i = 0; i < 6000; ++i) {
    std::string filter = i % 2 ? RandomCondition(rng) : RandomText(rng, 1 + i % 9);
    std::string fields = i % 5 == 0 ? "*," + RandomText(rng, 3) + " AS Valore" : "";
    std::string sort = i % 7 == 0 ? RandomText(rng, 2) : "";
    SCOPED_TRACE(filter + " | " + fields + " | " + sort);
    Translation t;
    try {
      t = translator.Translate({"Articoli", filter, fields, sort}, testing::ShopNow());
    } catch (const JetError&) {
      continue;
    }
    ++accepted;
    EXPECT_NO_THROW(db.Rows(t)) << t.sql;
    EXPECT_NO_THROW(db.Count(t)) << t.countSql;
  }
  EXPECT_GT(accepted, 300);  // the generator must keep producing valid texts
}

// Long texts: chains of hundreds of conditions, groups in parentheses, Not, nested calls. The
// translator either refuses them or gives SQL the database reads, however they nest.
TEST(FuzzTest, LongAndDeepTextsAreRefusedOrRun) {
  testing::TestDatabase db(testing::ShopCatalog());
  testing::SeedShop(db);
  SqliteDialect dialect;
  Translator translator(testing::ShopCatalog(), dialect);
  std::mt19937 rng(99);
  static const std::vector<std::string> conditions = {
      "Quantità > 0",
      "Codice Like 'A*'",
      "PrezzoVendita Between 1 And 10",
      "DatiFornitori.PrezzoAcquisto > 5",
      "CodiciCorrelati.Codice = 'x'",
      "Settore.Descrizione = 'Vernici'",
      "Month(DataInserimento) = 1",
      "Year(DataInserimento) = 2024",
      "Codice & Descrizione & Note Like '*a*'",
      "Len(Codice) + ScortaMinima - 1 > 3",
      "OID In (100, 101, 102)",
      "DataUltimaVendita Is Null",
      "(SELECT Sum(QuantitàScarico) FROM DettagliVendite WHERE OID_Articoli = Articoli.OID) > 0",
  };
  static const std::vector<std::string> wrappers = {"Not (", "(", "IIF(True, "};
  static const std::vector<std::string> closers = {")", ")", ", False)"};
  int accepted = 0;
  int refused = 0;
  for (int i = 0; i < 40; ++i) {
    std::string filter;
    const int terms = 20 + static_cast<int>(rng() % 400);
    int open = 0;
    std::vector<size_t> kinds;
    for (int n = 0; n < terms; ++n) {
      if (n) filter += rng() % 3 ? " Or " : " And ";
      while (rng() % 6 == 0 && open < 40) {
        size_t k = rng() % wrappers.size();
        filter += wrappers[k];
        kinds.push_back(k);
        ++open;
      }
      filter += i % 3 ? conditions[rng() % conditions.size()] : RandomText(rng, 3);
      while (open > 0 && rng() % 3 == 0) {
        filter += closers[kinds.back()];
        kinds.pop_back();
        --open;
      }
    }
    while (open-- > 0) {
      filter += closers[kinds.back()];
      kinds.pop_back();
    }
    SCOPED_TRACE(filter.substr(0, 300));
    Translation t;
    try {
      t = translator.Translate({"Articoli", filter, "", ""}, testing::ShopNow());
    } catch (const JetError&) {
      ++refused;
      continue;
    }
    ++accepted;
    EXPECT_NO_THROW(db.Rows(t));
    EXPECT_NO_THROW(db.Count(t));
  }
  EXPECT_GT(accepted, 5);
  EXPECT_GT(refused, 5);
}

}  // namespace
}  // namespace tillbook::jet

namespace tillbook::jet {
namespace {

// Every table of the shop, every field and every reference: shown, filtered and sorted.
TEST(SweepTest, EveryNameOfEveryTableTranslatesAndRuns) {
  const MemoryCatalog& catalog = testing::ShopCatalog();
  testing::TestDatabase db(catalog);
  testing::SeedShop(db);
  SqliteDialect dialect;
  Translator translator(catalog, dialect);
  int statements = 0;
  auto run = [&](const std::string& table, const std::string& filter, const std::string& fields,
                 const std::string& sort) {
    SCOPED_TRACE(table + " | " + filter + " | " + fields + " | " + sort);
    try {
      Translation t = translator.Translate({table, filter, fields, sort}, testing::ShopNow());
      EXPECT_NO_THROW(db.Rows(t)) << t.sql;
      EXPECT_NO_THROW(db.Count(t)) << t.countSql;
      ++statements;
    } catch (const JetError& e) {
      ADD_FAILURE() << e.message();
    }
  };
  for (const TableInfo& table : catalog.tables()) {
    run(table.name, "", "*", "");
    for (const FieldHit& f : AllFields(catalog, table)) {
      const std::string& name = f.field->name;
      run(table.name, name + " Is Null Or " + table.name + "." + name + " Is Not Null", "*," + name,
          name + " DESC");
    }
    for (const ReferenceHit& r : AllReferences(catalog, table)) {
      const std::string& name = r.reference->name;
      const TableInfo* target = catalog.FindTable(r.reference->target);
      ASSERT_TRUE(target) << r.reference->target;
      std::string inner = AllFields(catalog, *target).front().field->name;
      run(table.name, name + "." + inner + " Is Null Or " + name + " Is Null", "*," + name,
          IsList(r.reference->kind) ? "" : name);
      if (!IsList(r.reference->kind)) {
        run(table.name, "OID_" + name + " > 0", "*," + name + "." + inner + " AS Inner", "Inner");
      } else {
        run(table.name, "", "OID," + name + "." + inner, "");
      }
    }
    auto owners = catalog.Owners(table.name);
    for (const OwnerInfo& o : owners) {
      const TableInfo* owner = catalog.FindTable(o.ownerTable);
      std::string inner = AllFields(catalog, *owner).front().field->name;
      std::string filter = o.ownerTable + "." + inner + " Is Null Or OID > 0";
      auto sameTable = std::count_if(owners.begin(), owners.end(), [&](const OwnerInfo& x) {
        return x.ownerTable == o.ownerTable;
      });
      if (sameTable > 1) {
        // Two owned references from one table: the owner's name does not say which.
        try {
          translator.Translate({table.name, filter, "", ""}, testing::ShopNow());
          ADD_FAILURE() << table.name << ": " << filter;
        } catch (const JetError& e) {
          EXPECT_EQ(e.kind(), ErrorKind::AmbiguousName);
        }
        continue;
      }
      run(table.name, filter, "*," + o.ownerTable + ".OID AS Owner", "Owner");
    }
  }
  EXPECT_GT(statements, 500);
}

}  // namespace
}  // namespace tillbook::jet
