// The values the table hooks keep row by row against the same values recomputed from scratch:
// random sequences of documents and rows (sales, loads, orders, transport documents, free rows,
// charges, exemption toggles, associations) are written through the engine, then every header
// total, article counter and fulfilment counter is compared with plain SQL over the stored rows,
// and the recalculation tool must find nothing to change.
//
// Fulfilment counts what associated documents drew at the moment of the association (an order
// drawn by two sales stops at its quantity, and a later dissociation takes off what it adds
// back). The sequences therefore freeze a document's rows once it takes part in an association,
// and use positive quantities, so that the counters are a plain minimum of quantity and drawn
// total whatever the order of the associations.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"
#include "engine/ui_services.h"
#include "mainwindow/recalc.h"

namespace tillbook::mainwindow {
namespace {

using engine::Row;

struct Kind {
  const char* header;
  const char* rows;
  const char* freeRows;
  const char* quantity;
  const char* price;  // the price the person types
  const char* party;
  const char* partyTable;
};
const Kind kKinds[] = {
    {"Vendite", "DettagliVendite", "DettagliVenditeLib", "QuantitàScarico", "PrezzoUnitario",
     "Cliente", "Clienti"},
    {"Forniture", "DettagliForniture", "DettagliFornitureLib", "QuantitàCarico", "PrezzoListino",
     "Fornitore", "Fornitori"},
    {"OrdiniClienti", "DettagliOrdiniClienti", "DettagliOrdiniClientiLib", "QuantitàOrdine",
     "PrezzoUnitario", "Cliente", "Clienti"},
    {"OrdiniFornitori", "DettagliOrdiniFornitori", "DettagliOrdiniFornitoriLib", "QuantitàOrdine",
     "PrezzoListino", "Fornitore", "Fornitori"},
    {"TrasportiClienti", "DettagliDDTClienti", "DettagliDDTClientiLib", "QuantitàTrasporto",
     "PrezzoUnitario", "Cliente", "Clienti"},
    {"TrasportiFornitori", "DettagliDDTFornitori", "DettagliDDTFornitoriLib", "QuantitàTrasporto",
     "PrezzoListino", "Fornitore", "Fornitori"},
};

// Which documents an order or transport document may be associated with, and through which list.
struct Association {
  int drawn, drawing;
  const char* list;
};
const Association kAssociations[] = {
    {2, 0, "VenditeAssociate"},   {2, 4, "TrasportiAssociati"}, {3, 1, "FornitureAssociate"},
    {3, 5, "TrasportiAssociati"}, {4, 0, "VenditeAssociate"},   {5, 1, "FornitureAssociate"},
};

struct Doc {
  Row row;
  int kind;
  bool frozen = false;
};

class ConsistencyTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("tillbook-consistency-" + std::to_string(::getpid()) + "-" + std::to_string(GetParam()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "Tillbook.mdb").string();
    conn_ = std::make_unique<engine::Connection>();
    conn_->Create(path_);
    conn_->SetUi(&ui_);
    ui_.SetDefaultAnswer(engine::Answer::Yes);
    db_ = std::make_unique<engine::Database>(std::make_unique<data::DB>(switches_), "T");
    db_->Attach(*conn_);
  }
  void TearDown() override {
    db_.reset();
    conn_.reset();
    std::filesystem::remove_all(dir_);
  }

  engine::Connection& conn() { return *conn_; }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  void Registries() {
    const int64_t vat = conn().FindOids("CodiciIva", "Codice", Variant::String("IVA20")).front();
    for (int i = 0; i < 5; ++i) {
      auto a = conn().AddRow("Articoli", {{"Codice", Variant::String("A" + std::to_string(i))},
                                          {"PrezzoVendita", Variant::Double(1.5 + i)},
                                          {"IVA", Variant::Double(static_cast<double>(vat))}});
      articles_.push_back(*a);
    }
    for (int i = 0; i < 2; ++i) {
      auto f = conn().AddRow("ArticoliLiberi",
                             {{"Descrizione", Variant::String("L" + std::to_string(i))},
                              {"PrezzoVendita", Variant::Double(4)}});
      freeArticles_.push_back(*f);
    }
    for (const char* table : {"Clienti", "Fornitori"})
      for (int i = 0; i < 2; ++i)
        parties_[table].push_back(
            conn()
                .AddRow(table,
                        {{"Codice", Variant::String(std::string(table, 1) + std::to_string(i))}})
                ->Oid());
  }

