// A cash register on a pseudo-terminal: the device side of a family's protocol (frames,
// checks, replies), the paper it prints kept as text, the line speed imitated when asked, and
// faults injected at a chosen command (no answer, a refusal, garbage, an answer after the
// driver's time-out, the line dropped). The other side of every driver test, and a register to
// train staff on.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tillbook::fiscal::sim {

enum class Fault { None, Silent, Refuse, Garbage, Late, Drop };

// The device side of one protocol.
class Protocol {
 public:
  virtual ~Protocol() = default;
  // Removes the complete commands at the front of `pending` and returns them as received
  // (framing included); bytes that belong to no command are dropped.
  virtual std::vector<std::string> TakeCommands(std::string& pending) = 0;
  // Carries out one command on the paper and returns the reply.
  virtual std::string Handle(const std::string& command) = 0;
  // A second answer the register sends on its own after a pause (a data frame following the
  // acknowledgement); empty when there is none. Taken once, right after Handle.
  virtual std::string TakeFollowUp() { return {}; }
  // What the device answers when it refuses a command.
  virtual std::string Refusal() const = 0;
  // Receipts finished so far (printed or cancelled), as text.
  const std::vector<std::string>& receipts() const { return receipts_; }

 protected:
  std::vector<std::string> receipts_;
};

// The protocol of a device type; nullptr for a type without a simulator.
std::unique_ptr<Protocol> NewProtocol(int deviceType);

class RegisterSimulator {
 public:
  // Opens the pseudo-terminal for a device type. Throws Error for a type without a simulator or
  // when no pseudo-terminal can be had.
  explicit RegisterSimulator(int deviceType);
  ~RegisterSimulator();
  RegisterSimulator(const RegisterSimulator&) = delete;
  RegisterSimulator& operator=(const RegisterSimulator&) = delete;

  // The device a driver opens.
  const std::string& path() const { return path_; }
  // Imitates a line at `baud` (ten bits a byte) in both directions; 0: as fast as it goes.
  void SetBaud(int baud) { baud_ = baud; }
  // The fault met by the `command`-th command received (1-based, counted from the start).
  // `lateMs` is the delay of a late answer.
  void InjectFault(int command, Fault fault, int lateMs = 0);
  // Called from the serving thread with each finished receipt.
  void OnReceipt(std::function<void(const std::string&)> callback);

  void Start();
  void Stop();

  // Everything received from the host, in order (acknowledgements included).
  std::string Wire() const;
  // The commands received, framing included.
  std::vector<std::string> Commands() const;
  // How many bytes the register has sent back.
  size_t RepliedBytes() const { return replied_; }
  // Every finished receipt, each ending in a blank line.
  std::string Paper() const;
  // True once the line was dropped by a fault.
  bool dropped() const { return dropped_; }

 private:
  void Serve();
  void Sleep(std::chrono::steady_clock::duration d);
  std::chrono::steady_clock::duration ByteTime(size_t n) const;

  std::unique_ptr<Protocol> protocol_;
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
  std::atomic<int> baud_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> dropped_{false};
  std::atomic<size_t> replied_{0};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::map<int, std::pair<Fault, int>> faults_;
  std::function<void(const std::string&)> onReceipt_;
  std::string wire_;
  std::vector<std::string> commands_;
  size_t reported_ = 0;
};

// "none", "silent", "refuse" (also "nak"), "garbage", "late", "drop"; nullopt-like None for an
// unknown word is reported by returning false.
bool ParseFault(const std::string& word, Fault& fault);

}  // namespace tillbook::fiscal::sim
