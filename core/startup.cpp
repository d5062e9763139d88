#include "core/startup.h"

#include "base/error.h"
#include "base/text.h"
#include "core/repair.h"
#include "core/scramble.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/dataset.h"
#include "engine/ui_services.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/settings.h"

namespace tillbook::core {

namespace {

using engine::Answer;
using engine::Buttons;
using engine::Icon;

constexpr const char* kDatabaseName = "Tillbook.mdb";
constexpr const char* kExecutableName = "tillbook";

// Tables and references of the older layout with their current names.
constexpr std::pair<const char*, const char*> kRenamedTables[] = {
    {"Ricevute", "Vendite"},
    {"RicevuteAccompagnatorie", "VenditeAccompagnatorie"},
    {"RigheRicevute", "DettagliVendite"},
    {"RigheRicevuteLib", "DettagliVenditeLib"},
    {"Trasporti", "TrasportiClienti"},
    {"DettagliTrasporti", "DettagliDDTClienti"},
    {"DettagliTrasportiLib", "DettagliDDTClientiLib"},
};
struct RenamedReference {
  const char* table;
  const char* from;
  const char* to;
};
constexpr RenamedReference kRenamedReferences[] = {
    {"Vendite", "Righe", "Dettagli"},
    {"Vendite", "RigheLibere", "DettagliLiberi"},
    {"TrasportiClienti", "RicevuteAssociate", "VenditeAssociate"},
    {"OrdiniClienti", "RicevuteAssociate", "VenditeAssociate"},
};
// Report layouts naming an old table, in the order they are updated.
constexpr std::pair<const char*, const char*> kRenamedLayoutSources[] = {
    {"Ricevute", "Vendite"},
    {"RicevuteAccompagnatorie", "VenditeAccompagnatorie"},
    {"Trasporti", "TrasportiClienti"},
};

std::string SqlText(std::string_view s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

}  // namespace

Startup::Startup(platform::SettingsStore& settings, engine::UiServices& ui, StartupWindows& windows,
                 std::string programFolder, std::string runtimeFolder)
    : settings_(settings),
      ui_(ui),
      windows_(windows),
      programFolder_(std::move(programFolder)),
      lock_(std::make_unique<platform::SingleInstanceLock>(std::move(runtimeFolder),
                                                           std::string(kProductName))) {}

Startup::~Startup() = default;

std::string Startup::DatabasePath() const {
  return BuildPath(config_.RootDir, kDatabaseName);
}

std::string Startup::PasswordFilePath() const {
  return BuildPath(programFolder_, kPasswordFileName);
}

bool Startup::Main() {
  if (!lock_->TryAcquire()) {
    ui_.MessageBox(
        "L'applicazione e' stata gia' avviata\nControlla la barra dei menu' per la "
        "riattivazione premendo doppio click sull'icona corrispondente...",
        Buttons::Ok, Icon::Information, 0, kProductName);
    return false;
  }
  LoadConfiguration(settings_, config_, programFolder_);
  const std::string file = PasswordFilePath();
  return ValidatePassword(
      std::nullopt, 0, [file](const std::string& plain) { WriteApplicationPassword(file, plain); });
}

bool Startup::Activate() {
  if (dateOfDay_.empty()) dateOfDay_ = platform::CurrentClock().Today().ToItalian(false);
  if (connection_ && database_) return true;
  if (!InitDatabase()) {
    if (endRequested_) return false;
    ui_.MessageBox("Database non inizializzato...\n[0], Err.: " + lastError_, Buttons::Ok,
                   Icon::Critical, 0, kExecutableName);
  }
  return UserLogin(true, 0);
}

bool Startup::InitDatabase() {
  lastError_.clear();
  endRequested_ = false;
  windows_.ShowMessage("Inizializzazione del database...");
  try {
    if (platform::Examine(DatabasePath()) == platform::PathKind::Missing) {
      if (!windows_.ShowOptions(config_)) {
        windows_.HideMessage();
        endRequested_ = true;
        return false;
      }
      SaveConfiguration(settings_, config_);
    }
    bool created = false;
    OpenDatabase(created);
    windows_.HideMessage();
    EnsureIdentity(created);
    return true;
  } catch (const Error& e) {
    lastError_ = e.message();
  } catch (const std::exception& e) {
    lastError_ = e.what();
  }
  windows_.HideMessage();
  connection_.reset();
  database_.reset();
  return false;
}

// Opens the archive, or creates it when missing, and brings its structure up to the table
// list. The SQLite file carries no password: "PasswordDB" is kept for the server backend.
void Startup::OpenDatabase(bool& created) {
  const std::string path = DatabasePath();
  auto connection = std::make_unique<engine::Connection>(&ui_);
  auto database = std::make_unique<engine::Database>(std::make_unique<data::DB>(config_.Switches()),
                                                     std::string(kExecutableName));
  created = false;
  switch (engine::Connection::Inspect(path)) {
    case engine::Connection::FileState::Unfinished:
      // A creation cut off before it stored anything: made again.
      for (const char* side : {"-journal", "-wal", "-shm", ""}) platform::RemoveFile(path + side);
      [[fallthrough]];
    case engine::Connection::FileState::Missing:
      created = true;
      if (!config_.RootDir.empty()) platform::MakeDirectories(config_.RootDir);
      connection->BeginCreate(path);
      break;
    case engine::Connection::FileState::Other:
      connection->Open(path);
      if (connection->TableExists("Ricevute")) {
        connection_ = std::move(connection);
        ConvertOlderLayout();
        connection = std::move(connection_);
      }
      break;
  }
  operatorKey_ = Variant::Long(1);
  database->Attach(*connection, StructureChanged);
  // The command-line tools then start from the table list this archive was defined with.
  if (!connection->readOnly()) StoreSwitches(*connection, config_.Switches());
  StructureChanged = false;
  if (created) connection->FinishCreate();
  ApplyDatabaseOptions(config_, *connection);
  connection_ = std::move(connection);
  database_ = std::move(database);
}

// Brings an archive of the older layout ("Ricevute" and its family) to the current names, all
// in one transaction; the notice follows only once it is committed.
void Startup::ConvertOlderLayout() {
  engine::Connection& c = *connection_;
  c.RunAction([&] {
    for (const auto& [from, to] : kRenamedTables)
      if (c.TableExists(from)) c.RenameTable(from, to);
    for (const auto& r : kRenamedReferences)
      if (c.TableExists(r.table)) c.RenameReference(r.table, r.from, r.to);
    if (c.TableExists("TabProspettiStampa"))
      for (const auto& [from, to] : kRenamedLayoutSources)
        c.Execute("UPDATE \"TabProspettiStampa\" SET \"NomeTabellaOrigine\"=" + SqlText(to) +
                  " WHERE \"NomeTabellaOrigine\"=" + SqlText(from));
    return true;
  });
  ui_.Inform(
      "INFORMAZIONI: è stata modificata la struttura del database (Ricevute -> Vendite, etc.), "
      "verificare i nomi delle References nei prospetti di stampa delle Vendite (Es.: Righe -> "
      "Dettagli)");
}

void Startup::EnsureIdentity(bool created) {
  const Variant name =
      engine::Database::GetSystemValue(*connection_, "SYS_Name", Variant::String(""));
  if (!created && !name.IsNull() && !text::Trim(name.ToText()).empty()) return;
  if (ui_.MessageBox(
          "E' necessario impostare i dati identificativi dell'attività, vuoi farlo adesso ?",
          Buttons::YesNo, Icon::Question) != Answer::Yes)
    return;
  IdentityValues values = ReadIdentity(*connection_);
  // The window stays open while storing is refused.
  while (windows_.EditIdentity(values))
    if (StoreIdentity(*connection_, values, ui_)) return;
}

bool Startup::ValidatePassword(const std::optional<std::string>& expected, int option,
                               std::function<void(const std::string&)> store) {
  const std::string password = expected ? *expected : ReadApplicationPassword(PasswordFilePath());
  // Without a password there is nothing to check: the window is not even shown.
  if (password.empty() && option == 0) return true;
  PasswordCheck check(password, ui_, std::move(store));
  for (;;) {
    auto entry = windows_.AskPassword(!expected, option != 0);
    if (!entry) return false;
    if (check.Submit(*entry)) return true;
  }
}

bool Startup::ChangeApplicationPassword() {
  const std::string file = PasswordFilePath();
  return ValidatePassword(
      std::nullopt, 1, [file](const std::string& plain) { WriteApplicationPassword(file, plain); });
}

bool Startup::UserLogin(bool chooseOperator, int passwordOption) {
  if (!connection_ || !database_) return false;
  if (chooseOperator) {
    std::vector<std::string> names;
    std::vector<int64_t> keys;
    engine::DataSet operators(*connection_, {"Operatori", "", "", ""});
    for (operators.First(); !operators.IsEOF(); operators.Next()) {
      keys.push_back(operators.CurrentOid());
      names.push_back(operators.ColValue("Nome").ToText());
    }
    if (auto chosen = windows_.ChooseOperator(names); chosen && *chosen < names.size()) {
      operator_ = names[*chosen];
      operatorKey_ = Variant::Long(static_cast<int32_t>(keys[*chosen]));
    }
  }
  if (text::Trim(operator_).empty()) return false;
  auto row = connection_->GetRow("Operatori", operatorKey_.ToInt64());
  if (!row) return false;
  const Variant stored = row->Get("Password");
  const std::string expected = stored.IsNull() ? "" : Unscramble(stored.ToText());
  engine::Connection& c = *connection_;
  const bool ok = ValidatePassword(expected, passwordOption, [&](const std::string& plain) {
    const bool saved = c.RunAction(
        [&] { return row->Set("Password", Variant::String(Scramble(plain))) && row->Save(); });
    if (!saved) throw Error("La password non è stata memorizzata.");
  });
  if (!ok) return false;
  c.Operator = operator_;
  const Variant level = row->Get("LivelloAccesso");
  database_->AccessLevel = level.IsNull() ? 0 : static_cast<int>(level.ToInt64());
  return true;
}

void Startup::ReleaseDatabase() {
  if (connection_) connection_->Close();
  database_.reset();
  connection_.reset();
}

void Startup::ReloadDatabase() {
  ReleaseDatabase();
}

bool Startup::Repair() {
  ui_.Beep();
  if (ui_.MessageBox("Questa funzione tenta il recupero del database...\n\nIn caso di errore "
                     "uscire da tutti i terminali, riavviare l'applicazione e ripetere "
                     "l'operazione.\n\nContinuare ?",
                     Buttons::OkCancel, Icon::Question) != Answer::Ok)
    return false;
  windows_.ShowMessage("Controlli...");
  const std::string path = DatabasePath();
  if (platform::Examine(path) == platform::PathKind::Missing) {
    windows_.HideMessage();
    return false;
  }
  const int accessLevel = database_ ? database_->AccessLevel : 0;
  ReleaseDatabase();
  windows_.ShowMessage("Ripristino Database in corso...");
  bool compacted = true;
  try {
    CompactArchive(path);
  } catch (const Error& e) {
    compacted = false;
    ui_.MessageBox(e.message(), Buttons::Ok, Icon::Critical, 0, kExecutableName);
  }
  // Open again whichever archive is there now, as the program was before.
  try {
    bool created = false;
    OpenDatabase(created);
    connection_->Operator = operator_;
    database_->AccessLevel = accessLevel;
  } catch (const Error& e) {
    ui_.MessageBox("Database non inizializzato...\n[0], Err.: " + e.message(), Buttons::Ok,
                   Icon::Critical, 0, kExecutableName);
  }
  windows_.HideMessage();
  if (compacted) ui_.Inform("Recupero completato");
  return compacted;
}

bool Startup::ConfirmOptions(const Configuration& edited) {
  if (!ui_.AskYesNo("Confermi ?")) return false;
  const std::string oldRoot = config_.RootDir;
  config_ = edited;
  SaveConfiguration(settings_, config_);
  if (connection_) ApplyDatabaseOptions(config_, *connection_);
  if (config_.RootDir != oldRoot) {
    ui_.Inform("L'indirizzario di lavoro e' cambiato.");
    ReloadDatabase();
    return Activate();
  }
  return true;
}

void Startup::ConfirmAdvancedOptions(const Configuration& edited) {
  const auto a = config_.Switches(), b = edited.Switches();
  if (a.EnableGenericLabel != b.EnableGenericLabel || a.Use_Zone != b.Use_Zone ||
      a.Use_Agenti != b.Use_Agenti || a.Use_Ordini != b.Use_Ordini ||
      a.Use_AdvancedMigrationExport != b.Use_AdvancedMigrationExport ||
      a.Use_Valuta != b.Use_Valuta || a.Use_NoMagazzino != b.Use_NoMagazzino)
    StructureChanged = true;
  config_ = edited;
  SaveConfiguration(settings_, config_);
  if (connection_) ApplyDatabaseOptions(config_, *connection_);
}

bool Startup::ExportConfiguration(const std::string& path) {
  ui_.Inform(
      "Se vuoi esportare anche le eventuali modifiche attuali devi prima dare 'OK' per "
      "registrarle\n(in entrambi i form di configurazione)");
  try {
    WriteFileConfiguration(settings_, path);
    return true;
  } catch (const Error& e) {
    ui_.Warn(e.message());
    return false;
  }
}

bool Startup::ImportConfiguration(const std::string& path) {
  try {
    ReadFileConfiguration(settings_, path);
    return true;
  } catch (const Error& e) {
    ui_.Warn(e.message());
    return false;
  }
}

void Startup::Close(const MainWindowState& window) {
  windows_.ShowMessage("Chiusura di " + std::string(kProductName) + " ...");
  settings_.Set(kSectionSettings, "MainState", std::to_string(window.State));
  if (window.State == 0) {
    settings_.Set(kSectionSettings, "MainLeft", std::to_string(window.Left));
    settings_.Set(kSectionSettings, "MainTop", std::to_string(window.Top));
    settings_.Set(kSectionSettings, "MainWidth", std::to_string(window.Width));
    settings_.Set(kSectionSettings, "MainHeight", std::to_string(window.Height));
  }
  settings_.Set(kSectionSettings, "MainSplit", std::to_string(window.Split));
  ReleaseDatabase();
  windows_.HideMessage();
  lock_->Release();
}

}  // namespace tillbook::core
