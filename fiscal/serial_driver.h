// What the serial-port drivers share: the port opened from the (port number, settings)
// parameters, the communication failure text naming the port, and the waits for a reply that
// keep the program's events flowing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fiscal/fiscal_printer.h"
#include "platform/serial.h"

namespace tillbook::fiscal {

class SerialDriver : public itfFiscalPrinter {
 public:
  // Closes the port if open, takes the port number (0) and settings (1), opens the port. A port
  // that cannot be opened raises code 1 with the communication failure text and the reason.
  void SetParameters(const std::vector<Variant>& params) override;

 protected:
  explicit SerialDriver(DriverContext context);

  // Opens the port when it is closed; raises as SetParameters does.
  void EnsureOpen();
  // "Errore di comunicazione con il registratore di cassa (COM<n>-<settings>)".
  std::string CommunicationFailure() const;
  // Waits, pumping events, up to `timeoutMs` for bytes; empty when none came (or the line is
  // gone).
  std::string WaitFirst(int timeoutMs);
  // Appends to `reply` what keeps arriving, pumping events, until `complete(reply)` holds or
  // `silenceMs` pass without a new byte.
  void ReadMore(std::string& reply, int silenceMs,
                const std::function<bool(const std::string&)>& complete);
  // Sleeps without pumping events.
  static void Pause(int ms);

  platform::SerialPort& port() { return *port_; }
  const FiscalSettings& settings() const { return context_.settings; }
  DriverContext& context() { return context_; }

 private:
  DriverContext context_;
  std::unique_ptr<platform::SerialPort> port_;
  int portNumber_ = 0;
  std::string portSettings_;
};

}  // namespace tillbook::fiscal
