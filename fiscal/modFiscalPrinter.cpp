#include "fiscal/modFiscalPrinter.h"

#include <algorithm>
#include <cmath>

#include "base/money.h"
#include "calc/rounding.h"
#include "engine/catalog.h"
#include "engine/row.h"
#include "engine/ui_services.h"
#include "fiscal/clsCRF4600.h"
#include "fiscal/clsDSProgress.h"
#include "fiscal/clsEllisse.h"
#include "fiscal/clsOmegaSAX.h"
#include "fiscal/clsRCH.h"
#include "fiscal/clsSID.h"
#include "fiscal/request_spool.h"

namespace tillbook::fiscal {

using engine::Buttons;
using engine::Icon;

std::unique_ptr<itfFiscalPrinter> NewDriver(int type, DriverContext context) {
  switch (type) {
    case kDeviceCRF4600:
      return std::make_unique<clsCRF4600>(std::move(context));
    case kDeviceDSProgress:
      return std::make_unique<clsDSProgress>(std::move(context));
    case kDeviceEllisse:
      return std::make_unique<clsEllisse>(std::move(context));
    case kDeviceEllisseExt:
      return std::make_unique<clsEllisseExt>(std::move(context));
    case kDeviceOmegaSAX:
      return std::make_unique<clsOmegaSAX>(std::move(context));
    case kDeviceRCHG600:
      return std::make_unique<clsRCHG600>(std::move(context));
    case kDeviceRCHG1200:
    case kDeviceRCHG2000:
      return std::make_unique<clsRCHG1200>(std::move(context));
    case kDeviceRCHNucleo:
      return std::make_unique<clsRCHNucleo>(std::move(context));
    case kDeviceSID:
      return std::make_unique<clsSID>(std::move(context));
    default:
      break;
  }
  return nullptr;
}

bool FiscalModule::CreateFiscalPrinter(bool release, engine::UiServices& ui) {
  driver_.reset();
  if (release) return true;
  const int type = settings.Type;
  const auto port = Variant::Integer(static_cast<int16_t>(settings.COMPortNumber));
  std::vector<Variant> params;
  switch (type) {
    case kDeviceCRF4600:
    case kDeviceEllisse:
    case kDeviceEllisseExt:
    case kDeviceSID:
    case kDeviceOmegaSAX:
    case kDeviceDSProgress:
      params = {port, Variant::String(settings.COMPortParam)};
      break;
    case kDeviceRCHG600:
    case kDeviceRCHG1200:
    case kDeviceRCHG2000: {
      auto speed = SpeedCode(settings.COMPortParam);
      if (!speed) {
        ui.MessageBox("Velocita' imposta non valida (1200,2400,4800,9600 o 19200)", Buttons::Ok,
                      Icon::Exclamation);
        return false;
      }
      params = {port, Variant::Integer(static_cast<int16_t>(*speed)),
                Variant::Integer(static_cast<int16_t>(DataBitsCode(settings.COMPortParam)))};
      break;
    }
    case kDeviceRCHNucleo:
      params = {port};
      break;
    case kDeviceNetwork:
      return true;
    default:
      return false;
  }
  DriverContext context{settings, pumpEvents, beep,       newPort,
                        rchLink,  nucleoLink, ddePartner, controlTrace};
  auto made = NewDriver(type, std::move(context));
  if (!made) return false;
  if (wrapDriver) made = wrapDriver(std::move(made));
  made->SetParameters(params);
  driver_ = std::move(made);
  return true;
}

void FiscalModule::SetFiscalPrinter(bool enable, engine::UiServices& ui) {
  try {
    if (enable) {
      if (CreateFiscalPrinter(false, ui)) {
        ui.SetStatusText(driver_ ? "Registratore di cassa <" + driver_->FiscalPrinterDescription() +
                                       "> attivato"
                                 : std::string("Registratore di cassa in rete attivato"));
      }
    } else {
      CreateFiscalPrinter(true, ui);
      ui.SetStatusText("Registratore di cassa disattivato");
    }
  } catch (const Error& e) {
    driver_.reset();
    ui.MessageBox("Impostazione registratore di cassa fallita: \r\r" + e.message(), Buttons::Ok,
                  Icon::Critical);
    enabled = false;
    setMenuChecked(false);
    return;
  }
  enabled = enable;
  setMenuChecked(enable);
  saveEnabled(enable);
}

namespace {

Money FieldMoney(const engine::Row& row, const char* field) {
  const Variant v = row.Get(field);
  return v.IsNull() || v.IsEmpty() ? Money() : v.ToMoney();
}

double FieldNumber(const engine::Row& row, const char* field) {
  const Variant v = row.Get(field);
  return v.IsNull() || v.IsEmpty() ? 0.0 : v.ToDouble();
}

std::string FieldText(const engine::Row& row, const char* field) {
  return row.Get(field).ToText();
}

int16_t ToInteger(double value) {
  // Nearest whole number, halves to the even one.
  const double whole = std::nearbyint(value);
  if (whole < -32768 || whole > 32767) throw Error("Overflow", "", 6);
  return static_cast<int16_t>(whole);
}

struct Line {
  engine::Row row;
  Money amount;
};

std::vector<Line> RowsLargestFirst(const engine::Row& sale, const char* list) {
  std::vector<Line> lines;
  for (auto& row : sale.List(list)) {
    Money amount = FieldMoney(row, "Importo");
    lines.push_back({row, amount});
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const Line& a, const Line& b) { return a.amount > b.amount; });
  return lines;
}

// The register department of a row and the name its message uses; 0 when the row leads to none.
std::pair<int, std::string> Department(const engine::Row& row, bool freeRow) {
  if (freeRow) {
    auto vat = row.Reference("IVA");
    if (!vat) return {0, ""};
    return {static_cast<int>(FieldNumber(*vat, "CodiceCassaPredefinito")),
            FieldText(*vat, "Descrizione")};
  }
  auto sector = row.Reference("Settore");
  auto department = sector ? sector->Reference("Reparto") : std::nullopt;
  if (!department) return {0, ""};
  return {static_cast<int>(FieldNumber(*department, "CodiceCassa")),
          FieldText(*department, "Descrizione")};
}

// Sends one row: pieces at the rounded unit price when the quantity allows it, else one piece
// at the row amount.
void SendRow(FiscalModule& module, itfFiscalPrinter& printer, const engine::Row& row,
             int department) {
  const FiscalSettings& s = module.settings;
  const Money amount = FieldMoney(row, "Importo") + FieldMoney(row, "ImportoIVA");
  const std::string description = s.SendDescription ? FieldText(row, "Descrizione") : "";
  const double quantity = FieldNumber(row, "QuantitàScarico");
  const auto dep = static_cast<int16_t>(department);
  if (quantity != 0 && quantity < 99 && !s.CurrencyConversion) {
    const Money unit = calc::RoundCurrency(amount / quantity, false, calc::kFactorPrice);
    printer.SendData(unit.ToDouble(), ToInteger(quantity), description, dep);
  } else {
    Money whole = calc::RoundCurrency(amount, s.CurrencyConversion, calc::kFactorPrice,
                                      module.conversionValue);
    // The conversion currency may have fewer digits than cents (none, for some).
    if (s.CurrencyConversion) whole = HalfEven(whole, std::clamp(module.conversionDecimals, 0, 4));
    printer.SendData(whole.ToDouble(), 1, description, dep);
  }
}

constexpr const char* kBusyText = "Emissione scontrino in corso...";

// One attempt: true when every row went and the receipt was closed.
bool Attempt(FiscalModule& module, itfFiscalPrinter& printer, engine::Row& sale,
             engine::UiServices& ui, int16_t decimals) {
  printer.NewSession(decimals);
  struct Part {
    const char* list;
    bool freeRows;
  };
  std::vector<Part> parts = {{"Dettagli", false}};
  if (module.useNoMagazzino && sale.table().FindReference("DettagliLiberi")) {
    parts.push_back({"DettagliLiberi", true});
  }
  for (const auto& part : parts) {
    auto lines = RowsLargestFirst(sale, part.list);
    ui.ProgressStart(kBusyText, static_cast<int>(lines.size()));
    int done = 0;
    for (const auto& line : lines) {
      if (!ui.ProgressStep(++done)) return false;
      auto [department, name] = Department(line.row, part.freeRows);
      if (department <= 0) {
        ui.MessageBox(part.freeRows
                          ? "Il Codice Cassa Predefinito per l'Iva <" + name + "> non e' valido"
                          : "Il Codice Cassa per il Reparto <" + name + "> non e' valido",
                      Buttons::Ok, Icon::Exclamation);
        return false;
      }
      SendRow(module, printer, line.row, department);
    }
  }
  printer.EndSession();
  return true;
}

}  // namespace

