// The interface every cash-register driver implements, the error a driver raises, the context a
// driver runs in (settings, the event pump its waits call, the beep, how ports are made) and the
// text normalisation all drivers apply to descriptions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/variant.h"
#include "fiscal/fiscal_settings.h"

namespace tillbook::platform {
class SerialPort;
}

namespace tillbook::fiscal {

class RchComLink;
class NucleoLink;
class DdePartner;

// One receipt is NewSession, SendData per row, then EndSession or CancelSession; a retry starts
// again with NewSession. SetParameters is called once, right after creation. Every member
// reports failure by throwing (DriverError for the device's own failures).
class itfFiscalPrinter {
 public:
  virtual ~itfFiscalPrinter() = default;
  // Opens a receipt; `decimals` is the number of decimal digits of the sending currency.
  virtual void NewSession(int16_t decimals) = 0;
  // Closes the open receipt (total and payment) so that the device prints it.
  virtual void EndSession() = 0;
  virtual void CancelSession() = 0;
  // One line: `quantity` pieces at unit `price` on register department `department`; a negative
  // price or quantity is a return or discount line.
  virtual void SendData(double price, int16_t quantity, const std::string& description,
                        int16_t department) = 0;
  // Display name, used in status texts and as the source of the driver's errors.
  virtual std::string FiscalPrinterDescription() = 0;
  // Communication parameters laid out per device type; the driver opens its port here.
  virtual void SetParameters(const std::vector<Variant>& params) = 0;
};

// 0x80040000, the base of object-defined error numbers.
inline constexpr uint32_t kObjectErrorBase = 0x80040000u;

class DriverError : public Error {
 public:
  DriverError(std::string source, int code, std::string description)
      : Error(std::move(description), {}, static_cast<int>(kObjectErrorBase + code)),
        source_(std::move(source)),
        code_(code) {}
  const std::string& source() const { return source_; }
  int code() const { return code_; }

 private:
  std::string source_;
  int code_;
};

// Throws DriverError with the description "Codice: <code>", followed by CR CR and `message`
// when there is one.
[[noreturn]] void RaiseDriverError(const std::string& source, int code,
                                   std::string_view message = {});

// The description as the registers can print it: the same number of characters (not bytes),
// with à è é ò ù turned into their plain vowels, ASCII letters and digits kept, and every other
// character a blank.
std::string NormalizeFiscalText(std::string_view text);
// Normalised, in capitals, cut to `maxLength` characters, trailing blanks removed.
std::string DeviceDescription(std::string_view text, int maxLength);

// What a driver needs from the program around it.
struct DriverContext {
  FiscalSettings settings;
  // Called while a driver waits for the device (window events in the desktop program).
  std::function<void()> pumpEvents = [] {};
  std::function<void()> beep = [] {};
  // Makes the serial ports the drivers open (the termios port unless a test says otherwise).
  std::function<std::unique_ptr<platform::SerialPort>()> newPort;
  // What the RCH controls reach the register through; a simulated register when unset.
  std::shared_ptr<RchComLink> rchLink;
  std::shared_ptr<NucleoLink> nucleoLink;
  std::shared_ptr<DdePartner> ddePartner;
  // Receives one line per call of a vendor-control member (name and arguments, tab-separated).
  std::function<void(const std::string&)> controlTrace;
};

}  // namespace tillbook::fiscal
