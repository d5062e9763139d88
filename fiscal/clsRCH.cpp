#include "fiscal/clsRCH.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tillbook::fiscal {

namespace {

int64_t Units(Money amount, int decimals) {
  const int d = std::clamp(decimals, 0, 4);
  int64_t unit = 1;
  for (int i = d; i < 4; ++i) unit *= 10;
  return (std::llabs(amount.raw()) + unit / 2) / unit;
}

std::string Code(int key) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d", key);
  return buf;
}

}  // namespace

std::string RCHErrorText(int code) {
  static const std::pair<int, const char*> kTexts[] = {
      {516, "Velocita' errata"},
      {517, "Modalita' impostata non valida (RS232)"},
      {519, "Comunicazione chiusa"},
      {521, "Errore di Timeout durante l'esecuzione del comando"},
      {522, "Porta di comunicazione errata"},
      {1000, "Stato Ok"},
      {1001, "Comando eseguito"},
      {1002, "Nessn dato memorizzato sul registratore di cassa"},
      {1003, "Registratore di cassa occupato"},
      {1004, "Comando non valido"},
      {1005, "Formato dati inviati non valido"},
      {1006, "Scontrino aperto"},
      {1010, "Comando eseguito completamente"},
      {1011, "Fine elaborazione"},
  };
  std::string text = "[" + std::to_string(code) + "] ";
  for (const auto& [c, t] : kTexts) {
    if (c == code) text += t;
  }
  return text;
}

std::string RCHAmountDigits(Money amount, int decimals) {
  std::string keys;
  for (char c : std::to_string(Units(amount, decimals))) {
    keys += c >= '0' && c <= '9' ? Code(1128 + (c - '0')) : Code(1033);
  }
  return keys;
}

std::string RCHTextLine(int quantity, const std::string& deviceText, Money amount, int decimals,
                        int department) {
  std::string field = (quantity > 1 ? std::to_string(quantity) + "x " : std::string()) + deviceText;
  field.resize(20, ' ');
  char buf[48];
  std::snprintf(buf, sizeof buf, "%08lld %02d", static_cast<long long>(Units(amount, decimals)),
                department);
  return "#" + field + buf;
}

RchComDriver::RchComDriver(DriverContext context, int model)
    : context_(std::move(context)),
      link_(context_.rchLink ? context_.rchLink : std::make_shared<SimulatedRchRegister>()),
      control_(link_, context_.controlTrace) {
  control_.Mode = 1;
  control_.Modello = model;
  control_.RCHResult = [this](int mStatus) { status_ = mStatus; };
}

Money RchComDriver::LineAmount(double price, int quantity) {
  const bool isReturn = price < 0 || quantity < 0;
  return Money::FromDouble(std::fabs(price)) *
         static_cast<double>(isReturn ? std::abs(quantity) : quantity);
}

std::string RchComDriver::KeyLine(Money amount, int department) const {
  return RCHAmountDigits(amount, decimals_) + Code(1063 + department);
}

