#include "fiscal/clsOmegaSAX.h"

#include <cstdio>
#include <cstdlib>

namespace tillbook::fiscal {

std::string SaxLineRecord(double price, int quantity, const std::string& description,
                          int department, int decimals, int descriptionLen) {
  const bool isReturn = price < 0 || quantity < 0;
  std::string text = DeviceDescription(description, std::min(descriptionLen, 15));
  text.resize(15, ' ');
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d", department);
  std::string record = std::string(isReturn ? "r" : "R") + buf + text;
  std::snprintf(buf, sizeof buf, "%08lld",
                static_cast<long long>(std::llabs(SmallestUnits(price, quantity, decimals))));
  return record + buf;
}

bool clsOmegaSAX::SendNumbered(const std::string& command) {
  char number[16];
  std::snprintf(number, sizeof number, "%03d", counter_ % 1000);
  ++counter_;
  bool crSeen = false;
  return SendSax(number + command, crSeen);
}

void clsOmegaSAX::NewSession(int16_t decimals) {
  decimals_ = decimals;
  EnsureOpen();
  ClearComm();
  bool crSeen = false;
  if (!SendSax("F", crSeen)) {
    RaiseDriverError(FiscalPrinterDescription(), 1,
                     CommunicationFailure() + " - azzeramento free conunter");
  }
  counter_ = 0;
  if (!SendNumbered("N")) RaiseDriverError(FiscalPrinterDescription(), 1, CommunicationFailure());
}

void clsOmegaSAX::SendData(double price, int16_t quantity, const std::string& description,
                           int16_t department) {
  if (!SendNumbered(SaxLineRecord(price, quantity, description, department, decimals_,
                                  settings().DescriptionLen))) {
    RaiseDriverError(
        FiscalPrinterDescription(), 3,
        "Errore di comunicazione in invio dei dati (reparto " + std::to_string(department) + ")");
  }
}

void clsOmegaSAX::EndSession() {
  if (!SendNumbered("T 0        0")) {
    RaiseDriverError(FiscalPrinterDescription(), 2,
                     "Errore di comunicazione in chiusura dello scontrino");
  }
}

void clsOmegaSAX::CancelSession() {
  if (!SendNumbered("N")) {
    RaiseDriverError(FiscalPrinterDescription(), 4,
                     "Errore di comunicazione in annullamento dello scontrino");
  }
}

}  // namespace tillbook::fiscal
