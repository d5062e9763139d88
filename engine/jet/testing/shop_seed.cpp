#include "engine/jet/testing/shop_seed.h"

#include <string>

#include "base/money.h"

namespace tillbook::jet::testing {
namespace {

Variant S(const char* s) {
  return Variant::String(s);
}
Variant I(int v) {
  return Variant::Long(v);
}
Variant N(double v) {
  return Variant::Double(v);
}
Variant B(bool v) {
  return Variant::Boolean(v);
}
Variant M(const char* amount) {
  return Variant::Currency(*Money::Parse(amount));
}
Variant D(int y, int m, int d) {
  return Variant::Date(*DateTime::FromParts(y, m, d));
}

}  // namespace

void SeedShop(TestDatabase& db) {
  db.Insert("Nazioni", 1, {{"Descrizione", S("Italia")}});
  db.Insert("Comuni", 1,
            {{"Descrizione", S("Roma")},
             {"CAP", S("00100")},
             {"Provincia", S("RM")},
             {"OID_Nazione", I(1)}});
  db.Insert("Comuni", 2,
            {{"Descrizione", S("Città di Castello")},
             {"CAP", S("06012")},
             {"Provincia", S("PG")},
             {"OID_Nazione", I(1)}});
  db.Insert("Comuni", 3,
            {{"Descrizione", S("Milano")},
             {"CAP", S("20100")},
             {"Provincia", S("MI")},
             {"OID_Nazione", I(1)}});
  db.Insert("Listini", 1, {{"Descrizione", S("< BASE >")}});
  db.Insert("TipiPagamento", 1,
            {{"Descrizione", S("CONTANTI")}, {"Codice", S("CON")}, {"Modalità", I(1)}});
  db.Insert("TipiPagamento", 2,
            {{"Descrizione", S("RI.BA. 30/60/90")}, {"Codice", S("RB")}, {"Modalità", I(5)}});
  db.Insert("TipiDocumento", 1, {{"Descrizione", S("FATTURA")}, {"Abilitato", B(true)}});
  db.Insert("TipiDocumento", 2, {{"Descrizione", S("SCONTRINO FISCALE")}, {"Abilitato", B(true)}});
  db.Insert("Causali", 1, {{"Descrizione", S("VENDITA")}, {"Reso", B(false)}});
  db.Insert("Causali", 2, {{"Descrizione", S("RESO")}, {"Reso", B(true)}});
  db.Insert("TipiTrasporto", 1,
            {{"Descrizione", S("Documento di Trasporto / Bolla")}, {"Abbreviazione", S("D.d.T.")}});
  db.Insert("Banche", 1200,
            {{"Nome", S("Banca Uno")},
             {"BancaPropria", B(true)},
             {"ABI", S("01234")},
             {"CAB", S("05678")}});
  db.Insert("Banche", 1201, {{"Nome", S("Banca Due")}, {"BancaPropria", B(false)}});

  db.Insert("Clienti", 10,
            {{"RagioneSociale", S("Rossi Mario")},
             {"Codice", S("ROSSI")},
             {"Indirizzo", S("Via Roma 1")},
             {"OID_Città", I(1)},
             {"OID_CittàSpedizione", I(3)},
             {"OID_TipoPagamentoAbituale", I(1)},
             {"TotaleVenduto", M("130")}});
  db.Insert("Clienti", 11,
            {{"RagioneSociale", S("Bianchi Srl")},
             {"Codice", S("BIANCHI")},
             {"OID_Città", I(2)},
             {"OID_BancaDiAppoggio", I(1201)}});
  db.Insert("Clienti", 12, {{"RagioneSociale", S("Àlfa Snc")}, {"Codice", S("alfa")}});
  db.Insert(
      "Fornitori", 20,
      {{"RagioneSociale", S("Verdi Forniture")}, {"Codice", S("VERDI")}, {"OID_Città", I(3)}});
  db.Insert("Fornitori", 21, {{"RagioneSociale", S("Neri SpA")}, {"Codice", S("NERI")}});
  db.Insert("Vettori", 30, {{"RagioneSociale", S("Corriere Espresso")}, {"Codice", S("CE")}});

  db.Insert("CodiciIva", 1,
            {{"Codice", S("IVA20")}, {"Descrizione", S("IVA al 20%")}, {"Percentuale", N(20)}});
  db.Insert("CodiciIva", 2,
            {{"Codice", S("IVA10")}, {"Descrizione", S("IVA al 10%")}, {"Percentuale", N(10)}});
  db.Insert("Settori", 1, {{"Descrizione", S("Ferramenta")}, {"Codice", S("FER")}});
  db.Insert("Settori", 2, {{"Descrizione", S("Vernici")}, {"Codice", S("VER")}});

  auto article = [&](int oid, const char* code, const char* description, double quantity,
                     int minimum, const char* price, const char* cost, int vat, int sector,
                     double unloaded, double loaded) {
    db.Insert("Articoli", oid,
              {{"Codice", S(code)},
               {"Descrizione", S(description)},
               {"Quantità", N(quantity)},
               {"ScortaMinima", I(minimum)},
               {"PrezzoVendita", M(price)},
               {"PrezzoAcquistoMedio", M(cost)},
               {"OID_IVA", I(vat)},
               {"OID_Settore", I(sector)},
               {"QuantitàTotaleScarichi", N(unloaded)},
               {"QuantitàTotaleCarichi", N(loaded)},
               {"DataInserimento", D(2024, 1, 10)}});
  };
  article(100, "ART001", "Martello", 5, 10, "12.50", "6.00", 1, 1, 3, 8);
  article(101, "ART002", "Cacciavite", 0, 0, "0", "1.00", 1, 1, 2, 2);
  article(102, "ART003", "Vernice bianca", 20, 5, "7.05", "3.50", 2, 2, 1, 21);
  article(103, "ART004", "Pennello", -2, 1, "2.35", "1.10", 1, 2, 2, 0);
  article(104, "art005", "Chiodi", 0, 0, "0.10", "0.02", 1, 1, 0, 0);
  db.Insert("ArticoliLiberi", 150,
            {{"Descrizione", S("Servizio posa")},
             {"Quantità", N(1)},
             {"PrezzoVendita", M("50")},
             {"PrezzoAcquisto", M("20")},
             {"OID_IVA", I(1)}});
  db.Insert("CodiciBarre", 160, {{"PrefissoCodice", S("2")}, {"PosizioneCodice", I(2)}});
  db.Insert("CodiciBarre", 161, {{"PrefissoCodice", S("P")}, {"PosizioneCodice", I(1)}});
  db.Insert("DettagliPrezziFornitori", 200,
            {{"OIDOwner_Articoli_DatiFornitori", I(100)},
             {"OID_Fornitore", I(20)},
             {"PrezzoAcquisto", M("6.00")},
             {"PrezzoAcquistoMedio", M("5.80")}});
  db.Insert("DettagliPrezziFornitori", 201,
            {{"OIDOwner_Articoli_DatiFornitori", I(100)},
             {"OID_Fornitore", I(21)},
             {"PrezzoAcquisto", M("6.50")}});
  db.Insert("DettagliPrezziFornitori", 202,
            {{"OIDOwner_Articoli_DatiFornitori", I(102)},
             {"OID_Fornitore", I(20)},
             {"PrezzoAcquisto", M("3.50")}});
  db.Insert("CodiciCorrelati", 300, {{"Codice", S("EAN8001")}});
  db.Insert("CodiciCorrelati", 301, {{"Codice", S("EAN8002")}});
  db.Link("Articoli", "CodiciCorrelati", 100, 300);
  db.Link("Articoli", "CodiciCorrelati", 102, 301);

  // Sales: 15 March (today), 31 March (last day of the month), 1 April, 29 February.
  db.Insert("Vendite", 400,
            {{"Data", D(2024, 3, 15)},
             {"Numero", I(1)},
             {"OID_Cliente", I(10)},
             {"OID_TipoDocumento", I(1)},
             {"OID_Causale", I(1)},
             {"ImportoTotale", M("100")},
             {"ImportoTotaleIVA", M("20")},
             {"OID_Pagamento", I(500)}});
  db.Insert("Vendite", 401,
            {{"Data", D(2024, 3, 31)},
             {"Numero", I(2)},
             {"OID_Cliente", I(11)},
             {"OID_TipoDocumento", I(2)},
             {"ImportoTotale", M("50")},
             {"ImportoTotaleIVA", M("5")}});
  db.Insert("Vendite", 402,
            {{"Data", D(2024, 4, 1)},
             {"Numero", I(3)},
             {"OID_Cliente", I(10)},
             {"OID_TipoDocumento", I(1)},
             {"ImportoTotale", M("10")}});
  db.Insert("VenditeAccompagnatorie", 403,
            {{"Data", D(2024, 2, 29)},
             {"Numero", I(4)},
             {"OID_Cliente", I(12)},
             {"OID_TipoDocumento", I(1)},
             {"ImportoTotale", M("1")},
             {"OID_Vettore", I(30)},
             {"Spedito", B(true)}});
  auto saleRow = [&](int oid, int sale, int art, const char* code, double quantity,
                     const char* price, const char* cost, const char* amount, const char* vat,
                     int vatCode) {
    db.Insert("DettagliVendite", oid,
              {{"OIDOwner_Vendite_Dettagli", I(sale)},
               {"OID_Articoli", I(art)},
               {"Codice", S(code)},
               {"QuantitàScarico", N(quantity)},
               {"PrezzoVendita", M(price)},
               {"PrezzoAcquistoMedio", M(cost)},
               {"Importo", M(amount)},
               {"ImportoIVA", M(vat)},
               {"OID_IVA", I(vatCode)},
               {"Riferimento", S("")}});
  };
  saleRow(600, 400, 100, "ART001", 2, "12.50", "6.00", "25.00", "5.00", 1);
  saleRow(601, 400, 102, "ART003", 1, "7.05", "3.50", "7.05", "0.71", 2);
  saleRow(602, 401, 100, "ART001", 1, "12.50", "6.00", "12.50", "2.50", 1);
  saleRow(603, 402, 101, "ART002", 2, "2.00", "1.00", "4.00", "0.80", 1);

  db.Insert("PagamentiCliente", 500,
            {{"OID_Cliente", I(10)},
             {"Documento", S("1")},
             {"DataDocumento", D(2024, 3, 15)},
             {"Importo", M("120")},
             {"Saldato", B(false)},
             {"OID_TipoPagamento", I(2)}});
  db.Insert("PagamentiCliente", 501,
            {{"OID_Cliente", I(11)},
             {"Documento", S("2")},
             {"DataDocumento", D(2024, 3, 31)},
             {"Importo", M("55")},
             {"Saldato", B(true)}});
  auto instalment = [&](int oid, int owner, int number, Variant due, bool paid, bool check,
                        bool unpaid, int mode) {
    db.Insert("DettagliPagamentiCliente", oid,
              {{"OIDOwner_PagamentiCliente_Dettagli", I(owner)},
               {"NumeroRata", I(number)},
               {"Importo", M("40")},
               {"DataScadenza", due},
               {"Pagato", B(paid)},
               {"DaVerificare", B(check)},
               {"Insoluto", B(unpaid)},
               {"Modalità", I(mode)}});
  };
  instalment(510, 500, 1, D(2024, 3, 10), true, false, false, 6);
  instalment(511, 500, 2, D(2024, 4, 10), false, true, false, 6);
  instalment(512, 500, 3, Variant::Null(), false, false, true, 6);
  instalment(513, 501, 1, D(2024, 3, 14), false, false, false, 1);

  db.Insert("Forniture", 700,
            {{"OID_TipoDocumento", I(1)},
             {"Documento", S("F-1")},
             {"Data", D(2024, 3, 1)},
             {"OID_Fornitore", I(20)},
             {"OID_Pagamento", I(710)},
             {"ImportoTotale", M("60")},
             {"ImportoTotaleIVA", M("12")}});
  db.Insert("Forniture", 701,
            {{"Documento", S("F-2")},
             {"Data", D(2024, 3, 20)},
             {"OID_Fornitore", I(21)},
             {"ImportoTotale", M("46.50")},
             {"ImportoTotaleIVA", M("8")}});
  auto loadRow = [&](int oid, int load, int art, double quantity, const char* amount,
                     const char* charges) {
    db.Insert("DettagliForniture", oid,
              {{"OIDOwner_Forniture_Dettagli", I(load)},
               {"OID_Articoli", I(art)},
               {"QuantitàCarico", N(quantity)},
               {"Importo", M(amount)},
               {"ImportoParzialeOneri", M(charges)}});
  };
  loadRow(720, 700, 100, 10, "60", "2");
  loadRow(721, 701, 100, 5, "32.50", "1");
  loadRow(722, 701, 102, 4, "14", "0");
  db.Insert("AcquistoFornitori", 710,
            {{"OID_Fornitore", I(20)},
             {"Documento", S("F-1")},
             {"DataDocumento", D(2024, 3, 1)},
             {"Importo", M("73.20")},
             {"Saldato", B(false)},
             {"OID_TipoPagamento", I(2)}});
  db.Insert("AcquistoFornitori", 711,
            {{"OID_Fornitore", I(21)}, {"Importo", M("10")}, {"Saldato", B(true)}});
  db.Insert("DettagliAcquistoFornitori", 730,
            {{"OIDOwner_AcquistoFornitori_Dettagli", I(710)},
             {"NumeroRata", I(1)},
             {"Pagato", B(false)},
             {"DataScadenza", D(2024, 3, 10)}});
  db.Insert("DettagliAcquistoFornitori", 731,
            {{"OIDOwner_AcquistoFornitori_Dettagli", I(710)},
             {"NumeroRata", I(2)},
             {"Pagato", B(true)},
             {"DataScadenza", D(2024, 3, 20)}});

  auto order = [&](int oid, int number, int kind, bool done, Variant validUntil) {
    db.Insert("OrdiniClienti", oid,
              {{"Numero", I(number)},
               {"Tipologia", I(kind)},
               {"Evaso", B(done)},
               {"DataFineValidità", validUntil},
               {"OID_Cliente", I(10)},
               {"Data", D(2024, 3, 1)}});
  };
  order(800, 1, 0, false, D(2024, 3, 14));
  order(801, 2, 0, true, D(2024, 3, 1));
  order(802, 3, 1, false, D(2024, 3, 15));
  order(803, 4, 2, false, Variant::Null());
  db.Insert("DettagliOrdiniClienti", 810,
            {{"OIDOwner_OrdiniClienti_Dettagli", I(800)},
             {"OID_Articoli", I(100)},
             {"QuantitàOrdine", N(5)},
             {"QuantitàScaricata", N(2)}});
  db.Insert("DettagliOrdiniClienti", 811,
            {{"OIDOwner_OrdiniClienti_Dettagli", I(800)},
             {"OID_Articoli", I(100)},
             {"QuantitàOrdine", N(3)},
             {"QuantitàScaricata", N(3)}});
  db.Link("OrdiniClienti", "VenditeAssociate", 801, 400);
  db.Insert("OrdiniFornitori", 850, {{"Numero", I(1)}, {"Evaso", B(false)}});
  db.Insert("OrdiniFornitori", 851, {{"Numero", I(2)}, {"Evaso", B(true)}});

  auto transport = [&](const char* table, int oid, int number, Variant date, int subject,
                       bool done) {
    const char* link = std::string(table) == "TrasportiClienti" ? "OID_Cliente" : "OID_Fornitore";
    db.Insert(table, oid,
              {{"Numero", I(number)},
               {"Data", date},
               {link, I(subject)},
               {"Evaso", B(done)},
               {"OID_TipoTrasporto", I(1)}});
  };
  transport("TrasportiClienti", 900, 1, D(2024, 3, 5), 10, false);
  transport("TrasportiClienti", 901, 2, D(2024, 3, 20), 11, true);
  transport("TrasportiClienti", 902, 3, D(2024, 4, 2), 10, false);
  transport("TrasportiFornitori", 950, 1, D(2024, 3, 7), 20, false);
  transport("TrasportiFornitori", 951, 2, D(2024, 3, 9), 21, true);
  db.Insert("DettagliDDTFornitori", 960,
            {{"OIDOwner_TrasportiFornitori_Dettagli", I(950)},
             {"OID_Articoli", I(100)},
             {"QuantitàTrasporto", N(6)},
             {"QuantitàCaricata", N(1)}});

  auto movement = [&](int oid, Variant inserted, int type, const char* amount, Variant moved,
                      const char* text, Variant subject) {
    db.Insert("PrimaNota", oid,
              {{"DataInserimento", inserted},
               {"Tipo", I(type)},
               {"ImportoMovimento", M(amount)},
               {"DataMovimento", moved},
               {"Descrizione", S(text)},
               {"OID_Soggetto", subject}});
  };
  movement(1000, D(2024, 3, 15), 1, "120", D(2024, 3, 15), "FATTURA 1", I(10));
  movement(1001, D(2024, 3, 16), -1, "73.20", D(2024, 3, 1), "FORNITURA F-1", I(20));
  movement(1002, D(2024, 3, 16), 2, "5.50", D(2024, 3, 16), "INCASSO EXTRA", Variant::Null());
  movement(1003, D(2024, 4, 1), -2, "1", D(2024, 4, 1), "SPESA", Variant::Null());

  db.Insert("TabProspettiStampa", 1100,
            {{"NomeTabellaOrigine", S("Vendite")},
             {"NomeReference", S("")},
             {"NomeProspetto", S("Fattura")}});
  db.Insert("TabProspettiStampa", 1101,
            {{"NomeTabellaOrigine", S("Vendite")},
             {"NomeReference", S("Dettagli")},
             {"NomeProspetto", S("Righe")}});
}

}  // namespace tillbook::jet::testing
