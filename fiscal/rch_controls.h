// Our own controls for device types 1, 2, 9 and 6, with the members, arguments and events the
// drivers rely on: RCHEcr (key-code command strings, a status per call and an RCHResult event
// when a command completes) and RchEcrNucleo (fiscal-receipt operations by name). How a control
// reaches the register is a pluggable link; the links shipped are an in-process simulated
// register and a recorder. Every member call can be traced.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/money.h"
#include "fiscal/trace.h"

namespace tillbook::fiscal {

// What reaches the register behind RCHEcr.
class RchComLink {
 public:
  virtual ~RchComLink() = default;
  // 1001 when the port is open.
  virtual int Open(int port, int baudCode, int model) = 0;
  virtual void Close() = 0;
  // 1001 when the command was accepted; `completed` is then called with the final status
  // (1010), now or later.
  virtual int Send(const std::string& command, const std::function<void(int)>& completed) = 0;
};

// What reaches the register behind RchEcrNucleo: each operation by name, its result (0 done)
// and, after a failure, the result codes.
class NucleoLink {
 public:
  virtual ~NucleoLink() = default;
  virtual int Open(const std::string& port) = 0;
  virtual void Close() = 0;
  virtual int Call(const std::string& operation, const std::vector<std::string>& args,
                   int& resultCode, int& resultCodeExtended) = 0;
  virtual std::string Description() const = 0;
};

class RCHEcr {
 public:
  RCHEcr(std::shared_ptr<RchComLink> link, TraceSink trace);
  int Mode = 0, Modello = 0, CommPort = 0, BaudRate = 0, Parity = 0, DataBits = 0;
  int RCHOpen();
  void RCHClose();
  int RCHSend(const std::string& kind, std::vector<std::string>& command, const std::string& extra);
  // Raised with the status of a completed command, from DeliverEvents: like a window
  // message, a completion is never delivered inside the call that caused it.
  std::function<void(int mStatus)> RCHResult;
  void DeliverEvents();

 private:
  std::shared_ptr<RchComLink> link_;
  TraceSink trace_;
  std::vector<int> pending_;
};

class RchEcrNucleo {
 public:
  RchEcrNucleo(std::shared_ptr<NucleoLink> link, TraceSink trace);
  bool AsyncMode = true;
  int ResultCode = 0, ResultCodeExtended = 0;
  int RCHOpen(const std::string& port);
  void RCHClose();
  int BeginFiscalReceipt(bool printHeader);
  int PrintRecItem(const std::string& description, Money amount, int32_t quantity, int16_t vat,
                   Money unitPrice);
  int PrintRecRefund(const std::string& description, Money amount);
  int PrintRecTotal(int total, int payment, const std::string& description);
  int EndFiscalReceipt(bool printNow);
  int PrintRecVoid();
  std::string DeviceDescription() const;

 private:
  int Call(const std::string& name, const std::vector<std::string>& args);
  std::shared_ptr<NucleoLink> link_;
  TraceSink trace_;
};

// A register behind the links, kept in the process: the key codes and text lines of RCHEcr
// and the operations of RchEcrNucleo become printed receipts.
class SimulatedRchRegister : public RchComLink, public NucleoLink {
 public:
  int Open(int port, int baudCode, int model) override;
  int Open(const std::string& port) override;
  void Close() override { open_ = false; }
  int Send(const std::string& command, const std::function<void(int)>& completed) override;
  int Call(const std::string& operation, const std::vector<std::string>& args, int& resultCode,
           int& resultCodeExtended) override;
  std::string Description() const override { return "RCH Nucleo (simulato)"; }

  // Every finished receipt, each ending in a blank line.
  std::string Paper() const;
  // Refuse the `n`-th command or operation from now (1 = the next), with `status`.
  void RefuseAt(int n, int status) {
    refuseAt_ = calls_ + n;
    refusal_ = status;
  }
  // Commands and operations as received, one per entry.
  const std::vector<std::string>& received() const { return received_; }

 private:
  bool Refused();
  void Line(const std::string& text, Money amount);
  bool open_ = false;
  bool receipt_ = false;
  bool returnNext_ = false;
  std::string text_;
  Money total_;
  std::vector<std::string> receipts_;
  std::vector<std::string> received_;
  int calls_ = 0, refuseAt_ = 0, refusal_ = 0;
};

// A link that takes everything and keeps it: the command strings and operations the drivers
// send, for checking them without any register.
class RecordingRchLink : public RchComLink, public NucleoLink {
 public:
  int Open(int port, int baudCode, int model) override;
  int Open(const std::string& port) override;
  void Close() override { received_.push_back("Close"); }
  int Send(const std::string& command, const std::function<void(int)>& completed) override;
  int Call(const std::string& operation, const std::vector<std::string>& args, int& resultCode,
           int& resultCodeExtended) override;
  std::string Description() const override { return "RCH Nucleo (registrazione)"; }
  const std::vector<std::string>& received() const { return received_; }

 private:
  std::vector<std::string> received_;
};

}  // namespace tillbook::fiscal
