// clsOmegaSAX, the driver of device type 7: SAX frames with an XOR check; every
// command of a receipt after the free-counter reset carries a running three-digit number.
#pragma once

#include "fiscal/modEllisse.h"

namespace tillbook::fiscal {

// The 26-character line record: "r" or "R", department, 15-character description, 8-digit
// amount.
std::string SaxLineRecord(double price, int quantity, const std::string& description,
                          int department, int decimals, int descriptionLen);

class clsOmegaSAX : public OmegaDriver {
 public:
  explicit clsOmegaSAX(DriverContext context) : OmegaDriver(std::move(context)) {}
  void NewSession(int16_t decimals) override;
  void EndSession() override;
  void CancelSession() override;
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override { return "Omega SAX"; }

 private:
  // Sends Counter + `command` and advances the counter.
  bool SendNumbered(const std::string& command);
  int16_t decimals_ = 2;
  int counter_ = 0;
};

}  // namespace tillbook::fiscal
