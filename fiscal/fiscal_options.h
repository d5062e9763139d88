// The fiscal options window's behaviour without the window: what its controls hold, which of
// them the chosen device allows, saving them as the fiscal settings, the per-device hints and
// the test receipt sent through the chosen driver. The window only binds its widgets to this.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tillbook::engine {
class UiServices;
}
namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::fiscal {

class FiscalModule;

// The controls' contents. Numbers are kept as the texts the fields show ("00700").
struct FiscalOptionsValues {
  int typeIndex = -1;  // into DeviceTypes(); -1 when nothing is selected
  int portIndex = 0;   // 0 "[nessuno]", 1 to 8 "COM1" to "COM8"
  std::string portParam;
  std::string commandWait;
  std::string timeout;
  std::string department;
  std::string descriptionLen;
  bool currencyConversion = false;
  bool sendDescription = true;
};

// Which controls the chosen device leaves enabled.
struct FiscalControlsEnabled {
  bool portList = false;
  bool portParam = false;  // the port settings
  bool timeout = false;
  bool commandWait = false;
  bool options = false;  // department, description length and the two boxes
};

// The device code of a list index; -1 for no selection.
int TypeCodeAt(int typeIndex);
// The list index of a device code; -1 when the list has no such device.
int TypeIndexOf(int code);
// `value` with leading zeros to `width` digits (a negative value as it is).
std::string ZeroPadded(int value, int width);

// The enabling rules, run whenever the type or the port changes. The SID register is reached on
// the first port only, so choosing it moves `values.portIndex` to 1.
FiscalControlsEnabled EnableRegControls(FiscalOptionsValues& values);

// The hint of `cmdInfo` for a device code.
std::string FiscalDeviceHint(int code);

// The caption of the conversion box: with the database's conversion currency named.
std::string ConversionCaption(const std::string& currencyName);

class FiscalOptionsEditor {
 public:
  // Everything must outlive the editor. `conversionCurrency` is the name of the database's
  // conversion currency, nullopt when it has none (the conversion box is then hidden).
  FiscalOptionsEditor(FiscalModule& module, platform::SettingsStore& store, engine::UiServices& ui,
                      std::optional<std::string> conversionCurrency = std::nullopt);

  // The controls as the window opens: from the module's settings.
  FiscalOptionsValues Load() const;
  // Stores the values as the fiscal settings (the module's and the settings store's). A device
  // path set outside the window is kept.
  void Save(const FiscalOptionsValues& values);
  // The OK button: Save, with a settings file that cannot be written reported; false then.
  bool Confirm(const FiscalOptionsValues& values);
  // The hint of the selected device, as an information message.
  void ShowInfo(const FiscalOptionsValues& values);
  // Asks, saves and sends one "ARTICOLO PROVA" at the smallest unit of the currency on
  // department 1 through the driver of the saved settings. `working` is told true while the
  // device is being driven (the window disabled, the hourglass shown) and false after. The
  // driver is released afterwards unless the printer had one before. True when the register
  // accepted the receipt; false when not confirmed, when no driver could be made, or after an
  // error (reported).
  bool SendTestReceipt(const FiscalOptionsValues& values,
                       const std::function<void(bool)>& working = {});

  const std::optional<std::string>& conversionCurrency() const { return conversionCurrency_; }
  // Decimal digits of the main currency (the archive's has two).
  int mainDecimals = 2;

 private:
  void SendTestLines();

  FiscalModule& module_;
  platform::SettingsStore& store_;
  engine::UiServices& ui_;
  std::optional<std::string> conversionCurrency_;
};

}  // namespace tillbook::fiscal
