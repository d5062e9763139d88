#include "fiscal/clsCRF4600.h"

#include <cmath>
#include <cstdlib>

#include "base/money.h"

namespace tillbook::fiscal {

namespace {

// `value` rounded half away from zero to `decimals` digits, in plain decimal notation with "."
// ("2.5", "3", "-1.2").
std::string HalfUpText(double value, int decimals) {
  const Money m = Money::FromDouble(value);
  const int d = std::clamp(decimals, 0, 4);
  int64_t unit = 1;
  for (int i = d; i < 4; ++i) unit *= 10;
  int64_t raw = std::llabs(m.raw());
  raw = (raw + unit / 2) / unit * unit;
  return Money::FromRaw(m.raw() < 0 ? -raw : raw).ToString();
}

}  // namespace

std::string CrfField(std::string_view text) {
  const size_t n = std::min<size_t>(text.size(), 255 - 32);
  return std::string(1, static_cast<char>(32 + n)) + std::string(text.substr(0, n));
}

std::string CrfLineCommand(std::string_view priceText, int quantity, std::string_view description,
                           int descriptionLen) {
  std::string price(priceText);
  for (char& c : price) {
    if (c == ',') c = '.';
  }
  if (!price.empty() && price.front() == '-') price.erase(0, 1);
  std::string command = "q" + CrfField("10") + CrfField("1") + CrfField(price) +
                        CrfField(std::to_string(std::abs(quantity)));
  if (!description.empty()) {
    std::string text = DeviceDescription(description, descriptionLen);
    text.resize(static_cast<size_t>(std::max(descriptionLen, 0)), ' ');
    command += std::string(6, ' ') + CrfField(text);
  }
  return command;
}

bool clsCRF4600::SendCrfCommand(std::string_view command) {
  platform::SerialPort& p = port();
  p.DiscardInput();
  Pause(settings().CommandWait);
  if (!p.Write(std::string(1, kSTX) + std::string(command) + kETX)) return false;
  std::string reply = WaitFirst(settings().Timout);
  if (reply.empty()) return false;
  if (reply.front() == kACK || reply.front() == kSTX) {
    ReadMore(reply, settings().CommandWait,
             [](const std::string& r) { return !r.empty() && r.back() == kETX; });
    if (reply.back() == kETX || reply.back() == kACK) return p.Write(std::string(1, kACK));
    return false;
  }
  if (reply.front() == kNAK) {
    context().beep();
    return false;
  }
  p.DiscardInput();
  return false;
}

bool clsCRF4600::OpenCrfReceipt(bool isReturn) {
  if (!SendCrfCommand("t!1") || !SendCrfCommand("p!3")) return false;
  returnMode_ = isReturn;
  return SendCrfCommand(isReturn ? "q!1" : "q!0");
}

bool clsCRF4600::CloseCrfReceipt() {
  return SendCrfCommand("q" + CrfField("50") + CrfField("")) && SendCrfCommand("t!0");
}

bool clsCRF4600::CancelCrfReceipt() {
  return SendCrfCommand("t!0");
}

bool clsCRF4600::SendCrfLine(std::string_view priceText, int quantity,
                             const std::string& description) {
  const bool isReturn = quantity < 0 || (!priceText.empty() && priceText.front() == '-');
  if (isReturn != returnMode_) {
    if (!CloseCrfReceipt() || !OpenCrfReceipt(isReturn)) return false;
  }
  return SendCrfCommand(
      CrfLineCommand(priceText, quantity, description, settings().DescriptionLen));
}

void clsCRF4600::NewSession(int16_t decimals) {
  decimals_ = decimals;
  EnsureOpen();
  port().DiscardInput();
  returnMode_ = false;
  if (!OpenCrfReceipt(false))
    RaiseDriverError(FiscalPrinterDescription(), 1, CommunicationFailure());
}

void clsCRF4600::SendData(double price, int16_t quantity, const std::string& description, int16_t) {
  // The department is not sent: every line goes with the fixed fields "10" and "1".
  if (!SendCrfLine(HalfUpText(price, decimals_), quantity, description)) {
    RaiseDriverError(FiscalPrinterDescription(), 3, "Errore di comunicazione in invio dei dati");
  }
}

void clsCRF4600::EndSession() {
  if (!CloseCrfReceipt()) {
    RaiseDriverError(FiscalPrinterDescription(), 2,
                     "Errore di comunicazione in chiusura dello scontrino");
  }
}

void clsCRF4600::CancelSession() {
  if (!CancelCrfReceipt()) {
    RaiseDriverError(FiscalPrinterDescription(), 4,
                     "Errore di comunicazione in annullamento dello scontrino");
  }
}

}  // namespace tillbook::fiscal
