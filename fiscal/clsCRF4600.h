// clsCRF4600, the driver of device type 0: commands of one letter and
// length-prefixed fields framed by STX and ETX, each preceded by the command pause, answered by
// ACK or by a framed reply. A sale that mixes sale and return lines is printed as several
// receipts, switching at each change.
#pragma once

#include <string>
#include <string_view>

#include "fiscal/serial_driver.h"

namespace tillbook::fiscal {

inline constexpr char kSTX = 2, kETX = 3, kACK = 6, kNAK = 21;

// One field: the character of code 32 + length, then the text.
std::string CrfField(std::string_view text);
// The command text of one line (without STX/ETX): q, "10", "1", price, quantity and, with a
// description, six empty fields and the description padded to `descriptionLen`.
std::string CrfLineCommand(std::string_view priceText, int quantity, std::string_view description,
                           int descriptionLen);

class clsCRF4600 : public SerialDriver {
 public:
  explicit clsCRF4600(DriverContext context) : SerialDriver(std::move(context)) {}

  void NewSession(int16_t decimals) override;
  void EndSession() override;
  void CancelSession() override;
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override { return "Olivetti CRF 4600"; }

  // One exchange: pause, frame, reply. True when the register acknowledged the command.
  bool SendCrfCommand(std::string_view command);

 private:
  bool OpenCrfReceipt(bool isReturn);
  bool CloseCrfReceipt();
  bool CancelCrfReceipt();
  bool SendCrfLine(std::string_view priceText, int quantity, const std::string& description);

  int16_t decimals_ = 2;
  bool returnMode_ = false;
};

}  // namespace tillbook::fiscal
