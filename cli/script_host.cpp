#include "cli/script_host.h"

#include <ostream>

#include "base/error.h"
#include "base/text.h"
#include "engine/script_dataset.h"
#include "vbscript/errors.h"

namespace tillbook::cli {

namespace {

constexpr int kWrongArguments = 450;
constexpr int kSubscriptOutOfRange = 9;

// WScript.Arguments: Count/Length, Item(i) as the default member, For Each.
class ArgumentsObject : public Object {
 public:
  explicit ArgumentsObject(std::vector<std::string> args) : args_(std::move(args)) {}
  std::string TypeName() const override { return "IArguments2"; }
  bool HasMember(std::string_view n) const override {
    return text::EqualNoCase(n, "Count") || text::EqualNoCase(n, "Length") ||
           text::EqualNoCase(n, "Item");
  }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    if (text::EqualNoCase(name, "Count") || text::EqualNoCase(name, "Length"))
      return Variant::Long(static_cast<int32_t>(args_.size()));
    if ((name.empty() || text::EqualNoCase(name, "Item")) && kind != InvokeKind::Let) {
      if (args.size() != 1) throw Error("Numero di argomenti errato.", "Item", kWrongArguments);
      const int64_t i = args[0].ToInt64();
      if (i < 0 || i >= static_cast<int64_t>(args_.size()))
        throw Error("Indice non incluso nell'intervallo.", "Arguments", kSubscriptOutOfRange);
      return Variant::String(args_[static_cast<size_t>(i)]);
    }
    return Object::Invoke(name, kind, args);
  }
  bool Enumerate(std::vector<Variant>& items) override {
    for (const auto& a : args_) items.push_back(Variant::String(a));
    return true;
  }

 private:
  std::vector<std::string> args_;
};

}  // namespace

WScriptObject::WScriptObject(std::ostream& out, std::vector<std::string> arguments,
                             std::function<std::string(const Variant&)> toText)
    : out_(out),
      arguments_(std::make_shared<ArgumentsObject>(std::move(arguments))),
      toText_(std::move(toText)) {}

bool WScriptObject::HasMember(std::string_view n) const {
  return text::EqualNoCase(n, "Echo") || text::EqualNoCase(n, "Arguments") ||
         text::EqualNoCase(n, "Quit");
}

Variant WScriptObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) {
  if (text::EqualNoCase(name, "Echo")) {
    // Arguments separated by a blank, one line per call.
    for (size_t i = 0; i < args.size(); ++i) out_ << (i ? " " : "") << toText_(args[i]);
    out_ << '\n';
    return {};
  }
  if (text::EqualNoCase(name, "Arguments")) {
    if (args.empty()) return Variant::Object(arguments_);
    return arguments_->Invoke("Item", kind, args);
  }
  if (text::EqualNoCase(name, "Quit")) {
    out_.flush();
    throw vbscript::QuitRequest{args.empty() ? 0 : static_cast<int>(args[0].ToInt64())};
  }
  return Object::Invoke(name, kind, args);
}

bool DatabaseObject::HasMember(std::string_view n) const {
  return text::EqualNoCase(n, "OpenTable");
}

Variant DatabaseObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) {
  if (text::EqualNoCase(name, "OpenTable")) {
    if (args.empty() || args.size() > 4)
      throw Error("OpenTable richiede da 1 a 4 argomenti.", "OpenTable", kWrongArguments);
    auto text = [&](size_t i) {
      return i < args.size() && !args[i].IsNull() && !args[i].IsEmpty() ? args[i].ToText()
                                                                       : std::string();
    };
    engine::SelectRequest request{text(0), text(1), text(2), text(3)};
    return Variant::Object(std::make_shared<engine::ScriptDataSet>(connection_, request));
  }
  return Object::Invoke(name, kind, args);
}

}  // namespace tillbook::cli
