// The fiscal printer as the program holds it: the settings, the enabled and busy flags, the one
// active driver and its creation from the device type, activation with its status texts, and
// the receipt emission of a stored sale (Send_Scontrino) with the network path through the
// request spool.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "fiscal/fiscal_printer.h"
#include "fiscal/fiscal_settings.h"

namespace tillbook::engine {
class Row;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::fiscal {

// Makes the driver of a device type; nullptr for a type without a local driver. Throws Error
// for a driver that cannot be made.
std::unique_ptr<itfFiscalPrinter> NewDriver(int type, DriverContext context);

// The program's fiscal state; one per running program.
class FiscalModule {
 public:
  FiscalSettings settings;
  bool enabled = false;
  bool busy = false;

  // The program around the module.
  std::function<void()> pumpEvents = [] {};
  std::function<void()> beep = [] {};
  std::function<std::unique_ptr<platform::SerialPort>()> newPort;
  std::shared_ptr<RchComLink> rchLink;
  std::shared_ptr<NucleoLink> nucleoLink;
  std::shared_ptr<DdePartner> ddePartner;
  std::function<void(const std::string&)> controlTrace;
  // Wraps each new driver (the trace of calls); identity when unset.
  std::function<std::unique_ptr<itfFiscalPrinter>(std::unique_ptr<itfFiscalPrinter>)> wrapDriver;
  // Saves the general configuration after activation changes "FiscalPrinterEnabled".
  std::function<void(bool enabled)> saveEnabled = [](bool) {};
  // The activation menu item's check mark.
  std::function<void(bool checked)> setMenuChecked = [](bool) {};

  // What the receipt emission reads besides the settings.
  std::string dataFolder;  // the folder holding the archive (request files go there)
  std::string userName;    // the operator logged in
  std::string hostName;    // this computer's network name
  bool useNoMagazzino = true;
  int conversionDecimals = 2;    // digits of the conversion currency
  double conversionValue = 1.0;  // main currency to conversion currency

  itfFiscalPrinter* driver() { return driver_.get(); }
  void SetDriver(std::unique_ptr<itfFiscalPrinter> driver) { driver_ = std::move(driver); }

  // Releases the current driver; unless `release`, makes the configured one and hands it its
  // parameters. False (no driver) for -1, an unknown type and an unreadable speed of the
  // speed-coded types (after the message); true for the network type without a driver. An
  // error of the driver's creation or SetParameters is thrown.
  bool CreateFiscalPrinter(bool release, engine::UiServices& ui);
  // Activates or deactivates the printer, with the status text, the flag, the check mark and
  // the saved configuration; a driver that cannot be set up is reported and leaves it disabled.
  void SetFiscalPrinter(bool enable, engine::UiServices& ui);

 private:
  std::unique_ptr<itfFiscalPrinter> driver_;
};

// Emits the receipt of `sale` (a Vendite row): true when the device accepted all of it. Rows go
// largest amount first, each as pieces at a unit price or as one piece at its amount; a row
// that fails, Stop, or a bad department cancels the receipt and offers to print it all again.
// Without a driver the sale becomes a request for the workstation that owns the register, and
// the result is false.
bool Send_Scontrino(FiscalModule& module, engine::Row& sale, engine::UiServices& ui);

// The reprint command of the main window for its current sale: with the printer enabled, a
// beep and a confirmation, then the receipt again (true when it was printed, with the message
// saying so); otherwise the message that the printer is not active. `working` is told true
// before the receipt goes out (the window disabled, the hourglass shown) and false after it.
bool ReprintReceipt(FiscalModule& module, engine::Row& sale, engine::UiServices& ui,
                    const std::function<void(bool)>& working = {});

// After the options window closes: unless the type is none, offers to activate the printer and
// activates or deactivates it as answered.
void OfferActivation(FiscalModule& module, engine::UiServices& ui);

}  // namespace tillbook::fiscal
