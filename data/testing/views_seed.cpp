// The seeded archive of the view tests (views_seed.h): rows in every table the views read.
// Built once per test binary, so that each view test file reads the same rows.
#include "data/testing/views_seed.h"

#include <unistd.h>

#include <memory>
#include <set>
#include <vector>
#include <tuple>

#include "base/error.h"
#include "data/DB.h"
#include "engine/dataset.h"

namespace tillbook::data::views {

platform::FixedClock* ViewsTest::clock_ = nullptr;
std::filesystem::path* ViewsTest::dir_ = nullptr;
engine::Connection* ViewsTest::conn_ = nullptr;
engine::Database* ViewsTest::db_ = nullptr;
std::map<std::string, int64_t>* ViewsTest::ids_ = nullptr;

void ViewsTest::SetUpTestSuite() {
  clock_ = new platform::FixedClock(kNow);
  platform::SetCurrentClockForTesting(clock_);
  dir_ = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                   ("tillbook-views-" + std::to_string(::getpid())));
  std::filesystem::remove_all(*dir_);
  std::filesystem::create_directories(*dir_);
  conn_ = new engine::Connection();
  conn_->Create((*dir_ / "Tillbook.mdb").string());
  TableSwitches switches;  // orders and free rows on
  db_ = new engine::Database(std::make_unique<DB>(switches), "Tillbook");
  db_->Attach(*conn_);
  ids_ = new std::map<std::string, int64_t>();
  Seed();
  conn_->Flush();
}

void ViewsTest::TearDownTestSuite() {
  delete db_;
  delete conn_;
  delete ids_;
  std::filesystem::remove_all(*dir_);
  delete dir_;
  platform::SetCurrentClockForTesting(nullptr);
  delete clock_;
}

std::string ViewsTest::Resolve(std::string text) {
  for (size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open)) {
    size_t close = text.find('}', open);
    std::string id = IdText(text.substr(open + 1, close - open - 1));
    text.replace(open, close - open + 1, id);
    open += id.size();
  }
  return text;
}

Texts ViewsTest::Column(const engine::SelectRequest& request, const std::string& column) {
  engine::DataSet ds(conn(), request);
  Texts out;
  for (ds.First(); !ds.IsEOF(); ds.Next()) out.push_back(ds.ColValue(column).ToText());
  return out;
}

Values ViewsTest::Numbers(const engine::SelectRequest& request, const std::string& column) {
  engine::DataSet ds(conn(), request);
  Values out;
  for (ds.First(); !ds.IsEOF(); ds.Next()) {
    Variant v = ds.ColValue(column);
    out.push_back(v.IsNull() ? NAN : v.ToDouble());
  }
  return out;
}

namespace {
// Every value the seed writes, in order: the seed is a picture drawn by hand, which the table
// hooks would otherwise keep in step with the rows (stock, totals, per-supplier data).
std::vector<std::pair<engine::Row, engine::FieldValues>> pictures;
}  // namespace

engine::Row ViewsTest::Add(const std::string& name, const char* table,
                           const engine::FieldValues& values) {
  auto row = conn().AddRow(table, values);
  if (!row) throw Error("riga rifiutata", name);
  (*ids_)[name] = row->Oid();
  pictures.emplace_back(*row, values);
  return *row;
}

void ViewsTest::RedrawPicture() {
  std::set<int64_t> drawnSupplierRows;
  for (auto& [row, values] : pictures)
    if (row.TableName() == "DettagliPrezziFornitori") drawnSupplierRows.insert(row.Oid());
  engine::DataSet data(conn(), {"DettagliPrezziFornitori", "", "", ""});
  std::vector<int64_t> derived;
  for (data.First(); !data.IsEOF(); data.Next())
    if (!drawnSupplierRows.count(data.CurrentOid())) derived.push_back(data.CurrentOid());
  for (int64_t oid : derived)
    if (auto row = conn().GetRow("DettagliPrezziFornitori", oid)) row->Delete();
  // Twice, so a value the hooks derive from another drawn later is drawn again after it.
  for (int pass = 0; pass < 2; ++pass)
    for (auto& [row, values] : pictures)
      for (const auto& [field, value] : values)
        if (row.IsValid() && !row.Set(field, value)) throw Error("valore rifiutato", field);
  pictures.clear();
}

