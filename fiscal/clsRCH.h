// The drivers of device types 1, 2, 9 and 6 over our controls (rch_controls.h): clsRCHG600 sends
// key codes, clsRCHG1200 (types 2 and 9) key codes and text lines, clsRCHNucleo fiscal-receipt
// operations by name.
#pragma once

#include <memory>
#include <string>

#include "fiscal/fiscal_printer.h"
#include "fiscal/rch_controls.h"

namespace tillbook::fiscal {

// "[code] text" for a status of the RCHEcr control; "[code] " for a code without text.
std::string RCHErrorText(int code);
// The key codes of an amount's digits, the amount rounded half up to `decimals` digits and
// counted in the currency's smallest units.
std::string RCHAmountDigits(Money amount, int decimals);
// The G1200 text line: "#", quantity prefix and description in 20 characters, 8-digit amount,
// blank, 2-digit department.
std::string RCHTextLine(int quantity, const std::string& deviceText, Money amount, int decimals,
                        int department);

class RchComDriver : public itfFiscalPrinter {
 public:
  RCHEcr& RCHComm() { return control_; }
  int Status() const { return status_; }

 protected:
  RchComDriver(DriverContext context, int model);
  // Sends one command string and waits for its completion (or the time-out); false when the
  // control did not accept it.
  bool RCHSendCmd(const std::string& command);
  [[noreturn]] void Raise();
  void Open(const std::string& startKey);
  void Finish(const std::string& key);
  // The key codes of a line without text: amount digits then the department.
  std::string KeyLine(Money amount, int department) const;
  static Money LineAmount(double price, int quantity);

  DriverContext context_;
  std::shared_ptr<RchComLink> link_;
  RCHEcr control_;
  int status_ = 0;
  int16_t decimals_ = 2;
};

class clsRCHG600 : public RchComDriver {
 public:
  explicit clsRCHG600(DriverContext context) : RchComDriver(std::move(context), 1) {}
  void SetParameters(const std::vector<Variant>& params) override;
  void NewSession(int16_t decimals) override;
  void EndSession() override { Finish("1001"); }
  void CancelSession() override { Finish("1028"); }
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override { return "RCH G600"; }
};

class clsRCHG1200 : public RchComDriver {
 public:
  explicit clsRCHG1200(DriverContext context) : RchComDriver(std::move(context), 2) {}
  void SetParameters(const std::vector<Variant>& params) override;
  void NewSession(int16_t decimals) override;
  void EndSession() override { Finish("1001"); }
  void CancelSession() override { Finish("1040"); }
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override {
    return control_.Modello == 3 ? "RCH G2000" : "RCH G1200";
  }
};

class clsRCHNucleo : public itfFiscalPrinter {
 public:
  explicit clsRCHNucleo(DriverContext context);
  void SetParameters(const std::vector<Variant>& params) override;
  void NewSession(int16_t decimals) override;
  void EndSession() override;
  void CancelSession() override;
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override { return control_.DeviceDescription(); }

 private:
  [[noreturn]] void Raise(int code, const std::string& message);
  DriverContext context_;
  std::shared_ptr<NucleoLink> link_;
  RchEcrNucleo control_;
  int16_t decimals_ = 2;
  int port_ = 0;
};

}  // namespace tillbook::fiscal