bool RchComDriver::RCHSendCmd(const std::string& command) {
  std::vector<std::string> text = {command};
  status_ = control_.RCHSend("100", text, "");
  if (status_ != 1001) return false;
  status_ = 0;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(context_.settings.Timout);
  // A command accepted but never confirmed counts as done once the time-out has passed.
  while (status_ != 1010 && std::chrono::steady_clock::now() < deadline) {
    control_.DeliverEvents();
    context_.pumpEvents();
    if (status_ != 1010) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void RchComDriver::Raise() {
  throw DriverError(FiscalPrinterDescription(), status_, RCHErrorText(status_));
}

void RchComDriver::Open(const std::string& startKey) {
  status_ = control_.RCHOpen();
  if (status_ != 1001) Raise();
  if (!RCHSendCmd(startKey)) Raise();
}

void RchComDriver::Finish(const std::string& key) {
  // A failure leaves the port open until the next opening or new parameters.
  if (!RCHSendCmd(key)) Raise();
  control_.RCHClose();
}

void clsRCHG600::SetParameters(const std::vector<Variant>& params) {
  control_.RCHClose();
  control_.CommPort = params.size() > 0 ? static_cast<int>(params[0].ToInt64()) : 0;
  control_.BaudRate = params.size() > 1 ? static_cast<int>(params[1].ToInt64()) : 0;
}

void clsRCHG600::NewSession(int16_t decimals) {
  decimals_ = decimals;
  Open("1028");
}

void clsRCHG600::SendData(double price, int16_t quantity, const std::string&, int16_t department) {
  // The description is not sent.
  const bool isReturn = price < 0 || quantity < 0;
  const std::string command =
      (isReturn ? "1023" : "") + KeyLine(LineAmount(price, quantity), department);
  if (!RCHSendCmd(command)) Raise();
}

void clsRCHG1200::SetParameters(const std::vector<Variant>& params) {
  control_.RCHClose();
  control_.CommPort = params.size() > 0 ? static_cast<int>(params[0].ToInt64()) : 0;
  control_.BaudRate = params.size() > 1 ? static_cast<int>(params[1].ToInt64()) : 0;
  control_.Parity = 1;
  control_.DataBits = params.size() > 2 ? static_cast<int>(params[2].ToInt64()) : 0;
  if (params.size() > 3) control_.Modello = params[3].ToInt64() == 1 ? 3 : 2;
}

void clsRCHG1200::NewSession(int16_t decimals) {
  decimals_ = decimals;
  Open("1040");
}

void clsRCHG1200::SendData(double price, int16_t quantity, const std::string& description,
                           int16_t department) {
  const std::string text = DeviceDescription(description, context_.settings.DescriptionLen);
  if (price < 0 || quantity < 0) {
    if (!RCHSendCmd("1032")) Raise();
  }
  const Money amount = LineAmount(price, quantity);
  const std::string command = text.empty()
                                  ? KeyLine(amount, department)
                                  : RCHTextLine(quantity, text, amount, decimals_, department);
  if (!RCHSendCmd(command)) Raise();
}

clsRCHNucleo::clsRCHNucleo(DriverContext context)
    : context_(std::move(context)),
      link_(context_.nucleoLink ? context_.nucleoLink : std::make_shared<SimulatedRchRegister>()),
      control_(link_, context_.controlTrace) {}

void clsRCHNucleo::Raise(int code, const std::string& message) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(code));
  std::string description = "Errore N." + std::to_string(code) + " (" + hex + ")";
  if (!message.empty()) description += "\r\r" + message;
  throw DriverError(FiscalPrinterDescription(), code, description);
}

void clsRCHNucleo::SetParameters(const std::vector<Variant>& params) {
  control_.RCHClose();
  port_ = params.empty() ? 0 : static_cast<int>(params[0].ToInt64());
}

void clsRCHNucleo::NewSession(int16_t decimals) {
  decimals_ = decimals;
  const int status = control_.RCHOpen(std::to_string(port_));
  if (status != 0) Raise(status, "");
  control_.AsyncMode = false;
  if (control_.BeginFiscalReceipt(true) != 0) {
    Raise(control_.ResultCode, "Apertura dello scontrino");
  }
}

void clsRCHNucleo::SendData(double price, int16_t quantity, const std::string& description,
                            int16_t) {
  const std::string text = DeviceDescription(description, context_.settings.DescriptionLen);
  const Money unit = Money::FromDouble(std::fabs(price));
  if (price < 0 || quantity < 0) {
    if (control_.PrintRecRefund(text, unit * static_cast<double>(std::abs(quantity))) != 0) {
      Raise(control_.ResultCode, "Invio del Reso");
    }
  } else if (control_.PrintRecItem(text, unit * static_cast<double>(quantity), quantity, 0, unit) !=
             0) {
    Raise(control_.ResultCode, "Invio descrizione");
  }
}

void clsRCHNucleo::EndSession() {
  if (control_.PrintRecTotal(0, 0, "") != 0) Raise(control_.ResultCode, "Totale scontrino");
  if (control_.EndFiscalReceipt(false) != 0 &&
      !(control_.ResultCode == 114 && control_.ResultCodeExtended == 207)) {
    Raise(control_.ResultCode, "Chiusura dello scontrino");
  }
  control_.RCHClose();
}

void clsRCHNucleo::CancelSession() {
  if (control_.PrintRecVoid() != 0) Raise(control_.ResultCode, "Annullamento scontrino");
  control_.RCHClose();
}

}  // namespace tillbook::fiscal