  void NewDocument() {
    const int kind = Pick(6);
    const Kind& k = kKinds[kind];
    const auto& parties = parties_[k.partyTable];
    engine::FieldValues values = {
        {k.party, Variant::Double(static_cast<double>(parties[Pick(2)]))}};
    if (kind == 1)
      values.push_back({"Documento", Variant::String("D" + std::to_string(docs_.size()))});
    else
      values.push_back({"Numero", Variant::Long(static_cast<int32_t>(docs_.size() + 1))});
    auto row = conn().AddRow(k.header, values);
    ASSERT_TRUE(row.has_value());
    docs_.push_back({*row, kind});
  }

  Doc* OpenDocument() {
    std::vector<Doc*> open;
    for (Doc& d : docs_)
      if (!d.frozen && d.row.IsValid()) open.push_back(&d);
    return open.empty() ? nullptr : open[Pick(static_cast<int>(open.size()))];
  }

  void AddLine() {
    Doc* d = OpenDocument();
    if (!d) return;
    const Kind& k = kKinds[d->kind];
    const bool free = Pick(4) == 0;
    const Row& base = free ? freeArticles_[Pick(2)] : articles_[Pick(5)];
    std::optional<Row> row;
    if (free) {
      row = d->row.AddListRowFrom("DettagliLiberi", base);
    } else {
      row = d->row.AddListRow("Dettagli", /*held=*/true);
      ASSERT_TRUE(row && row->Set("Codice", base.Get("Codice")));
    }
    ASSERT_TRUE(row.has_value());
    ASSERT_TRUE(row->Set(k.quantity, Variant::Double(1 + Pick(9))));
    ASSERT_TRUE(row->Set(k.price, Variant::Double(0.5 * (1 + Pick(40)))));
    if (Pick(3) == 0) ASSERT_TRUE(row->Set("PercentualeSconto", Variant::Double(5 * Pick(5))));
    if (row->IsPending()) {
      if (Pick(8) == 0)
        row->Discard();
      else
        ASSERT_TRUE(row->Save());
    }
  }

  std::vector<Row> Lines(Doc& d) {
    std::vector<Row> rows = d.row.List("Dettagli");
    for (Row& r : d.row.List("DettagliLiberi")) rows.push_back(r);
    return rows;
  }

  void ChangeLine() {
    Doc* d = OpenDocument();
    if (!d) return;
    auto rows = Lines(*d);
    if (rows.empty()) return;
    Row& row = rows[Pick(static_cast<int>(rows.size()))];
    const Kind& k = kKinds[d->kind];
    switch (Pick(4)) {
      case 0:
        ASSERT_TRUE(row.Set(k.quantity, Variant::Double(1 + Pick(9))));
        break;
      case 1:
        ASSERT_TRUE(row.Set(k.price, Variant::Double(0.25 * (1 + Pick(80)))));
        break;
      case 2:
        ASSERT_TRUE(row.Set("PercentualeSconto", Variant::Double(Pick(30))));
        break;
      default:
        ASSERT_TRUE(row.Delete());
        break;
    }
  }

