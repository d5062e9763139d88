// The Omega registers as the drivers meet them. The ELLISSE in fiscal-printer mode takes one
// framed key code per message (digits, department, return, close, open/cancel) and answers ACK,
// or NAK for a frame whose check is wrong or a key out of place. The SAX takes framed commands
// with an XOR check, numbered from 000 after the free-counter reset "F".
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/money.h"
#include "fiscal/modEllisse.h"
#include "fiscal/sim/protocols.h"

namespace tillbook::fiscal::sim {
namespace {

constexpr char kSTX = 2, kETX = 3, kACK = 6, kNAK = 21;

std::vector<std::string> Frames(std::string& pending) {
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

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// What both registers print: lines with their amounts, then the total or the cancellation.
class Till {
 public:
  void Open(std::vector<std::string>& receipts) {
    Cancel(receipts);
    open_ = true;
  }
  void Cancel(std::vector<std::string>& receipts) {
    if (open_ && !text_.empty()) receipts.push_back("SCONTRINO\n" + text_ + "ANNULLATO\n");
    Clear();
  }
  bool Close(std::vector<std::string>& receipts) {
    if (!open_) return false;
    receipts.push_back("SCONTRINO\n" + text_ + "TOTALE " + total_.ToFixed(2) + "\n");
    Clear();
    return true;
  }
  void Line(const std::string& description, int department, Money amount) {
    total_ += amount;
    text_ += (description.empty() ? "-" : description) + " REP " + std::to_string(department) +
             " = " + amount.ToFixed(2) + "\n";
  }
  bool open() const { return open_; }

 private:
  void Clear() {
    open_ = false;
    text_.clear();
    total_ = Money();
  }
  bool open_ = false;
  std::string text_;
  Money total_;
};

class Ellisse : public Protocol {
 public:
  std::vector<std::string> TakeCommands(std::string& pending) override { return Frames(pending); }
  std::string Refusal() const override { return std::string(1, kNAK); }
  std::string Handle(const std::string& frame) override {
    const std::string key = ParseEllisseFrame(frame);
    return key.size() == 3 && AllDigits(key) && Press(std::stoi(key)) ? std::string(1, kACK)
                                                                      : Refusal();
  }

 private:
  bool Press(int key) {
    if (key == 64) {
      till_.Open(receipts_);
      digits_.clear();
      return true;
    }
    if (!till_.open()) return false;
    if (key == 121) {
      returnNext_ = true;
      return true;
    }
    if (key >= 48 && key <= 57) {
      digits_ += static_cast<char>('0' + key - 48);
      return digits_.size() <= 12;
    }
    if (key == 5) return digits_.empty() && till_.Close(receipts_);
    if (key >= 71 && key <= 169 && !digits_.empty()) {
      const Money amount = Money::FromRaw(std::stoll(digits_) * 100);
      till_.Line("", key - 70, returnNext_ ? -amount : amount);
      digits_.clear();
      returnNext_ = false;
      return true;
    }
    return false;
  }

  Till till_;
  std::string digits_;
  bool returnNext_ = false;
};

class OmegaSax : public Protocol {
 public:
  std::vector<std::string> TakeCommands(std::string& pending) override { return Frames(pending); }
  std::string Refusal() const override { return std::string(1, kNAK); }
  std::string Handle(const std::string& frame) override {
    for (size_t checkLength : {1u, 2u}) {
      if (frame.size() < 2 + checkLength) continue;
      const std::string data = frame.substr(1, frame.size() - 2 - checkLength);
      if (BuildSaxFrame(data) == frame) return Apply(data) ? std::string(1, kACK) : Refusal();
    }
    return Refusal();
  }

 private:
  bool Apply(const std::string& data) {
    if (data == "F") {
      expected_ = 0;
      return true;
    }
    if (data.size() < 4 || !AllDigits(data.substr(0, 3)) ||
        std::stoi(data.substr(0, 3)) != expected_) {
      return false;
    }
    ++expected_;
    const std::string command = data.substr(3);
    if (command == "N") {
      till_.Open(receipts_);
      return true;
    }
    if (command == "T 0        0") return till_.Close(receipts_);
    if (command.size() == 26 && (command[0] == 'R' || command[0] == 'r') && till_.open() &&
        AllDigits(command.substr(1, 2)) && AllDigits(command.substr(18, 8))) {
      std::string description = command.substr(3, 15);
      while (!description.empty() && description.back() == ' ') description.pop_back();
      const Money amount = Money::FromRaw(std::stoll(command.substr(18, 8)) * 100);
      till_.Line(description, std::stoi(command.substr(1, 2)),
                 command[0] == 'r' ? -amount : amount);
      return true;
    }
    return false;
  }

  Till till_;
  int expected_ = -1;  // no command is numbered before the reset
};

// The ELLISSE in extended on-line mode: 58-character item records ("p" opens the receipt),
// description records, the close and cancel records; records from "70" up are acknowledged and
// then confirmed by a data frame of the register, which the host acknowledges and answers
// "000". The host's own acknowledgement frames get no answer.
class EllisseExt : public Protocol {
 public:
  std::vector<std::string> TakeCommands(std::string& pending) override { return Frames(pending); }
  std::string Refusal() const override { return std::string(1, kNAK); }
  std::string Handle(const std::string& frame) override {
    const std::string data = ParseEllisseFrame(frame);
    if (data.empty()) return Refusal();
    if (data.size() == 3 && data == awaitedAck_) {
      awaitedAck_.clear();
      return {};
    }
    if (data == "000") return std::string(1, kACK);
    if (!Apply(data)) return Refusal();
    if (data.substr(0, 2) >= "70") {
      awaitedAck_ = data.substr(0, 2) + "0";
      followUp_ = BuildEllisseFrame(awaitedAck_);
    }
    return std::string(1, kACK);
  }
  std::string TakeFollowUp() override {
    std::string f;
    f.swap(followUp_);
    return f;
  }

 private:
  bool Apply(const std::string& d) {
    if (d.size() == 37 && d.substr(0, 5) == "5100-" && d.back() == '0') {
      // A description belongs to the line just before it.
      if (!havePending_) return false;
      std::string text = d.substr(5, 31);
      while (!text.empty() && text.back() == ' ') text.pop_back();
      Flush(text);
      return true;
    }
    Flush("");
    if (d.size() == 59 && d.substr(0, 3) == "700" && d[30] == '-') {
      // A return quantity keeps its sign, one character longer: taken as the pieces returned.
      return Apply(d.substr(0, 30) + d.substr(31));
    }
    if (d.size() == 58 && d.substr(0, 3) == "700" && AllDigits(d.substr(4, 12))) {
      const char kind = d[3];
      if (kind == 'p') till_.Open(receipts_);
      if (!till_.open() || (kind != 'p' && kind != '0' && kind != '8')) return false;
      const std::string q = d.substr(30, 9);
      if (!AllDigits(q)) return false;
      const long quantity = std::max(1L, std::atol(q.c_str()));
      const Money amount = Money::FromRaw(std::stoll(d.substr(4, 10)) * 100) *
                           static_cast<double>(kind == '8' ? -quantity : quantity);
      pending_ = {std::stoi(d.substr(14, 2)), amount};
      havePending_ = true;
      return true;
    }
    if (d == "7400000000000010000000000000000000000000") return till_.Close(receipts_);
    if (d == "720 ") {
      till_.Cancel(receipts_);
      return true;
    }
    return false;
  }
  void Flush(const std::string& description) {
    if (!havePending_) return;
    till_.Line(description, pending_.first, pending_.second);
    havePending_ = false;
  }

  Till till_;
  std::pair<int, Money> pending_;
  bool havePending_ = false;
  std::string awaitedAck_, followUp_;
};

}  // namespace

std::unique_ptr<Protocol> NewEllisseProtocol() {
  return std::make_unique<Ellisse>();
}
std::unique_ptr<Protocol> NewOmegaSaxProtocol() {
  return std::make_unique<OmegaSax>();
}

std::unique_ptr<Protocol> NewEllisseExtProtocol() {
  return std::make_unique<EllisseExt>();
}

}  // namespace tillbook::fiscal::sim
