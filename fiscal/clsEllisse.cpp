#include "fiscal/clsEllisse.h"

#include <cstdio>
#include <cstdlib>

namespace tillbook::fiscal {

void clsEllisse::Key(const std::string& code, int errorCode, const std::string& message) {
  std::string reply;
  if (!SendEllisse(code, reply)) RaiseDriverError(FiscalPrinterDescription(), errorCode, message);
}

void clsEllisse::NewSession(int16_t decimals) {
  decimals_ = decimals;
  EnsureOpen();
  ClearComm();
  Key("064", 1, CommunicationFailure());
}

void clsEllisse::SendData(double price, int16_t quantity, const std::string&, int16_t department) {
  // The register takes no description in this mode.
  if (price < 0 || quantity < 0) {
    Key("121", 3, "Errore di comunicazione in invio del Reso (tasto 121)");
  }
  const std::string amount = std::to_string(std::llabs(SmallestUnits(price, quantity, decimals_)));
  for (char digit : amount) {
    Key(EllisseDigitKey(digit), 3,
        std::string("Errore di comunicazione in invio dei dati (tasto ") + digit + ")");
  }
  Key(EllisseDepartmentKey(department), 3,
      "Errore di comunicazione in invio dei dati (reparto " + std::to_string(department) + ")");
}

void clsEllisse::EndSession() {
  Key("005", 2, "Errore di comunicazione in chiusura dello scontrino");
}

void clsEllisse::CancelSession() {
  Key("064", 4, "Errore di comunicazione in annullamento dello scontrino");
}

std::string EllisseItemRecord(double price, int quantity, int department, int decimals,
                              bool firstLine) {
  const bool isReturn = price < 0 || quantity < 0;
  char buf[64];
  std::string record = "700";
  record += isReturn ? "8" : firstLine ? "p" : "0";
  std::snprintf(buf, sizeof buf, "%010lld",
                static_cast<long long>(std::llabs(SmallestUnits(price, 1, decimals))));
  record += buf;
  std::snprintf(buf, sizeof buf, "%02d", department);
  record += buf;
  record += "00000000000000";
  // A negative quantity keeps its sign, one character longer: what the register expects for
  // return quantities is not settled.
  std::snprintf(buf, sizeof buf, "%09d", quantity == 1 ? 0 : std::abs(quantity));
  record += (quantity < 0 ? "-" : "") + std::string(buf);
  record += "0" + std::string(16, ' ') + "00";
  return record;
}

std::string EllisseDescriptionRecord(const std::string& deviceText) {
  if (deviceText.empty()) return {};
  std::string text = deviceText.substr(deviceText.find_first_not_of(' ') == std::string::npos
                                           ? deviceText.size()
                                           : deviceText.find_first_not_of(' '));
  if (text.size() > 31) text.resize(31);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  std::string field = "-" + text;
  field.resize(32, ' ');
  return "5100" + field + "0";
}

void clsEllisseExt::NewSession(int16_t decimals) {
  decimals_ = decimals;
  EnsureOpen();
  ClearComm();
  firstLine_ = true;
}

void clsEllisseExt::SendData(double price, int16_t quantity, const std::string& description,
                             int16_t department) {
  const bool isReturn = price < 0 || quantity < 0;
  const std::string record =
      EllisseItemRecord(price, quantity, department, decimals_, firstLine_ && !isReturn);
  if (!isReturn) firstLine_ = false;
  std::string reply;
  busy_ = true;
  const bool sent = SendEllisseConfirmed(record, reply);
  busy_ = false;
  if (!sent)
    RaiseDriverError(FiscalPrinterDescription(), 3, "Errore di comunicazione in invio dei dati");
  const std::string text =
      EllisseDescriptionRecord(DeviceDescription(description, settings().DescriptionLen));
  if (text.empty()) return;
  busy_ = true;
  const bool described = SendEllisse(text, reply);
  busy_ = false;
  if (!described)
    RaiseDriverError(FiscalPrinterDescription(), 3, "Errore di comunicazione in invio dei dati");
}

void clsEllisseExt::EndSession() {
  if (firstLine_) return;
  std::string reply;
  busy_ = true;
  const bool ok = SendEllisseConfirmed("7400000000000010000000000000000000000000", reply);
  busy_ = false;
  if (!ok) {
    RaiseDriverError(FiscalPrinterDescription(), 2,
                     "Errore di comunicazione in chiusura dello scontrino");
  }
}

void clsEllisseExt::CancelSession() {
  if (firstLine_) return;
  std::string reply;
  busy_ = true;
  const bool ok = SendEllisseConfirmed("720 ", reply);
  busy_ = false;
  if (!ok) {
    RaiseDriverError(FiscalPrinterDescription(), 4,
                     "Errore di comunicazione in annullamento dello scontrino");
  }
}

void clsEllisseExt::ServeRegisterMessage() {
  if (busy_ || port().InputWaiting() == 0) return;
  busy_ = true;
  std::string reply;
  if (!ReceiveEllisse(reply, true)) {
    context().beep();
  } else if (reply.rfind("00", 0) != 0 && reply.rfind("89", 0) != 0 && reply.rfind("88", 0) != 0) {
    std::string confirmation;
    if (!SendEllisse("000", confirmation)) context().beep();
  }
  busy_ = false;
}

}  // namespace tillbook::fiscal
