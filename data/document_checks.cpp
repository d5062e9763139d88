#include "data/document_checks.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "base/date.h"
#include "base/money.h"
#include "base/text.h"
#include "calc/prices.h"
#include "data/TableClass.h"
#include "data/document_numbering.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/interfaces.h"
#include "engine/row.h"
#include "engine/ui_services.h"

namespace tillbook::data::checks {

namespace {

using engine::Row;

constexpr std::string_view kEvasoByHand =
    "N.B.: Lo stato di Evasione viene gestito automaticamente mediante l'impostazione dei dati "
    "Associati...";
constexpr std::string_view kLoadWithoutDocument =
    "E' necessario specificare il numero o il riferimento al documento di carico";
constexpr std::string_view kPositiveOnReturn =
    "ATTENZIONE: La quantità dell'elemento impostato risulta positiva mentre l'operazione "
    "corrente (RESO) prevede quantità negative, verificare che il valore sia corretto...";
constexpr std::string_view kTransportUnderInvoiced =
    "La quantità di trasporto risulta inferiore di quella impostata nelle fatture/ricevute "
    "corrispondenti. Continuare ?";
constexpr std::string_view kReturnUnderInvoiced =
    "La quantità di reso risulta inferiore di quella impostata nelle fatture/ricevute "
    "corrispondenti. Continuare ?";
// Left on a document once its return warning was shown: the warning comes once per document
// for as long as the archive stays open.
constexpr std::string_view kReturnWarned = "MsgWarningReso";
// "Ambito" of a document type used only for receipts.
constexpr int64_t kReceiptOnly = 3;

bool HasField(const Row& row, std::string_view name) {
  return row.table().FindColumn(name).valid();
}
bool HasReference(const Row& row, std::string_view name) {
  return row.table().FindReference(name) != nullptr;
}
bool IsOrder(const DocumentInfo& info) {
  return info.kind == DocumentKind::CustomerOrder || info.kind == DocumentKind::SupplierOrder;
}
bool IsTransport(const DocumentInfo& info) {
  return info.kind == DocumentKind::CustomerTransport ||
         info.kind == DocumentKind::SupplierTransport;
}
bool Is(std::string_view field, std::string_view name) {
  return text::EqualNoCase(field, name);
}
double Number(const Variant& v) {
  return v.IsNull() || v.IsEmpty() ? 0 : v.ToDouble();
}

// Whether the document's reason reverses the stock movement (a return, an operation on account).
bool IsReturn(const Row& doc) {
  if (!HasReference(doc, "Causale")) return false;
  const std::optional<Row> causal = doc.Reference("Causale");
  return causal &&
         calc::IsReverseMovement(causal->Get("Reso").ToBool(), causal->Get("InConto").ToBool());
}

// ---- Associations ---------------------------------------------------------------------------

// Whether other documents are associated with `doc` through its association lists.
bool HasAssociations(const Row& doc) {
  for (const char* list : {"VenditeAssociate", "FornitureAssociate", "TrasportiAssociati"})
    if (HasReference(doc, list) && doc.ListCount(list) > 0) return true;
  return false;
}

// How many rows of `table` list `oid` in their list `list` (0 when the archive has no such
// table: orders are optional).
int64_t CountListing(engine::Connection& connection, std::string_view table, std::string_view list,
                     int64_t oid) {
  if (!connection.catalog().Find(table)) return 0;
  const std::string filter = std::string(list) + ".OID = " + std::to_string(oid);
  return engine::Aggregate(connection, table, engine::AggregateKind::Count, "*", filter).ToInt64();
}

// The question before deleting a document that other documents list; empty when none does.
std::string DeleteQuestion(const DocumentInfo& info, const Row& doc) {
  engine::Connection& c = doc.connection();
  const char* transports = nullptr;
  const char* orders = nullptr;
  const char* list = nullptr;
  switch (info.kind) {
    case DocumentKind::Sale:
      transports = "TrasportiClienti", orders = "OrdiniClienti", list = "VenditeAssociate";
      break;
    case DocumentKind::Load:
      transports = "TrasportiFornitori", orders = "OrdiniFornitori", list = "FornitureAssociate";
      break;
    case DocumentKind::CustomerTransport:
      orders = "OrdiniClienti", list = "TrasportiAssociati";
      break;
    default:
      return {};
  }
  const int64_t nOrders = CountListing(c, orders, list, doc.Oid());
  if (!transports) {
    if (nOrders == 0) return {};
    return "Questo elemento è associato a " + std::to_string(nOrders) + " Ordine/i\nContinuare ?";
  }
  const int64_t nTransports = CountListing(c, transports, list, doc.Oid());
  if (nOrders + nTransports == 0) return {};
  return "Questo elemento è associato a " + std::to_string(nTransports) + " Trasporto/i e " +
         std::to_string(nOrders) + " Ordine/i\nContinuare ?";
}

// ---- The customer of a document -------------------------------------------------------------

// The question about a customer whose default list is the base list without a markup. Only a
// warning here: the customer is mended in its own window.
void CheckBaseList(const TableSwitches& s, const Row& customer, engine::UiServices& ui) {
  const std::optional<Row> list = customer.Reference("ListinoPredefinito");
  if (!list) return;
  if (calc::CheckCustomerBaseList(s.config, list->Get("Descrizione").ToText(),
                                  Number(list->Get("PercentualeRicaricoPredefinito"))))
    ui.MessageBox(calc::kBaseListQuestion, engine::Buttons::YesNo, engine::Icon::Information);
}

// The bank charge of the customer's usual payment type, while the sale has none; a receipt-only
// document type asks first whether the receipt takes it.
void TakeBankCharge(Row& sale, engine::UiServices& ui) {
  if (!sale.Get("ImportoSpeseBancarie").ToMoney().IsZero()) return;
  const std::optional<Row> customer = sale.Reference("Cliente");
  if (!customer) return;
  const std::optional<Row> payment = customer->Reference("TipoPagamentoAbituale");
  if (!payment) return;
  const Money charge = payment->Get("ImportoSpeseBancarie").ToMoney();
  if (charge.raw() <= 0) return;
  // Whether the receipt takes the charge depends on the document type: a sale given its
  // customer first takes the charge when its type is set.
  const std::optional<Row> type = sale.Reference("TipoDocumento");
  if (!type) return;
  if (type->Get("Ambito").ToInt64() == kReceiptOnly) {
    const std::string question =
        "Il tipo pagamento abituale '" + payment->Get("Descrizione").ToText() +
        "' impostato nel Cliente <" + customer->Get("RagioneSociale").ToText() +
        "> prevede le spese bancarie (" + charge.ToFixed(2, ',') +
        ")...\r\rVuoi considerarle nello scontrino ?";
    if (!ui.AskYesNo(question)) return;
  }
  sale.Set("ImportoSpeseBancarie", Variant::Currency(charge));
}

void TakeSaleCustomer(const TableSwitches& s, Row& sale, const Row& customer,
                      engine::UiServices& ui) {
  sale.SetReferenceOid("Listino", customer.ReferenceOid("ListinoPredefinito"));
  const std::optional<Row> exemption = customer.Reference("EsenzioneIVA");
  sale.Set("IVAEsente", Variant::Boolean(exemption && exemption->Get("Esenzione").ToBool()));
  // The default customer of the sales editor is a setting of each person, which the table
  // cannot see: every customer is checked.
  CheckBaseList(s, customer, ui);
  TakeBankCharge(sale, ui);
}

void TakeOrderCustomer(const TableSwitches& s, Row& order, const Row& customer,
                       engine::UiServices& ui) {
  order.SetReferenceOid("TipoPagamento", customer.ReferenceOid("TipoPagamentoAbituale"));
  order.SetReferenceOid("Listino", customer.ReferenceOid("ListinoPredefinito"));
  // The placeholder bank (no name) stands for none: the order keeps its own then.
  if (const std::optional<Row> bank = customer.Reference("BancaDiAppoggio");
      bank && !text::Trim(bank->Get("Nome").ToText()).empty())
    order.SetReferenceOid("BancaDiAppoggio", bank->Oid());
  order.Set("Destinazione", customer.Get("RagioneSociale"));
  CheckBaseList(s, customer, ui);
}

// ---- Rows -----------------------------------------------------------------------------------

// The warning about a positive quantity on a document whose reason is a return, once per
// document: the mark lives on the document's row, which its editor holds while it is open.
void WarnPositiveOnReturn(const DocumentInfo& info, const Row& row, engine::UiServices& ui) {
  if (!HasField(row, info.quantity) || Number(row.Get(info.quantity)) <= 0) return;
  std::optional<Row> doc = row.Parent(info.header);
  if (!doc || doc->IsMarked(kReturnWarned) || !IsReturn(*doc)) return;
  doc->Mark(kReturnWarned);
  ui.Warn(kPositiveOnReturn);
}

// Lowering a customer transport row's quantity under what invoices already took from it. The
// quantities of a return are negative: the comparison is between sizes.
void CheckTransportLowered(const DocumentInfo& info, const Row& row, const Variant& newValue,
                           engine::HookReply& reply) {
  if (!HasField(row, info.fulfilled)) return;
  const double taken = std::abs(Number(row.Get(info.fulfilled)));
  const double next = std::abs(Number(newValue));
  const double now = std::abs(Number(row.Get("QuantitàTrasporto")));
  if (taken == 0 || next >= taken || next >= now) return;
  const std::optional<Row> doc = row.Parent(info.header);
  reply.Ask(doc && IsReturn(*doc) ? kReturnUnderInvoiced : kTransportUnderInvoiced);
}

// ---- Attached files -------------------------------------------------------------------------

std::string AttachmentFolder(const TableSwitches& s, const Row& row) {
  if (!text::Trim(s.config.RootDir).empty()) return s.config.RootDir;
  return std::filesystem::path(row.connection().path()).parent_path().string();
}

std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder + name;
  return folder + "/" + name;
}

std::string DayStamp(const Variant& date) {
  if (date.IsNull() || date.IsEmpty()) return {};
  const DateTime d = date.ToDateTime();
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", d.Year(), d.Month(), d.Day());
  return buffer;
}

}  // namespace

