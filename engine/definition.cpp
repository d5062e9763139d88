#include "engine/definition.h"

#include "base/text.h"

namespace tillbook::engine {

bool IsTextType(FieldType t) {
  switch (t) {
    case FieldType::Text:
    case FieldType::FileName:
    case FieldType::ImageFile:
    case FieldType::FileOrImage:
    case FieldType::FileList:
    case FieldType::Link:
    case FieldType::Code:
    case FieldType::Memo:
      return true;
    default:
      return false;
  }
}

bool IsValidFieldType(int code) {
  switch (code) {
    case 0: case 2: case 3: case 4: case 5: case 6: case 7: case 8:
    case 11: case 12: case 14: case 15: case 16: case 17: case 19: case 20:
      return true;
    default:
      return false;
  }
}

FieldDef& TableDef::AddField(std::string name, FieldType type, int size, std::string source,
                             std::string defaultValue, int a1, int a2, int a3, bool notNull,
                             std::string description, std::string valueList, std::string group) {
  fields_.push_back(FieldDef{std::move(name), type, size, std::move(source),
                             std::move(defaultValue), a1, a2, a3, notNull, std::move(description),
                             std::move(valueList), std::move(group)});
  return fields_.back();
}

ReferenceDef& TableDef::AddReference(std::string name, std::string table, bool list, bool owned,
                                     std::string keyField, std::string shownFields, int a1, int a2,
                                     int a3, std::string description, int mode, bool notNull,
                                     std::string group) {
  references_.push_back(ReferenceDef{std::move(name), std::move(table), list, owned,
                                     std::move(keyField), std::move(shownFields), a1, a2, a3,
                                     std::move(description), mode, notNull, std::move(group)});
  return references_.back();
}

IndexDef& TableDef::AddIndex(std::string firstField, bool unique, std::string name) {
  indexes_.push_back(IndexDef{std::move(name), unique, {}});
  if (!firstField.empty()) indexes_.back().AddIndexField(std::move(firstField));
  return indexes_.back();
}

const FieldDef* TableDef::FindField(std::string_view name) const {
  for (const auto& f : fields_)
    if (text::EqualNoCase(f.name, name)) return &f;
  return nullptr;
}

const ReferenceDef* TableDef::FindReference(std::string_view name) const {
  for (const auto& r : references_)
    if (text::EqualNoCase(r.name, name)) return &r;
  return nullptr;
}

}  // namespace tillbook::engine