  void ChangeHeader() {
    Doc& d = docs_[Pick(static_cast<int>(docs_.size()))];
    if (!d.row.IsValid()) return;
    static const char* kCharges[] = {"ImportoSpeseTrasporto", "ImportoSpeseImballaggio",
                                     "ImportoSpeseBancarie", "ImportoSpeseAssicurative",
                                     "ImportoSpeseBolli"};
    switch (Pick(3)) {
      case 0:
        ASSERT_TRUE(d.row.Set(kCharges[Pick(5)], Variant::Double(Pick(20))));
        break;
      case 1:
        ASSERT_TRUE(d.row.Set("IVAEsente", Variant::Boolean(!d.row.Get("IVAEsente").ToBool())));
        break;
      default:
        if (!d.frozen) ASSERT_TRUE(d.row.Delete());
    }
  }

  void Associate() {
    const Association& a = kAssociations[Pick(6)];
    std::vector<Doc*> drawn, drawing;
    for (Doc& d : docs_) {
      if (!d.row.IsValid()) continue;
      if (d.kind == a.drawn) drawn.push_back(&d);
      if (d.kind == a.drawing) drawing.push_back(&d);
    }
    if (drawn.empty() || drawing.empty()) return;
    Doc* d = drawn[Pick(static_cast<int>(drawn.size()))];
    Doc* s = drawing[Pick(static_cast<int>(drawing.size()))];
    d->frozen = s->frozen = true;
    ASSERT_TRUE(d->row.AddToList(a.list, s->row));
  }

  // ---- the values from scratch, by plain SQL over the stored rows ---------------------------

  struct Sql {
    sqlite3* db = nullptr;
    explicit Sql(const std::string& path) {
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~Sql() { sqlite3_close(db); }
    // Rows of a query as key -> value, the first column the key.
    std::map<int64_t, double> Map(const std::string& sql) {
      std::map<int64_t, double> out;
      sqlite3_stmt* st = nullptr;
      EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK)
          << sql << ": " << sqlite3_errmsg(db);
      while (st && sqlite3_step(st) == SQLITE_ROW)
        out[sqlite3_column_int64(st, 0)] = sqlite3_column_double(st, 1);
      sqlite3_finalize(st);
      return out;
    }
  };

  static std::string Owner(const char* header, const char* list) {
    return std::string("OIDOwner_") + header + "_" + list;
  }
  // The stored header fields: transport documents keep theirs in the table they extend.
  static std::string Header(const Kind& k) {
    const std::string h = k.header;
    if (h.rfind("Trasporti", 0) != 0) return h;
    return "(SELECT b.OID, b.ImportoTotale, b.ImportoTotaleIVA, b.ImportoTotaleOneri, "
           "b.IVAEsente, b.ImportoSpeseTrasporto, b.ImportoSpeseImballaggio, "
           "b.ImportoSpeseBancarie, b.ImportoSpeseAssicurative, b.ImportoSpeseBolli FROM "
           "TrasportiBase b JOIN " + h + " t ON t.OID=b.OID)";
  }

  // Every header total against its rows and charges.
  void CheckHeaders(Sql& sql) {
    for (const Kind& k : kKinds) {
      const std::string h = Header(k);
      const std::string rows = "(SELECT " + Owner(k.header, "Dettagli") +
                               " AS o, Importo, ImportoIVA FROM " + k.rows + " UNION ALL SELECT " +
                               Owner(k.header, "DettagliLiberi") + ", Importo, ImportoIVA FROM " +
                               k.freeRows + ")";
      auto stored = sql.Map("SELECT OID, ImportoTotale FROM " + h);
      auto computed = sql.Map(
          "SELECT h.OID, h.ImportoSpeseTrasporto+h.ImportoSpeseImballaggio+h.ImportoSpeseBancarie+"
          "h.ImportoSpeseAssicurative+h.ImportoSpeseBolli+IFNULL((SELECT SUM(Importo) FROM " +
          rows + " WHERE o=h.OID),0) FROM " + h + " h");
      EXPECT_EQ(stored, computed) << h << " ImportoTotale";
      // Whole-euro charges at 20 %: their VAT is exact.
      auto vat = sql.Map("SELECT OID, ImportoTotaleIVA FROM " + h);
      auto vatComputed = sql.Map(
          "SELECT h.OID, CASE WHEN h.IVAEsente THEN 0 ELSE h.ImportoTotaleOneri/5 END + "
          "IFNULL((SELECT SUM(ImportoIVA) FROM " +
          rows + " WHERE o=h.OID),0) FROM " + h + " h");
      EXPECT_EQ(vat, vatComputed) << h << " ImportoTotaleIVA";
      auto exemptRows = sql.Map("SELECT r.OID, r.ImportoIVA FROM " + std::string(k.rows) +
                                " r JOIN " + h + " h ON h.OID=r." + Owner(k.header, "Dettagli") +
                                " WHERE h.IVAEsente AND r.ImportoIVA<>0");
      EXPECT_TRUE(exemptRows.empty()) << h << " rows with VAT on an exempt document";
    }
  }

