// clsDSProgress, the driver of device type 8: plain text commands beginning with
// "K" and ended by CR, each answered by a text ended by EOT CR whose content is not examined.
#pragma once

#include <string>
#include <string_view>

#include "fiscal/serial_driver.h"

namespace tillbook::fiscal {

inline constexpr char kEOT = 4, kCR = 13;

// The line command (without CR): "KR" or "KR-", the amount in smallest units, "R" and the
// department (0 above 9), the description.
std::string DspLineCommand(double price, int quantity, std::string_view description, int department,
                           int decimals, int descriptionLen);

class clsDSProgress : public SerialDriver {
 public:
  explicit clsDSProgress(DriverContext context) : SerialDriver(std::move(context)) {}

  void NewSession(int16_t decimals) override;
  void EndSession() override;
  void CancelSession() override;
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override;
  std::string FiscalPrinterDescription() override { return "DSProgress"; }

  // Clears the input, writes `command` and CR, reads the reply; true when it ended by EOT CR.
  bool DSP_SendCmd(std::string_view command, std::string& reply);
  bool DSP_ReadData(std::string& reply);
  void DSP_ClearCOMM();

 private:
  int16_t decimals_ = 2;
};

}  // namespace tillbook::fiscal
