// The receipt request spool: a workstation without a register of its own writes a five-line
// request file into the shared data folder and waits for it to disappear; the workstation that
// owns the register lists the folder, deletes a request (which is how it takes it) and prints
// the sale. Whoever deletes the file owns the request, so a receipt is printed at most once.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tillbook::engine {
class Connection;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::fiscal {

class FiscalModule;

struct ReceiptRequest {
  std::string fileName;  // full path
  std::string tableName;
  double identity = 0;
};

class RequestSpool {
 public:
  RequestSpool(std::string folder, std::string hostName)
      : folder_(std::move(folder)), hostName_(std::move(hostName)) {}

  // "FP_REQUEST_" + the host name without \ / : * ? " < > | and full stops + ".tmp", in the
  // folder.
  std::string RequestFileName() const;

  // Writes this computer's request for the sale and waits, calling `pump` and advancing the
  // progress, until the file is taken (true) or the person presses Stop (the file is withdrawn;
  // false). A pending earlier request is offered for cancelling first; No gives up the new one.
  // A file that cannot be written is reported with its own message; false.
  bool PostReceiptRequest(const std::string& userName, const std::string& tableName,
                          int64_t identity, engine::UiServices& ui,
                          const std::function<void()>& pump) const;

  // The first request in the folder (by name), read; nullopt when there is none or it vanished
  // before it could be read.
  std::optional<ReceiptRequest> TakeReceiptRequest() const;
  // Deletes the request file; true only when this call deleted it (it still existed).
  static bool RemoveReceiptRequest(const std::string& fileName);

 private:
  std::string folder_;
  std::string hostName_;
};

// The name of this computer on the network.
std::string LocalHostName();

// Serves one request as the main window's timer does, when the module has a local driver, is
// not busy and its type is neither none nor network: takes it, deletes it, prints the sale
// through Send_Scontrino. Returns that receipt's result (false when nothing was printed).
bool TestNetwork_Scontrino(FiscalModule& module, engine::Connection& connection,
                           engine::UiServices& ui);

}  // namespace tillbook::fiscal