  // What the article counters must be, from the stored rows.
  std::map<std::string, std::map<int64_t, double>> Counters(Sql& sql, const char* base, bool free) {
    const auto t = [&](const char* table) { return std::string(table) + (free ? "Lib" : ""); };
    const std::string link = std::string("OID_") + base;
    const auto sum = [&](const std::string& table, const std::string& expr) {
      return "IFNULL((SELECT SUM(" + expr + ") FROM " + table + " r WHERE r." + link + "=a.OID),0)";
    };
    const std::string loads = sum(t("DettagliForniture"), "QuantitàCarico") + "+" +
                              sum(t("DettagliDDTFornitori"), "QuantitàTrasporto-QuantitàCaricata");
    const std::string unloads = sum(t("DettagliVendite"), "QuantitàScarico") + "+" +
                                sum(t("DettagliDDTClienti"), "QuantitàTrasporto-QuantitàScaricata");
    const std::string customerOrders =
        sum(t("DettagliOrdiniClienti"), "QuantitàOrdine-QuantitàScaricata");
    const std::string supplierOrders =
        sum(t("DettagliOrdiniFornitori"), "QuantitàOrdine-QuantitàCaricata");
    const std::string from = std::string(" FROM ") + base + " a";
    std::map<std::string, std::map<int64_t, double>> out;
    out["QuantitàTotaleCarichi"] = sql.Map("SELECT a.OID, " + loads + from);
    out["QuantitàTotaleScarichi"] = sql.Map("SELECT a.OID, " + unloads + from);
    out["Quantità"] = sql.Map("SELECT a.OID, (" + loads + ")-(" + unloads + ")" + from);
    out["ImportoTotaleVendite"] =
        sql.Map("SELECT a.OID, " + sum(t("DettagliVendite"), "Importo") + from);
    out["ImportoTotaleForniture"] =
        sql.Map("SELECT a.OID, " + sum(t("DettagliForniture"), "Importo") + from);
    out["QuantitàInOrdineClienti"] = sql.Map("SELECT a.OID, " + customerOrders + from);
    out["QuantitàInOrdineFornitori"] = sql.Map("SELECT a.OID, " + supplierOrders + from);
    out["QuantitàFinale"] = sql.Map("SELECT a.OID, (" + loads + ")-(" + unloads + ")-(" +
                                    customerOrders + ")+(" + supplierOrders + ")" + from);
    return out;
  }

  std::map<std::string, std::map<int64_t, double>> Stored(Sql& sql, const char* base,
                                                          const std::vector<std::string>& fields) {
    std::map<std::string, std::map<int64_t, double>> out;
    for (const std::string& f : fields) out[f] = sql.Map("SELECT OID, " + f + " FROM " + base);
    return out;
  }

