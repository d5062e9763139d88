#include "engine/jet/testing/shop_catalog.h"

#include <string>

namespace tillbook::jet::testing {
namespace {

constexpr RefKind kSingle = RefKind::Single;
constexpr RefKind kOwnedSingle = RefKind::OwnedSingle;
constexpr RefKind kList = RefKind::List;
constexpr RefKind kOwnedList = RefKind::OwnedList;

const std::string kCharges =
    "ImportoSpeseTrasporto:20,ImportoSpeseImballaggio:20,ImportoSpeseBancarie:20,"
    "ImportoSpeseAssicurative:20,ImportoSpeseBolli:20,ImportoTotaleOneri:20";

void Registries(MemoryCatalog& c) {
  c.Table("Nazioni").Fields("Descrizione:0");
  c.Table("Comuni")
      .Fields("Descrizione:0,CAP:7,Provincia:7")
      .Ref("Nazione", "Nazioni", kSingle, "", "Descrizione");
  c.Table("Attività").Fields("Descrizione:0");
  c.Table("CategorieSoggetti").Fields("Descrizione:0,Categoria:11");
  c.Table("Valute").Fields("Descrizione:0,Simbolo:0,RapportoDiCambio:16");
  c.Table("EsenzioniIva").Fields("Esenzione:14,Causale:0");
  c.Table("Soggetti")
      .Fields(
          "RagioneSociale:0,Indirizzo:0,IndirizzoSpedizione:0,PartitaIva:0,CodiceFiscale:0,"
          "Telefono:0,EMail:6,Fax:0,SitoInternet:6,DettagliEsenzione:0,Contatto:0,"
          "TotaleAcquistato:20,TotaleVenduto:20,ImportoSaldoIniziale:20,Note:0")
      .Ref("Città", "Comuni", kSingle, "", "Descrizione,CAP,Provincia,Nazione")
      .Ref("CittàSpedizione", "Comuni", kSingle, "", "Descrizione,CAP,Provincia,Nazione")
      .Ref("Categoria", "CategorieSoggetti", kSingle, "", "Descrizione")
      .Ref("Attività", "Attività", kSingle, "", "Descrizione")
      .Ref("Valuta", "Valute", kSingle, "Simbolo", "Descrizione,RapportoDiCambio")
      .Ref("EsenzioneIVA", "EsenzioniIva", kSingle, "", "Causale,Esenzione");
  c.Table("Clienti")
      .Extends("Soggetti")
      .Fields("Codice:0,PercentualeSconto:16")
      .Ref("ListinoPredefinito", "Listini", kSingle, "", "Descrizione")
      .Ref("Agente", "Agenti", kSingle, "Codice", "RagioneSociale")
      .Ref("TipoPagamentoAbituale", "TipiPagamento", kSingle, "Codice", "Descrizione")
      .Ref("BancaDiAppoggio", "Banche", kSingle, "", "Nome,Agenzia")
      .Ref("Documenti", "Documenti", kOwnedList, "", "Data,File,Note");
  c.Table("Fornitori")
      .Extends("Soggetti")
      .Fields("Codice:0,TempoConsegna:11")
      .Ref("TipoPagamentoAbituale", "TipiPagamento", kSingle, "Codice", "Descrizione")
      .Ref("BancaDiAppoggio", "Banche", kSingle, "", "Nome,Agenzia")
      .Ref("Documenti", "Documenti", kOwnedList, "", "Data,File,Note");
  c.Table("Agenti")
      .Extends("Soggetti")
      .Fields("Codice:0,Provvigione:16")
      .Ref("BancaDiAppoggio", "Banche", kSingle, "Nome", "Agenzia");
  c.Table("Vettori")
      .Extends("Soggetti")
      .Fields("Codice:0")
      .Ref("Documenti", "Documenti", kOwnedList, "", "Data,File,Note");
  c.Table("Documenti").Fields("Data:17,NomeSottoCartella:0,File:4,Note:0");
  c.Table("Banche")
      .Fields(
          "Nome:0,Agenzia:0,Indirizzo:0,BancaPropria:14,ABI:0,CAB:0,NumeroConto:0,CIN:0,"
          "CodiceSwift:0,CodiceIBAN:0,Telefono:0,SitoInternet:6,File:5,Note:0")
      .Ref("Città", "Comuni", kSingle, "", "Descrizione,CAP,Provincia,Nazione");
  c.Table("Operatori").Fields("Nome:0,Password:0!,LivelloAccesso:11");
  c.Table("Listini").Fields("Descrizione:0,PercentualeRicaricoPredefinito:16,Note:0");
}

void Articles(MemoryCatalog& c) {
  c.Table("Articoli")
      .Fields(
          "Descrizione:0,DescrizioneBreve:0,Codice:0,CodiceAggiuntivo:0,CodiceRapido:0,"
          "Dettagli:0,PrezzoAcquisto:20,CostoOneriUnitario:20,PercentualeRicarico:16,"
          "PrezzoVendita:20,PrezzoFinale:20,PrezzoAcquistoMedio:20,Quantità:16,"
          "ScortaMinima:11,QuantitàInOrdineClienti:16,QuantitàInOrdineFornitori:16,"
          "QuantitàFinale:16,ImportoTotaleOneri:20,QuantitàTotaleScarichi:16,"
          "ImportoTotaleVendite:20,QuantitàTotaleCarichi:16,ImportoTotaleForniture:20,"
          "DataInserimento:19,DataModifica:19,DataUltimaFornitura:19?,"
          "DataUltimaVendita:19?,File:5,FileAnteprima:5,Note:0")
      .Ref("Settore", "Settori", kSingle, "Codice", "Descrizione,Reparto")
      .Ref("IVA", "CodiciIva", kSingle, "Codice", "Descrizione")
      .Ref("Deposito", "Depositi", kSingle, "Codice", "Deposito")
      .Ref("UnitaMisura", "UnitaMisura", kSingle, "Codice", "Descrizione")
      .Ref("ListiniPersonalizzati", "DettagliListinoArticoli", kOwnedList, "",
           "Listino,PercentualeRicarico,PrezzoVendita,PrezzoFinale")
      .Ref("DatiFornitori", "DettagliPrezziFornitori", kOwnedList, "",
           "Fornitore,PrezzoAcquisto,QuantitàTotaleCarichi")
      .Ref("CodiciCorrelati", "CodiciCorrelati", kList, "Codice", "Note");
  c.Table("ArticoliLiberi")
      .Fields(
          "Descrizione:0,PrezzoAcquisto:20,PrezzoVendita:20,Quantità:16,QuantitàFinale:16,"
          "QuantitàInOrdineClienti:16,QuantitàInOrdineFornitori:16,"
          "QuantitàTotaleScarichi:16,ImportoTotaleVendite:20,QuantitàTotaleCarichi:16,"
          "ImportoTotaleForniture:20")
      .Ref("IVA", "CodiciIva", kSingle, "Codice", "Descrizione")
      .Ref("UnitaMisura", "UnitaMisura", kSingle, "Codice", "Descrizione");
  c.Table("CodiciCorrelati").Fields("Codice:0,Note:0");
  c.Table("CodiciBarre")
      .Fields(
          "PrefissoCodice:0,PosizioneCodice:11,LunghezzaCodice:11,PosizioneQuantita:11,"
          "LunghezzaQuantita:11,PosizioneImporto:11,LunghezzaImporto:11,"
          "ConversioneValuta:14,CoefficienteValuta:16");
  c.Table("UnitaMisura")
      .Fields(
          "Codice:0,Descrizione:0,Confezionamento:0,SimboloMisura:0,ElementiMultipli:14,"
          "Decimali:14");
  c.Table("Settori")
      .Fields("Descrizione:0,Codice:7")
      .Ref("Reparto", "Reparti", kSingle, "", "Descrizione,IVAPredefinita,CodiceCassa")
      .Ref("IVAPredefinita", "CodiciIva", kSingle, "Codice", "Descrizione,CodiceCassaPredefinito")
      .Ref("ListiniPredefiniti", "DettagliListinoSettori", kOwnedList, "",
           "Listino,PercentualeRicarico");
  c.Table("Reparti")
      .Fields("Descrizione:0,CodiceCassa:11")
      .Ref("IVAPredefinita", "CodiciIva", kSingle, "Codice", "Descrizione,CodiceCassaPredefinito");
  c.Table("Depositi").Fields("Codice:7,Deposito:0,Descrizione:0");
  c.Table("DettagliListinoArticoli")
      .Fields(
          "PrezzoRiferimento:20,TipoCalcolo:11,PercentualeRicarico:16,PrezzoVendita:20,"
          "PrezzoFinale:20")
      .Ref("Listino", "Listini", kSingle, "", "Descrizione,PercentualeRicaricoPredefinito")
      .Ref("IVA", "CodiciIva", kSingle, "Codice", "Descrizione");
  c.Table("DettagliListinoSettori")
      .Fields("PercentualeRicarico:16")
      .Ref("Listino", "Listini", kSingle, "", "Descrizione,PercentualeRicaricoPredefinito");
  c.Table("DettagliPrezziFornitori")
      .Fields(
          "CodiceArticolo:0,PrezzoAcquisto:20,PrezzoAcquistoMedio:20,"
          "QuantitàTotaleCarichi:16,ImportoTotale:20,ImportoTotaleOneri:20")
      .Ref("Fornitore", "Fornitori", kSingle, "Codice", "RagioneSociale");
  c.Table("CodiciIva").Fields("Codice:0,Descrizione:0,Percentuale:16,CodiceCassaPredefinito:11");
}

void CodeTables(MemoryCatalog& c) {
  c.Table("Causali").Fields("Descrizione:0,Reso:14,InConto:14,Abilitato:14");
  c.Table("TipiPagamento")
      .Fields(
          "Descrizione:0,Codice:7?,Modalità:11,FineMese:14,NumeroRate:12,"
          "GiorniIntervalloIniziale:12,GiorniIntervalloRate:12,ImportoSpeseBancarie:20,"
          "ImpostaDaVerificare:14");
  c.Table("TipiDocumento").Fields("Descrizione:0,Contabilizza:14,Ambito:11,Abilitato:14");
  c.Table("TipiTrasporto").Fields("Descrizione:0,Abbreviazione:0,Abilitato:14");
  c.Table("TipiPorto").Fields("Descrizione:0,Note:0");
  c.Table("TipiAspettoBeni").Fields("Descrizione:0");
  c.Table("TipiSoggettiTrasorto").Fields("Descrizione:0");
  c.Table("TipiAllegato").Fields("Descrizione:0,Note:0");
  c.Table("TabProspettiStampa")
      .Fields(
          "NomeTabellaOrigine:0,NomeReference:0,NomeProspetto:0,NomeGruppo:0,"
          "NomeStampante:0,RichiediSelezioneStampante:14,NumeroColonne:11,AltezzaModulo:15,"
          "LarghezzaModulo:15,ImmagineSfondo:3,OrientamentoOrizzontale:14,"
          "IstruzioniStampa:8");
  c.Table("EsportazioneTabelle")
      .Fields(
          "NomeTabella:0,FileDestinazione:2,FiltroDati:8,AccodaDati:14,IndiceSequenza:11,"
          "ScriptVB:8,Note:0");
  c.Table("MigrazioneTabelle")
      .Fields(
          "NomeDestinazione:0,QueryOrigine:8,NomeOriginePrimaria:0,IndiceSequenza:11,"
          "TipoAggiornamento:11,Disabilitato:14,Note:0")
      .Ref("Campi", "MigrazioneCampi", kOwnedList, "", "NomeDestinazione,NomeOrigine");
  c.Table("MigrazioneCampi").Fields("NomeDestinazione:0,NomeOrigine:0,ScriptVB:8,Note:0");
}

// The row tables of a document: article rows copy Articoli, free rows copy ArticoliLiberi.
void RowTables(MemoryCatalog& c, const std::string& rows, const std::string& fields,
               const std::string& extraArticleFields = "") {
  c.Table(rows).Extends("Articoli", false).Fields(fields + extraArticleFields);
  c.Table(rows + "Lib").Extends("ArticoliLiberi", false).Fields(fields);
}

void Documents(MemoryCatalog& c) {
  c.Table("Vendite")
      .Fields(
          "Data:17,AnnoRiferimento:11,Numero:11,ImportoTotale:20,ImportoTotaleIVA:20,"
          "ImportoRitenute:20," +
          kCharges + ",Riferimento:0,File:5,IVAEsente:14,BollaDoganale:14,Archiviato:14,Note:8")
      .Ref("Cliente", "Clienti", kSingle, "Codice", "RagioneSociale")
      .Ref("TipoDocumento", "TipiDocumento", kSingle, "", "Descrizione")
      .Ref("Causale", "Causali", kSingle, "", "Descrizione")
      .Ref("Pagamento", "PagamentiCliente", kOwnedSingle, "",
           "Importo,Saldato,TipoPagamento,DataInserimento")
      .Ref("Listino", "Listini", kSingle, "", "Descrizione")
      .Ref("Dettagli", "DettagliVendite", kOwnedList, "Codice",
           "Descrizione,QuantitàScarico,Importo,ImportoIVA,Riferimento")
      .Ref("DettagliLiberi", "DettagliVenditeLib", kOwnedList, "",
           "Descrizione,QuantitàScarico,Importo,ImportoIVA,Riferimento")
      .Ref("Operatore", "Operatori", kSingle, "", "Nome");
  c.Table("VenditeAccompagnatorie")
      .Extends("Vendite")
      .Fields(
          "Destinazione:0,IndirizzoDestinazione:0,Spedito:14,DataSpedizione:19?,"
          "NumeroColli:11,PesoComplessivo:16")
      .Ref("CittàDestinazione", "Comuni", kSingle, "", "Descrizione,CAP,Provincia")
      .Ref("AMezzo", "TipiSoggettiTrasorto", kSingle, "", "Descrizione")
      .Ref("Vettore", "Vettori", kSingle, "", "RagioneSociale")
      .Ref("SecondoVettore", "Vettori", kSingle, "", "RagioneSociale")
      .Ref("TipoPorto", "TipiPorto", kSingle, "", "Descrizione")
      .Ref("AspettoBeni", "TipiAspettoBeni", kSingle, "", "Descrizione");
  RowTables(c, "DettagliVendite",
            "QuantitàScarico:16,PrezzoUnitario:20,PercentualeSconto:16,PrezzoUnitarioFinale:20,"
            "ImportoListino:20,Importo:20,ImportoIVA:20,ImportoFinale:20,Riferimento:0,"
            "IVAEsente:14");

  c.Table("Forniture")
      .Fields("Documento:0,Data:17,ImportoTotale:20,ImportoTotaleIVA:20," + kCharges +
              ",DistribuisciCostoOneri:14,IVAEsente:14,Riferimento:0,File:5,Note:0,"
              "Archiviato:14")
      .Ref("Fornitore", "Fornitori", kSingle, "Codice", "RagioneSociale")
      .Ref("TipoDocumento", "TipiDocumento", kSingle, "", "Descrizione,Contabilizza")
      .Ref("Causale", "Causali", kSingle, "", "Descrizione")
      .Ref("Pagamento", "AcquistoFornitori", kOwnedSingle, "",
           "Importo,Saldato,TipoPagamento,DataInserimento")
      .Ref("Dettagli", "DettagliForniture", kOwnedList, "Codice",
           "Descrizione,QuantitàCarico,Importo,ImportoIVA")
      .Ref("DettagliLiberi", "DettagliFornitureLib", kOwnedList, "",
           "Descrizione,QuantitàCarico,Importo,ImportoIVA")
      .Ref("Operatore", "Operatori", kSingle, "", "Nome");
  RowTables(c, "DettagliForniture",
            "QuantitàCarico:16,PrezzoListino:20,PercentualeSconto:16,PrezzoUnitario:20,"
            "ImportoListino:20,Importo:20,ImportoIVA:20,ImportoFinale:20,Riferimento:0,"
            "IVAEsente:14",
            ",ImportoParzialeOneri:20");

  c.Table("OrdiniClienti")
      .Fields(
          "Data:17,AnnoRiferimento:11,Numero:11,Tipologia:11,ImportoTotale:20,"
          "ImportoTotaleIVA:20," +
          kCharges +
          ",Riferimento:0,Destinazione:0,IndirizzoDestinazione:0,File:5,DataEvasione:19?,"
          "DataFineValidità:17?,IVAEsente:14,Evaso:14,Note:8,Archiviato:14")
      .Ref("Cliente", "Clienti", kSingle, "Codice", "RagioneSociale")
      .Ref("Causale", "Causali", kSingle, "", "Descrizione")
      .Ref("TipoPagamento", "TipiPagamento", kSingle, "Codice", "Descrizione")
      .Ref("BancaDiAppoggio", "Banche", kSingle, "Nome", "Agenzia")
      .Ref("TipoPorto", "TipiPorto", kSingle, "", "Descrizione")
      .Ref("DocumentiRichiesti", "TipiAllegato", kList, "", "Descrizione")
      .Ref("Dettagli", "DettagliOrdiniClienti", kOwnedList, "Codice",
           "Descrizione,QuantitàOrdine,QuantitàScaricata,Importo,ImportoIVA")
      .Ref("DettagliLiberi", "DettagliOrdiniClientiLib", kOwnedList, "",
           "Descrizione,QuantitàOrdine,Importo,ImportoIVA")
      .Ref("Listino", "Listini", kSingle, "", "Descrizione,PercentualeRicaricoPredefinito")
      .Ref("CittàDestinazione", "Comuni", kSingle, "", "Descrizione,CAP,Provincia")
      .Ref("VenditeAssociate", "Vendite", kList, "Numero", "TipoDocumento,ImportoTotale,Data")
      .Ref("TrasportiAssociati", "TrasportiClienti", kList, "Numero",
           "TipoTrasporto,ImportoTotale,Data")
      .Ref("Operatore", "Operatori", kSingle, "", "Nome");
  RowTables(c, "DettagliOrdiniClienti",
            "QuantitàOrdine:16,QuantitàScaricata:16,PrezzoUnitario:20,PercentualeSconto:16,"
            "PrezzoUnitarioFinale:20,ImportoListino:20,Importo:20,ImportoIVA:20,"
            "ImportoFinale:20,IVAEsente:14");

  c.Table("OrdiniFornitori")
      .Fields("Data:17,AnnoRiferimento:11,Numero:11,ImportoTotale:20,ImportoTotaleIVA:20," +
              kCharges +
              ",DataEvasione:19?,Evaso:14,IVAEsente:14,Riferimento:0,File:5,Note:8,"
              "Archiviato:14")
      .Ref("Fornitore", "Fornitori", kSingle, "Codice", "RagioneSociale")
      .Ref("Causale", "Causali", kSingle, "", "Descrizione")
      .Ref("TipoPagamento", "TipiPagamento", kSingle, "Codice", "Descrizione")
      .Ref("BancaDiAppoggio", "Banche", kSingle, "Nome", "Agenzia")
      .Ref("TipoPorto", "TipiPorto", kSingle, "", "Descrizione")
      .Ref("DocumentiRichiesti", "TipiAllegato", kList, "", "Descrizione")
      .Ref("Dettagli", "DettagliOrdiniFornitori", kOwnedList, "Codice",
           "Descrizione,QuantitàOrdine,QuantitàCaricata,Importo,ImportoIVA")
      .Ref("DettagliLiberi", "DettagliOrdiniFornitoriLib", kOwnedList, "",
           "Descrizione,QuantitàOrdine,Importo,ImportoIVA")
      .Ref("FornitureAssociate", "Forniture", kList, "Documento",
           "TipoDocumento,ImportoTotale,Data")
      .Ref("TrasportiAssociati", "TrasportiFornitori", kList, "Numero",
           "TipoTrasporto,ImportoTotale,Data")
      .Ref("Operatore", "Operatori", kSingle, "", "Nome");
  RowTables(c, "DettagliOrdiniFornitori",
            "QuantitàOrdine:16,QuantitàCaricata:16,PrezzoListino:20,PercentualeSconto:16,"
            "PrezzoUnitario:20,ImportoListino:20,Importo:20,ImportoIVA:20,ImportoFinale:20,"
            "IVAEsente:14");

  c.Table("TrasportiBase")
      .Fields("Data:17,AnnoRiferimento:11,Numero:11,ImportoTotale:20,ImportoTotaleIVA:20," +
              kCharges +
              ",DataEvasione:19?,DataSpedizione:19?,IVAEsente:14,NumeroColli:11,"
              "PesoComplessivo:16,Riferimento:0,File:5,Evaso:14,Spedito:14,Note:8,"
              "Archiviato:14")
      .Ref("TipoTrasporto", "TipiTrasporto", kSingle, "Abbreviazione", "Descrizione")
      .Ref("Causale", "Causali", kSingle, "", "Descrizione")
      .Ref("AMezzo", "TipiSoggettiTrasorto", kSingle, "", "Descrizione")
      .Ref("Vettore", "Vettori", kSingle, "", "RagioneSociale")
      .Ref("SecondoVettore", "Vettori", kSingle, "", "RagioneSociale")
      .Ref("TipoPorto", "TipiPorto", kSingle, "", "Descrizione")
      .Ref("AspettoBeni", "TipiAspettoBeni", kSingle, "", "Descrizione")
      .Ref("TipoPagamento", "TipiPagamento", kSingle, "Codice", "Descrizione")
      .Ref("BancaDiAppoggio", "Banche", kSingle, "Nome", "Agenzia")
      .Ref("Operatore", "Operatori", kSingle, "", "Nome");
  c.Table("TrasportiClienti")
      .Extends("TrasportiBase")
      .Fields("Destinazione:0,IndirizzoDestinazione:0")
      .Ref("Cliente", "Clienti", kSingle, "Codice", "RagioneSociale")
      .Ref("Listino", "Listini", kSingle, "", "Descrizione,PercentualeRicaricoPredefinito")
      .Ref("Dettagli", "DettagliDDTClienti", kOwnedList, "Codice",
           "Descrizione,QuantitàTrasporto,Importo,ImportoIVA")
      .Ref("DettagliLiberi", "DettagliDDTClientiLib", kOwnedList, "",
           "Descrizione,QuantitàTrasporto,Importo,ImportoIVA")
      .Ref("CittàDestinazione", "Comuni", kSingle, "", "Descrizione,CAP,Provincia")
      .Ref("VenditeAssociate", "Vendite", kList, "Numero", "TipoDocumento,ImportoTotale,Data");
  RowTables(c, "DettagliDDTClienti",
            "QuantitàTrasporto:16,QuantitàScaricata:16,PrezzoUnitario:20,PercentualeSconto:16,"
            "PrezzoUnitarioFinale:20,ImportoListino:20,Importo:20,ImportoIVA:20,"
            "ImportoFinale:20,Riferimento:0,IVAEsente:14");
  c.Table("TrasportiFornitori")
      .Extends("TrasportiBase")
      .Fields("Documento:0,Provenienza:0,IndirizzoProvenienza:0,DistribuisciCostoOneri:14")
      .Ref("Fornitore", "Fornitori", kSingle, "Codice", "RagioneSociale")
      .Ref("Dettagli", "DettagliDDTFornitori", kOwnedList, "Codice",
           "Descrizione,QuantitàTrasporto,Importo,ImportoIVA")
      .Ref("DettagliLiberi", "DettagliDDTFornitoriLib", kOwnedList, "",
           "Descrizione,QuantitàTrasporto,Importo,ImportoIVA")
      .Ref("CittàProvenienza", "Comuni", kSingle, "", "Descrizione,CAP,Provincia")
      .Ref("FornitureAssociate", "Forniture", kList, "Documento",
           "TipoDocumento,ImportoTotale,Data");
  RowTables(c, "DettagliDDTFornitori",
            "QuantitàTrasporto:16,QuantitàCaricata:16,PrezzoListino:20,PercentualeSconto:16,"
            "PrezzoUnitario:20,ImportoListino:20,Importo:20,ImportoIVA:20,ImportoFinale:20,"
            "Riferimento:0,IVAEsente:14",
            ",ImportoParzialeOneri:20");
}

void Payments(MemoryCatalog& c) {
  const std::string header =
      "Documento:0,DataDocumento:17,Importo:20,DataDecorrenzaPagamento:17?,NumeroRate:12,"
      "Saldato:14,ImportoDaPagare:20,Note:0,DataInserimento:19,Contabilizza:14";
  const std::string bank = "Nome,Agenzia,ABI,CAB,NumeroConto,CIN,CodiceSwift";
  c.Table("PagamentiCliente")
      .Fields(header)
      .Ref("Cliente", "Clienti", kSingle, "Codice", "RagioneSociale")
      .Ref("TipoDocumento", "TipiDocumento", kSingle, "", "Descrizione,Contabilizza")
      .Ref("TipoPagamento", "TipiPagamento", kSingle, "Codice", "Descrizione,Modalità")
      .Ref("BancaDiRiferimento", "Banche", kSingle, "", bank)
      .Ref("Dettagli", "DettagliPagamentiCliente", kOwnedList, "NumeroRata",
           ",Tipo,Importo,DataScadenza,DataOperazione,Pagato,DaVerificare,Insoluto,Modalità")
      .Ref("Movimento", "PrimaNota", kOwnedSingle, "", ",Tipo,ImportoDareAvere")
      .Ref("BancaPropriaRiBa", "Banche", kSingle, "", bank);
  c.Table("DettagliPagamentiCliente")
      .Fields(
          "NumeroRata:11,Importo:20,Modalità:11,Tipo:11,DataScadenza:17?,Pagato:14,"
          "DaVerificare:14,Insoluto:14,DataOperazione:19?,Note:0,Contabilizza:14,"
          "DataInserimento:17,Numero:11")
      .Ref("Movimento", "PrimaNota", kOwnedSingle, "", ",Tipo,ImportoDareAvere")
      .Ref("MovimentoInsoluto", "PrimaNota", kOwnedSingle, "", ",Tipo,ImportoDareAvere");
  c.Table("AcquistoFornitori")
      .Fields(header)
      .Ref("Fornitore", "Fornitori", kSingle, "Codice", "RagioneSociale")
      .Ref("TipoPagamento", "TipiPagamento", kSingle, "Codice", "Descrizione,Modalità")
      .Ref("TipoDocumento", "TipiDocumento", kSingle, "", "Descrizione")
      .Ref("BancaDiRiferimento", "Banche", kSingle, "", bank)
      .Ref("Dettagli", "DettagliAcquistoFornitori", kOwnedList, "NumeroRata",
           ",Tipo,Importo,DataScadenza,DataOperazione,Pagato,Modalità")
      .Ref("Movimento", "PrimaNota", kOwnedSingle, "", ",Tipo,ImportoDareAvere");
  c.Table("DettagliAcquistoFornitori")
      .Fields(
          "NumeroRata:11,Importo:20,Modalità:11,Tipo:11,DataScadenza:17?,Pagato:14,"
          "DataOperazione:19?,Note:0,Contabilizza:14,DataInserimento:17,Numero:11")
      .Ref("Movimento", "PrimaNota", kOwnedSingle, "", ",Tipo,ImportoDareAvere");
  c.Table("PrimaNota")
      .Fields(
          "DataInserimento:17,Tipo:11,ImportoMovimento:20,DataMovimento:17,Descrizione:0,"
          "ImportoDareAvere:20,Note:8")
      .Ref("Soggetto", "Soggetti", kSingle, "", "RagioneSociale");
}

MemoryCatalog Build() {
  MemoryCatalog c;
  Registries(c);
  Articles(c);
  CodeTables(c);
  Documents(c);
  Payments(c);
  return c;
}

}  // namespace

const MemoryCatalog& ShopCatalog() {
  static const MemoryCatalog catalog = Build();
  return catalog;
}

}  // namespace tillbook::jet::testing
