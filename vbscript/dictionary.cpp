#include "vbscript/dictionary.h"

#include <unordered_map>
#include <vector>

#include "base/text.h"
#include "vbscript/conversions.h"
#include "vbscript/errors.h"
#include "vbscript/locale.h"

namespace tillbook::vbscript {
namespace {

constexpr int kKeyExists = 457;
constexpr int kElementNotFound = 32811;

class Dictionary : public Object {
 public:
  ~Dictionary() override {
    for (Entry& e : entries_) {
      DropNested(e.key);
      DropNested(e.item);
    }
  }
  std::string TypeName() const override { return "Dictionary"; }

  bool HasMember(std::string_view name) const override {
    static const char* kMembers[] = {"add",  "exists", "item",      "items", "key",
                                     "keys", "remove", "removeall", "count", "comparemode"};
    for (const char* m : kMembers)
      if (text::EqualNoCase(name, m)) return true;
    return false;
  }

  bool Enumerate(std::vector<Variant>& items) override {
    for (const auto& e : entries_) items.push_back(e.key);
    return true;
  }

  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    std::string k = text::Fold(name);
    bool assign = kind == InvokeKind::Let || kind == InvokeKind::Set;
    if (k.empty() || k == "item") {
      Need(args, assign ? 2 : 1);
      size_t i = Find(args[0], true);
      if (assign) {
        entries_[i].item = args.back();
        return {};
      }
      return entries_[i].item;
    }
    if (k == "add") {
      Need(args, 2);
      if (Lookup(args[0]) != npos)
        Fail(kKeyExists, "La chiave è già associata a un elemento dell'insieme");
      Insert(Variant(ValueOf(args[0])), args[1]);
      return {};
    }
    if (k == "exists") {
      Need(args, 1);
      return Variant::Boolean(Lookup(args[0]) != npos);
    }
    if (k == "count") return Variant::Long(static_cast<int32_t>(entries_.size()));
    if (k == "keys" || k == "items") {
      auto a = std::make_shared<VarArray>();
      a->upper = {static_cast<int32_t>(entries_.size()) - 1};
      for (const auto& e : entries_) a->items.push_back(k == "keys" ? e.key : e.item);
      return Variant::Array(std::move(a));
    }
    if (k == "remove") {
      Need(args, 1);
      size_t i = Lookup(args[0]);
      if (i == npos) Fail(kElementNotFound, "Elemento non trovato");
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
      Reindex();
      return {};
    }
    if (k == "removeall") {
      entries_.clear();
      index_.clear();
      return {};
    }
    if (k == "key" && assign) {
      Need(args, 2);
      size_t i = Lookup(args[0]);
      if (i == npos) Fail(kElementNotFound, "Elemento non trovato");
      if (Lookup(args[1]) != npos)
        Fail(kKeyExists, "La chiave è già associata a un elemento dell'insieme");
      entries_[i].key = ValueOf(args[1]);
      Reindex();
      return {};
    }
    if (k == "comparemode") {
      if (!assign) return Variant::Long(textMode_ ? 1 : 0);
      if (!entries_.empty()) Throw(kInvalidCall);
      textMode_ = ToLong(args.back(), Locale::English()) == 1;
      return {};
    }
    Throw(kNoSuchMember, name);
  }

 private:
  static constexpr size_t npos = static_cast<size_t>(-1);
  struct Entry {
    Variant key, item;
  };

  [[noreturn]] static void Fail(int number, const char* text) {
    throw RuntimeError{number, text, std::string(kRuntimeSource)};
  }
  static void Need(std::span<Variant> args, size_t n) {
    if (args.size() < n) Throw(kArgumentNotOptional);
  }

  // Keys of different subtypes never match, except that all numbers compare by value.
  std::string Normal(const Variant& raw) const {
    Variant key = ValueOf(raw);
    if (key.IsString()) return "s" + (textMode_ ? text::Fold(key.AsString()) : key.AsString());
    if (IsNumberType(key.type()) && key.type() != VarType::Date)
      return "n" + FormatFloat(ToDouble(key, Locale::English()), 17, '.');
    if (key.type() == VarType::Date) return "d" + FormatFloat(key.AsDateSerial(), 17, '.');
    if (key.IsObject())
      return "o" + std::to_string(reinterpret_cast<uintptr_t>(raw.AsObject().get()));
    return "x" + std::to_string(static_cast<int>(key.type()));
  }

  size_t Lookup(const Variant& key) const {
    auto it = index_.find(Normal(key));
    return it == index_.end() ? npos : it->second;
  }

  // Reading a missing key adds it, as scripts rely on (d("x") = d("x") + 1).
  size_t Find(const Variant& key, bool create) {
    size_t i = Lookup(key);
    if (i != npos || !create) return i;
    Insert(ValueOf(key), Variant());
    return entries_.size() - 1;
  }

  void Insert(Variant key, Variant item) {
    index_[Normal(key)] = entries_.size();
    entries_.push_back({std::move(key), std::move(item)});
  }

  void Reindex() {
    index_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) index_[Normal(entries_[i].key)] = i;
  }

  std::vector<Entry> entries_;
  std::unordered_map<std::string, size_t> index_;
  bool textMode_ = false;
};

}  // namespace

std::shared_ptr<Object> NewDictionary() {
  return std::make_shared<Dictionary>();
}

}  // namespace tillbook::vbscript