// ---- Headers --------------------------------------------------------------------------------

void HeaderNew(const DocumentInfo& info, const TableSwitches&, engine::Row& doc) {
  if (!numbering::IsNumbered(info)) return;
  numbering::TakeYearOfDate(doc);
  if (doc.Get("Numero").ToInt64() == 0) numbering::Renumber(info, doc, doc.connection().ui());
}

void HeaderBeforeField(const DocumentInfo& info, const TableSwitches&, engine::Row& doc,
                       std::string_view field, const Variant&, engine::HookReply& reply) {
  if (Is(field, "Evaso") && (IsOrder(info) || IsTransport(info)) && !doc.IsGuarded(kSettingEvaso) &&
      HasAssociations(doc))
    reply.Refuse(kEvasoByHand);
}

void HeaderAfterField(const DocumentInfo& info, const TableSwitches&, engine::Row& doc,
                      std::string_view field, engine::HookReply& reply) {
  if (!numbering::IsNumbered(info)) return;
  if (Is(field, "Data")) {
    numbering::TakeYearOfDate(doc);
  } else if (Is(field, "AnnoRiferimento")) {
    numbering::Renumber(info, doc, reply.ui());
  } else if (Is(field, "Numero")) {
    numbering::NoteGivenNumber(doc);
  } else if (Is(field, "Archiviato") && IsOrder(info)) {
    // An order changing state moves to the other numbering of its year. The new state reaches
    // the archive with this change, so the number follows it now rather than at the save.
    numbering::Renumber(info, doc, reply.ui());
  }
}

