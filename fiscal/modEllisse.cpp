#include "fiscal/modEllisse.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/money.h"

namespace tillbook::fiscal {

namespace {

constexpr char kSTX = 2, kETX = 3, kEOT = 4, kACK = 6, kNAK = 21, kCR = 13;
// The silence that ends an Omega answer.
constexpr int kSilenceMs = 100;

std::string Hex(unsigned value, bool leadingZero) {
  char buf[8];
  std::snprintf(buf, sizeof buf, leadingZero ? "%02X" : "%X", value);
  return buf;
}

}  // namespace

std::string BuildEllisseFrame(std::string_view data) {
  unsigned sum = kSTX + kEOT;
  for (char c : data) sum += static_cast<unsigned char>(c);
  return std::string(1, kSTX) + std::string(data) + kEOT + Hex(sum % 256, true) + kETX;
}

std::string ParseEllisseFrame(std::string_view text) {
  const size_t start = text.find(kSTX);
  if (start == std::string_view::npos) return {};
  const size_t end = text.find(kETX, start + 1);
  if (end == std::string_view::npos || end - start < 4) return {};
  const std::string_view frame = text.substr(start, end - start + 1);
  if (frame[frame.size() - 4] != kEOT) return {};
  const std::string data(frame.substr(1, frame.size() - 5));
  return BuildEllisseFrame(data) == frame ? data : std::string();
}

std::string BuildSaxFrame(std::string_view data) {
  unsigned x = kSTX;
  for (char c : data) x ^= static_cast<unsigned char>(c);
  return std::string(1, kSTX) + std::string(data) + Hex(x, false) + kETX;
}

std::string EllisseDigitKey(char digit) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%03d", 48 + (digit - '0'));
  return buf;
}

std::string EllisseDepartmentKey(int department) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%03d", department + 70);
  return buf;
}

int64_t SmallestUnits(double price, int quantity, int decimals) {
  const int d = std::clamp(decimals, 0, 4);
  const bool isReturn = price < 0 || quantity < 0;
  const Money amount = Money::FromDouble(std::fabs(price)) *
                       static_cast<double>(isReturn ? std::abs(quantity) : quantity);
  int64_t unit = 1;
  for (int i = d; i < 4; ++i) unit *= 10;
  const int64_t raw = amount.raw();
  return raw < 0 ? -((-raw + unit / 2) / unit) : (raw + unit / 2) / unit;
}

void OmegaDriver::ClearComm() {
  carry_.clear();
  for (int i = 0; i < 64 && port().InputWaiting() > 0; ++i) port().DiscardInput();
}

std::string OmegaDriver::ReceiveText() {
  std::string text;
  text.swap(carry_);
  if (text.empty()) text = WaitFirst(settings().Timout);
  if (text.empty()) return text;
  ReadMore(text, kSilenceMs, [](const std::string& t) { return !t.empty() && t.back() == kETX; });
  // A register that sends its data frame right behind the acknowledgement: the frame is the
  // next answer, not part of this one.
  if ((text.front() == kACK || text.front() == kNAK) && text.size() > 1) {
    const size_t frame = text.find(kSTX, 1);
    if (frame != std::string::npos) carry_ = text.substr(frame);
    text.resize(1);
  }
  return text;
}

bool OmegaDriver::ReceiveEllisse(std::string& reply, bool sendAck) {
  reply.clear();
  const std::string text = ReceiveText();
  if (text.empty()) return false;
  if (text.front() == kACK) return true;
  if (text.front() == kNAK) return false;
  if (text.front() != kSTX) {
    ClearComm();
    return false;
  }
  if (text.back() != kETX) return false;
  bool ok = false;
  std::string_view rest = text;
  for (;;) {
    const std::string data = ParseEllisseFrame(rest);
    if (data.size() < 3) break;
    if (!reply.empty()) reply += "\r\n";
    reply += data;
    if (data[2] == '0') ok = true;
    rest.remove_prefix(rest.find(kETX, rest.find(kSTX) + 1) + 1);
  }
  if (sendAck) port().Write(BuildEllisseFrame(reply.substr(0, 2) + "0"));
  return ok;
}

bool OmegaDriver::SendEllisse(std::string_view data, std::string& reply) {
  ClearComm();
  if (!port().Write(BuildEllisseFrame(data))) return false;
  return ReceiveEllisse(reply, false);
}

bool OmegaDriver::SendEllisseConfirmed(std::string_view data, std::string& reply) {
  if (!SendEllisse(data, reply)) return false;
  if (data.substr(0, 2) < "70") return true;
  if (!ReceiveEllisse(reply, true)) return false;
  std::string confirmation;
  return SendEllisse("000", confirmation);
}

bool OmegaDriver::ReceiveSax(bool& crSeen) {
  crSeen = false;
  const std::string text = ReceiveText();
  if (text.empty()) return false;
  if (text.front() == kACK) return true;
  if (text.front() == kNAK) return false;
  if (text.front() == kCR) {
    crSeen = true;
    return false;
  }
  ClearComm();
  return false;
}

bool OmegaDriver::SendSax(std::string_view data, bool& crSeen) {
  ClearComm();
  if (!port().Write(BuildSaxFrame(data))) return false;
  return ReceiveSax(crSeen);
}

}  // namespace tillbook::fiscal
