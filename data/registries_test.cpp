// The registry and code tables on a real archive: the rows a new archive starts with, the
// configuration switches, inheritance of the subject tables, unique indexes, and what a second
// definition of the same archive does (and does not do).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "data/DB.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/dataset.h"
#include "engine/ui_services.h"

namespace tillbook::data {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

// Every optional table and item present.
TableSwitches Everything() {
  TableSwitches s;
  s.EnableGenericLabel = s.Use_Zone = s.Use_Agenti = s.Use_Ordini = true;
  s.Use_AdvancedMigrationExport = s.Use_Valuta = true;
  return s;
}

class RegistriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-registries-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    conn_ = std::make_unique<engine::Connection>(&ui_);
    conn_->Create((dir_ / "Tillbook.mdb").string());
  }
  void TearDown() override {
    conn_.reset();
    std::filesystem::remove_all(dir_);
  }

  void Attach(TableSwitches switches = Everything()) {
    db_ = std::make_unique<engine::Database>(std::make_unique<DB>(switches), "Tillbook");
    db_->Attach(*conn_);
  }
  engine::Connection& conn() { return *conn_; }

  // Row identifiers of a table in storage order.
  std::vector<int64_t> Oids(const std::string& table) {
    engine::DataSet ds(conn(), engine::SelectRequest{table, "", "*", ""});
    std::vector<int64_t> oids;
    for (ds.First(); !ds.IsEOF(); ds.Next()) oids.push_back(ds.CurrentOid());
    std::sort(oids.begin(), oids.end());
    return oids;
  }
  // One line per row: the given fields' values joined by "|".
  std::vector<std::string> Lines(const std::string& table, const std::vector<std::string>& fields) {
    std::vector<std::string> lines;
    for (int64_t oid : Oids(table)) {
      auto row = conn().GetRow(table, oid);
      std::string line;
      for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? "|" : "") + row->Get(fields[i]).ToText();
      lines.push_back(line);
    }
    return lines;
  }
  engine::Row Add(const std::string& table, const engine::FieldValues& values) {
    auto row = conn().AddRow(table, values);
    if (!row) throw Error("riga rifiutata in " + table);
    return *row;
  }
  int64_t Find(const std::string& table, const std::string& field, const std::string& value) {
    auto ids = conn().FindOids(table, field, Variant::String(value));
    return ids.size() == 1 ? ids[0] : -1;
  }
  static Variant S(const char* s) { return Variant::String(s); }

  engine::ScriptedUi ui_;
  std::filesystem::path dir_;
  std::unique_ptr<engine::Connection> conn_;
  std::unique_ptr<engine::Database> db_;
};

