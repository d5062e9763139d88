// The frames of the ELLISSE and SAX families: the ELLISSE frame (STX, data, EOT, two-digit additive
// check, ETX) and the SAX frame (STX, data, XOR check without leading zero, ETX), and the
// reception both share: an answer within the time-out, then characters until ETX or a tenth of
// a second of silence.
#pragma once

#include <string>
#include <string_view>

#include "fiscal/serial_driver.h"

namespace tillbook::fiscal {

std::string BuildEllisseFrame(std::string_view data);
// The data of the first frame in `text` (from its first STX to the next ETX) when it is well
// formed and its check is right; empty otherwise.
std::string ParseEllisseFrame(std::string_view text);
std::string BuildSaxFrame(std::string_view data);
// Three-digit ELLISSE key codes.
std::string EllisseDigitKey(char digit);           // "048" to "057"
std::string EllisseDepartmentKey(int department);  // department + 70
// |price| x |quantity| (or x quantity for a sale), half up to `decimals` digits, in the
// currency's smallest units.
int64_t SmallestUnits(double price, int quantity, int decimals);

// The exchanges of the Omega drivers over their serial port.
class OmegaDriver : public SerialDriver {
 public:
  // Reads and discards what is waiting.
  void ClearComm();
  // One ELLISSE answer: ACK, NAK, or one or more frames whose data parts are joined by CR LF
  // into `reply` (true when one has "0" as third character); with `sendAck`, confirms them.
  bool ReceiveEllisse(std::string& reply, bool sendAck);
  bool SendEllisse(std::string_view data, std::string& reply);
  // SendEllisse; for records from "70" up, also the register's data frame and the "000" reply.
  bool SendEllisseConfirmed(std::string_view data, std::string& reply);
  // One SAX answer: ACK true, NAK false, CR false with `crSeen`.
  bool ReceiveSax(bool& crSeen);
  bool SendSax(std::string_view data, bool& crSeen);

 protected:
  using SerialDriver::SerialDriver;

 private:
  // The answer's text: empty when nothing came within the time-out.
  std::string ReceiveText();
  // A frame that arrived together with an acknowledgement, kept for the next reception.
  std::string carry_;
};

}  // namespace tillbook::fiscal
