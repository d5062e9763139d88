#include "fiscal/request_spool.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "base/error.h"
#include "engine/connection.h"
#include "engine/ui_services.h"
#include "fiscal/modFiscalPrinter.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace tillbook::fiscal {

namespace fs = std::filesystem;
using engine::Buttons;
using engine::Icon;

namespace {

constexpr std::string_view kPrefix = "FP_REQUEST_";
constexpr std::string_view kSuffix = ".tmp";
// How often a waiting requester looks whether its request was taken.
constexpr auto kPollInterval = std::chrono::milliseconds(100);

bool Exists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

// Writes the whole file under a name the server never lists, then gives it its name: a server
// never reads half a request.
void WriteRequest(const std::string& path, const std::string& text) {
  const std::string staging = path + ".part";
  {
    std::ofstream out(staging, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      std::error_code ec(errno ? errno : EIO, std::generic_category());
      std::remove(staging.c_str());
      platform::ThrowPathError(path, ec);
    }
  }
  std::error_code ec;
  fs::rename(staging, path, ec);
  if (ec) {
    std::remove(staging.c_str());
    platform::ThrowPathError(path, ec);
  }
}

}  // namespace

std::string RequestSpool::RequestFileName() const {
  std::string name;
  for (char c : hostName_) {
    if (std::string_view("\\/:*?\"<>|.").find(c) == std::string_view::npos) name += c;
  }
  std::string path = folder_;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + std::string(kPrefix) + name + std::string(kSuffix);
}

bool RequestSpool::PostReceiptRequest(const std::string& userName, const std::string& tableName,
                                      int64_t identity, engine::UiServices& ui,
                                      const std::function<void()>& pump) const {
  const std::string path = RequestFileName();
  try {
    if (Exists(path)) {
      const auto answer = ui.MessageBox(
          "<ATTENZIONE>\r\rUna precedente richiesta di emissione scontrino non è stata "
          "completata, vuoi annullarla ?",
          Buttons::YesNo, Icon::Exclamation);
      if (answer != engine::Answer::Yes) return false;
      platform::RemoveFile(path);
    }
    const std::string now = platform::CurrentClock().Now().ToItalian(true);
    WriteRequest(path, now + "\r\n" + hostName_ + "\r\n" + userName + "\r\n" + tableName + "\r\n" +
                           std::to_string(identity) + "\r\n");
  } catch (const Error& e) {
    ui.MessageBox(e.message(), Buttons::Ok, Icon::None);
    return false;
  }
  ui.ProgressStart("Richiesta di emissione scontrino in rete da altro computer...", 0);
  int step = 0;
  while (Exists(path)) {
    if (!ui.ProgressStep(++step)) break;
    if (pump) pump();
    std::this_thread::sleep_for(kPollInterval);
  }
  // Deleting decides: if the server deleted it first, the request is its own.
  const bool withdrawn = ::unlink(path.c_str()) == 0;
  ui.ProgressEnd();
  return !withdrawn;
}

std::optional<ReceiptRequest> RequestSpool::TakeReceiptRequest() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder_.empty() ? "." : folder_, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() >= kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
        name.ends_with(kSuffix)) {
      names.push_back(it->path().string());
    }
  }
  std::sort(names.begin(), names.end());
  for (const auto& file : names) {
    std::ifstream in(file, std::ios::binary);
    if (!in) continue;  // taken or withdrawn meanwhile
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < 5 && std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    ReceiptRequest request;
    request.fileName = file;
    if (lines.size() >= 4) request.tableName = lines[3];
    if (lines.size() >= 5) {
      char* end = nullptr;
      const double v = std::strtod(lines[4].c_str(), &end);
      request.identity = std::isfinite(v) ? v : 0;
    }
    return request;
  }
  return std::nullopt;
}

bool RequestSpool::RemoveReceiptRequest(const std::string& fileName) {
  return ::unlink(fileName.c_str()) == 0;
}

std::string LocalHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
  return name;
}

bool TestNetwork_Scontrino(FiscalModule& module, engine::Connection& connection,
                           engine::UiServices& ui) {
  if (module.settings.Type == kDeviceNone || module.settings.Type == kDeviceNetwork ||
      module.busy || !module.driver()) {
    return false;
  }
  RequestSpool spool(module.dataFolder, module.hostName);
  auto request = spool.TakeReceiptRequest();
  if (!request) return false;
  ui.SetStatusText("Stampa scontrino in rete...");
  if (!RequestSpool::RemoveReceiptRequest(request->fileName)) {
    ui.SetStatusText("Stampa scontrino in rete annullata...");
    return false;
  }
  // From here the request is ours alone: whatever happens, it is never served again.
  if (!(request->identity >= 1 && request->identity <= 9e15)) return false;
  try {
    auto sale = connection.GetRow(request->tableName, static_cast<int64_t>(request->identity));
    if (!sale) return false;
    return Send_Scontrino(module, *sale, ui);
  } catch (const Error& e) {
    ui.MessageBox(
        "Si e' verificato un errore durante l'emissione dello scontrino:\r\r" + e.message(),
        Buttons::Ok, Icon::Critical);
    return false;
  }
}

}  // namespace tillbook::fiscal