  void CheckArticles(Sql& sql) {
    auto expected = Counters(sql, "Articoli", false);
    std::vector<std::string> fields;
    for (const auto& [f, v] : expected) fields.push_back(f);
    EXPECT_EQ(Stored(sql, "Articoli", fields), expected);
    auto freeExpected = Counters(sql, "ArticoliLiberi", true);
    for (auto& [field, values] : freeExpected) {
      auto stored = sql.Map("SELECT OID, " + field + " FROM ArticoliLiberi");
      if (!stored.empty() || values.empty())
        EXPECT_EQ(stored, values) << "ArticoliLiberi " << field;
    }
  }

  // Each order or transport row's counter: what the associated documents drew of its article,
  // up to its own quantity.
  void CheckFulfilment(Sql& sql) {
    struct Pair {
      const char* drawnRows;
      const char* drawnHeader;
      const char* counter;
      const char* cap;
      const char* list;
      const char* drawingRows;
      const char* drawingHeader;
      const char* source;
    };
    const Pair pairs[] = {
        {"DettagliOrdiniClienti", "OrdiniClienti", "QuantitàScaricata", "QuantitàOrdine",
         "VenditeAssociate", "DettagliVendite", "Vendite", "QuantitàScarico"},
        {"DettagliOrdiniClienti", "OrdiniClienti", "QuantitàScaricata", "QuantitàOrdine",
         "TrasportiAssociati", "DettagliDDTClienti", "TrasportiClienti", "QuantitàTrasporto"},
        {"DettagliOrdiniFornitori", "OrdiniFornitori", "QuantitàCaricata", "QuantitàOrdine",
         "FornitureAssociate", "DettagliForniture", "Forniture", "QuantitàCarico"},
        {"DettagliOrdiniFornitori", "OrdiniFornitori", "QuantitàCaricata", "QuantitàOrdine",
         "TrasportiAssociati", "DettagliDDTFornitori", "TrasportiFornitori", "QuantitàTrasporto"},
        {"DettagliDDTClienti", "TrasportiClienti", "QuantitàScaricata", "QuantitàTrasporto",
         "VenditeAssociate", "DettagliVendite", "Vendite", "QuantitàScarico"},
        {"DettagliDDTFornitori", "TrasportiFornitori", "QuantitàCaricata", "QuantitàTrasporto",
         "FornitureAssociate", "DettagliForniture", "Forniture", "QuantitàCarico"},
    };
    for (const char* rows : {"DettagliOrdiniClienti", "DettagliOrdiniFornitori",
                             "DettagliDDTClienti", "DettagliDDTFornitori"}) {
      std::string drawnSum;
      const char *header = nullptr, *counter = nullptr, *cap = nullptr;
      for (const Pair& p : pairs) {
        if (std::string(p.drawnRows) != rows) continue;
        header = p.drawnHeader, counter = p.counter, cap = p.cap;
        drawnSum += std::string(drawnSum.empty() ? "" : "+") + "IFNULL((SELECT SUM(s." + p.source +
                    ") FROM Lst_" + p.drawnHeader + "_" + p.list + " l JOIN " + p.drawingRows +
                    " s ON s." + Owner(p.drawingHeader, "Dettagli") +
                    "=l.OID_Item WHERE l.OID_Owner=r." + Owner(p.drawnHeader, "Dettagli") +
                    " AND s.OID_Articoli=r.OID_Articoli),0)";
      }
      auto stored = sql.Map(std::string("SELECT OID, ") + counter + " FROM " + rows);
      auto computed = sql.Map("SELECT r.OID, MIN(r." + std::string(cap) + ", " + drawnSum +
                              ") FROM " + rows + " r");
      EXPECT_EQ(stored, computed) << rows << " " << counter << " of " << header;
    }
  }