TEST_F(RegistriesTest, NewArchiveHoldsTheDefaultRows) {
  Attach();
  struct Case {
    const char* table;
    std::vector<std::string> fields;
    std::vector<std::string> rows;
  } cases[] = {
      {"UnitaMisura",
       {"Codice", "Descrizione", "Confezionamento", "ElementiMultipli", "SimboloMisura",
        "Decimali"},
       {"QntPzz|Quantita' pezzi|Pezzi|False|Pz|False",
        "QntCnf|Quantita' confezioni|Confezioni|True|Cnf|False",
        "QntPnc|Quantita' pancali|Pancali|True|Pnc|False",
        "GrBst|Peso imbustati (gr)|Buste|False|Gr|False",
        "GrSct|Peso scatole (gr)|Scatole|False|Gr|True",
        "GrPzz|Peso pezzi (gr)|Pezzi|False|Gr|True",
        "KgSct|Peso scatole (kg)|Scatole|False|Kg|True",
        "KgPzz|Peso pezzi (kg)|Pezzi|False|Kg|True", "TmpOre|Ore||False|Ore|False",
        "Corpo|A Corpo||False||False"}},
      {"Listini",
       {"Descrizione", "PercentualeRicaricoPredefinito", "Note"},
       {"< BASE >|0|LISTINO PREDEFINITO, LA PERCENTUALE DI RICARICO VIENE IMPOSTATA "
        "AUTOMATICAMENTE NEI NUOVI ARTICOLI"}},
      {"Operatori", {"Nome", "LivelloAccesso"}, {"Amministratore|1", "Operatore|0"}},
      {"Nazioni", {"Descrizione"}, {"Italia"}},
      {"Depositi", {"Codice", "Deposito", "Descrizione"}, {"|Magazzino|Materiale da vendere"}},
      {"CategorieSoggetti",
       {"Descrizione", "Categoria"},
       {"PRIVATO|2", "IMPRESA INDIVIDUALE|1", "AZIENDA|0", "S.R.L.|0", "S.P.A.|0", "S.N.C.|0",
        "|9"}},
      {"Attività", {"Descrizione"}, {""}},
      {"ZoneGeografiche", {"Descrizione"}, {""}},
      {"Settori", {"Descrizione"}, {""}},
      {"Reparti", {"Descrizione"}, {""}},
      {"Banche", {"Nome", "Agenzia", "ABI", "CAB"}, {"|||"}},
      {"Agenti", {"Codice", "RagioneSociale"}, {"00|"}},
      {"Vettori", {"Codice", "RagioneSociale"}, {"|"}},
      {"Soggetti", {"RagioneSociale"}, {"", ""}},  // the agent and the carrier above
      {"Comuni", {"Descrizione", "CAP", "Provincia"}, {"||", "Roma|00100|RM"}},
      {"CodiciIva",
       {"Codice", "Descrizione", "Percentuale"},
       {"00|Fuori campo IVA|0", "IVA20|IVA al 20%|20", "IVA10|IVA al 10%|10", "IVA04|IVA al 4%|4"}},
      {"EsenzioniIva", {"Causale", "Esenzione"}, {"|False", "ESENTE|True"}},
      {"Valute", {"Descrizione", "Simbolo", "RapportoDiCambio"}, {"Euro|€|1", "Dollaro|$|1"}},
      {"Causali",
       {"Descrizione", "Reso", "InConto"},
       {"VENDITA|False|False", "ACQUISTO|False|False", "RESO|True|False",
        "CONTO VISIONE|False|True", "CONTO VENDITA|False|True", "CONTO RIPARAZIONE|False|True",
        "RESO / CONTO VISIONE|True|True", "RESO / CONTO VENDITA|True|True",
        "RESO / CONTO RIPARAZIONE|True|True", "NOTA DI CREDITO|True|False"}},
      {"TipiPagamento",
       {"Descrizione", "Modalità", "FineMese", "NumeroRate", "GiorniIntervalloIniziale",
        "GiorniIntervalloRate"},
       {"CONTANTI|1|False|1|0|0", "BONIFICO|4|True|1|0|0", "RI.BA. 30/60/90|5|True|3|0|30",
        "RI.BA. 60/90|5|True|3|90|30", "ALTRO|0|False|1|0|0"}},
      {"TipiDocumento",
       {"Descrizione", "Contabilizza", "Ambito"},
       {"FATTURA|True|0", "SCONTRINO FISCALE|True|3", "RICEVUTA NON FISCALE|False|0",
        "SCONTRINO NON FISCALE|False|3"}},
      {"TipiTrasporto",
       {"Descrizione", "Abbreviazione"},
       {"Documento di Trasporto / Bolla|D.d.T.", "Carico da Fornitore (d.d.t.)|Carico",
        "Reso a Cliente|ResoCli"}},
      {"TipiPorto", {"Descrizione"}, {"", "Franco", "Assegnato"}},
      {"TipiAspettoBeni", {"Descrizione"}, {"", "A VISTA", "BUSTE", "SCATOLE"}},
      {"TipiSoggettiTrasorto", {"Descrizione"}, {"", "DESTINATARIO", "MITTENTE", "VETTORE"}},
      {"TipiAllegato",
       {"Descrizione"},
       {"Dichiarazione di conformità C.E.", "Schede di sicurezza", "Manuali d'uso/manutenzione"}},
  };
  for (const auto& c : cases)
    EXPECT_THAT(Lines(c.table, c.fields), ElementsAreArray(c.rows)) << c.table;

  // The town row belongs to the default nation.
  auto town = conn().GetRow("Comuni", Find("Comuni", "Descrizione", "Roma"));
  ASSERT_TRUE(town);
  ASSERT_TRUE(town->Reference("Nazione"));
  EXPECT_EQ(town->Reference("Nazione")->Get("Descrizione").ToText(), "Italia");

  for (const char* empty :
       {"Clienti", "Fornitori", "Articoli", "ArticoliLiberi", "CodiciBarre", "CodiciCorrelati",
        "DettagliListinoArticoli", "DettagliListinoSettori", "DettagliPrezziFornitori", "Documenti",
        "TabProspettiStampa", "TabStampaEtichette", "MigrazioneTabelle", "MigrazioneCampi",
        "EsportazioneTabelle"})
    EXPECT_EQ(conn().Count(empty), 0) << empty;
}

