// The drivers of the ELLISSE register family. clsEllisse (device type 3) presses keys, one
// framed key code per message: the amount digit by digit, then the department. clsEllisseExt
// (type 4) sends fixed-layout item records in the extended on-line mode, each confirmed in two
// steps, and answers the messages the register sends on its own.
#pragma once

#include "fiscal/modEllisse.h"

namespace tillbook::fiscal {

class clsEllisse : public OmegaDriver {
 public:
  explicit clsEllisse(DriverContext context) : OmegaDriver(std::move(context)) {}
  void NewSession(int16_t decimals) override;
  void EndSession() override;
  void CancelSession() override;
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override { return "Omega ELLISSE"; }

 private:
  void Key(const std::string& code, int errorCode, const std::string& message);
  int16_t decimals_ = 2;
};

// The 58-character item record and the 37-character description record (empty when there is
// no description) of the extended mode.
std::string EllisseItemRecord(double price, int quantity, int department, int decimals,
                              bool firstLine);
std::string EllisseDescriptionRecord(const std::string& deviceText);

class clsEllisseExt : public OmegaDriver {
 public:
  explicit clsEllisseExt(DriverContext context) : OmegaDriver(std::move(context)) {}
  void NewSession(int16_t decimals) override;
  void EndSession() override;
  void CancelSession() override;
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override { return "Omega ELLISSE"; }

  // Reads and confirms a message the register sent on its own; the program calls it when the
  // port has data and the driver is not waiting itself. Failures only beep.
  void ServeRegisterMessage();

 private:
  int16_t decimals_ = 2;
  bool firstLine_ = true;
  bool busy_ = false;
};

}  // namespace tillbook::fiscal