void HeaderAfterReference(const DocumentInfo& info, const TableSwitches& s, engine::Row& doc,
                          std::string_view reference, const engine::Row* referenced,
                          engine::HookReply& reply) {
  engine::UiServices& ui = reply.ui();
  switch (info.kind) {
    case DocumentKind::Sale:
      if (Is(reference, "TipoDocumento")) {
        numbering::Renumber(info, doc, ui);
        if (referenced) TakeBankCharge(doc, ui);
      } else if (Is(reference, "Cliente") && referenced) {
        TakeSaleCustomer(s, doc, *referenced, ui);
      }
      break;
    case DocumentKind::CustomerOrder:
      if (Is(reference, "Cliente") && referenced) TakeOrderCustomer(s, doc, *referenced, ui);
      break;
    case DocumentKind::CustomerTransport:
      if (Is(reference, "Cliente") && referenced) CheckBaseList(s, *referenced, ui);
      break;
    default:
      break;
  }
}

void HeaderSave(const DocumentInfo& info, const TableSwitches&, engine::Row& doc,
                engine::HookReply& reply) {
  if (info.kind == DocumentKind::Sale) {
    // A warning only: numbers out of order are sometimes wanted (a document entered late).
    numbering::WarnIncoherentNumber(doc, reply.ui());
  } else if (info.kind == DocumentKind::Load) {
    if (text::Trim(doc.Get("Documento").ToText()).empty()) reply.Refuse(kLoadWithoutDocument);
  }
}