// Every declared item of the table list, keyed "Table" / "Table.Item", with its attributes.
std::map<std::string, std::string> Snapshot(const TableSwitches& switches) {
  engine::DatabaseDef defs;
  DB(switches).itfDefDatabase_Define(defs);
  std::map<std::string, std::string> items;
  for (auto& cls : defs.tables()) {
    engine::TableDef d(cls->TableName());
    cls->itfDefTable_DefineIdentity(d);
    cls->itfDefTable_DefineStructure(d);
    const std::string t = d.name();
    items[t] = d.Caption + "|" + d.BaseTable + "|" + std::to_string(d.Version);
    for (const auto& f : d.fields())
      items[t + "." + f.name] = std::to_string(static_cast<int>(f.type)) + "|" +
                                std::to_string(f.a1) + "|" + std::to_string(f.a2) + "|" +
                                std::to_string(f.a3);
    for (const auto& r : d.references())
      items[t + "." + r.name] = r.table + "|" + std::to_string(r.a1) + "|" + std::to_string(r.a2) +
                                "|" + std::to_string(r.a3);
    for (size_t i = 0; i < d.indexes().size(); ++i)
      items[t + ".index" + std::to_string(i)] = d.indexes()[i].name;
    items[t + ".FieldOrder"] = d.FieldOrder;
  }
  return items;
}

// "+key" for what `on` adds, "-key" for what it removes, "~key" for what it changes; the items of
// a table that only one side has are summed up by the table's own key.
std::vector<std::string> Diff(const std::map<std::string, std::string>& off,
                              const std::map<std::string, std::string>& on) {
  auto bothHave = [&](const std::string& key) {
    const std::string table = key.substr(0, key.find('.'));
    return on.count(table) && off.count(table);
  };
  std::vector<std::string> out;
  for (const auto& [key, value] : on) {
    auto it = off.find(key);
    if (it == off.end()) {
      if (key.find('.') == std::string::npos || bothHave(key)) out.push_back("+" + key);
    } else if (it->second != value) {
      out.push_back("~" + key);
    }
  }
  for (const auto& [key, value] : off)
    if (!on.count(key) && (key.find('.') == std::string::npos || bothHave(key)))
      out.push_back("-" + key);
  return out;
}

