// A serial port as the register drivers use it: opened on a device path with a settings text
// such as "9600,n,8,1", the DTR and RTS lines, writing, buffered reading that waits up to a
// time-out for bytes, and discarding what has arrived unread. The one implementation speaks
// termios; pseudo-terminals stand in for real lines in tests.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tillbook::platform {

struct SerialSettings {
  int baud = 9600;
  char parity = 'n';  // n, e, o, m, s
  int dataBits = 8;   // 5 to 8
  int stopBits = 1;   // 1 or 2 (1.5 is read as 2)
  bool operator==(const SerialSettings&) const = default;
};

// "speed,parity,databits,stopbits" with blanks allowed around the parts and the parity in any
// case; missing trailing parts take "n", 8 and 1. nullopt for anything else (an unknown speed,
// parity or size).
std::optional<SerialSettings> ParseSerialSettings(std::string_view text);

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens `device` raw with the given settings, DTR on and RTS off. Throws Error with an Italian
  // message naming the device and the system's reason when the settings are not valid or the
  // device cannot be opened or configured; the port then stays closed.
  virtual void Open(const std::string& device, std::string_view settings) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual void SetDtr(bool on) = 0;
  virtual void SetRts(bool on) = 0;
  // Writes all of `bytes`; false when the line is gone or the port is closed.
  virtual bool Write(std::string_view bytes) = 0;
  // Waits up to `timeout` for at least one byte and returns every byte that has arrived by then;
  // empty when none came in time, the port is closed, or the other side hung up (see hungUp()).
  virtual std::string Read(std::chrono::milliseconds timeout) = 0;
  // Bytes waiting to be read now.
  virtual size_t InputWaiting() = 0;
  // Throws away everything received and not yet read.
  virtual void DiscardInput() = 0;
  // True once the other end of the line went away.
  virtual bool hungUp() const = 0;
};

std::unique_ptr<SerialPort> NewTermiosPort();

}  // namespace tillbook::platform
