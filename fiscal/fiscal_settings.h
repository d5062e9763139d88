// The fiscal settings ("FiscalPrinterParam" in the settings store), the device-type table with
// its list texts, and the values derived from the port settings for the drivers' parameters.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::fiscal {

inline constexpr std::string_view kSectionFiscal = "FiscalPrinterParam";

// Device type codes, as stored in "Type".
enum DeviceType : int {
  kDeviceNone = -1,
  kDeviceCRF4600 = 0,
  kDeviceRCHG600 = 1,
  kDeviceRCHG1200 = 2,
  kDeviceEllisse = 3,
  kDeviceEllisseExt = 4,
  kDeviceSID = 5,
  kDeviceRCHNucleo = 6,
  kDeviceOmegaSAX = 7,
  kDeviceDSProgress = 8,
  kDeviceRCHG2000 = 9,
  kDeviceNetwork = 99,
};

struct DeviceTypeItem {
  int code;
  const char* listText;
};
// The items of the device list in the options window, in their order.
const std::vector<DeviceTypeItem>& DeviceTypes();

struct FiscalSettings {
  int Type = kDeviceCRF4600;
  int COMPortNumber = 1;  // 0 none, 1 to 8 for the first eight serial ports
  std::string COMPortParam = "9600,n,8,1";
  int CommandWait = 700;  // ms
  int Timout = 5000;      // ms
  int DescriptionLen = 20;
  int DefaultDepartment = 4;
  bool CurrencyConversion = false;
  bool SendDescription = true;
  // A device path that replaces the port number (a USB adapter, a pseudo-terminal); empty: none.
  std::string COMPortPath;
};

// Reads every key, absent ones (and unreadable numbers) taking their defaults.
void LoadFiscalPrinterSettings(const platform::SettingsStore& store, FiscalSettings& settings);
// Writes every key as text; "COMPortPath" only when set (and removed when empty).
void SaveFiscalPrinterSettings(platform::SettingsStore& store, const FiscalSettings& settings);

// The device a driver opens: `path` when set, else /dev/ttyS<number - 1>.
std::string DevicePath(int portNumber, const std::string& path);
// How messages name the port: "COM<number>", or the device path when one is set.
std::string PortLabel(int portNumber, const std::string& path);

// Speed code for the drivers that take one: 1, 2, 4, 8 for "1200", "2400", "4800", "9600" at
// the start of the settings, 16 for "19200"; nullopt for any other start.
std::optional<int> SpeedCode(std::string_view portSettings);
// 2 when the settings, blanks removed, contain ",7"; otherwise 3.
int DataBitsCode(std::string_view portSettings);

}  // namespace tillbook::fiscal