TEST(RegistrySwitches, EachSwitchAddsAndRemovesExactlyItsItems) {
  struct Case {
    const char* name;
    bool TableSwitches::*member;
    std::vector<std::string> diff;
  } cases[] = {
      {"Use_Zone",
       &TableSwitches::Use_Zone,
       {"+ZoneGeografiche", "+Soggetti.Zona", "+Agenti.ZoneDiCopertura", "~Soggetti.FieldOrder"}},
      {"Use_Agenti", &TableSwitches::Use_Agenti, {"+Agenti", "+Clienti.Agente"}},
      {"Use_Valuta", &TableSwitches::Use_Valuta, {"~Soggetti.Valuta"}},
      {"EnableGenericLabel", &TableSwitches::EnableGenericLabel, {"+TabStampaEtichette"}},
      {"Use_AdvancedMigrationExport",
       &TableSwitches::Use_AdvancedMigrationExport,
       {"+MigrazioneCampi", "+MigrazioneTabelle", "+EsportazioneTabelle"}},
  };
  for (const auto& c : cases) {
    TableSwitches off = Everything(), on = Everything();
    off.*c.member = false;
    on.*c.member = true;
    EXPECT_THAT(Diff(Snapshot(off), Snapshot(on)), UnorderedElementsAreArray(c.diff)) << c.name;
  }

  // What the changed items become.
  TableSwitches s = Everything();
  s.Use_Valuta = false;
  EXPECT_EQ(Snapshot(s)["Soggetti.Valuta"], "Valute|-100|255|-100");
  s.Use_Valuta = true;
  EXPECT_EQ(Snapshot(s)["Soggetti.Valuta"], "Valute|-100|0|-100");
  s.Use_Zone = true;
  EXPECT_THAT(Snapshot(s)["Soggetti.FieldOrder"], HasSubstr(",Contatto,Zona,Valuta,"));
  s.Use_Zone = false;
  EXPECT_THAT(Snapshot(s)["Soggetti.FieldOrder"], HasSubstr(",Contatto,Valuta,"));
}

TEST_F(RegistriesTest, AgentsSwitchedOnLaterLeaveExistingCustomersWithoutAgent) {
  TableSwitches s = Everything();
  s.Use_Agenti = false;
  Attach(s);
  EXPECT_FALSE(conn().TableExists("Agenti"));
  const int64_t id = Add("Clienti", {{"Codice", S("C1")}, {"RagioneSociale", S("Rossi")}}).Oid();
  s.Use_Agenti = true;
  Attach(s);
  auto customer = conn().GetRow("Clienti", id);
  ASSERT_TRUE(customer);
  EXPECT_EQ(customer->Get("RagioneSociale").ToText(), "Rossi");
  EXPECT_FALSE(customer->Reference("Agente"));
  EXPECT_THAT(Lines("Agenti", {"Codice"}), ElementsAre("00"));
}

// Default rows go through the add-row operation, so the new-row defaults of their tables apply
// where a row does not say otherwise.
TEST_F(RegistriesTest, DefaultRowsTakeTheNewRowDefaultsOfTheirTables) {
  Attach();
  EXPECT_THAT(Lines("TipiDocumento", {"Descrizione", "Contabilizza", "Ambito", "Abilitato"}),
              ElementsAre("FATTURA|True|0|True", "SCONTRINO FISCALE|True|3|True",
                          "RICEVUTA NON FISCALE|False|0|True",
                          "SCONTRINO NON FISCALE|False|3|True"));
  EXPECT_THAT(Lines("TipiTrasporto", {"Abilitato"}), ElementsAre("True", "True", "True"));
  EXPECT_THAT(Lines("Operatori", {"Nome", "Password", "LivelloAccesso"}),
              ElementsAre("Amministratore||1", "Operatore||0"));
  // Every town, the empty one too, is Italian unless told otherwise.
  for (int64_t oid : Oids("Comuni"))
    EXPECT_EQ(conn().GetRow("Comuni", oid)->Reference("Nazione")->Get("Descrizione").ToText(),
              "Italia");
  auto town = Add("Comuni", {{"Descrizione", Variant::String("Lugano")}});
  EXPECT_EQ(town.Reference("Nazione")->Get("Descrizione").ToText(), "Italia");
}

