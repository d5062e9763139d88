// Field-list aliases: an item may use the alias of any other item, before or after it, as the
// original engine allows; an alias that reaches itself is refused.
#include "base/text.h"
#include "engine/jet/internal/compiler.h"

namespace tillbook::jet::internal {

void Compiler::SetAliases(const std::vector<FieldItem>* items, std::string_view fieldsText) {
  fieldsText_ = fieldsText;
  scopes_.push_back({nullptr, mainScope_->root, Context::Fields, false, false});
  fieldsScope_ = &scopes_.back();
  text_ = fieldsText;
  for (const FieldItem& item : *items) {
    if (item.alias.empty()) continue;
    AliasState& alias = aliases_[text::Fold(item.alias)];
    if (alias.item) {
      Fail(ErrorKind::AmbiguousName,
           "Alias «" + item.alias + "» ripetuto nell'elenco dei campi" + At(item.aliasOffset),
           item.aliasOffset, item.alias.size());
    }
    alias.item = &item;
  }
}

bool Compiler::HasAlias(std::string_view name) const {
  return aliases_.count(text::Fold(name)) > 0;
}

bool Compiler::NamesItsField(std::string_view alias) const {
  auto it = aliases_.find(text::Fold(alias));
  if (it == aliases_.end()) return false;
  const Expr& e = *it->second.item->expr;
  return e.kind == ExprKind::Path && e.parts.size() == 1 && text::EqualNoCase(e.parts[0], alias);
}

void Compiler::ForgetAliasValues() {
  for (auto& [name, alias] : aliases_) {
    alias.state = 0;
    alias.value = Value();
  }
}

Value Compiler::AliasValue(std::string_view name, size_t offset) {
  AliasState& alias = aliases_.at(text::Fold(name));
  ++rowReferences_;  // a column of the result
  if (alias.state == 2) return alias.value;
  if (alias.state == 1) {
    Fail(ErrorKind::CircularAlias,
         "Riferimento circolare nell'alias «" + alias.item->alias + "»" + At(offset), offset,
         name.size());
  }
  alias.state = 1;
  std::string_view saved = text_;
  text_ = fieldsText_;
  Value v = Compile(*alias.item->expr, *fieldsScope_);
  text_ = saved;
  alias.value = v;
  alias.state = 2;
  return v;
}

}  // namespace tillbook::jet::internal