Variant ViewsTest::Existing(const char* table, const char* field, const char* value) {
  auto ids = conn().FindOids(table, field, Text(value));
  if (ids.empty()) throw Error("riga mancante", value);
  return Num(static_cast<double>(ids.front()));
}

void ViewsTest::Set(engine::Row& row, const engine::FieldValues& values) {
  for (const auto& [field, value] : values) {
    if (!row.Set(field, value)) throw Error("valore rifiutato", field);
  }
  pictures.emplace_back(row, values);
}

engine::Row ViewsTest::ArticleRow(engine::Row& document, const char* list, const char* article,
                                  const engine::FieldValues& values) {
  auto base = conn().GetRow("Articoli", Id(article));
  auto row = document.AddListRowFrom(list, *base);
  if (!row) throw Error("riga rifiutata", article);
  Set(*row, values);
  return *row;
}

void ViewsTest::Seed() {
  const Variant iva20 = Existing("CodiciIva", "Codice", "IVA20");
  const Variant iva10 = Existing("CodiciIva", "Codice", "IVA10");
  const Variant fattura = Existing("TipiDocumento", "Descrizione", "FATTURA");
  const Variant scontrino = Existing("TipiDocumento", "Descrizione", "SCONTRINO FISCALE");
  const Variant riba = Existing("TipiPagamento", "Descrizione", "RI.BA. 30/60/90");
  const Variant contanti = Existing("TipiPagamento", "Descrizione", "CONTANTI");
  const Variant ddt = Existing("TipiTrasporto", "Descrizione", "Documento di Trasporto / Bolla");
  (*ids_)["ddt"] = static_cast<int64_t>(ddt.ToDouble());
  (*ids_)["fattura"] = static_cast<int64_t>(fattura.ToDouble());
  (*ids_)["scontrino"] = static_cast<int64_t>(scontrino.ToDouble());
  (*ids_)["riba"] = static_cast<int64_t>(riba.ToDouble());

  // Rome is one of the archive's own rows.
  (*ids_)["roma"] = static_cast<int64_t>(Existing("Comuni", "Descrizione", "Roma").ToDouble());
  Add("castello", "Comuni",
      {{"Descrizione", Text("Città di Castello")},
       {"CAP", Text("06012")},
       {"Provincia", Text("PG")}});
  Add("banca", "Banche",
      {{"Nome", Text("Banca Umbra")}, {"ABI", Text("01234")}, {"CAB", Text("56789")}});
  Add("fer", "Settori", {{"Codice", Text("FER")}, {"Descrizione", Text("Ferramenta")}});
  Add("car", "Settori", {{"Codice", Text("CAR")}, {"Descrizione", Text("Cartoleria")}});

  Add("rossi", "Clienti",
      {{"Codice", Text("ROSSI")},
       {"RagioneSociale", Text("Rossi Mario")},
       {"Indirizzo", Text("Via Roma 1")},
       {"PartitaIva", Text("IT0001")},
       {"Città", Ref("roma")}});
  Add("bianchi", "Clienti",
      {{"Codice", Text("BIANCHI")},
       {"RagioneSociale", Text("Bianchi Srl")},
       {"Indirizzo", Text("Piazza Matteotti 2")},
       {"Città", Ref("castello")}});
  Add("alfa", "Clienti", {{"Codice", Text("ALFA")}, {"RagioneSociale", Text("Alfa Spa")}});
  Add("verdi", "Fornitori",
      {{"Codice", Text("VERDI")},
       {"RagioneSociale", Text("Verdi Forniture")},
       {"Città", Ref("roma")}});
  Add("neri", "Fornitori", {{"Codice", Text("NERI")}, {"RagioneSociale", Text("Neri Ingrosso")}});
  Add("vettore", "Vettori",
      {{"Codice", Text("VET1")}, {"RagioneSociale", Text("Trasporti Veloci")}});

  // Articles: in stock and under the minimum, moved without stock, misc (price 0), negative
  // stock, never moved.
  Add("vite", "Articoli",
      {{"Codice", Text("VITE")},
       {"Descrizione", Text("Vite 4x40")},
       {"CodiceRapido", Text("V1")},
       {"Quantità", Num(5)},
       {"ScortaMinima", Int(10)},
       // Costs before the price: the price then gives the markup, not the other way round.
       {"PrezzoAcquistoMedio", Amount("6.00")},
       {"PrezzoAcquisto", Amount("5.50")},
       {"PrezzoVendita", Amount("12.50")},
       {"QuantitàTotaleCarichi", Num(10)},
       {"QuantitàTotaleScarichi", Num(5)},
       {"IVA", iva20},
       {"Settore", Ref("fer")},
       {"DataInserimento", Text("2024-03-20 09:15:00")}});
  Add("chiodo", "Articoli",
      {{"Codice", Text("CHIODO")},
       {"DataInserimento", Text("2024-01-15 08:00:00")},
       {"Descrizione", Text("Chiodi assortiti")},
       {"Quantità", Num(0)},
       {"ScortaMinima", Int(2)},
       {"PrezzoVendita", Amount("0")},
       {"QuantitàTotaleScarichi", Num(3)},
       {"IVA", iva20},
       {"Settore", Ref("fer")}});
  Add("quaderno", "Articoli",
      {{"Codice", Text("QUADERNO")},
       {"Descrizione", Text("Quaderno A4")},
       {"CodiceRapido", Text("Q100")},
       {"Quantità", Num(20)},
       {"ScortaMinima", Int(5)},
       {"PrezzoAcquistoMedio", Amount("3.50")},
       {"PrezzoVendita", Amount("7.05")},
       {"QuantitàTotaleCarichi", Num(20)},
       {"IVA", iva10},
       {"Settore", Ref("car")},
       {"DataInserimento", Text("2024-03-19 23:59:00")}});
  Add("penna", "Articoli",
      {{"Codice", Text("PENNA")},
       {"DataInserimento", Text("2024-01-15 08:00:00")},
       {"Descrizione", Text("Penna blu")},
       {"Quantità", Num(-2)},
       {"ScortaMinima", Int(1)},
       {"PrezzoVendita", Amount("1.00")},
       {"IVA", iva20},
       {"Settore", Ref("car")}});
  Add("gomma", "Articoli",
      {{"Codice", Text("GOMMA")},
       {"DataInserimento", Text("2024-01-15 08:00:00")},
       {"Descrizione", Text("Gomma")},
       {"Quantità", Num(0)},
       {"PrezzoVendita", Amount("0.80")},
       {"IVA", iva20},
       {"Settore", Ref("fer")}});
  auto vite = conn().GetRow("Articoli", Id("vite"));
  auto quaderno = conn().GetRow("Articoli", Id("quaderno"));
  for (auto [article, supplier, price] : {std::tuple{&*vite, "verdi", "6.00"},
                                          {&*vite, "neri", "5.80"},
                                          {&*quaderno, "verdi", "3.50"}}) {
    auto data = article->AddListRow("DatiFornitori");
    Set(*data, {{"PrezzoAcquisto", Amount(price)}, {"PrezzoAcquistoMedio", Amount(price)}});
    data->SetReferenceOid("Fornitore", Id(supplier));
  }
  auto related = Add("correlato", "CodiciCorrelati", {{"Codice", Text("8001234")}});
  vite->AddToList("CodiciCorrelati", related);

  Add("servizio", "ArticoliLiberi",
      {{"Descrizione", Text("Montaggio")},
       {"Quantità", Num(4)},
       {"PrezzoVendita", Amount("12.50")},
       {"PrezzoAcquisto", Amount("5.00")},
       {"IVA", iva20}});
  Add("omaggio", "ArticoliLiberi",
      {{"Descrizione", Text("Omaggio")},
       {"Quantità", Num(0)},
       {"PrezzoVendita", Amount("0")},
       {"QuantitàTotaleScarichi", Num(1)},
       {"IVA", iva20}});

  // Sales: two in March 2024, an accompanying invoice in February, one in December 2023.
  auto sale = [&](const char* name, const char* table, int number, Variant type,
                  const char* customer, const char* date, const char* total, const char* vat) {
    return Add(name, table,
               {{"Numero", Int(number)},
                {"AnnoRiferimento", Int(std::stoi(date))},
                {"TipoDocumento", type},
                {"Cliente", Ref(customer)},
                {"Data", Text(date)},
                {"ImportoTotale", Amount(total)},
                {"ImportoTotaleIVA", Amount(vat)}});
  };
  auto s1 = sale("s1", "Vendite", 1, fattura, "rossi", "2024-03-15", "100.00", "20.00");
  auto s2 = sale("s2", "Vendite", 2, scontrino, "bianchi", "2024-03-20", "50.00", "10.00");
  auto s3 =
      sale("s3", "VenditeAccompagnatorie", 3, fattura, "rossi", "2024-02-28", "30.00", "3.00");
  auto s4 = sale("s4", "Vendite", 4, fattura, "alfa", "2023-12-31", "10.00", "2.00");
  (*ids_)["r1"] = ArticleRow(s1, "Dettagli", "vite",
                             {{"QuantitàScarico", Num(2)}, {"Importo", Amount("25.00")}})
                      .Oid();
  (*ids_)["r2"] = ArticleRow(s1, "Dettagli", "quaderno",
                             {{"QuantitàScarico", Num(1)}, {"Importo", Amount("7.05")}})
                      .Oid();
  (*ids_)["r3"] = ArticleRow(s2, "Dettagli", "vite",
                             {{"QuantitàScarico", Num(1)}, {"Importo", Amount("12.50")}})
                      .Oid();
  (*ids_)["r4"] = ArticleRow(s3, "Dettagli", "quaderno",
                             {{"QuantitàScarico", Num(2)}, {"Importo", Amount("14.10")}})
                      .Oid();
  (*ids_)["r5"] =
      ArticleRow(s4, "Dettagli", "chiodo", {{"QuantitàScarico", Num(3)}, {"Importo", Amount("0")}})
          .Oid();
  auto freeRow = s1.AddListRow("DettagliLiberi");
  Set(*freeRow, {{"Descrizione", Text("Montaggio")},
                 {"QuantitàScarico", Num(1)},
                 {"Importo", Amount("12.50")}});

  // Customer payments: the first sale's is open with an overdue and a paid instalment, the
  // second's is settled with one instalment to check and one unpaid without a due date.
  auto pay1 = s1.NewReferencedRow("Pagamento");
  Set(*pay1, {{"Documento", Text("FT 1")},
              {"DataDocumento", Text("2024-03-15")},
              {"Importo", Amount("120.00")},
              {"Saldato", Flag(false)}});
  pay1->SetReferenceOid("Cliente", Id("rossi"));
  pay1->SetReferenceOid("BancaDiRiferimento", Id("banca"));
  pay1->SetReferenceOid("TipoPagamento", static_cast<int64_t>(riba.ToDouble()));
  (*ids_)["p1"] = pay1->Oid();
  auto pay2 = s2.NewReferencedRow("Pagamento");
  Set(*pay2, {{"Documento", Text("SC 2")},
              {"DataDocumento", Text("2024-03-20")},
              {"Importo", Amount("60.00")},
              {"Saldato", Flag(true)}});
  pay2->SetReferenceOid("Cliente", Id("bianchi"));
  (*ids_)["p2"] = pay2->Oid();
  auto instalment = [&](const char* name, engine::Row& payment, int number,
                        const engine::FieldValues& values) {
    auto row = payment.AddListRow("Dettagli");
    Set(*row, {{"NumeroRata", Int(number)}});
    Set(*row, values);
    (*ids_)[name] = row->Oid();
  };
  instalment("i1", *pay1, 1,
             {{"Importo", Amount("60.00")},
              {"DataScadenza", Text("2024-03-10")},
              {"Modalità", Int(6)},
              {"Pagato", Flag(false)}});
  instalment("i2", *pay1, 2,
             {{"Importo", Amount("60.00")},
              {"DataScadenza", Text("2024-04-10")},
              {"Modalità", Int(6)},
              {"Pagato", Flag(true)}});
  instalment("i3", *pay2, 1,
             {{"Importo", Amount("30.00")},
              {"DataScadenza", Text("2024-03-01")},
              {"Pagato", Flag(true)},
              {"DaVerificare", Flag(true)}});
  instalment("i4", *pay2, 2,
             {{"Importo", Amount("30.00")}, {"Pagato", Flag(false)}, {"Insoluto", Flag(true)}});

  // Loads: one in March (open payment, overdue instalment), one in February (settled).
  auto f1 = Add("f1", "Forniture",
                {{"Documento", Text("B-77")},
                 {"Data", Text("2024-03-12")},
                 {"Fornitore", Ref("verdi")},
                 {"TipoDocumento", fattura},
                 {"ImportoTotale", Amount("60.00")},
                 {"ImportoTotaleIVA", Amount("12.00")}});
  auto f2 = Add("f2", "Forniture",
                {{"Documento", Text("N-5")},
                 {"Data", Text("2024-02-01")},
                 {"Fornitore", Ref("neri")},
                 {"TipoDocumento", scontrino},
                 {"ImportoTotale", Amount("70.00")},
                 {"ImportoTotaleIVA", Amount("7.00")}});
  (*ids_)["c1"] = ArticleRow(f1, "Dettagli", "vite",
                             {{"QuantitàCarico", Num(10)}, {"Importo", Amount("60.00")}})
                      .Oid();
  (*ids_)["c2"] = ArticleRow(f2, "Dettagli", "quaderno",
                             {{"QuantitàCarico", Num(20)}, {"Importo", Amount("70.00")}})
                      .Oid();
  auto sp1 = f1.NewReferencedRow("Pagamento");
  Set(*sp1, {{"Documento", Text("B-77")},
             {"DataDocumento", Text("2024-03-12")},
             {"Importo", Amount("72.00")},
             {"Saldato", Flag(false)}});
  sp1->SetReferenceOid("Fornitore", Id("verdi"));
  sp1->SetReferenceOid("TipoPagamento", static_cast<int64_t>(riba.ToDouble()));
  (*ids_)["sp1"] = sp1->Oid();
  auto sp2 = f2.NewReferencedRow("Pagamento");
  Set(*sp2, {{"Documento", Text("N-5")},
             {"DataDocumento", Text("2024-02-01")},
             {"Importo", Amount("77.00")},
             {"Saldato", Flag(true)}});
  sp2->SetReferenceOid("Fornitore", Id("neri"));
  sp2->SetReferenceOid("TipoPagamento", static_cast<int64_t>(contanti.ToDouble()));
  (*ids_)["sp2"] = sp2->Oid();
  auto supplierInstalment = [&](const char* name, engine::Row& payment, int number, const char* due,
                                bool paid) {
    auto row = payment.AddListRow("Dettagli");
    Set(*row, {{"NumeroRata", Int(number)},
               {"Importo", Amount("36.00")},
               {"DataScadenza", Text(due)},
               {"Pagato", Flag(paid)}});
    (*ids_)[name] = row->Oid();
  };
  supplierInstalment("si1", *sp1, 1, "2024-03-01", false);
  supplierInstalment("si2", *sp1, 2, "2024-04-30", false);
  supplierInstalment("si3", *sp2, 1, "2024-02-01", true);
  // The payment hooks build schedules, follow-ups of unpaid instalments and open amounts of their
  // own; the views read exactly the rows and states written above.
  const auto keep = [&](std::initializer_list<const char*> names) {
    std::string list;
    for (const char* n : names) list += (list.empty() ? "" : ",") + std::to_string(Id(n));
    return list;
  };
  conn().Execute("DELETE FROM \"DettagliPagamentiCliente\" WHERE \"OID\" NOT IN (" +
                 keep({"i1", "i2", "i3", "i4"}) + ")");
  conn().Execute("DELETE FROM \"DettagliAcquistoFornitori\" WHERE \"OID\" NOT IN (" +
                 keep({"si1", "si2", "si3"}) + ")");
  conn().Execute("UPDATE \"PagamentiCliente\" SET \"Saldato\"=(\"OID\"=" +
                 std::to_string(Id("p2")) + ")");
  conn().Execute("UPDATE \"AcquistoFornitori\" SET \"Saldato\"=(\"OID\"=" +
                 std::to_string(Id("sp2")) + ")");

  // Customer orders of the three kinds; the date of validity decides "Scaduti".
  auto order = [&](const char* name, int number, int kind, const char* customer, bool done,
                   const char* validUntil) {
    return Add(name, "OrdiniClienti",
               {{"Numero", Int(number)},
                {"AnnoRiferimento", Int(2024)},
                {"Tipologia", Int(kind)},
                {"Cliente", Ref(customer)},
                {"Data", Text("2024-03-0" + std::to_string(number))},
                {"Evaso", Flag(done)},
                {"DataFineValidità", Text(validUntil)}});
  };
  auto o1 = order("o1", 1, 0, "rossi", false, "2024-03-20");  // expired at 10:30 today
  order("o2", 2, 0, "bianchi", true, "2024-01-31");
  order("o3", 3, 1, "rossi", false, "2024-04-30");
  order("o4", 4, 2, "alfa", false, "2024-01-31");
  order("o5", 5, 1, "bianchi", true, "2024-04-30");
  (*ids_)["or1"] = ArticleRow(o1, "Dettagli", "vite",
                              {{"QuantitàOrdine", Num(5)}, {"QuantitàScaricata", Num(2)}})
                       .Oid();
  (*ids_)["or2"] = ArticleRow(o1, "Dettagli", "quaderno",
                              {{"QuantitàOrdine", Num(3)}, {"QuantitàScaricata", Num(3)}})
                       .Oid();
  auto supplierOrder = [&](const char* name, int number, const char* supplier, bool done) {
    Add(name, "OrdiniFornitori",
        {{"Numero", Int(number)},
         {"AnnoRiferimento", Int(2024)},
         {"Fornitore", Ref(supplier)},
         {"Data", Text("2024-03-11")},
         {"Evaso", Flag(done)}});
  };
  supplierOrder("of1", 1, "verdi", false);
  supplierOrder("of2", 2, "neri", true);

  // Transport documents; customer and supplier documents share the numbering of a type.
  auto transport = [&](const char* name, const char* table, const char* party,
                       const char* partyName, int number, const char* date, bool done) {
    return Add(name, table,
               {{"Numero", Int(number)},
                {"AnnoRiferimento", Int(std::stoi(date))},
                {"TipoTrasporto", ddt},
                {party, Ref(partyName)},
                {"Data", Text(date)},
                {"Evaso", Flag(done)},
                {"ImportoTotale", Amount("10.00")}});
  };
  auto t1 = transport("t1", "TrasportiClienti", "Cliente", "rossi", 1, "2024-03-05", false);
  transport("t2", "TrasportiClienti", "Cliente", "bianchi", 2, "2024-03-18", true);
  transport("t3", "TrasportiClienti", "Cliente", "rossi", 3, "2024-02-10", false);
  transport("t6", "TrasportiClienti", "Cliente", "bianchi", 6, "2024-03-09", false);
  transport("t4", "TrasportiFornitori", "Fornitore", "verdi", 4, "2024-03-07", false);
  transport("t5", "TrasportiFornitori", "Fornitore", "neri", 5, "2024-03-08", true);
  ArticleRow(t1, "Dettagli", "vite",
             {{"QuantitàTrasporto", Num(2)}, {"QuantitàScaricata", Num(0)}});

  // Cash book: one movement of each kind, the last outside the listed days.
  auto movement = [&](const char* name, const char* date, int kind, const char* amount,
                      const char* text, const char* subject) {
    engine::FieldValues v = {{"DataInserimento", Text(date)},
                             {"DataMovimento", Text(date)},
                             {"Tipo", Int(kind)},
                             {"ImportoMovimento", Amount(amount)},
                             {"Descrizione", Text(text)}};
    if (subject) v.push_back({"Soggetto", Ref(subject)});
    Add(name, "PrimaNota", v);
  };
  movement("m1", "2024-03-15", 1, "120.00", "Incasso FT 1", "rossi");
  movement("m2", "2024-03-16", -1, "73.20", "Pagamento B-77", "verdi");
  movement("m3", "2024-03-16", 2, "5.50", "Versamento", nullptr);
  movement("m4", "2024-03-18", -2, "10.00", "Prelievo", nullptr);

  // Report layouts and a barcode layout, for the filters of the print driver and the reader.
  auto layout = [&](const char* name, const char* table, const char* reference,
                    const char* report) {
    Add(name, "TabProspettiStampa",
        {{"NomeTabellaOrigine", Text(table)},
         {"NomeReference", Text(reference)},
         {"NomeProspetto", Text(report)}});
  };
  layout("lay1", "Vendite", "", "Fattura");
  layout("lay2", "Vendite", "Cliente", "Scheda cliente");
  layout("lay3", "DettagliVendite", "Settore", "Righe per settore");
  layout("lay4", "Articoli", "", "Etichette");
  Add("bar2", "CodiciBarre", {{"PrefissoCodice", Text("2")}, {"LunghezzaCodice", Int(7)}});
  RedrawPicture();
}

}  // namespace tillbook::data::views
