#include "engine/jet_compiler.h"

#include <unordered_map>

#include "engine/catalog.h"
#include "engine/jet/catalog.h"
#include "engine/jet/sqlite_dialect.h"
#include "engine/jet/translator.h"
#include "platform/clock.h"

namespace tillbook::engine {

namespace {

jet::RefKind KindOf(RefKind k) {
  switch (k) {
    case RefKind::Single:
      return jet::RefKind::Single;
    case RefKind::OwnedSingle:
      return jet::RefKind::OwnedSingle;
    case RefKind::List:
      return jet::RefKind::List;
    case RefKind::OwnedList:
      return jet::RefKind::OwnedList;
  }
  return jet::RefKind::Single;
}

class EngineJetCatalog : public jet::Catalog {
 public:
  explicit EngineJetCatalog(const engine::Catalog& c) {
    for (const auto& t : c.tables()) {
      jet::TableInfo j;
      j.name = t->name;
      j.baseTable = t->def->BaseTable;
      j.linkToBase = t->def->LinkToBase;
      for (const FieldDef& f : t->def->fields())
        j.fields.push_back({f.name, static_cast<int>(f.type), !f.notNull, f.secret});
      for (const ReferenceDef& r : t->def->references()) {
        jet::ReferenceInfo ri;
        ri.name = r.name;
        ri.target = r.table;
        ri.kind = KindOf(r.kind());
        ri.keyField = r.keyField;
        for (const std::string& s : text::Split(r.shownFields, ',')) {
          auto trimmed = std::string(text::Trim(s));
          if (!trimmed.empty()) ri.shownFields.push_back(trimmed);
        }
        j.references.push_back(std::move(ri));
        if (r.owned) {
          const auto* info = t->FindReference(r.name);
          owners_[text::Fold(r.table)].push_back(
              {t->name, r.name, !r.list, r.list ? info->ownerColumn : std::string()});
        }
      }
      tables_.emplace(text::Fold(t->name), std::move(j));
    }
  }
  const jet::TableInfo* FindTable(std::string_view name) const override {
    auto it = tables_.find(text::Fold(name));
    return it == tables_.end() ? nullptr : &it->second;
  }
  std::vector<jet::OwnerInfo> Owners(std::string_view table) const override {
    auto it = owners_.find(text::Fold(table));
    return it == owners_.end() ? std::vector<jet::OwnerInfo>{} : it->second;
  }

 private:
  std::unordered_map<std::string, jet::TableInfo> tables_;
  std::unordered_map<std::string, std::vector<jet::OwnerInfo>> owners_;
};

std::optional<FieldType> TypeOf(const jet::OutputColumn& c) {
  if (c.typeCode >= 0 && IsValidFieldType(c.typeCode)) return static_cast<FieldType>(c.typeCode);
  switch (c.type) {
    case jet::LogicalType::Boolean:
      return FieldType::YesNo;
    case jet::LogicalType::Integer:
      return FieldType::Integer;
    case jet::LogicalType::Number:
      return FieldType::Number;
    case jet::LogicalType::Money:
      return FieldType::Money;
    case jet::LogicalType::Date:
      return FieldType::DateTime;
    case jet::LogicalType::Text:
      return FieldType::Text;
    case jet::LogicalType::Null:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::unique_ptr<jet::Catalog> MakeJetCatalog(const Catalog& catalog) {
  return std::make_unique<EngineJetCatalog>(catalog);
}

namespace {

jet::Translator TranslatorFor(const Catalog& catalog) {
  if (!catalog.translatorView)
    catalog.translatorView = std::shared_ptr<jet::Catalog>(MakeJetCatalog(catalog));
  static const jet::SqliteDialect dialect;
  return jet::Translator(*static_cast<const jet::Catalog*>(catalog.translatorView.get()), dialect);
}

}  // namespace

CompiledQuery CompileAggregate(const Catalog& catalog, std::string_view table, AggregateKind kind,
                               std::string_view expression, std::string_view filter) {
  static const jet::Aggregate kKinds[] = {jet::Aggregate::Sum, jet::Aggregate::Count,
                                          jet::Aggregate::Avg, jet::Aggregate::Min,
                                          jet::Aggregate::Max};
  jet::Translation t = TranslatorFor(catalog).TranslateAggregate(
      table, kKinds[static_cast<int>(kind)], expression, filter, platform::CurrentClock().Now());
  CompiledQuery q;
  q.sql = std::move(t.sql);
  q.params = std::move(t.params);
  for (const auto& c : t.columns) q.columns.push_back({c.name, TypeOf(c), true});
  return q;
}

CompiledQuery JetQueryCompiler::Compile(const Catalog& catalog,
                                        const SelectRequest& request) const {
  jet::Translation t = TranslatorFor(catalog).Translate(
      {request.table, request.filter, request.fields, request.sort},
      platform::CurrentClock().Now());
  CompiledQuery q;
  q.sql = std::move(t.sql);
  q.reverseSql = std::move(t.reverseSql);
  q.countSql = std::move(t.countSql);
  q.countParams = std::move(t.countParams);
  q.params = std::move(t.params);
  // Column 0 is the row identifier, which the data set keeps apart.
  for (size_t i = 1; i < t.columns.size(); ++i)
    q.columns.push_back({t.columns[i].name, TypeOf(t.columns[i]), t.columns[i].readOnly});
  return q;
}

}  // namespace tillbook::engine
