// clsSID, the driver of device type 5: no port of its own, it hands bracketed
// text commands to the vendor's communication application through a conversation with
// application and topic "Sidcomm95". Our conversation is a pluggable partner; the ones shipped
// are a simulated register and a recorder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fiscal/fiscal_printer.h"

namespace tillbook::fiscal {

// The other side of the conversation. Failures are thrown as Error with a number.
class DdePartner {
 public:
  virtual ~DdePartner() = default;
  virtual void Connect(const std::string& application, const std::string& topic) = 0;
  virtual void Execute(const std::string& command) = 0;
};

// The label the driver converses through, with the members it relies on.
class SidDdeLabel {
 public:
  SidDdeLabel(std::shared_ptr<DdePartner> partner, std::function<void(const std::string&)> trace);
  std::string Caption;
  // "application|topic"; setting the mode to manual (2) connects.
  void SetLinkTopic(const std::string& topic);
  void SetLinkMode(int mode);
  void LinkExecute(const std::string& command);

 private:
  std::shared_ptr<DdePartner> partner_;
  std::function<void(const std::string&)> trace_;
  std::string topic_;
};

// The "Plu," command of one line (without brackets).
std::string SidPluCommand(double price, int quantity, const std::string& description,
                          int department, int descriptionLen);

class clsSID : public itfFiscalPrinter {
 public:
  explicit clsSID(DriverContext context);
  void SetParameters(const std::vector<Variant>&) override {}
  void NewSession(int16_t decimals) override;
  void EndSession() override;
  // Sends nothing: an open receipt stays as the vendor application left it.
  void CancelSession() override {}
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override { return "SID Smart"; }

 private:
  // Executes "[command]"; false with the error kept when the partner refused it.
  bool SIDExecute(const std::string& command);
  [[noreturn]] void Raise(const std::string& message);
  DriverContext context_;
  std::shared_ptr<DdePartner> partner_;
  SidDdeLabel label_;
  int16_t decimals_ = 2;
  int errorNumber_ = 0;
  std::string errorText_;
};

// A register behind the conversation: "Plu" lines and "CASH" become printed receipts.
class SimulatedSmartComm : public DdePartner {
 public:
  void Connect(const std::string& application, const std::string& topic) override;
  void Execute(const std::string& command) override;
  bool running = true;
  std::string Paper() const;
  const std::vector<std::string>& received() const { return received_; }

 private:
  std::vector<std::string> received_;
  std::vector<std::string> receipts_;
  std::string text_;
  Money total_;
};

}  // namespace tillbook::fiscal