TEST_F(RegistriesTest, CustomerChangedThroughClientiChangesItsSubject) {
  Attach();
  auto customer =
      Add("Clienti",
          {{"Codice", S("C001")}, {"RagioneSociale", S("Rossi")}, {"Indirizzo", S("Via Roma 1")}});
  ASSERT_TRUE(customer.Set("RagioneSociale", S("Rossi S.r.l.")));
  ASSERT_TRUE(customer.SetReferenceOid("Città", Find("Comuni", "Descrizione", "Roma")));
  auto subject = conn().GetRow("Soggetti", customer.Oid());
  ASSERT_TRUE(subject);
  EXPECT_EQ(subject->Get("RagioneSociale").ToText(), "Rossi S.r.l.");
  EXPECT_EQ(subject->Get("Indirizzo").ToText(), "Via Roma 1");
  EXPECT_EQ(subject->Reference("Città")->Get("Descrizione").ToText(), "Roma");
  // One subject row, not a copy: it is found once, and by the new name only.
  EXPECT_EQ(Find("Soggetti", "RagioneSociale", "Rossi S.r.l."), customer.Oid());
  EXPECT_EQ(Find("Soggetti", "RagioneSociale", "Rossi"), -1);
}

TEST_F(RegistriesTest, UniqueIndexesRefuseDuplicatesWithAClearMessage) {
  Attach();
  const Variant roma = Variant::Double(static_cast<double>(Find("Comuni", "Descrizione", "Roma")));
  const Variant magazzino =
      Variant::Double(static_cast<double>(Find("Depositi", "Deposito", "Magazzino")));
  Add("Depositi", {{"Codice", S("D2")}, {"Deposito", S("Negozio")}});
  const Variant negozio =
      Variant::Double(static_cast<double>(Find("Depositi", "Deposito", "Negozio")));
  Add("Clienti", {{"Codice", S("C1")}, {"RagioneSociale", S("Rossi")}, {"Città", roma}});
  Add("Articoli", {{"Codice", S("A1")}, {"Deposito", magazzino}});

  struct Case {
    const char* what;
    const char* table;
    engine::FieldValues values;
    bool refused;
    const char* names;  // the fields the message names
  } cases[] = {
      {"VAT code of a default row", "CodiciIva", {{"Codice", S("iva20")}}, true, "Codice"},
      {"base price list", "Listini", {{"Descrizione", S("< BASE >")}}, true, "Descrizione"},
      {"subject name, address and town",
       "Fornitori",
       {{"Codice", S("F1")}, {"RagioneSociale", S("Rossi")}, {"Città", roma}},
       true,
       "RagioneSociale, Indirizzo, Città"},
      {"same name in another town",
       "Fornitori",
       {{"Codice", S("F2")}, {"RagioneSociale", S("Rossi")}},
       false,
       ""},
      {"customer code",
       "Clienti",
       {{"Codice", S("C1")}, {"RagioneSociale", S("Bianchi")}},
       true,
       "Codice"},
      {"article code in its deposit",
       "Articoli",
       {{"Codice", S("A1")}, {"Deposito", magazzino}},
       true,
       "Codice, Deposito"},
      {"article code in another deposit",
       "Articoli",
       {{"Codice", S("A1")}, {"Deposito", negozio}},
       false,
       ""},
      {"town with nation, postal code, province",
       "Comuni",
       {{"Descrizione", S("Roma")},
        {"CAP", S("00100")},
        {"Provincia", S("RM")},
        {"Nazione",
         Variant::Double(static_cast<double>(Find("Nazioni", "Descrizione", "Italia")))}},
       true,
       "Descrizione, Nazione, CAP, Provincia"},
      {"barcode prefix", "CodiciBarre", {{"PrefissoCodice", S("")}}, false, ""},
      {"second empty barcode prefix",
       "CodiciBarre",
       {{"PrefissoCodice", S("")}},
       true,
       "PrefissoCodice"},
  };
  for (const auto& c : cases) {
    const int64_t before = conn().Count(c.table);
    try {
      Add(c.table, c.values);
      EXPECT_FALSE(c.refused) << c.what;
      EXPECT_EQ(conn().Count(c.table), before + 1) << c.what;
    } catch (const Error& e) {
      EXPECT_TRUE(c.refused) << c.what << ": " << e.message();
      EXPECT_THAT(
          e.message(),
          HasSubstr(std::string("esiste già un elemento con gli stessi valori di ") + c.names))
          << c.what;
      EXPECT_EQ(conn().Count(c.table), before) << c.what;
    }
  }
}