bool Send_Scontrino(FiscalModule& module, engine::Row& sale, engine::UiServices& ui) {
  if (FieldMoney(sale, "ImportoTotale") < Money()) {
    ui.MessageBox("N.B.: Lo scontrino non può essere emesso perchè il totale risulta negativo",
                  Buttons::Ok, Icon::Information);
    return false;
  }
  module.busy = true;
  struct BusyEnd {
    FiscalModule& module;
    engine::UiServices& ui;
    ~BusyEnd() {
      ui.ProgressEnd();
      module.busy = false;
    }
  } busyEnd{module, ui};
  ui.ProgressStart(kBusyText, 0);

  itfFiscalPrinter* printer = module.driver();
  if (!printer) {
    ui.SetStatusText("Emissione scontrino in Rete...");
    RequestSpool spool(module.dataFolder, module.hostName);
    spool.PostReceiptRequest(module.userName, sale.TableName(), sale.Oid(), ui, module.pumpEvents);
    return false;
  }
  try {
    ui.SetStatusText("Emissione scontrino in " + printer->FiscalPrinterDescription() + "...");
    const auto decimals = static_cast<int16_t>(
        module.settings.CurrencyConversion ? module.conversionDecimals : calc::kCurrencyDecimals);
    for (;;) {
      if (Attempt(module, *printer, sale, ui, decimals)) return true;
      printer->CancelSession();
      const auto answer =
          ui.MessageBox("Lo scontrino non e' stato stampato correttamente...\r\rVuoi riprovare ?",
                        Buttons::OkCancel, Icon::Exclamation);
      if (answer != engine::Answer::Ok) return false;
    }
  } catch (const Error& e) {
    ui.MessageBox(
        "Si e' verificato un errore durante l'emissione dello scontrino:\r\r" + e.message(),
        Buttons::Ok, Icon::Critical);
  } catch (const std::exception& e) {
    ui.MessageBox(
        std::string("Si e' verificato un errore durante l'emissione dello scontrino:\r\r") +
            e.what(),
        Buttons::Ok, Icon::Critical);
  }
  return false;
}

