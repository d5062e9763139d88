#include "fiscal/serial_driver.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tillbook::fiscal {

namespace {
using Clock = std::chrono::steady_clock;
// The longest stretch a wait goes without letting the program handle its events.
constexpr int kPumpSliceMs = 50;
}  // namespace

SerialDriver::SerialDriver(DriverContext context) : context_(std::move(context)) {
  port_ = context_.newPort ? context_.newPort() : platform::NewTermiosPort();
}

void SerialDriver::SetParameters(const std::vector<Variant>& params) {
  port_->Close();
  portNumber_ = params.size() > 0 ? static_cast<int>(params[0].ToInt64()) : 0;
  portSettings_ = params.size() > 1 ? params[1].ToText() : std::string();
  EnsureOpen();
}

void SerialDriver::EnsureOpen() {
  if (port_->IsOpen()) return;
  try {
    port_->Open(DevicePath(portNumber_, context_.settings.COMPortPath), portSettings_);
  } catch (const Error& e) {
    RaiseDriverError(FiscalPrinterDescription(), 1, CommunicationFailure() + "\r" + e.message());
  }
}

std::string SerialDriver::CommunicationFailure() const {
  return "Errore di comunicazione con il registratore di cassa (" +
         PortLabel(portNumber_, context_.settings.COMPortPath) + "-" + portSettings_ + ")";
}

std::string SerialDriver::WaitFirst(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const int slice = static_cast<int>(std::clamp<int64_t>(left.count(), 0, kPumpSliceMs));
    std::string got = port_->Read(std::chrono::milliseconds(slice));
    if (!got.empty()) return got;
    context_.pumpEvents();
    if (port_->hungUp() || Clock::now() >= deadline) return {};
  }
}

void SerialDriver::ReadMore(std::string& reply, int silenceMs,
                            const std::function<bool(const std::string&)>& complete) {
  auto quietUntil = Clock::now() + std::chrono::milliseconds(std::max(silenceMs, 0));
  while (!complete(reply)) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(quietUntil - Clock::now());
    const int slice = static_cast<int>(std::clamp<int64_t>(left.count(), 0, kPumpSliceMs));
    std::string got = port_->Read(std::chrono::milliseconds(slice));
    if (!got.empty()) {
      reply += got;
      quietUntil = Clock::now() + std::chrono::milliseconds(std::max(silenceMs, 0));
      continue;
    }
    context_.pumpEvents();
    if (port_->hungUp() || Clock::now() >= quietUntil) return;
  }
}

void SerialDriver::Pause(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace tillbook::fiscal
