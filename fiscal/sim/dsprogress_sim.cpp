// The DS Progress as the driver meets it: text commands ended by CR, each answered "OK" EOT CR;
// a command it cannot read is answered "ERR" without the terminator. KXCL cancels whatever is
// open and starts a receipt, KRT1 closes it, KR and KR- print a sale or return line.
#include <string>
#include <vector>

#include "base/money.h"
#include "fiscal/sim/protocols.h"

namespace tillbook::fiscal::sim {
namespace {

class DsProgress : public Protocol {
 public:
  std::vector<std::string> TakeCommands(std::string& pending) override {
    std::vector<std::string> out;
    for (size_t cr; (cr = pending.find('\r')) != std::string::npos;) {
      out.push_back(pending.substr(0, cr + 1));
      pending.erase(0, cr + 1);
    }
    return out;
  }

  std::string Refusal() const override { return "ERR"; }

  std::string Handle(const std::string& command) override {
    const std::string c = command.substr(0, command.size() - 1);
    return Apply(c) ? std::string("OK\x04\r") : Refusal();
  }

 private:
  bool Apply(const std::string& c) {
    if (c == "KXCL") {
      if (open_ && !text_.empty()) receipts_.push_back("SCONTRINO\n" + text_ + "ANNULLATO\n");
      open_ = true;
      text_.clear();
      total_ = Money();
      return true;
    }
    if (c == "KRT1") {
      if (!open_) return false;
      receipts_.push_back("SCONTRINO\n" + text_ + "TOTALE " + total_.ToFixed(2) + "\n");
      open_ = false;
      text_.clear();
      total_ = Money();
      return true;
    }
    if (c.rfind("KR", 0) != 0 || !open_) return false;
    size_t i = 2;
    const bool isReturn = i < c.size() && c[i] == '-';
    if (isReturn) ++i;
    const size_t digits = i;
    while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i;
    if (i == digits || i - digits > 12 || (c[digits] == '0' && i - digits > 1)) return false;
    const int64_t units = std::stoll(c.substr(digits, i - digits));
    if (i + 2 > c.size() || c[i] != 'R' || c[i + 1] < '0' || c[i + 1] > '9') return false;
    const int department = c[i + 1] - '0';
    const std::string description = c.substr(i + 2);
    if (description.size() > 22) return false;
    for (char ch : description) {
      if (!(ch == ' ' || (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z'))) return false;
    }
    const Money amount = Money::FromRaw(units * 100) * (isReturn ? -1.0 : 1.0);
    total_ += amount;
    text_ += (description.empty() ? "-" : description) + " REP " + std::to_string(department) +
             " = " + amount.ToFixed(2) + "\n";
    return true;
  }

  bool open_ = false;
  Money total_;
  std::string text_;
};

}  // namespace

std::unique_ptr<Protocol> NewDsProgressProtocol() {
  return std::make_unique<DsProgress>();
}

}  // namespace tillbook::fiscal::sim
