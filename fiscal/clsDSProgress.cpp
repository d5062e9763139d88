#include "fiscal/clsDSProgress.h"

#include <cmath>
#include <cstdlib>

#include "base/money.h"

namespace tillbook::fiscal {

namespace {

bool EndsWithEotCr(const std::string& s) {
  return s.size() >= 2 && s[s.size() - 2] == kEOT && s.back() == kCR;
}

}  // namespace

std::string DspLineCommand(double price, int quantity, std::string_view description, int department,
                           int decimals, int descriptionLen) {
  const bool isReturn = price < 0 || quantity < 0;
  const int d = std::clamp(decimals, 0, 4);
  // |price| x |quantity|, rounded half up to the currency's digits, in its smallest units.
  const Money amount =
      Money::FromDouble(std::fabs(price)) * static_cast<double>(std::abs(quantity));
  int64_t unit = 1;
  for (int i = d; i < 4; ++i) unit *= 10;
  const int64_t units = (std::llabs(amount.raw()) + unit / 2) / unit;
  std::string command = isReturn ? "KR-" : "KR";
  command += std::to_string(units);
  command += department >= 1 && department <= 9 ? "R" + std::to_string(department) : "R0";
  command += DeviceDescription(description, std::min(descriptionLen, 22));
  return command;
}

void clsDSProgress::DSP_ClearCOMM() {
  // Bounded, so a device that never stops talking cannot hold the program here.
  for (int i = 0; i < 64 && port().InputWaiting() > 0; ++i) port().DiscardInput();
}

bool clsDSProgress::DSP_ReadData(std::string& reply) {
  const int timeout = settings().Timout;
  std::string text = WaitFirst(timeout);
  if (text.empty()) return false;
  ReadMore(text, timeout / 2, EndsWithEotCr);
  if (EndsWithEotCr(text)) {
    reply = text.substr(0, text.size() - 2);
    return true;
  }
  DSP_ClearCOMM();
  return false;
}

bool clsDSProgress::DSP_SendCmd(std::string_view command, std::string& reply) {
  DSP_ClearCOMM();
  if (!port().Write(std::string(command) + kCR)) return false;
  return DSP_ReadData(reply);
}

void clsDSProgress::NewSession(int16_t decimals) {
  decimals_ = decimals;
  EnsureOpen();
  DSP_ClearCOMM();
  std::string reply;
  if (!DSP_SendCmd("KXCL", reply)) {
    RaiseDriverError(FiscalPrinterDescription(), 1, CommunicationFailure());
  }
}

void clsDSProgress::SendData(double price, int16_t quantity, const std::string& description,
                             int16_t department) {
  std::string reply;
  if (!DSP_SendCmd(DspLineCommand(price, quantity, description, department, decimals_,
                                  settings().DescriptionLen),
                   reply)) {
    RaiseDriverError(
        FiscalPrinterDescription(), 3,
        "Errore di comunicazione in invio dei dati (reparto " + std::to_string(department) + ")");
  }
}

void clsDSProgress::EndSession() {
  std::string reply;
  if (!DSP_SendCmd("KRT1", reply)) {
    RaiseDriverError(FiscalPrinterDescription(), 2,
                     "Errore di comunicazione in chiusura dello scontrino");
  }
}

void clsDSProgress::CancelSession() {
  std::string reply;
  if (!DSP_SendCmd("KXCL", reply)) {
    RaiseDriverError(FiscalPrinterDescription(), 4,
                     "Errore di comunicazione in annullamento dello scontrino");
  }
}

}  // namespace tillbook::fiscal
