#include "fiscal/sim/register_sim.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/error.h"
#include "fiscal/fiscal_settings.h"
#include "fiscal/sim/protocols.h"

namespace tillbook::fiscal::sim {

using Clock = std::chrono::steady_clock;
// The pause before a register's own data frame: more than the hosts' tenth of a second of
// silence that ends an answer.
constexpr auto kFollowUpPause = std::chrono::milliseconds(150);

RegisterSimulator::RegisterSimulator(int deviceType) : protocol_(NewProtocol(deviceType)) {
  if (!protocol_) {
    throw Error("Nessun simulatore per il tipo di registratore " + std::to_string(deviceType));
  }
  char name[256] = {};
  termios raw{};
  ::cfmakeraw(&raw);
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    throw Error("Impossibile creare un terminale virtuale per il simulatore", std::strerror(errno));
  }
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
  path_ = name;
}

RegisterSimulator::~RegisterSimulator() {
  Stop();
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
}

void RegisterSimulator::InjectFault(int command, Fault fault, int lateMs) {
  std::lock_guard lock(mutex_);
  faults_[command] = {fault, lateMs};
}

void RegisterSimulator::OnReceipt(std::function<void(const std::string&)> callback) {
  std::lock_guard lock(mutex_);
  onReceipt_ = std::move(callback);
}

void RegisterSimulator::Start() {
  if (thread_.joinable()) return;
  stop_ = false;
  thread_ = std::thread([this] { Serve(); });
}

void RegisterSimulator::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::string RegisterSimulator::Wire() const {
  std::lock_guard lock(mutex_);
  return wire_;
}

std::vector<std::string> RegisterSimulator::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::string RegisterSimulator::Paper() const {
  std::lock_guard lock(mutex_);
  std::string out;
  for (const auto& r : protocol_->receipts()) out += r + "\n";
  return out;
}

Clock::duration RegisterSimulator::ByteTime(size_t n) const {
  const int baud = baud_;
  if (baud <= 0) return Clock::duration::zero();
  return std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(10.0 * n / baud));
}

void RegisterSimulator::Sleep(Clock::duration d) {
  const auto until = Clock::now() + d;
  while (!stop_ && Clock::now() < until) {
    std::this_thread::sleep_for(
        std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(20)));
  }
}

void RegisterSimulator::Serve() {
  std::string pending;
  int counted = 0;
  // When the last byte sent by the host has fully arrived on an imitated line.
  auto lineFree = Clock::now();
  while (!stop_ && !dropped_) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    char buf[4096];
    ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) continue;  // nobody holds the line open at the moment
    const auto now = Clock::now();
    lineFree = std::max(now, lineFree) + ByteTime(static_cast<size_t>(n));
    if (lineFree > now) Sleep(lineFree - now);
    std::string got(buf, static_cast<size_t>(n));
    std::vector<std::string> commands;
    {
      std::lock_guard lock(mutex_);
      wire_ += got;
      pending += got;
      commands = protocol_->TakeCommands(pending);
    }
    for (const auto& command : commands) {
      std::pair<Fault, int> fault{Fault::None, 0};
      std::string reply, followUp;
      std::function<void(const std::string&)> callback;
      std::vector<std::string> finished;
      {
        std::lock_guard lock(mutex_);
        commands_.push_back(command);
        if (auto it = faults_.find(++counted); it != faults_.end()) fault = it->second;
        if (fault.first == Fault::None || fault.first == Fault::Late) {
          reply = protocol_->Handle(command);
          followUp = protocol_->TakeFollowUp();
        } else if (fault.first == Fault::Refuse) {
          reply = protocol_->Refusal();
        } else if (fault.first == Fault::Garbage) {
          reply = std::string("\x7f\xfe?#\x01", 5);
        }
        callback = onReceipt_;
        const auto& all = protocol_->receipts();
        finished.assign(all.begin() + static_cast<long>(reported_), all.end());
        reported_ = all.size();
      }
      if (callback) {
        for (const auto& r : finished) callback(r);
      }
      if (fault.first == Fault::Drop) {
        dropped_ = true;
        ::close(master_);
        ::close(slave_);
        master_ = slave_ = -1;
        return;
      }
      if (fault.first == Fault::Late) Sleep(std::chrono::milliseconds(fault.second));
      if (reply.empty()) continue;
      Sleep(ByteTime(reply.size()));
      if (::write(master_, reply.data(), reply.size()) > 0) replied_ += reply.size();
      if (followUp.empty()) continue;
      // Long enough after the acknowledgement for the host to have finished reading it.
      Sleep(kFollowUpPause + ByteTime(followUp.size()));
      if (::write(master_, followUp.data(), followUp.size()) > 0) replied_ += followUp.size();
    }
  }
}

bool ParseFault(const std::string& word, Fault& fault) {
  static const std::pair<const char*, Fault> kWords[] = {
      {"none", Fault::None},  {"silent", Fault::Silent},   {"refuse", Fault::Refuse},
      {"nak", Fault::Refuse}, {"garbage", Fault::Garbage}, {"late", Fault::Late},
      {"drop", Fault::Drop},
  };
  for (const auto& [name, f] : kWords) {
    if (word == name) {
      fault = f;
      return true;
    }
  }
  return false;
}

std::unique_ptr<Protocol> NewProtocol(int deviceType) {
  switch (deviceType) {
    case kDeviceCRF4600:
      return NewCrf4600Protocol();
    case kDeviceDSProgress:
      return NewDsProgressProtocol();
    case kDeviceEllisse:
      return NewEllisseProtocol();
    case kDeviceEllisseExt:
      return NewEllisseExtProtocol();
    case kDeviceOmegaSAX:
      return NewOmegaSaxProtocol();
    default:
      return nullptr;
  }
}

}  // namespace tillbook::fiscal::sim