bool ReprintReceipt(FiscalModule& module, engine::Row& sale, engine::UiServices& ui,
                    const std::function<void(bool)>& working) {
  if (!module.enabled) {
    ui.MessageBox(
        "Registratore di cassa non attivato...\r\rPer attivarlo usare l'apposita opzione dal menù "
        "Strumenti",
        Buttons::Ok, Icon::Exclamation);
    return false;
  }
  ui.Beep();
  if (ui.MessageBox("Confermi la ristampa dello scontrino ?", Buttons::OkCancel, Icon::Question) !=
      engine::Answer::Ok) {
    return false;
  }
  if (working) working(true);
  const bool done = Send_Scontrino(module, sale, ui);
  if (working) working(false);
  if (!done) return false;
  ui.MessageBox("Lo scontrino e' stato ristampato...", Buttons::Ok, Icon::Information);
  return true;
}

void OfferActivation(FiscalModule& module, engine::UiServices& ui) {
  if (module.settings.Type == kDeviceNone) return;
  const auto answer = ui.MessageBox(
      "<INFORMAZIONI>\r\rE' possibile Attivare / Disattivare il registratore di cassa mediante "
      "l'apposita voce da menù <Strumenti>\r\rVuoi attivarlo adesso ?",
      Buttons::YesNo, Icon::Question);
  module.SetFiscalPrinter(answer == engine::Answer::Yes, ui);
}

}  // namespace tillbook::fiscal