void HeaderDelete(const DocumentInfo& info, const TableSwitches&, engine::Row& doc,
                  engine::HookReply& reply) {
  const std::string question = DeleteQuestion(info, doc);
  if (!question.empty()) reply.Ask(question);
}

// ---- Rows -----------------------------------------------------------------------------------

void RowBeforeField(const DocumentInfo& info, const TableSwitches&, engine::Row& row,
                    std::string_view field, const Variant& newValue, engine::HookReply& reply) {
  if (info.kind == DocumentKind::CustomerTransport && Is(field, "QuantitàTrasporto"))
    CheckTransportLowered(info, row, newValue, reply);
}

void RowAfterField(const DocumentInfo& info, const TableSwitches&, engine::Row& row,
                   std::string_view field, engine::HookReply& reply) {
  if (Is(field, info.quantity)) WarnPositiveOnReturn(info, row, reply.ui());
}

void RowSave(const DocumentInfo& info, const TableSwitches&, engine::Row& row,
             engine::HookReply& reply) {
  WarnPositiveOnReturn(info, row, reply.ui());
}

// ---- Attached files -------------------------------------------------------------------------

std::string FileNameSafe(std::string_view text) {
  std::string out(text::Trim(text));
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  return out;
}

std::string AttachedFilesPattern(const TableSwitches& s, const engine::Row& row,
                                 std::string_view field) {
  const std::string& table = row.TableName();
  std::string name;
  if (table == "Articoli") {
    const std::string code = FileNameSafe(row.Get("Codice").ToText());
    if (Is(field, "File")) name = code + "_*.*";
    if (Is(field, "FileAnteprima")) name = code + "_s_*.*";
  } else if (Is(field, "File") && (table == "Vendite" || table == "VenditeAccompagnatorie" ||
                                   table == "OrdiniClienti" || table == "OrdiniFornitori")) {
    name = DayStamp(row.Get("Data")) + "_" + std::to_string(row.Get("Numero").ToInt64());
    if (table.rfind("Vendite", 0) == 0)
      if (const std::optional<Row> type = row.Reference("TipoDocumento"))
        name += "_" + FileNameSafe(type->Get("Descrizione").ToText());
    name += "_*.*";
  }
  if (name.empty()) return {};
  return InFolder(AttachmentFolder(s, row), name);
}

}  // namespace tillbook::data::checks