TEST_F(RegistriesTest, NewBarcodeLayoutReadsAThirteenDigitCodeFromTheStart) {
  Attach();
  auto layout = Add("CodiciBarre", {{"PrefissoCodice", S("2")}});
  EXPECT_EQ(layout.Get("PosizioneCodice").ToInt64(), 1);
  EXPECT_EQ(layout.Get("LunghezzaCodice").ToInt64(), 13);
  for (const char* none : {"PosizioneQuantita", "LunghezzaQuantita", "PosizioneImporto",
                           "LunghezzaImporto", "CoefficienteValuta"})
    EXPECT_EQ(layout.Get(none).ToDouble(), 0.0) << none;
  EXPECT_FALSE(layout.Get("ConversioneValuta").AsBoolean());
}

TEST_F(RegistriesTest, ReattachingACurrentArchiveWritesNoRow) {
  Attach();
  // A default row the person removed must not come back.
  ASSERT_TRUE(conn().GetRow("TipiPorto", Find("TipiPorto", "Descrizione", "Franco"))->Delete());
  std::map<std::string, int64_t> counts;
  for (const auto& t : conn().catalog().tables()) counts[t->name] = conn().Count(t->name);
  Attach();
  for (const auto& [table, count] : counts) EXPECT_EQ(conn().Count(table), count) << table;
  EXPECT_EQ(Find("TipiPorto", "Descrizione", "Franco"), -1);
}

TEST_F(RegistriesTest, UpgradeFromAnOlderTableAddsOnlyTheMissingNamedRows) {
  Attach();
  struct Case {
    const char* table;
    double storedVersion;
    std::vector<std::string> removed;
    std::vector<std::string> after;  // "Descrizione" of the rows once upgraded, sorted
  } cases[] = {
      {"CategorieSoggetti",
       1.0,
       {"S.R.L.", "AZIENDA"},
       {"", "AZIENDA", "IMPRESA INDIVIDUALE", "PRIVATO", "S.N.C.", "S.P.A.", "S.R.L."}},
      // From 1.1 on the named categories are the person's: removed ones stay removed.
      {"CategorieSoggetti",
       1.1,
       {"S.N.C."},
       {"", "AZIENDA", "IMPRESA INDIVIDUALE", "PRIVATO", "S.P.A.", "S.R.L."}},
      {"TipiTrasporto",
       1.1,
       {"Reso a Cliente"},
       {"Carico da Fornitore (d.d.t.)", "Documento di Trasporto / Bolla", "Reso a Cliente"}},
      {"TipiTrasporto",
       1.2,
       {"Reso a Cliente"},
       {"Carico da Fornitore (d.d.t.)", "Documento di Trasporto / Bolla"}},
  };
  for (const auto& c : cases) {
    for (const auto& name : c.removed)
      ASSERT_TRUE(conn().GetRow(c.table, Find(c.table, "Descrizione", name))->Delete()) << name;
    conn().Execute("UPDATE \"Sys_Tables\" SET \"Version\"=" + std::to_string(c.storedVersion) +
                   " WHERE \"Name\"='" + c.table + "'");
    Attach();
    auto names = Lines(c.table, {"Descrizione"});
    std::sort(names.begin(), names.end());
    EXPECT_THAT(names, ElementsAreArray(c.after)) << c.table << " " << c.storedVersion;
  }
}

}  // namespace
}  // namespace tillbook::data
