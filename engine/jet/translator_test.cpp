#include "engine/jet/translator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/jet/jet_error.h"
#include "engine/jet/sqlite_dialect.h"
#include "engine/jet/testing/shop_catalog.h"
#include "engine/jet/testing/shop_seed.h"

namespace tillbook::jet {
namespace {

using testing::ShopCatalog;
using testing::ShopNow;
using testing::TestDatabase;
using Oids = std::vector<std::string>;

class TranslatorTest : public ::testing::Test {
 protected:
  TranslatorTest() : db_(ShopCatalog()), translator_(ShopCatalog(), dialect_) {
    testing::SeedShop(db_);
  }
  Translation T(const std::string& table, const std::string& filter, const std::string& fields = "",
                const std::string& sort = "") {
    return translator_.Translate({table, filter, fields, sort}, ShopNow());
  }
  Oids Rows(const std::string& table, const std::string& filter, const std::string& fields = "",
            const std::string& sort = "") {
    return db_.Column(T(table, filter, fields, sort), "OID");
  }
  std::vector<std::string> Values(const std::string& table, const std::string& fields,
                                  const std::string& column, const std::string& filter = "",
                                  const std::string& sort = "") {
    return db_.Column(T(table, filter, fields, sort), column);
  }

  TestDatabase db_;
  SqliteDialect dialect_;
  Translator translator_;
};

struct FilterCase {
  const char* table;
  const char* filter;
  Oids oids;
};

// Semantics of the dialect, each checked by the rows the database returns.
const FilterCase kFilterCases[] = {
    // Texts: either quote, doubled quotes, case-insensitive and accent-sensitive equality.
    {"Articoli", "Codice = \"ART001\"", {"100"}},
    {"Articoli", "Descrizione = 'vernice BIANCA'", {"102"}},
    {"Comuni", "Descrizione = 'CITTÀ DI CASTELLO'", {"2"}},
    {"Comuni", "Descrizione = 'Citta di Castello'", {}},
    {"Clienti", "RagioneSociale = 'àlfa snc'", {"12"}},
    {"Articoli", "Descrizione = 'dell''Angolo' Or Codice = 'ART002'", {"101"}},
    {"Articoli", "Codice In ('art001', 'ART003')", {"100", "102"}},
    {"Articoli", "Codice Not In ('art001', 'ART003')", {"101", "103", "104"}},
    {"Clienti", "RagioneSociale > 'b' And RagioneSociale < 'C'", {"11"}},
    // Yes/no: True is -1 as a number.
    {"OrdiniClienti", "Evaso = True", {"801"}},
    {"OrdiniClienti", "Evaso = -1", {"801"}},
    {"OrdiniClienti", "Evaso = 1", {}},
    {"OrdiniClienti", "Evaso <> False And Tipologia = 0", {"801"}},
    {"Banche", "BancaPropria=True", {"1200"}},
    {"DettagliPagamentiCliente", "Pagato Xor DaVerificare", {"510", "511"}},
    {"DettagliPagamentiCliente", "Not Pagato And Insoluto Or DaVerificare", {"511", "512"}},
    {"DettagliPagamentiCliente", "Not (Pagato Or DaVerificare)", {"512", "513"}},
    // Amounts compare exactly on the stored ten-thousandths.
    {"Articoli", "PrezzoVendita = 7.05", {"102"}},
    {"Articoli", "PrezzoVendita * 3 = 21.15", {"102"}},
    {"Articoli", "PrezzoVendita Between 2.35 And 7.05", {"102", "103"}},
    {"Articoli", "PrezzoVendita Not Between 2.35 And 7.05", {"100", "101", "104"}},
    {"Articoli", "-PrezzoVendita < -7", {"100", "102"}},
    {"Articoli", "PrezzoVendita > -0.5 And PrezzoVendita < 0.2", {"101", "104"}},
    {"Articoli", "PrezzoVendita - PrezzoAcquistoMedio = 6.5", {"100"}},
    {"Articoli", "PrezzoVendita / 2 > 3.5", {"100", "102"}},
    {"Articoli", "PrezzoVendita In (0.1, 2.35)", {"103", "104"}},
    {"Articoli", "PrezzoVendita > 1E1 And PrezzoVendita <= 1.25E1", {"100"}},
    // Numbers: '/' never truncates, a zero divisor gives no value.
    {"Articoli", "ScortaMinima / 4 = 2.5", {"100"}},
    {"Articoli", "Quantità / ScortaMinima > 1", {"102"}},
    {"Articoli", "Int(-Quantità / 4) = -2", {"100"}},
    {"Articoli", "Abs(Quantità) = 2", {"103"}},
    {"Articoli", "2 ^ 3 = ScortaMinima - 2", {"100"}},
    {"Articoli", "-2 ^ 2 = -4 And Quantità = 5", {"100"}},
    {"Articoli", "Quantità Mod 3 = 2", {"100", "102"}},
    {"DettagliOrdiniClienti", "QuantitàOrdine-QuantitàScaricata>0", {"810"}},
    // Dates: stored at midnight; Now has a time, Date has not.
    {"OrdiniClienti", "DataFineValidità < Now", {"800", "801", "802"}},
    {"OrdiniClienti", "DataFineValidità < Date()", {"800", "801"}},
    {"OrdiniClienti", "DataFineValidità = #3/15/2024#", {"802"}},
    {"OrdiniClienti", "DataFineValidità = #2024-03-15#", {"802"}},
    {"OrdiniClienti", "DataFineValidità Is Null", {"803"}},
    {"OrdiniClienti", "Day(DataFineValidità) = 14", {"800"}},
    {"Vendite", "Data + 1 = #03/16/2024#", {"400"}},
    {"Vendite", "#04/02/2024# - Data < 3", {"401", "402"}},
    {"Vendite", "Month(Data)=3 AND Year(Data)=2024", {"400", "401"}},
    {"Vendite", "2024 = Year(Data) AND Numero > 1 AND 3 = Month(Data)", {"401"}},
    {"Vendite", "Year(Data) = 2024 And Month(Data) = 13", {}},
    {"Vendite", "Year(Data) = 2023 Or Numero = 4", {"403"}},
    {"Vendite", "Not Year(Data) = 2024", {}},
    {"DettagliVendite", "Month(Vendite.Data) = 2 And Year(Vendite.Data) = 2024", {}},
    {"DettagliVendite", "Month(Vendite.Data) = 4 And Year(Vendite.Data) = 2024", {"603"}},
    // Null: comparisons with Null select nothing; Is Null tests it.
    {"OrdiniClienti", "DataFineValidità = Null", {}},
    {"DettagliPagamentiCliente", "DataScadenza <> #03/10/2024#", {"511", "513"}},
    // Like: * ? # and groups; % and _ are plain characters.
    {"Articoli", "Descrizione Like '*VERNICE*'", {"102"}},
    {"Articoli", "Codice Like 'art00#'", {"100", "101", "102", "103", "104"}},
    {"Articoli", "Codice Like 'ART00[1-2]'", {"100", "101"}},
    {"Articoli", "Codice Not Like 'ART00[!1-2]'", {"100", "101"}},
    {"Articoli", "Descrizione Like 'M?rtello'", {"100"}},
    {"Articoli", "Descrizione Like '*5_%*'", {}},
    {"Vendite", "Cliente Like 'ROS*'", {"400", "402"}},
    {"Vendite", "Numero Like '2'", {"401"}},
    // '&' joins texts and numbers; Null counts as empty.
    {"Articoli", "Codice & '-' & ScortaMinima = 'ART001-10'", {"100"}},
    {"Articoli", "Note & Codice = 'ART003'", {"102"}},
    {"Articoli", "Len(Codice)>5 And Left(Descrizione, 3) = 'Mar'", {"100"}},
    {"Articoli", "Mid(Descrizione, 2, 3) = 'ern'", {"102"}},
    {"Articoli", "Right(Codice, 1) = '5'", {"104"}},
    {"Articoli", "UCase(Codice) = 'ART005' And LCase(Codice) = 'art005'", {"104"}},
    {"Clienti", "UCase(RagioneSociale) Like 'ÀLFA*'", {"12"}},
    {"Articoli", "InStr(Descrizione, 'BIANCA') = 9 And InStr(4, Codice, 't0') = 0", {"102"}},
    {"Articoli", "InStr(2, Codice, 'r') = 2 And Quantità > 10", {"102"}},
    {"Articoli", "LTrim('  a') & RTrim('b  ') & Trim(' c ') = 'abc' And Quantità > 10", {"102"}},
    {"Vendite",
     "Weekday(Data) = 6 And Hour(Data) = 0 And Minute(Data) = 0 And Second(Data) = 0",
     {"400"}},
    {"OrdiniClienti", "Evaso = Yes", {"801"}},
    {"OrdiniClienti", "Evaso = No And Tipologia = 0", {"800"}},
    {"Articoli", "IIF(Quantità > 0, 'SI', 'NO') = 'si'", {"100", "102"}},
    {"Articoli", "IIF(Quantità > 0, Quantità, 0) > 10", {"102"}},
    {"Articoli", "Nz(Note, 'vuoto') = 'VUOTO' And Quantità = 5", {"100"}},
    {"Articoli", "IsNull(DataUltimaVendita) And Quantità = 5", {"100"}},
    // A number as the whole filter means "not zero".
    {"Articoli", "ScortaMinima", {"100", "102", "103"}},
    // Empty In lists.
    {"OrdiniClienti", "OID NOT IN (800, 801)", {"802", "803"}},
    {"OrdiniClienti", "OID NOT IN ()", {"800", "801", "802", "803"}},
    {"OrdiniClienti", "OID IN ()", {}},
    // Names: qualified by the table, by a base table, paths, owners, referenced tables.
    {"Vendite", "Vendite.Numero = 2", {"401"}},
    {"Clienti", "Soggetti.RagioneSociale = 'Bianchi Srl'", {"11"}},
    {"Clienti", "Clienti.RagioneSociale = 'Bianchi Srl'", {"11"}},
    {"Clienti", "Città.CAP = '00100'", {"10"}},
    {"Clienti", "Città.CAP = '00100' And CittàSpedizione.CAP = '20100'", {"10"}},
    {"Clienti", "Città.Nazione = 'italia' And Città.Provincia <> 'RM'", {"11"}},
    {"Clienti", "Città Is Null", {"12"}},
    {"Clienti", "Città = 'roma'", {"10"}},
    {"DettagliPagamentiCliente",
     "PagamentiCliente.Cliente.Città.CAP = '00100'",
     {"510", "511", "512"}},
    {"DettagliPagamentiCliente", "Documento = '2'", {"513"}},
    {"DettagliVendite", "Vendite.Data >= #03/31/2024#", {"602", "603"}},
    {"DettagliVendite", "CodiciIva.Percentuale = 10", {"601"}},
    {"DettagliVendite", "DettagliVendite.OID = 601", {"601"}},
    {"DettagliForniture", "Forniture.OID_Fornitore=20", {"720"}},
    {"DettagliDDTFornitori", "TrasportiFornitori.OID_Fornitore=20", {"960"}},
    {"DettagliForniture",
     "Forniture.Data>=#03/01/2024# AND Forniture.Data<=#03/19/2024# AND QuantitàCarico>0 and "
     "Importo>0",
     {"720"}},
    {"DettagliForniture", "OID_Articoli=100", {"720", "721"}},
    {"PagamentiCliente", "Vendite.Numero = 1", {"500"}},
    {"OrdiniClienti", "Not Evaso AND Clienti.Codice='ROSSI'", {"800", "802", "803"}},
    {"TrasportiClienti", "Not Evaso AND Clienti.Codice='rossi'", {"900", "902"}},
    {"TrasportiClienti", "Month(Data)=3 AND Year(Data)=2024 AND OID_Cliente=10", {"900"}},
    {"Vendite", "Cliente = 'ROSSI'", {"400", "402"}},
    {"Vendite", "Pagamento Is Null", {"401", "402", "403"}},
    {"Vendite", "Not Pagamento.Saldato", {"400"}},
    {"Forniture", "Pagamento.OID_TipoPagamento = 2", {"700"}},
    {"Vendite", "Pagamento.TipoPagamento.Modalità = 5", {"400"}},
    {"VenditeAccompagnatorie", "Vettore = 'Corriere Espresso' And Spedito", {"403"}},
    {"TabProspettiStampa", "NomeTabellaOrigine='Vendite' AND NomeReference<>''", {"1101"}},
    {"CodiciBarre", "PrefissoCodice='2'", {"160"}},
    {"Articoli", "[Codice] = 'ART004'", {"103"}},
    // Lists: existence tests, never duplicated rows.
    {"Articoli", "CodiciCorrelati.Codice = 'ean8001'", {"100"}},
    {"Articoli", "Codice = 'EAN8002' Or CodiciCorrelati.Codice = 'EAN8002'", {"102"}},
    {"Articoli", "Codice = 'ART004' Or CodiciCorrelati.Codice = 'EAN8002'", {"102", "103"}},
    // Not applies to the existence test: no related code is EAN8001.
    {"Articoli", "Not CodiciCorrelati.Codice = 'EAN8001'", {"101", "102", "103", "104"}},
    {"Articoli", "DatiFornitori.PrezzoAcquisto > 3", {"100", "102"}},
    {"Articoli", "DatiFornitori.Fornitore.Città.CAP = '20100'", {"100", "102"}},
    {"OrdiniClienti", "VenditeAssociate.Numero = 1", {"801"}},
    {"Clienti", "Documenti.Note Is Null", {}},
    // Sub-selects in a filter.
    {"Articoli",
     "(SELECT Count(*) FROM DettagliVendite WHERE OID_Articoli = Articoli.OID) = 2",
     {"100"}},
    {"Articoli",
     "(SELECT Sum(Importo) FROM DettagliForniture WHERE OID_Articoli = Articoli.OID) > 90",
     {"100"}},
    // Blank filters select everything; layout and settings texts carry line breaks.
    {"Causali", "", {"1", "2"}},
    {"Causali", " \r\n\t", {"1", "2"}},
    {"Causali", "Reso\r\nAnd Descrizione = 'RESO'", {"2"}},
};

TEST_F(TranslatorTest, FilterSemantics) {
  for (const FilterCase& c : kFilterCases) {
    SCOPED_TRACE(std::string(c.table) + ": " + c.filter);
    Translation t = T(c.table, c.filter);
    EXPECT_EQ(db_.Column(t, "OID"), c.oids) << t.sql;
    EXPECT_EQ(db_.Count(t), static_cast<int64_t>(c.oids.size()));
  }
}

struct ErrorCase {
  const char* table;
  const char* filter;
  const char* fields;
  const char* sort;
  ErrorKind kind;
  const char* message;  // a fragment of the message
  size_t position;      // 1-based, in characters
};

const ErrorCase kErrorCases[] = {
    {"Articoli", "Quantita > 0", "", "", ErrorKind::UnknownName,
     "Campo sconosciuto «Quantita» nella tabella Articoli (posizione 1). Forse «Quantità»?", 1},
    {"Clienti", "Codice = 'x' And Citta.CAP = '1'", "", "", ErrorKind::UnknownName,
     "Forse «Città»?", 18},
    {"Vendite", "Numero.Codice = 1", "", "", ErrorKind::NotAReference,
     "«Numero» non è un riferimento: non può essere seguito da «.Codice»", 8},
    {"Clienti", "Comuni.CAP = '00100'", "", "", ErrorKind::AmbiguousName,
     "usare «Città» oppure «CittàSpedizione»", 1},
    {"Vendite", "(Evaso", "", "", ErrorKind::Unbalanced,
     "Parentesi non chiusa: manca «)» per la parentesi alla posizione 1", 1},
    {"Vendite", "Numero = 1)", "", "", ErrorKind::Unbalanced,
     "Parentesi «)» in eccesso alla posizione 11", 11},
    {"Vendite", "IIF(Numero = 1, 2", "", "", ErrorKind::Unbalanced, "manca «)»", 4},
    {"Clienti", "1=1; DROP TABLE Clienti", "", "", ErrorKind::BadCharacter,
     "Carattere non ammesso «;» alla posizione 4", 4},
    {"Clienti", "Codice = 'C001' OR 1=1 --", "", "", ErrorKind::BadCharacter, "«--»", 24},
    {"Clienti", "Codice = 'x' /* y */", "", "", ErrorKind::BadCharacter, "«/*»", 14},
    {"Clienti", "Codice != 'x'", "", "", ErrorKind::BadCharacter, "«!=»", 8},
    {"Clienti", "Codice = ?", "", "", ErrorKind::BadCharacter, "«?»", 10},
    // A quote slip is named for what it is: an apostrophe inside a text, or an accent.
    {"Clienti", "Codice = 'dell'Angolo'", "", "", ErrorKind::UnterminatedLiteral,
     "Il testo si chiude con l'apice alla posizione 15: un apice dentro un testo si scrive due "
     "volte («dell''Angolo»).",
     15},
    {"Clienti", "RagioneSociale = 'Bar dell'Angolo'", "", "", ErrorKind::UnterminatedLiteral,
     "«dell''Angolo»", 27},
    {"Clienti", "Codice = 'l'acqua' Or Codice = 'dell'orto'", "", "", ErrorKind::Syntax,
     "«l''acqua»", 12},
    {"Clienti", "Note = 'Il perche' non'", "", "", ErrorKind::UnterminatedLiteral, "«perche''»",
     18},
    {"Clienti", "Codice='A'And Codice(", "", "", ErrorKind::Incomplete, "dopo «(» (fine del testo)",
     22},
    {"Clienti", "Codice = \"abc", "", "", ErrorKind::UnterminatedLiteral,
     "Testo non chiuso: mancano le virgolette finali", 10},
    {"Clienti", "Codice = 'a' And Quantita' > 0", "", "", ErrorKind::UnterminatedLiteral,
     "posizione 26. Per una lettera accentata scrivere «à», non «a'».", 26},
    {"Articoli", "Descrizione = 'perche' And Quantita' > 0", "", "", ErrorKind::UnterminatedLiteral,
     "Per una lettera accentata", 36},
    {"Articoli", "", "Codice, Quantita' AS Q", "", ErrorKind::UnterminatedLiteral,
     "Per una lettera accentata", 17},
    {"Articoli", "", ",", "", ErrorKind::Incomplete, "Elenco dei campi vuoto", 1},
    {"Articoli", "", " , ,", "", ErrorKind::Incomplete, "Elenco dei campi vuoto", 1},
    {"Articoli", "", "", "1", ErrorKind::BadSort,
     "Ordinamento non valido «1» (posizione 1). Un numero non indica una colonna", 1},
    {"Articoli", "", "", "Codice, 'x' DESC", ErrorKind::BadSort,
     "«'x'» (posizione 9). Il valore è lo stesso per ogni riga", 9},
    {"Articoli", "", "Codice AS X, Descrizione AS x", "", ErrorKind::AmbiguousName,
     "Alias «x» ripetuto", 29},
    {"Vendite", "Data = #02/30/2024#", "", "", ErrorKind::BadDate, "Data non valida «#02/30/2024#»",
     8},
    {"Vendite", "Data = #13/01/2024#", "", "", ErrorKind::BadDate, "#mm/gg/aaaa#", 8},
    {"Vendite", "Data = #03/01/2024", "", "", ErrorKind::UnterminatedLiteral, "«#»", 8},
    {"Clienti", "[Codice = 'x'", "", "", ErrorKind::UnterminatedLiteral, "«]»", 1},
    {"Clienti", "load_extension('x')", "", "", ErrorKind::UnknownFunction,
     "Funzione sconosciuta «load_extension»", 1},
    {"Vendite", "IIF(Evaso, 1)", "", "", ErrorKind::ArgumentCount,
     "IIF richiede 3 argomenti, trovati 2", 1},
    {"Vendite", "Month() = 1", "", "", ErrorKind::ArgumentCount, "Month richiede 1 argomento", 1},
    {"DettagliForniture", "Forniture.Data>=03/01/2024", "", "", ErrorKind::Type,
     "Impossibile confrontare una data con un numero", 1},
    {"Vendite", "Data = 'ieri'", "", "", ErrorKind::Type,
     "Impossibile confrontare una data con un testo (posizione 1)", 1},
    {"Vendite", "Archiviato = 'no'", "", "", ErrorKind::Type, "un valore Sì/No con un testo", 1},
    {"Vendite", "Numero + 'a' = 1", "", "", ErrorKind::Type, "Per unire testi usare «&»", 1},
    {"Vendite", "Not Numero", "", "", ErrorKind::Type, "Serve un valore Sì/No, non un numero", 5},
    {"Vendite", "Numero And Archiviato", "", "", ErrorKind::Type, "Serve un valore Sì/No", 1},
    {"Vendite", "Riferimento", "", "", ErrorKind::Type, "non un testo", 1},
    {"Vendite", "Data Like '2024*'", "", "", ErrorKind::Type, "«Like» si applica a testi", 1},
    {"Vendite", "Month(Numero) = 1", "", "", ErrorKind::Type, "Month richiede una data", 7},
    {"Articoli", "PrezzoVendita > 1E300", "", "", ErrorKind::BadNumber, "Importo non valido", 1},
    {"Vendite", "Numero =", "", "", ErrorKind::Incomplete,
     "Espressione incompleta dopo «=» (fine del testo)", 9},
    {"Vendite", "Numero = 1 AND", "", "", ErrorKind::Incomplete, "dopo «AND»", 15},
    {"Vendite", "Numero Between 1 2", "", "", ErrorKind::Syntax, "richiede «And»", 18},
    {"Vendite", "Numero = 1,5", "", "", ErrorKind::Syntax, "Testo non atteso «,»", 11},
    {"Vendite", "Numero Is 1", "", "", ErrorKind::Syntax, "«Null»", 11},
    {"Vendite", "Sum(Numero) > 1", "", "", ErrorKind::NotAllowed, "sotto-selezione", 1},
    {"Vendite", "Numero = Sum(1)", "", "", ErrorKind::NotAllowed, "«Sum»", 10},
    {"Articoli", "(SELECT Sum(Importo) FROM Fatture) > 1", "", "", ErrorKind::UnknownName,
     "Tabella sconosciuta «Fatture»", 27},
    {"Articoli", "", "PrezzoVendita * 1.22 AS PrezzoVendita", "", ErrorKind::CircularAlias,
     "Riferimento circolare nell'alias «PrezzoVendita»", 1},
    {"Articoli", "", "A + 1 AS B, B * 2 AS A", "", ErrorKind::CircularAlias,
     "Riferimento circolare", 13},
    {"Articoli", "", "*, Codice AS", "", ErrorKind::Syntax, "alias", 13},
    {"DettagliVendite", "", "Vendite.*", "", ErrorKind::UnknownName, "«Vendite.*»", 1},
    {"Articoli", "", "", "Codice DISC", ErrorKind::BadSort,
     "Ordinamento non valido «DISC»: usare ASC o DESC", 8},
    {"Articoli", "", "", "Codici", ErrorKind::UnknownName, "Campo sconosciuto «Codici»", 1},
    {"Articoli", "", "Codice, Prezzo", "", ErrorKind::UnknownName, "«Prezzo»", 9},
    {"Articoli", "Settore.Reparto.Descrizione.X = 1", "", "", ErrorKind::NotAReference,
     "«Descrizione» non è un riferimento", 29},
    {"Vendite", "Count(*) = 1", "", "", ErrorKind::NotAllowed, "«Count»", 1},
    {"Vendite", "Numero = *", "", "", ErrorKind::Syntax, "Testo non atteso «*»", 10},
};

TEST_F(TranslatorTest, ErrorsNameTheProblemAndItsPosition) {
  for (const ErrorCase& c : kErrorCases) {
    SCOPED_TRACE(std::string(c.table) + ": " + c.filter + " | " + c.fields + " | " + c.sort);
    try {
      T(c.table, c.filter, c.fields, c.sort);
      ADD_FAILURE() << "no error";
    } catch (const JetError& e) {
      EXPECT_EQ(e.kind(), c.kind) << e.message();
      EXPECT_THAT(e.message(), ::testing::HasSubstr(c.message));
      EXPECT_EQ(e.position(), c.position) << e.message();
    }
  }
}

TEST_F(TranslatorTest, UnknownTableIsAnError) {
  try {
    T("Fatture", "");
    ADD_FAILURE() << "no error";
  } catch (const JetError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::UnknownName);
    EXPECT_EQ(e.message(), "Tabella sconosciuta «Fatture».");
  }
}

TEST_F(TranslatorTest, LiteralsAreAlwaysParameters) {
  Translation t = T("Clienti",
                    "Codice = 'ROSSI' Or RagioneSociale Like '*x''; DROP TABLE Clienti; --*'"
                    " Or Città.CAP = '00100' Or TotaleVenduto > 12.5 Or Città Is Null");
  EXPECT_THAT(t.sql, ::testing::Not(::testing::HasSubstr("ROSSI")));
  EXPECT_THAT(t.sql, ::testing::Not(::testing::HasSubstr("DROP")));
  EXPECT_THAT(t.sql, ::testing::Not(::testing::HasSubstr("00100")));
  EXPECT_THAT(t.sql, ::testing::Not(::testing::HasSubstr("12")));
  ASSERT_EQ(t.params.size(), 4u);
  EXPECT_EQ(t.params[0], Variant::String("ROSSI"));
  EXPECT_EQ(t.params[3].type(), VarType::Currency);
  EXPECT_EQ(t.params[3].AsMoney().raw(), 125000);
  EXPECT_EQ(db_.Column(t, "OID"), (Oids{"10", "12"}));
  // The text of the statement depends only on the shape of the filter.
  EXPECT_EQ(T("Vendite", "Numero = 1 And Cliente = 'A'").sql,
            T("Vendite", "Numero = 99 And Cliente = 'B'").sql);
}

TEST_F(TranslatorTest, SmuggledStatementsLeaveTheArchiveUntouched) {
  const int64_t tables = db_.TableCount();
  const char* attempts[] = {
      "1=1; DROP TABLE Clienti",
      "Codice = 'x'); DROP TABLE Clienti; --",
      "Codice = 'x' OR 1=1 --",
      "Codice = 'x' UNION SELECT * FROM Soggetti",
      "Codice = (SELECT name FROM sqlite_master)",
      "sqlite_version() = '3'",
      "Codice = \"x\"\"; DELETE FROM Clienti; \"",
  };
  for (const char* filter : attempts) {
    SCOPED_TRACE(filter);
    try {
      Translation t = T("Clienti", filter);
      // Accepted texts may only be harmless comparisons.
      db_.Rows(t);
    } catch (const JetError&) {
    }
  }
  EXPECT_EQ(db_.TableCount(), tables);
  EXPECT_EQ(Rows("Clienti", ""), (Oids{"10", "11", "12"}));
}

TEST_F(TranslatorTest, StarColumnsDescribeTheRow) {
  Translation t = T("Clienti", "", "*");
  ASSERT_FALSE(t.columns.empty());
  EXPECT_EQ(t.columns[0].name, "OID");
  auto find = [&](const std::string& name) -> const OutputColumn& {
    for (const OutputColumn& c : t.columns) {
      if (c.name == name) return c;
    }
    throw std::runtime_error("no column " + name);
  };
  // Fields of a LinkToBase base live in the base table.
  EXPECT_FALSE(find("RagioneSociale").readOnly);
  EXPECT_EQ(find("RagioneSociale").storageTable, "Soggetti");
  EXPECT_EQ(find("Codice").storageTable, "Clienti");
  EXPECT_EQ(find("Codice").typeCode, 0);
  EXPECT_EQ(find("TotaleVenduto").type, LogicalType::Money);
  // A reference shows its key field (or first shown field) read-only; its link is writable.
  EXPECT_TRUE(find("Città").readOnly);
  EXPECT_EQ(find("Città").type, LogicalType::Text);
  EXPECT_EQ(find("TipoPagamentoAbituale").type, LogicalType::Text);
  EXPECT_FALSE(find("OID_Città").readOnly);
  EXPECT_EQ(find("OID_Città").storageTable, "Soggetti");
  EXPECT_EQ(find("OID_ListinoPredefinito").storageTable, "Clienti");
  auto rows = db_.Rows(t);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(db_.Column(t, "TotaleVenduto")[0], "1300000");
  EXPECT_EQ(db_.Column(t, "TipoPagamentoAbituale")[0], "CON");
  EXPECT_EQ(db_.Column(t, "BancaDiAppoggio")[1], "Banca Due");

  // Rows that copy their base: the base fields are their own, plus the base link.
  Translation rowsT = T("DettagliVendite", "", "*");
  bool link = false;
  for (const OutputColumn& c : rowsT.columns) {
    if (c.name == "Descrizione") {
      EXPECT_EQ(c.storageTable, "DettagliVendite");
    }
    if (c.name == "OID_Articoli") link = !c.readOnly;
    EXPECT_NE(c.name, "DatiFornitori");  // lists are not columns
  }
  EXPECT_TRUE(link);
}

TEST_F(TranslatorTest, FieldListNamesAndDuplicates) {
  Translation t = T("Vendite", "",
                    "*,Numero,Cliente,Data,Cliente.RagioneSociale,Pagamento.Importo,"
                    "Cliente.Codice,ImportoTotale*2,Numero+1,");
  std::vector<std::string> names;
  for (const OutputColumn& c : t.columns) names.push_back(c.name);
  // Items already shown by '*' are not repeated; a colliding path keeps its full text.
  EXPECT_EQ(std::count(names.begin(), names.end(), "Numero"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Cliente"), 1);
  EXPECT_THAT(names, ::testing::Contains("RagioneSociale"));
  EXPECT_THAT(names, ::testing::Contains("Importo"));
  EXPECT_THAT(names, ::testing::Contains("Expr1"));
  EXPECT_THAT(names, ::testing::Contains("Expr2"));
  EXPECT_EQ(db_.Column(t, "Expr1")[0], "2000000");  // an amount times 2 stays an amount
  EXPECT_EQ(db_.Column(t, "Importo"), (Oids{"1200000", "NULL", "NULL", "NULL"}));
  for (const OutputColumn& c : t.columns) {
    if (c.name == "Expr2" || c.name == "Importo") {
      EXPECT_TRUE(c.readOnly);
    }
    if (c.name == "Expr1") {
      EXPECT_EQ(c.type, LogicalType::Money);
    }
  }
  EXPECT_EQ(T("Clienti", "", "Soggetti.*").columns.size(), T("Clienti", "", "*").columns.size());
  Translation plain = T("Articoli", "", "Codice, Codice AS Cod, Descrizione & '!' AS D");
  ASSERT_EQ(plain.columns.size(), 4u);
  EXPECT_FALSE(plain.columns[1].readOnly);
  EXPECT_FALSE(plain.columns[2].readOnly);  // an alias of a plain field is still that field
  EXPECT_TRUE(plain.columns[3].readOnly);
  EXPECT_EQ(db_.Column(plain, "D")[0], "Martello!");
}

TEST_F(TranslatorTest, AliasesMayBeUsedBeforeTheirDefinition) {
  Translation t = T("Articoli", "Valore > 100",
                    "Codice, Valore * 2 AS Doppio, PrezzoVendita * Quantità AS Valore", "Doppio");
  EXPECT_EQ(db_.Column(t, "Codice"), (Oids{"ART003"}));
  EXPECT_EQ(db_.Column(t, "Doppio"), (Oids{"282.0"}));
  // The qualified name is the field even when an alias shadows it.
  Translation shadow = T("Articoli", "", "Articoli.Quantità * 2 AS Quantità", "Quantità DESC");
  EXPECT_EQ(db_.Column(shadow, "Quantità"), (Oids{"40.0", "10.0", "0.0", "0.0", "-4.0"}));
}

TEST_F(TranslatorTest, SortLists) {
  // Text order of lists: accents next to the plain letter, case ignored.
  EXPECT_EQ(Rows("Clienti", "", "", "RagioneSociale"), (Oids{"12", "11", "10"}));
  EXPECT_EQ(Rows("Clienti", "", "", "RagioneSociale DESC"), (Oids{"10", "11", "12"}));
  // Yes/no sort as their numbers: True (-1) first.
  EXPECT_EQ(Rows("DettagliPagamentiCliente", "", "", "Pagato, NumeroRata DESC"),
            (Oids{"510", "512", "511", "513"}));
  // Nulls first when ascending, ties by the row identifier.
  EXPECT_EQ(Rows("DettagliPagamentiCliente", "", "", "DataScadenza"),
            (Oids{"512", "510", "513", "511"}));
  EXPECT_EQ(Rows("DettagliPagamentiCliente", "", "", "*,Documento,DataScadenza DESC"),
            (Oids{"511", "510", "512", "513"}));
  EXPECT_EQ(Rows("Vendite", "", "", "Cliente,Numero"), (Oids{"403", "401", "400", "402"}));
  EXPECT_EQ(Rows("Vendite", "", "", "Vendite.OID_TipoDocumento, Vendite.Numero"),
            (Oids{"400", "402", "403", "401"}));
  EXPECT_EQ(Rows("DettagliVendite", "", "", "DettagliVendite.Riferimento,DettagliVendite.OID"),
            (Oids{"600", "601", "602", "603"}));
  EXPECT_EQ(Rows("Articoli", "", "*,PrezzoVendita*Quantità AS Valore", "Valore DESC"),
            (Oids{"102", "100", "101", "104", "103"}));
  EXPECT_EQ(Rows("Articoli", "", "", "Settore.Reparto, Codice DESC"),
            (Oids{"104", "103", "102", "101", "100"}));
  EXPECT_EQ(Rows("Articoli", "", "", "Len(Descrizione), Codice"),
            (Oids{"104", "100", "103", "101", "102"}));
}

TEST_F(TranslatorTest, PeriodClausesBecomeRanges) {
  // So that an index on the date can serve the period; the rows are checked above.
  EXPECT_THAT(T("Vendite", "(Not Archiviato) AND Month(Data) = 3 AND Year(Data) = 2024").sql,
              ::testing::Not(::testing::HasSubstr("strftime")));
  EXPECT_THAT(T("Vendite", "Year(Data) = 2024").sql,
              ::testing::Not(::testing::HasSubstr("strftime")));
  EXPECT_THAT(T("Vendite", "Month(Data) = 3").sql, ::testing::HasSubstr("strftime"));
  EXPECT_THAT(T("PrimaNota", "Month(DataMovimento) = 3 And Year(DataInserimento) = 2024").sql,
              ::testing::HasSubstr("strftime"));
  EXPECT_THROW(T("Vendite", "Year(Numero) = 2024"), JetError);
}

TEST_F(TranslatorTest, OwnerAndReferenceIdentifiersNeedNoJoin) {
  Translation t = T("DettagliVendite", "Vendite.OID = 400 And Vendite.Cliente.OID = 10");
  EXPECT_EQ(db_.Column(t, "OID"), (Oids{"600", "601"}));
  EXPECT_THAT(t.countSql, ::testing::Not(::testing::HasSubstr("\"Clienti\"")));
  EXPECT_THAT(T("Vendite", "Cliente.OID = 10").countSql,
              ::testing::Not(::testing::HasSubstr("JOIN")));
}

TEST_F(TranslatorTest, JoinsArePerPathPrefix) {
  Translation same = T("Clienti", "Città.CAP = '1' Or Città.Provincia = 'RM'", "Città.CAP AS C");
  size_t joins = 0;
  for (size_t p = same.sql.find("JOIN \"Comuni\""); p != std::string::npos;
       p = same.sql.find("JOIN \"Comuni\"", p + 1)) {
    ++joins;
  }
  EXPECT_EQ(joins, 1u);
  EXPECT_EQ(db_.Column(same, "OID"), (Oids{"10"}));
  Translation two = T("Clienti", "Città.CAP <> CittàSpedizione.CAP");
  EXPECT_EQ(db_.Column(two, "OID"), (Oids{"10"}));
}

TEST_F(TranslatorTest, AggregatesOverChildRows) {
  auto value = [&](const std::string& table, Aggregate a, const std::string& expr,
                   const std::string& filter) {
    Translation t = translator_.TranslateAggregate(table, a, expr, filter, ShopNow());
    return db_.Rows(t).at(0).at(0);
  };
  EXPECT_EQ(value("DettagliForniture", Aggregate::Sum, "Importo", "OID_Articoli=100"), "925000");
  EXPECT_EQ(value("DettagliForniture", Aggregate::Sum, "Importo",
                  "OID_Articoli=100 AND Forniture.OID_Fornitore=20"),
            "600000");
  EXPECT_EQ(
      value("DettagliForniture", Aggregate::Sum, "Importo/QuantitàCarico", "OID_Articoli=100"),
      "12.5");
  EXPECT_EQ(value("DettagliOrdiniClienti", Aggregate::Sum, "QuantitàOrdine-QuantitàScaricata",
                  "OID_Articoli=100"),
            "3.0");
  EXPECT_EQ(value("DettagliDDTFornitori", Aggregate::Sum, "QuantitàTrasporto-QuantitàCaricata",
                  "OID_Articoli=100 AND TrasportiFornitori.OID_Fornitore=20"),
            "5.0");
  EXPECT_EQ(value("DettagliForniture", Aggregate::Sum, "Importo", "OID_Articoli=999"), "0");
  EXPECT_EQ(value("PagamentiCliente", Aggregate::Sum, "Importo", "OID_Cliente=10"), "1200000");
  // The rows of one owner: through the owner's row identifier.
  EXPECT_EQ(
      value("DettagliPagamentiCliente", Aggregate::Sum, "Importo", "PagamentiCliente.OID=500"),
      "1200000");
  EXPECT_EQ(value("DettagliVendite", Aggregate::Count, "*", "Vendite.OID=400"), "2");
  EXPECT_EQ(value("DettagliPagamentiCliente", Aggregate::Count, "", "Not Pagato"), "3");
  EXPECT_EQ(value("DettagliPagamentiCliente", Aggregate::Sum, "Pagato", ""), "-1");
  EXPECT_EQ(value("Articoli", Aggregate::Max, "PrezzoVendita", ""), "125000");
  EXPECT_EQ(value("Articoli", Aggregate::Avg, "ScortaMinima", "ScortaMinima > 0"),
            "5.33333333333333");
  Translation sum =
      translator_.TranslateAggregate("DettagliForniture", Aggregate::Sum, "Importo", "", ShopNow());
  EXPECT_EQ(sum.columns.at(0).type, LogicalType::Money);
  EXPECT_THROW(translator_.TranslateAggregate("DettagliForniture", Aggregate::Sum, "Sum(Importo)",
                                              "", ShopNow()),
               JetError);
}

TEST_F(TranslatorTest, PiecesLetTheEnginePage) {
  Translation t = T("Articoli", "Quantità >= 0", "Codice", "Codice DESC");
  EXPECT_EQ(t.sql, "SELECT " + t.select + " FROM " + t.from + " WHERE " + t.where + " ORDER BY " +
                       t.orderBy);
  auto page = db_.Run("SELECT " + t.select + " FROM " + t.from + " WHERE " + t.where +
                          " ORDER BY " + t.orderBy + " LIMIT 2 OFFSET 1",
                      t.params);
  ASSERT_EQ(page.size(), 2u);
  EXPECT_EQ(page[0][1], "ART003");  // after art005
  EXPECT_EQ(page[1][1], "ART002");
  EXPECT_TRUE(T("Articoli", "").where.empty());
}

TEST_F(TranslatorTest, ListShownInFieldsIsJoinedOncePerRow) {
  // The filter reuses the join of the field list: the price shown is the filtered supplier's.
  Translation t = T("Articoli", "DatiFornitori.PrezzoAcquisto > 6",
                    "Codice,DatiFornitori.PrezzoAcquisto AS Prezzo,DatiFornitori.Fornitore");
  EXPECT_EQ(db_.Column(t, "Prezzo"), (Oids{"65000"}));
  EXPECT_EQ(db_.Column(t, "Fornitore"), (Oids{"NERI"}));
  EXPECT_EQ(db_.Count(t), 1);
}

}  // namespace
}  // namespace tillbook::jet
