// The CRF 4600 as the driver meets it: STX, a command letter with length-prefixed fields, ETX;
// ACK for a command it understands in the state it is in, NAK for anything else. ACKs from the
// host between frames are taken and ignored.
#include <string>
#include <vector>

#include "base/money.h"
#include "fiscal/sim/protocols.h"

namespace tillbook::fiscal::sim {
namespace {

constexpr char kSTX = 2, kETX = 3, kACK = 6, kNAK = 21;

class Crf4600 : public Protocol {
 public:
  std::vector<std::string> TakeCommands(std::string& pending) override {
    std::vector<std::string> out;
    for (;;) {
      const size_t start = pending.find(kSTX);
      if (start == std::string::npos) {
        pending.clear();
        return out;
      }
      pending.erase(0, start);
      const size_t end = pending.find(kETX, 1);
      if (end == std::string::npos) return out;
      out.push_back(pending.substr(0, end + 1));
      pending.erase(0, end + 1);
    }
  }

  std::string Refusal() const override { return std::string(1, kNAK); }

  std::string Handle(const std::string& frame) override {
    const std::string body = frame.substr(1, frame.size() - 2);
    std::vector<std::string> fields;
    if (body.empty() || !Split(body.substr(1), fields)) return Refusal();
    return Apply(body[0], fields) ? std::string(1, kACK) : Refusal();
  }

 private:
  // Fields: a length character (32 + length) then the text; the body must end with a field.
  static bool Split(const std::string& s, std::vector<std::string>& fields) {
    size_t i = 0;
    while (i < s.size()) {
      const int n = static_cast<unsigned char>(s[i]) - 32;
      if (n < 0 || i + 1 + static_cast<size_t>(n) > s.size()) return false;
      fields.push_back(s.substr(i + 1, static_cast<size_t>(n)));
      i += 1 + static_cast<size_t>(n);
    }
    return true;
  }

  bool Apply(char letter, const std::vector<std::string>& f) {
    if (letter == 't' && f.size() == 1 && f[0] == "1") {
      Reset();
      starting_ = true;
      return true;
    }
    if (letter == 'p' && f.size() == 1 && f[0] == "3") return starting_;
    if (letter == 'q' && f.size() == 1 && (f[0] == "0" || f[0] == "1")) {
      if (!starting_ || open_) return false;
      open_ = true;
      text_ = f[0] == "1" ? "SCONTRINO DI RESO\n" : "SCONTRINO\n";
      return true;
    }
    if (letter == 'q' && f.size() == 2 && f[0] == "50" && f[1].empty()) {
      if (!open_ || totaled_) return false;
      totaled_ = true;
      text_ += "TOTALE " + total_.ToFixed(2) + "\n";
      return true;
    }
    if (letter == 'q' && (f.size() == 4 || f.size() == 11) && f[0] == "10" && f[1] == "1") {
      if (!open_ || totaled_) return false;
      auto price = Money::Parse(f[2]);
      if (!price || *price < Money() || f[3].empty() || f[3].size() > 5) return false;
      for (char c : f[3]) {
        if (c < '0' || c > '9') return false;
      }
      std::string description;
      if (f.size() == 11) {
        for (int k = 4; k < 10; ++k) {
          if (!f[k].empty()) return false;
        }
        description = f[10];
        for (char c : description) {
          if (!(c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return false;
        }
        while (!description.empty() && description.back() == ' ') description.pop_back();
      }
      const int quantity = std::stoi(f[3]);
      const Money amount = *price * static_cast<double>(quantity);
      total_ += amount;
      text_ += (description.empty() ? "-" : description) + " " + std::to_string(quantity) + " x " +
               price->ToFixed(2) + " = " + amount.ToFixed(2) + "\n";
      return true;
    }
    if (letter == 't' && f.size() == 1 && f[0] == "0") {
      if (open_ && totaled_) {
        receipts_.push_back(text_);
      } else if (open_ || starting_) {
        receipts_.push_back(text_ + "ANNULLATO\n");
      }
      Reset();
      return true;
    }
    return false;
  }

  void Reset() {
    starting_ = open_ = totaled_ = false;
    total_ = Money();
    text_.clear();
  }

  bool starting_ = false, open_ = false, totaled_ = false;
  Money total_;
  std::string text_;
};

}  // namespace

std::unique_ptr<Protocol> NewCrf4600Protocol() {
  return std::make_unique<Crf4600>();
}

}  // namespace tillbook::fiscal::sim
