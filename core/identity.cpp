#include "core/identity.h"

#include "base/text.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/ui_services.h"

namespace tillbook::core {

const std::vector<IdentityKey>& IdentityKeys() {
  static const std::vector<IdentityKey> keys = {
      {"SYS_Name", "NOME"},
      {"SYS_Address", "INDIRIZZO"},
      {"SYS_City", "CITTA'"},
      {"SYS_CAP", "CAP"},
      {"SYS_Tel", "TEL/FAX"},
      {"SYS_Internet", "E-MAIL/WEB"},
      {"SYS_Bank", "BANCA"},
      {"SYS_Details", "DETTAGLI"},
      {"SYS_LogoImage", "LOGO/TIMBRO"},
      {"SYS_Taxes", "RITENUTA ACCONTO"},
      {"SYS_Category", "CATEGORIA/ATTIVITA'"},
  };
  return keys;
}

const IdentityKey* FindIdentityKey(std::string_view key) {
  for (const auto& k : IdentityKeys())
    if (text::EqualNoCase(k.key, key)) return &k;
  return nullptr;
}

IdentityValues ReadIdentity(engine::Connection& connection) {
  IdentityValues values;
  for (const auto& k : IdentityKeys()) {
    const Variant v = engine::Database::GetSystemValue(connection, k.key, Variant::String(""));
    values[k.key] = v.IsNull() ? std::string() : v.ToText();
  }
  return values;
}

bool StoreIdentity(engine::Connection& connection, const IdentityValues& values,
                   engine::UiServices& ui) {
  const auto category = values.find("SYS_Category");
  if (category == values.end() || text::Trim(category->second).empty()) {
    ui.Warn("Devi selezionare la categoria.");
    return false;
  }
  if (!ui.AskYesNo("Memorizzare i dati ?")) return false;
  // All of them or none: a failure halfway leaves the identity as it was.
  connection.RunAction([&] {
    for (const auto& k : IdentityKeys()) {
      const auto it = values.find(k.key);
      if (it != values.end())
        engine::Database::SetSystemValue(connection, k.key, k.caption, Variant::String(it->second));
    }
    return true;
  });
  return true;
}

}  // namespace tillbook::core
