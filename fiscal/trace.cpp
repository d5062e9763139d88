#include "fiscal/trace.h"

#include <charconv>

namespace tillbook::fiscal {

std::string TraceNumber(double value) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  return std::string(buf, r.ptr);
}

namespace {

std::string ParamText(const Variant& v) {
  return v.IsNumeric() && !v.IsString() ? TraceNumber(v.ToDouble()) : v.ToText();
}

class TracingPrinter : public itfFiscalPrinter {
 public:
  TracingPrinter(std::unique_ptr<itfFiscalPrinter> inner, TraceSink sink)
      : inner_(std::move(inner)), sink_(std::move(sink)) {}

  void NewSession(int16_t decimals) override {
    sink_("NewSession\t" + std::to_string(decimals));
    inner_->NewSession(decimals);
  }
  void EndSession() override {
    sink_("EndSession");
    inner_->EndSession();
  }
  void CancelSession() override {
    sink_("CancelSession");
    inner_->CancelSession();
  }
  void SendData(double price, int16_t quantity, const std::string& description,
                int16_t department) override {
    sink_("SendData\t" + TraceNumber(price) + "\t" + std::to_string(quantity) + "\t" + description +
          "\t" + std::to_string(department));
    inner_->SendData(price, quantity, description, department);
  }
  std::string FiscalPrinterDescription() override {
    sink_("FiscalPrinterDescription");
    return inner_->FiscalPrinterDescription();
  }
  void SetParameters(const std::vector<Variant>& params) override {
    std::string line = "SetParameters";
    for (const auto& p : params) line += "\t" + ParamText(p);
    sink_(line);
    inner_->SetParameters(params);
  }

 private:
  std::unique_ptr<itfFiscalPrinter> inner_;
  TraceSink sink_;
};

}  // namespace

std::unique_ptr<itfFiscalPrinter> NewTracingPrinter(std::unique_ptr<itfFiscalPrinter> inner,
                                                    TraceSink sink) {
  return std::make_unique<TracingPrinter>(std::move(inner), std::move(sink));
}

}  // namespace tillbook::fiscal
