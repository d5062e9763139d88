#include "fiscal/fiscal_settings.h"

#include <cmath>

#include "core/configuration.h"
#include "platform/settings.h"

namespace tillbook::fiscal {

const std::vector<DeviceTypeItem>& DeviceTypes() {
  static const std::vector<DeviceTypeItem> kItems = {
      {kDeviceNone, "[NESSUNO]"},
      {kDeviceCRF4600, "OLIVETTI CRF4600"},
      {kDeviceRCHG600, "RCH G600"},
      {kDeviceRCHG1200, "RCH G1200"},
      {kDeviceEllisse, "OMEGA ELLISSE (stmpante fiscale)"},
      {kDeviceEllisseExt, "OMEGA ELLISSE (on-line esteso)"},
      {kDeviceSID, "SID Smart"},
      {kDeviceRCHNucleo, "RCH Nucleo"},
      {kDeviceOmegaSAX, "OMEGA SAX"},
      {kDeviceDSProgress, "Distribution System PROGRESS"},
      {kDeviceRCHG2000, "RCH G2000"},
      {kDeviceNetwork, "[STAMPA ATTRAVERSO ALTRO PC IN RETE]"},
  };
  return kItems;
}

namespace {

int Number(const platform::SettingsStore& store, std::string_view key, int fallback) {
  auto text = store.Get(kSectionFiscal, key);
  if (!text) return fallback;
  return static_cast<int>(std::lround(core::NumberValue(*text)));
}

bool Flag(const platform::SettingsStore& store, std::string_view key, bool fallback) {
  auto text = store.Get(kSectionFiscal, key);
  return text ? core::ParseBoolean(*text) : fallback;
}

}  // namespace

void LoadFiscalPrinterSettings(const platform::SettingsStore& store, FiscalSettings& s) {
  const FiscalSettings d;
  s.Type = Number(store, "Type", d.Type);
  s.COMPortNumber = Number(store, "COMPortNumber", d.COMPortNumber);
  s.COMPortParam = store.GetOr(kSectionFiscal, "COMPortParam", d.COMPortParam);
  s.CommandWait = Number(store, "CommandWait", d.CommandWait);
  s.Timout = Number(store, "Timout", d.Timout);
  s.DescriptionLen = Number(store, "DescriptionLen", d.DescriptionLen);
  s.DefaultDepartment = Number(store, "DefaultDepartment", d.DefaultDepartment);
  s.CurrencyConversion = Flag(store, "CurrencyConversion", d.CurrencyConversion);
  s.SendDescription = Flag(store, "SendDescription", d.SendDescription);
  s.COMPortPath = store.GetOr(kSectionFiscal, "COMPortPath", "");
}

void SaveFiscalPrinterSettings(platform::SettingsStore& store, const FiscalSettings& s) {
  store.Set(kSectionFiscal, "Type", std::to_string(s.Type));
  store.Set(kSectionFiscal, "COMPortNumber", std::to_string(s.COMPortNumber));
  store.Set(kSectionFiscal, "COMPortParam", s.COMPortParam);
  store.Set(kSectionFiscal, "CommandWait", std::to_string(s.CommandWait));
  store.Set(kSectionFiscal, "Timout", std::to_string(s.Timout));
  store.Set(kSectionFiscal, "DescriptionLen", std::to_string(s.DescriptionLen));
  store.Set(kSectionFiscal, "DefaultDepartment", std::to_string(s.DefaultDepartment));
  store.Set(kSectionFiscal, "CurrencyConversion", core::BooleanText(s.CurrencyConversion));
  store.Set(kSectionFiscal, "SendDescription", core::BooleanText(s.SendDescription));
  if (s.COMPortPath.empty()) {
    store.Delete(kSectionFiscal, "COMPortPath");
  } else {
    store.Set(kSectionFiscal, "COMPortPath", s.COMPortPath);
  }
}

std::string DevicePath(int portNumber, const std::string& path) {
  if (!path.empty()) return path;
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::string PortLabel(int portNumber, const std::string& path) {
  return path.empty() ? "COM" + std::to_string(portNumber) : path;
}

std::optional<int> SpeedCode(std::string_view s) {
  if (s.substr(0, 4) == "1200") return 1;
  if (s.substr(0, 4) == "2400") return 2;
  if (s.substr(0, 4) == "4800") return 4;
  if (s.substr(0, 4) == "9600") return 8;
  if (s.substr(0, 5) == "19200") return 16;
  return std::nullopt;
}

int DataBitsCode(std::string_view s) {
  std::string compact;
  for (char c : s) {
    if (c != ' ') compact += c;
  }
  return compact.find(",7") != std::string::npos ? 2 : 3;
}

}  // namespace tillbook::fiscal
