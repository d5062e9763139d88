#include "fiscal/rch_controls.h"

#include <cstdlib>

namespace tillbook::fiscal {

namespace {

void Trace(const TraceSink& trace, const std::string& member,
           const std::vector<std::string>& args) {
  if (!trace) return;
  std::string line = member;
  for (const auto& a : args) line += "\t" + a;
  trace(line);
}

std::string Text(Money m) {
  return m.ToString();
}

}  // namespace

RCHEcr::RCHEcr(std::shared_ptr<RchComLink> link, TraceSink trace)
    : link_(std::move(link)), trace_(std::move(trace)) {}

int RCHEcr::RCHOpen() {
  Trace(trace_, "RCHOpen", {});
  return link_->Open(CommPort, BaudRate, Modello);
}

void RCHEcr::RCHClose() {
  Trace(trace_, "RCHClose", {});
  link_->Close();
}

int RCHEcr::RCHSend(const std::string& kind, std::vector<std::string>& command,
                    const std::string& extra) {
  Trace(trace_, "RCHSend", {kind, command.empty() ? std::string() : command[0], extra});
  if (command.empty()) return 1004;
  return link_->Send(command[0], [this](int status) { pending_.push_back(status); });
}

void RCHEcr::DeliverEvents() {
  std::vector<int> events;
  events.swap(pending_);
  for (int status : events) {
    if (RCHResult) RCHResult(status);
  }
}

RchEcrNucleo::RchEcrNucleo(std::shared_ptr<NucleoLink> link, TraceSink trace)
    : link_(std::move(link)), trace_(std::move(trace)) {}

int RchEcrNucleo::RCHOpen(const std::string& port) {
  Trace(trace_, "RCHOpen", {port});
  return link_->Open(port);
}

void RchEcrNucleo::RCHClose() {
  Trace(trace_, "RCHClose", {});
  link_->Close();
}

int RchEcrNucleo::Call(const std::string& name, const std::vector<std::string>& args) {
  Trace(trace_, name, args);
  return link_->Call(name, args, ResultCode, ResultCodeExtended);
}

int RchEcrNucleo::BeginFiscalReceipt(bool printHeader) {
  return Call("BeginFiscalReceipt", {printHeader ? "True" : "False"});
}
int RchEcrNucleo::PrintRecItem(const std::string& description, Money amount, int32_t quantity,
                               int16_t vat, Money unitPrice) {
  return Call("PrintRecItem", {description, Text(amount), std::to_string(quantity),
                               std::to_string(vat), Text(unitPrice)});
}
int RchEcrNucleo::PrintRecRefund(const std::string& description, Money amount) {
  return Call("PrintRecRefund", {description, Text(amount)});
}
int RchEcrNucleo::PrintRecTotal(int total, int payment, const std::string& description) {
  return Call("PrintRecTotal", {std::to_string(total), std::to_string(payment), description});
}
int RchEcrNucleo::EndFiscalReceipt(bool printNow) {
  return Call("EndFiscalReceipt", {printNow ? "True" : "False"});
}
int RchEcrNucleo::PrintRecVoid() {
  return Call("PrintRecVoid", {});
}
std::string RchEcrNucleo::DeviceDescription() const {
  return link_->Description();
}

// The simulated register.

int SimulatedRchRegister::Open(int, int, int) {
  open_ = true;
  return 1001;
}

int SimulatedRchRegister::Open(const std::string&) {
  open_ = true;
  return 0;
}

bool SimulatedRchRegister::Refused() {
  return ++calls_ == refuseAt_;
}

void SimulatedRchRegister::Line(const std::string& text, Money amount) {
  total_ += amount;
  text_ += (text.empty() ? "-" : text) + " = " + amount.ToFixed(2) + "\n";
}

std::string SimulatedRchRegister::Paper() const {
  std::string out;
  for (const auto& r : receipts_) out += r + "\n";
  return out;
}

int SimulatedRchRegister::Send(const std::string& command,
                               const std::function<void(int)>& completed) {
  received_.push_back(command);
  if (!open_) return 519;
  if (Refused()) return refusal_;
  auto finish = [&] {
    receipt_ = false;
    text_.clear();
    total_ = Money();
  };
  if (!command.empty() && command[0] == '#') {
    // A text line: "#" + 20 characters + 8-digit amount + blank + 2-digit department.
    if (!receipt_ || command.size() < 32) return 1005;
    std::string text = command.substr(1, 20);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    const Money amount = Money::FromRaw(std::atoll(command.substr(21, 8).c_str()) * 100);
    Line(text + " REP " + std::to_string(std::atoi(command.substr(30).c_str())),
         returnNext_ ? -amount : amount);
    returnNext_ = false;
    completed(1010);
    return 1001;
  }
  if (command.size() % 4 != 0 || command.empty()) return 1005;
  std::string digits;
  for (size_t i = 0; i < command.size(); i += 4) {
    const int key = std::atoi(command.substr(i, 4).c_str());
    if (key == 1028 || key == 1040) {
      if (receipt_ && !text_.empty()) receipts_.push_back("SCONTRINO\n" + text_ + "ANNULLATO\n");
      const bool wasOpen = receipt_;
      finish();
      receipt_ = !wasOpen;
    } else if (!receipt_) {
      return 1004;
    } else if (key == 1001) {
      receipts_.push_back("SCONTRINO\n" + text_ + "TOTALE " + total_.ToFixed(2) + "\n");
      finish();
    } else if (key == 1023 || key == 1032) {
      returnNext_ = true;
    } else if (key >= 1128 && key <= 1137) {
      digits += static_cast<char>('0' + key - 1128);
    } else if (key >= 1064 && !digits.empty()) {
      const Money amount = Money::FromRaw(std::atoll(digits.c_str()) * 100);
      Line("REP " + std::to_string(key - 1063), returnNext_ ? -amount : amount);
      digits.clear();
      returnNext_ = false;
    } else {
      return 1004;
    }
  }
  completed(1010);
  return 1001;
}

int SimulatedRchRegister::Call(const std::string& operation, const std::vector<std::string>& args,
                               int& resultCode, int& resultCodeExtended) {
  std::string line = operation;
  for (const auto& a : args) line += "\t" + a;
  received_.push_back(line);
  resultCode = resultCodeExtended = 0;
  auto fail = [&](int code) {
    resultCode = code;
    return code;
  };
  if (!open_) return fail(111);
  if (Refused()) return fail(refusal_);
  if (operation == "BeginFiscalReceipt") {
    if (receipt_) return fail(114);
    receipt_ = true;
    return 0;
  }
  if (!receipt_) return fail(114);
  if (operation == "PrintRecItem" && args.size() == 5) {
    Line(args[0], Money::Parse(args[1]).value_or(Money()));
  } else if (operation == "PrintRecRefund" && args.size() == 2) {
    Line(args[0], -Money::Parse(args[1]).value_or(Money()));
  } else if (operation == "PrintRecTotal") {
    return 0;
  } else if (operation == "EndFiscalReceipt") {
    receipts_.push_back("SCONTRINO\n" + text_ + "TOTALE " + total_.ToFixed(2) + "\n");
    receipt_ = false;
    text_.clear();
    total_ = Money();
  } else if (operation == "PrintRecVoid") {
    receipts_.push_back("SCONTRINO\n" + text_ + "ANNULLATO\n");
    receipt_ = false;
    text_.clear();
    total_ = Money();
  } else {
    return fail(106);
  }
  return 0;
}

int RecordingRchLink::Open(int port, int baudCode, int model) {
  received_.push_back("Open\t" + std::to_string(port) + "\t" + std::to_string(baudCode) + "\t" +
                      std::to_string(model));
  return 1001;
}

int RecordingRchLink::Open(const std::string& port) {
  received_.push_back("Open\t" + port);
  return 0;
}

int RecordingRchLink::Send(const std::string& command, const std::function<void(int)>& completed) {
  received_.push_back(command);
  completed(1010);
  return 1001;
}

int RecordingRchLink::Call(const std::string& operation, const std::vector<std::string>& args,
                           int& resultCode, int& resultCodeExtended) {
  std::string line = operation;
  for (const auto& a : args) line += "\t" + a;
  received_.push_back(line);
  resultCode = resultCodeExtended = 0;
  return 0;
}

}  // namespace tillbook::fiscal
