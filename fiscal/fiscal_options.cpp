#include "fiscal/fiscal_options.h"

#include <cmath>
#include <cstdio>

#include "core/configuration.h"
#include "engine/ui_services.h"
#include "fiscal/modFiscalPrinter.h"
#include "platform/settings.h"

namespace tillbook::fiscal {

using engine::Buttons;
using engine::Icon;

int TypeCodeAt(int typeIndex) {
  const auto& types = DeviceTypes();
  if (typeIndex < 0 || static_cast<size_t>(typeIndex) >= types.size()) return kDeviceNone;
  return types[static_cast<size_t>(typeIndex)].code;
}

int TypeIndexOf(int code) {
  const auto& types = DeviceTypes();
  for (size_t i = 0; i < types.size(); ++i) {
    if (types[i].code == code) return static_cast<int>(i);
  }
  return -1;
}

std::string ZeroPadded(int value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

FiscalControlsEnabled EnableRegControls(FiscalOptionsValues& values) {
  const int code = TypeCodeAt(values.typeIndex);
  FiscalControlsEnabled on;
  if (code == kDeviceNone || code == kDeviceNetwork) return on;
  on.options = true;
  if (code == kDeviceSID) {
    values.portIndex = 1;
    return on;
  }
  on.portList = true;
  if (code == kDeviceRCHNucleo) return on;
  on.portParam = on.timeout = values.portIndex > 0;
  on.commandWait = on.portParam && code == kDeviceCRF4600;
  return on;
}

std::string FiscalDeviceHint(int code) {
  std::string part;
  switch (code) {
    case kDeviceCRF4600:
      part =
          "sia abilitata l'apposita opzione di Emissione Scontrini <904> nel registratore di "
          "cassa";
      break;
    case kDeviceEllisse:
      part =
          "sia abilitata l'apposita opzione di Emissione Scontrini <83> nel registratore di "
          "cassa tramite la chiave SERVICE, in modalità Stampante Fiscale (ACK/NACK)";
      break;
    case kDeviceEllisseExt:
      part =
          "sia abilitata l'apposita opzione di Emissione Scontrini <83> nel registratore di "
          "cassa tramite la chiave SERVICE, in modalità ON-Line Esteso";
      break;
    case kDeviceRCHG600:
    case kDeviceRCHG1200:
    case kDeviceRCHG2000:
      part = "sia stato installato il Driver RCH (RCHCom) ";
      break;
    case kDeviceRCHNucleo:
      part =
          "sia stato installato il Driver RCH (RCHNucleo contenuto anche nel pacchetto "
          "DemoNucleo) ";
      break;
    case kDeviceSID:
      part =
          "sia stato installato il Driver SMARTComm, inoltre devono essere state attivate le "
          "opzioni di comunicazione:\rDa programmazione <P> (Shift + P) impostare "
          "40[ST]016[TOT] e 40[ST]020[TOT]";
      break;
    case kDeviceOmegaSAX:
      part =
          "sia abilitata l'apposita opzione di Emissione Scontrini nel registratore di cassa "
          "tramite la chiave SERVICE";
      break;
    case kDeviceDSProgress:
      part =
          "sia abilitata l'apposita opzione di Emissione Scontrini nel registratore di cassa "
          "tramite le seguenti linee di opzioni:\r109[subtot]   00001111[subtot]\r"
          "114[subtot]   00000000[subtot]";
      break;
    default:
      part =
          "sia abilitata l'apposita opzione di Emissione Scontrini nel registratore di "
          "cassa.\r\rConsultare il manuale d'uso oppure contattare il supporto tecnico.";
      break;
  }
  return "INFORMAZIONI:\r\rSe viene attivata la funzione di emissione scontrini e il registratore "
         "di cassa non produce la stampa assicurarsi che " +
         part;
}

std::string ConversionCaption(const std::string& currencyName) {
  return "Usa valuta di conversione (" + currencyName + ")";
}

FiscalOptionsEditor::FiscalOptionsEditor(FiscalModule& module, platform::SettingsStore& store,
                                         engine::UiServices& ui,
                                         std::optional<std::string> conversionCurrency)
    : module_(module), store_(store), ui_(ui), conversionCurrency_(std::move(conversionCurrency)) {}

FiscalOptionsValues FiscalOptionsEditor::Load() const {
  const FiscalSettings& s = module_.settings;
  FiscalOptionsValues v;
  v.typeIndex = TypeIndexOf(s.Type);
  v.portIndex = s.COMPortNumber >= 0 && s.COMPortNumber <= 8 ? s.COMPortNumber : 0;
  v.portParam = s.COMPortParam;
  v.commandWait = ZeroPadded(s.CommandWait, 5);
  v.timeout = ZeroPadded(s.Timout, 5);
  v.department = ZeroPadded(s.DefaultDepartment, 5);
  v.descriptionLen = ZeroPadded(s.DescriptionLen, 3);
  // Without a conversion currency the box is hidden, and a hidden box is never ticked.
  v.currencyConversion = conversionCurrency_ && s.CurrencyConversion;
  v.sendDescription = s.SendDescription;
  return v;
}

namespace {

int FieldNumber(const std::string& text) {
  return static_cast<int>(std::lround(core::NumberValue(text)));
}

}  // namespace

void FiscalOptionsEditor::Save(const FiscalOptionsValues& values) {
  FiscalSettings s = module_.settings;
  s.Type = TypeCodeAt(values.typeIndex);
  s.COMPortNumber = values.portIndex;
  s.COMPortParam = values.portParam;
  s.CommandWait = FieldNumber(values.commandWait);
  s.Timout = FieldNumber(values.timeout);
  s.DefaultDepartment = FieldNumber(values.department);
  s.DescriptionLen = FieldNumber(values.descriptionLen);
  s.CurrencyConversion = conversionCurrency_ && values.currencyConversion;
  s.SendDescription = values.sendDescription;
  SaveFiscalPrinterSettings(store_, s);
  module_.settings = s;
}

bool FiscalOptionsEditor::Confirm(const FiscalOptionsValues& values) {
  try {
    Save(values);
    return true;
  } catch (const Error& e) {
    ui_.MessageBox(e.message(), Buttons::Ok, Icon::Critical);
    return false;
  }
}

void FiscalOptionsEditor::ShowInfo(const FiscalOptionsValues& values) {
  ui_.MessageBox(FiscalDeviceHint(TypeCodeAt(values.typeIndex)), Buttons::Ok, Icon::Information);
}

void FiscalOptionsEditor::SendTestLines() {
  itfFiscalPrinter* printer = module_.driver();
  const auto decimals = static_cast<int16_t>(mainDecimals);
  printer->NewSession(decimals);
  printer->SendData(std::pow(10.0, -mainDecimals), 1, "ARTICOLO PROVA", 1);
  printer->EndSession();
}

bool FiscalOptionsEditor::SendTestReceipt(const FiscalOptionsValues& values,
                                          const std::function<void(bool)>& working) {
  ui_.Beep();
  if (ui_.MessageBox(
          "Le impostazioni correnti verranno salvate...\r\rConfermi l'invio dello scontrino di "
          "prova ?",
          Buttons::OkCancel, Icon::Question) != engine::Answer::Ok) {
    return false;
  }
  const bool hadDriver = module_.driver() != nullptr;
  const bool wasBusy = module_.busy;
  bool sent = false;
  bool shownWorking = false;
  // The spool timer keeps off the driver while the test receipt goes out.
  module_.busy = true;
  try {
    Save(values);
    if (module_.CreateFiscalPrinter(false, ui_) && module_.driver()) {
      if (working) working(true);
      shownWorking = true;
      SendTestLines();
      sent = true;
    }
  } catch (const std::exception& e) {
    if (shownWorking && working) working(false);
    shownWorking = false;
    const auto* error = dynamic_cast<const Error*>(&e);
    ui_.MessageBox("Errore in stampa scontrino: \r\r" + (error ? error->message() : e.what()),
                   Buttons::Ok, Icon::Critical);
  }
  // A printer that was not active before does not stay connected because of a test.
  if (!hadDriver) module_.CreateFiscalPrinter(true, ui_);
  if (shownWorking && working) working(false);
  module_.busy = wasBusy;
  return sent;
}

}  // namespace tillbook::fiscal
