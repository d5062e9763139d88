#include "fiscal/clsSID.h"

#include <cstdint>
#include <cstdlib>

#include "base/money.h"
#include "fiscal/trace.h"

namespace tillbook::fiscal {

namespace {
constexpr const char* kApplication = "Sidcomm95";
// The number of a conversation nobody answers.
constexpr int kNoPartner = 282;
}  // namespace

SidDdeLabel::SidDdeLabel(std::shared_ptr<DdePartner> partner,
                         std::function<void(const std::string&)> trace)
    : partner_(std::move(partner)), trace_(std::move(trace)) {}

void SidDdeLabel::SetLinkTopic(const std::string& topic) {
  if (trace_) trace_("LinkTopic\t" + topic);
  topic_ = topic;
}

void SidDdeLabel::SetLinkMode(int mode) {
  if (trace_) trace_("LinkMode\t" + std::to_string(mode));
  if (mode == 0) return;
  const size_t bar = topic_.find('|');
  partner_->Connect(topic_.substr(0, bar), bar == std::string::npos ? "" : topic_.substr(bar + 1));
}

void SidDdeLabel::LinkExecute(const std::string& command) {
  if (trace_) trace_("LinkExecute\t" + command);
  partner_->Execute(command);
}

std::string SidPluCommand(double price, int quantity, const std::string& description,
                          int department, int descriptionLen) {
  std::string text = DeviceDescription(description, descriptionLen);
  for (char& c : text) {
    if (c == ',') c = ' ';
  }
  std::string priceText = TraceNumber(price);
  if (!priceText.empty() && priceText[0] == '.') priceText = "0" + priceText;
  return "Plu," + text + "," + priceText + "," + std::to_string(department) + "," +
         std::to_string(quantity);
}

clsSID::clsSID(DriverContext context)
    : context_(std::move(context)),
      partner_(context_.ddePartner ? context_.ddePartner : std::make_shared<SimulatedSmartComm>()),
      label_(partner_, context_.controlTrace) {}

void clsSID::NewSession(int16_t decimals) {
  decimals_ = decimals;
  try {
    label_.Caption.clear();
    label_.SetLinkTopic(std::string(kApplication) + "|" + kApplication);
    label_.SetLinkMode(2);
  } catch (const Error& e) {
    throw Error("Assicurarsi che l'applicazione SMARTComm (" + std::string(kApplication) +
                    ") sia stata avviata\r(" + e.message() + ")",
                e.detail(), e.number());
  }
}

bool clsSID::SIDExecute(const std::string& command) {
  errorNumber_ = 0;
  errorText_.clear();
  try {
    label_.LinkExecute("[" + command + "]");
    return true;
  } catch (const Error& e) {
    errorNumber_ = e.number();
    errorText_ = e.message();
    return false;
  }
}

void clsSID::Raise(const std::string& message) {
  // A number that already is an object-defined error keeps its value.
  const int code = errorNumber_;
  std::string description = "Codice: " + std::to_string(code) + "\r\r" + message;
  if (code < 0) {
    throw Error(description, {}, code);
  }
  throw DriverError(FiscalPrinterDescription(), code, description);
}

void clsSID::SendData(double price, int16_t quantity, const std::string& description,
                      int16_t department) {
  if (!SIDExecute(SidPluCommand(price, quantity, description, department,
                                context_.settings.DescriptionLen))) {
    Raise("Errore in invio PLU dati\r(" + errorText_ + ")");
  }
}

void clsSID::EndSession() {
  if (!SIDExecute("CASH")) Raise("Errore in chiusura dello scontrino\r(" + errorText_ + ")");
}

void SimulatedSmartComm::Connect(const std::string& application, const std::string& topic) {
  if (!running || application != kApplication || topic != kApplication) {
    throw Error("L'applicazione " + application + " non risponde alla conversazione", {},
                kNoPartner);
  }
}

void SimulatedSmartComm::Execute(const std::string& command) {
  received_.push_back(command);
  if (!running) throw Error("L'applicazione non risponde alla conversazione", {}, kNoPartner);
  const std::string body = command.size() >= 2 && command.front() == '[' && command.back() == ']'
                               ? command.substr(1, command.size() - 2)
                               : std::string();
  if (body == "CASH") {
    receipts_.push_back("SCONTRINO\n" + text_ + "TOTALE " + total_.ToFixed(2) + "\n");
    text_.clear();
    total_ = Money();
    return;
  }
  std::vector<std::string> f;
  for (size_t start = 0;;) {
    const size_t comma = body.find(',', start);
    f.push_back(body.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  auto price = f.size() == 5 ? Money::Parse(f[2]) : std::nullopt;
  if (f.size() != 5 || f[0] != "Plu" || !price) {
    throw Error("Comando non riconosciuto: " + command, {}, 285);
  }
  const long quantity = std::strtol(f[4].c_str(), nullptr, 10);
  const Money amount = *price * static_cast<double>(quantity);
  total_ += amount;
  text_ += (f[1].empty() ? "-" : f[1]) + " REP " + f[3] + " = " + amount.ToFixed(2) + "\n";
}

std::string SimulatedSmartComm::Paper() const {
  std::string out;
  for (const auto& r : receipts_) out += r + "\n";
  return out;
}

}  // namespace tillbook::fiscal