  data::TableSwitches switches_;
  std::filesystem::path dir_;
  std::string path_;
  engine::ScriptedUi ui_;
  std::unique_ptr<engine::Connection> conn_;
  std::unique_ptr<engine::Database> db_;
  std::mt19937 random_{static_cast<unsigned>(GetParam())};
  std::vector<Row> articles_, freeArticles_;
  std::map<std::string, std::vector<int64_t>> parties_;
  std::vector<Doc> docs_;
};

TEST_P(ConsistencyTest, IncrementalValuesEqualTheValuesFromScratch) {
  Registries();
  for (int step = 0; step < 300 && !HasFatalFailure(); ++step) {
    const int op = Pick(20);
    if (op < 3 || docs_.empty())
      NewDocument();
    else if (op < 10)
      AddLine();
    else if (op < 14)
      ChangeLine();
    else if (op < 17)
      ChangeHeader();
    else
      Associate();
  }
  conn().Flush();
  {
    Sql sql(path_);
    // The sequence must have built something worth checking.
    const auto count = [&](const std::string& q) { return sql.Map("SELECT 0, (" + q + ")")[0]; };
    EXPECT_GT(count("SELECT COUNT(*) FROM DettagliVendite") +
                  count("SELECT COUNT(*) FROM DettagliForniture"),
              5);
    EXPECT_GT(count("SELECT (SELECT COUNT(*) FROM Lst_OrdiniClienti_VenditeAssociate)+"
                    "(SELECT COUNT(*) FROM Lst_TrasportiClienti_VenditeAssociate)+"
                    "(SELECT COUNT(*) FROM Lst_OrdiniFornitori_FornitureAssociate)+"
                    "(SELECT COUNT(*) FROM Lst_TrasportiFornitori_FornitureAssociate)"),
              2);
    EXPECT_GT(count("SELECT COUNT(*) FROM DettagliOrdiniClienti WHERE QuantitàScaricata>0") +
                  count("SELECT COUNT(*) FROM DettagliDDTFornitori WHERE QuantitàCaricata>0") +
                  count("SELECT COUNT(*) FROM DettagliDDTClienti WHERE QuantitàScaricata>0") +
                  count("SELECT COUNT(*) FROM DettagliOrdiniFornitori WHERE QuantitàCaricata>0"),
              0);
    CheckHeaders(sql);
    CheckArticles(sql);
    CheckFulfilment(sql);
  }
  // The recalculation tool, from scratch, finds the same values.
  std::map<std::string, std::map<int64_t, double>> before, after;
  std::vector<std::string> fields = {"Quantità",
                                     "QuantitàTotaleCarichi",
                                     "QuantitàTotaleScarichi",
                                     "ImportoTotaleVendite",
                                     "ImportoTotaleForniture",
                                     "QuantitàInOrdineClienti",
                                     "QuantitàInOrdineFornitori",
                                     "QuantitàFinale"};
  {
    Sql sql(path_);
    before = Stored(sql, "Articoli", fields);
    for (const char* rows : {"DettagliOrdiniClienti", "DettagliDDTClienti"})
      before[rows] = sql.Map(std::string("SELECT OID, QuantitàScaricata FROM ") + rows);
    for (const char* rows : {"DettagliOrdiniFornitori", "DettagliDDTFornitori"})
      before[rows] = sql.Map(std::string("SELECT OID, QuantitàCaricata FROM ") + rows);
  }
  ui_.QueueAnswer(engine::Answer::Ok);
  ASSERT_EQ(RecalcQuantities(conn(), ui_, switches_), ToolOutcome::Completed);
  conn().Flush();
  {
    Sql sql(path_);
    after = Stored(sql, "Articoli", fields);
    for (const char* rows : {"DettagliOrdiniClienti", "DettagliDDTClienti"})
      after[rows] = sql.Map(std::string("SELECT OID, QuantitàScaricata FROM ") + rows);
    for (const char* rows : {"DettagliOrdiniFornitori", "DettagliDDTFornitori"})
      after[rows] = sql.Map(std::string("SELECT OID, QuantitàCaricata FROM ") + rows);
  }
  EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ConsistencyTest, ::testing::Values(1, 2, 3, 4));

}  // namespace
}  // namespace tillbook::mainwindow
