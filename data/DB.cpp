#include "data/DB.h"

#include <memory>

#include "data/AcquistoFornitori.h"
#include "data/Agenti.h"
#include "data/Articoli.h"
#include "data/ArticoliLiberi.h"
#include "data/Attivita.h"
#include "data/Banche.h"
#include "data/CategorieSoggetti.h"
#include "data/Causali.h"
#include "data/Clienti.h"
#include "data/CodiciBarre.h"
#include "data/CodiciCorrelati.h"
#include "data/CodiciIva.h"
#include "data/Comuni.h"
#include "data/Depositi.h"
#include "data/DettagliAcquistoFornitori.h"
#include "data/DettagliDDTClienti.h"
#include "data/DettagliDDTClientiLib.h"
#include "data/DettagliDDTFornitori.h"
#include "data/DettagliDDTFornitoriLib.h"
#include "data/DettagliForniture.h"
#include "data/DettagliFornitureLib.h"
#include "data/DettagliListinoArticoli.h"
#include "data/DettagliListinoSettori.h"
#include "data/DettagliOrdiniClienti.h"
#include "data/DettagliOrdiniClientiLib.h"
#include "data/DettagliOrdiniFornitori.h"
#include "data/DettagliOrdiniFornitoriLib.h"
#include "data/DettagliPagamentiCliente.h"
#include "data/DettagliPrezziFornitori.h"
#include "data/DettagliVendite.h"
#include "data/DettagliVenditeLib.h"
#include "data/Documenti.h"
#include "data/EsenzioniIva.h"
#include "data/EsportazioneTabelle.h"
#include "data/Fornitori.h"
#include "data/Forniture.h"
#include "data/Listini.h"
#include "data/MigrazioneCampi.h"
#include "data/MigrazioneTabelle.h"
#include "data/Nazioni.h"
#include "data/Operatori.h"
#include "data/OrdiniClienti.h"
#include "data/OrdiniFornitori.h"
#include "data/PagamentiCliente.h"
#include "data/PrimaNota.h"
#include "data/Reparti.h"
#include "data/Settori.h"
#include "data/Soggetti.h"
#include "data/TabProspettiStampa.h"
#include "data/TabStampaEtichette.h"
#include "data/TipiAllegato.h"
#include "data/TipiAspettoBeni.h"
#include "data/TipiDocumento.h"
#include "data/TipiPagamento.h"
#include "data/TipiPorto.h"
#include "data/TipiSoggettiTrasorto.h"
#include "data/TipiTrasporto.h"
#include "data/TrasportiBase.h"
#include "data/TrasportiClienti.h"
#include "data/TrasportiFornitori.h"
#include "data/UnitaMisura.h"
#include "data/Valute.h"
#include "data/Vendite.h"
#include "data/VenditeAccompagnatorie.h"
#include "data/Vettori.h"
#include "data/ZoneGeografiche.h"

namespace tillbook::data {

void DB::itfDefDatabase_Define(engine::DatabaseDef& database) {
  auto add = [&](std::unique_ptr<engine::itfDefTable> table) { database.Add(std::move(table)); };
  if (switches_.EnableGenericLabel) {
    add(std::make_unique<TabStampaEtichette>(switches_));
  }
  add(std::make_unique<TabProspettiStampa>(switches_));
  add(std::make_unique<Operatori>(switches_));
  add(std::make_unique<TipiPagamento>(switches_));
  add(std::make_unique<TipiDocumento>(switches_));
  add(std::make_unique<TipiTrasporto>(switches_));
  add(std::make_unique<TipiPorto>(switches_));
  add(std::make_unique<TipiAllegato>(switches_));
  add(std::make_unique<TipiAspettoBeni>(switches_));
  add(std::make_unique<TipiSoggettiTrasorto>(switches_));
  add(std::make_unique<CodiciIva>(switches_));
  add(std::make_unique<Nazioni>(switches_));
  add(std::make_unique<Comuni>(switches_));
  add(std::make_unique<Causali>(switches_));
  add(std::make_unique<Listini>(switches_));
  add(std::make_unique<Reparti>(switches_));
  add(std::make_unique<DettagliListinoSettori>(switches_));
  add(std::make_unique<Settori>(switches_));
  add(std::make_unique<DettagliListinoArticoli>(switches_));
  add(std::make_unique<Depositi>(switches_));
  add(std::make_unique<Banche>(switches_));
  add(std::make_unique<Valute>(switches_));
  add(std::make_unique<CodiciBarre>(switches_));
  add(std::make_unique<EsenzioniIva>(switches_));
  add(std::make_unique<Documenti>(switches_));
  add(std::make_unique<CategorieSoggetti>(switches_));
  if (switches_.Use_Zone) {
    add(std::make_unique<ZoneGeografiche>(switches_));
  }
  add(std::make_unique<Attività>(switches_));
  add(std::make_unique<Soggetti>(switches_));
  if (switches_.Use_Agenti) {
    add(std::make_unique<Agenti>(switches_));
  }
  add(std::make_unique<Vettori>(switches_));
  add(std::make_unique<Fornitori>(switches_));
  add(std::make_unique<DettagliPrezziFornitori>(switches_));
  add(std::make_unique<PrimaNota>(switches_));
  add(std::make_unique<UnitaMisura>(switches_));
  add(std::make_unique<CodiciCorrelati>(switches_));
  add(std::make_unique<Articoli>(switches_));
  add(std::make_unique<ArticoliLiberi>(switches_));
  add(std::make_unique<Clienti>(switches_));
  add(std::make_unique<DettagliPagamentiCliente>(switches_));
  add(std::make_unique<PagamentiCliente>(switches_));
  add(std::make_unique<DettagliVendite>(switches_));
  add(std::make_unique<DettagliVenditeLib>(switches_));
  add(std::make_unique<Vendite>(switches_));
  add(std::make_unique<VenditeAccompagnatorie>(switches_));
  add(std::make_unique<DettagliAcquistoFornitori>(switches_));
  add(std::make_unique<AcquistoFornitori>(switches_));
  add(std::make_unique<DettagliForniture>(switches_));
  add(std::make_unique<DettagliFornitureLib>(switches_));
  add(std::make_unique<Forniture>(switches_));
  add(std::make_unique<TrasportiBase>(switches_));
  add(std::make_unique<DettagliDDTClienti>(switches_));
  add(std::make_unique<DettagliDDTClientiLib>(switches_));
  add(std::make_unique<TrasportiClienti>(switches_));
  add(std::make_unique<DettagliDDTFornitori>(switches_));
  add(std::make_unique<DettagliDDTFornitoriLib>(switches_));
  add(std::make_unique<TrasportiFornitori>(switches_));
  if (switches_.Use_Ordini) {
    add(std::make_unique<DettagliOrdiniClienti>(switches_));
    add(std::make_unique<DettagliOrdiniClientiLib>(switches_));
    add(std::make_unique<OrdiniClienti>(switches_));
    add(std::make_unique<DettagliOrdiniFornitori>(switches_));
    add(std::make_unique<DettagliOrdiniFornitoriLib>(switches_));
    add(std::make_unique<OrdiniFornitori>(switches_));
  }
  if (switches_.Use_AdvancedMigrationExport) {
    add(std::make_unique<MigrazioneCampi>(switches_));
    add(std::make_unique<MigrazioneTabelle>(switches_));
    add(std::make_unique<EsportazioneTabelle>(switches_));
  }
}

}  // namespace tillbook::data
