// Start-up scenarios driven through scripted windows and UI services: a fresh folder, an archive
// of the older layout, the application and operator passwords, the access level, a second
// instance, a failed bootstrap, the options' confirmation and the closing.
#include "core/startup.h"
#include "core/table_switches.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "base/error.h"
#include "core/scramble.h"
#include "core/testing/scripted_windows.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "engine/ui_services.h"
#include "platform/clock.h"
#include "platform/settings.h"

namespace tillbook::core {
namespace {

using engine::Answer;
using testing::Changing;
using testing::ScriptedWindows;
using testing::TempFolder;
using testing::Typed;

const char* kIdentityQuestion =
    "E' necessario impostare i dati identificativi dell'attività, vuoi farlo adesso ?";
const char* kWrongPassword =
    "La password non è corretta.\n\nFare attenzione all'utilizzo delle maiuscole/minuscole";

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int64_t CountWhere(engine::Connection& c, const std::string& sql) {
  engine::internal::Statement s(c.session().db().handle(), sql);
  return s.Step() ? s.Int(0) : -1;
}

class StartupTest : public ::testing::Test {
 protected:
  StartupTest()
      : root_("tillbook_startup_" + std::to_string(::getpid())),
        program_("tillbook_program_" + std::to_string(::getpid())),
        runtime_("tillbook_runtime_" + std::to_string(::getpid())) {}

  std::unique_ptr<Startup> Make() {
    return std::make_unique<Startup>(settings_, ui_, windows_, program_.str(), runtime_.str());
  }
  // An archive in root_ with a business name, so start-up asks nothing about it.
  void MakeArchive() {
    engine::Connection c;
    c.BeginCreate(root_ / "Tillbook.mdb");
    engine::Database db(std::make_unique<data::DB>(), "tillbook");
    db.Attach(c);
    engine::Database::SetSystemValue(c, "SYS_Name", "NOME", Variant::String("Ferramenta Rossi"));
    c.FinishCreate();
  }
  void UseRoot() { settings_.Set("Configuration", "RootDir", root_.str()); }

  TempFolder root_, program_, runtime_;
  platform::MemorySettings settings_;
  engine::ScriptedUi ui_;
  ScriptedWindows windows_;
};

TEST_F(StartupTest, FreshFolderOpensOptionsCreatesTheArchiveAndAsksTheIdentity) {
  const std::string work = root_ / "nuovo";
  settings_.Set("Configuration", "RootDir", work);
  windows_.options.push_back(work);
  // First without a category (refused, the window stays), then complete.
  windows_.identities.push_back(IdentityValues{{"SYS_Name", "Bottega"}});
  windows_.identities.push_back(IdentityValues{{"SYS_Category", "Alimentari"}});
  windows_.operators.push_back(0);
  platform::FixedClock today(*DateTime::ParseIso("2026-12-05T09:30:00"));
  platform::SetCurrentClockForTesting(&today);
  auto s = Make();
  ASSERT_TRUE(s->Main());
  const bool activated = s->Activate();
  platform::SetCurrentClockForTesting(nullptr);
  ASSERT_TRUE(activated) << s->lastError();
  EXPECT_EQ(windows_.Count("OPTIONS"), 1u);
  EXPECT_EQ(windows_.Count("PASSWORD"), 0u);  // no password anywhere: nothing asked
  EXPECT_TRUE(Contains(ui_.log(), std::string("ASK ") + kIdentityQuestion + " -> Yes"));
  EXPECT_TRUE(Contains(ui_.log(), "MSG Devi selezionare la categoria."));
  EXPECT_TRUE(Contains(ui_.log(), "ASK Memorizzare i dati ? -> Yes"));
  EXPECT_EQ(windows_.Count("IDENTITY"), 2u);
  engine::Connection& c = *s->connection();
  EXPECT_EQ(engine::Database::GetSystemValue(c, "SYS_Name", Variant::Null()).ToText(), "Bottega");
  EXPECT_EQ(engine::Database::GetSystemCaption(c, "SYS_Category"), "CATEGORIA/ATTIVITA'");
  EXPECT_TRUE(c.TableExists("OrdiniClienti"));  // the defaults' table list
  EXPECT_FALSE(c.TableExists("ZoneGeografiche"));
  EXPECT_GT(c.Count("Operatori"), 0);
  EXPECT_TRUE(Contains(windows_.log, "OPERATORS Amministratore Operatore"));
  EXPECT_EQ(s->Operator(), "Amministratore");
  EXPECT_EQ(c.Operator, "Amministratore");
  EXPECT_EQ(s->database()->AccessLevel, 1);
  EXPECT_EQ(s->OperatorKey().ToInt64(), 1);
  EXPECT_EQ(s->DateOfDay(), "05/12/2026");
}

TEST_F(StartupTest, LeavingTheOptionsOfAMissingArchiveEndsTheProgram) {
  UseRoot();
  auto s = Make();
  ASSERT_TRUE(s->Main());
  EXPECT_FALSE(s->Activate());
  EXPECT_TRUE(s->endRequested());
  EXPECT_FALSE(std::filesystem::exists(root_ / "Tillbook.mdb"));
  EXPECT_TRUE(ui_.messages().empty());  // an end, not an error to report
}

TEST_F(StartupTest, OlderLayoutIsConvertedOnceWithItsNotice) {
  MakeArchive();
  {
    engine::Connection c;
    c.Open(root_ / "Tillbook.mdb");
    c.Execute(
        "INSERT INTO TabProspettiStampa (NomeTabellaOrigine, NomeProspetto) VALUES "
        "('Vendite','Ricevuta'),('TrasportiClienti','DDT'),"
        "('VenditeAccompagnatorie','Fattura'),('Articoli','Listino')");
    c.RenameTable("Vendite", "Ricevute");
    c.RenameTable("DettagliVendite", "RigheRicevute");
    c.RenameTable("DettagliVenditeLib", "RigheRicevuteLib");
    c.RenameTable("VenditeAccompagnatorie", "RicevuteAccompagnatorie");
    c.RenameTable("TrasportiClienti", "Trasporti");
    c.RenameReference("Ricevute", "Dettagli", "Righe");
    c.RenameReference("Ricevute", "DettagliLiberi", "RigheLibere");
    c.Execute(
        "UPDATE TabProspettiStampa SET NomeTabellaOrigine='Ricevute' "
        "WHERE NomeTabellaOrigine='Vendite'");
    c.Execute(
        "UPDATE TabProspettiStampa SET NomeTabellaOrigine='RicevuteAccompagnatorie' "
        "WHERE NomeTabellaOrigine='VenditeAccompagnatorie'");
    c.Execute(
        "UPDATE TabProspettiStampa SET NomeTabellaOrigine='Trasporti' "
        "WHERE NomeTabellaOrigine='TrasportiClienti'");
    ASSERT_GT(CountWhere(c,
                         "SELECT COUNT(*) FROM TabProspettiStampa "
                         "WHERE NomeTabellaOrigine='Ricevute'"),
              0);
  }
  UseRoot();
  windows_.operators = {0, 0};
  auto s = Make();
  ASSERT_TRUE(s->Main());
  ASSERT_TRUE(s->Activate()) << s->lastError();
  const std::string notice =
      "MSG INFORMAZIONI: è stata modificata la struttura del database (Ricevute -> Vendite, "
      "etc.), verificare i nomi delle References nei prospetti di stampa delle Vendite (Es.: "
      "Righe -> Dettagli)";
  EXPECT_EQ(std::count(ui_.log().begin(), ui_.log().end(), notice), 1);
  engine::Connection& c = *s->connection();
  for (const char* gone :
       {"Ricevute", "RigheRicevute", "RigheRicevuteLib", "RicevuteAccompagnatorie", "Trasporti"})
    EXPECT_FALSE(c.TableExists(gone)) << gone;
  for (const char* table : {"Vendite", "DettagliVendite", "DettagliVenditeLib",
                            "VenditeAccompagnatorie", "TrasportiClienti"})
    EXPECT_TRUE(c.TableExists(table)) << table;
  // The sale rows still belong to their sale through the renamed list.
  EXPECT_EQ(CountWhere(c,
                       "SELECT COUNT(*) FROM pragma_table_info('DettagliVendite') "
                       "WHERE name='OIDOwner_Vendite_Dettagli'"),
            1);
  EXPECT_EQ(CountWhere(c,
                       "SELECT COUNT(*) FROM TabProspettiStampa WHERE NomeTabellaOrigine "
                       "IN ('Ricevute','Trasporti')"),
            0);
  for (const char* table : {"Vendite", "TrasportiClienti", "VenditeAccompagnatorie", "Articoli"})
    EXPECT_EQ(CountWhere(c, std::string("SELECT COUNT(*) FROM TabProspettiStampa "
                                        "WHERE NomeTabellaOrigine='") +
                                table + "'"),
              1)
        << table;
  // The next opening finds nothing to convert.
  s->ReloadDatabase();
  ASSERT_TRUE(s->Activate());
  EXPECT_EQ(std::count(ui_.log().begin(), ui_.log().end(), notice), 1);
}

TEST_F(StartupTest, ApplicationPasswordFile) {
  const std::string file = program_ / "prtct1.sys";
  struct Case {
    const char* name;
    std::optional<std::string> fileContent;  // nullopt: no file
    std::vector<std::optional<PasswordEntry>> entries;
    bool accepted;
    size_t asked;
    size_t wrongMessages;
  };
  const Case cases[] = {
      {"no file", std::nullopt, {}, true, 0, 0},
      {"empty file", std::string(), {}, true, 0, 0},
      {"right at once", Scramble("Cassa"), {Typed("Cassa")}, true, 1, 0},
      {"wrong case, then right", Scramble("Cassa"), {Typed("cassa"), Typed("Cassa")}, true, 2, 1},
      {"wrong, then cancelled", Scramble("Cassa"), {Typed("x"), std::nullopt}, false, 2, 1},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(file);
    if (c.fileContent) std::ofstream(file, std::ios::binary) << *c.fileContent;
    ui_.Clear();
    windows_.log.clear();
    windows_.passwords.assign(c.entries.begin(), c.entries.end());
    auto s = Make();
    EXPECT_EQ(s->Main(), c.accepted) << c.name;
    EXPECT_EQ(windows_.Count("PASSWORD application"), c.asked) << c.name;
    EXPECT_EQ(std::count(ui_.messages().begin(), ui_.messages().end(), kWrongPassword),
              static_cast<long>(c.wrongMessages))
        << c.name;
    EXPECT_EQ(std::count(ui_.log().begin(), ui_.log().end(), "BEEP"),
              static_cast<long>(c.wrongMessages))
        << c.name;
  }
}

TEST_F(StartupTest, ChangingTheApplicationPassword) {
  const std::string file = program_ / "prtct1.sys";
  auto s = Make();
  // Confirmation differs: refused, file untouched; then set; then emptied with the note.
  windows_.passwords = {Changing("", "Nuova", "Nuvoa"), Changing("", "Nuova", "Nuova")};
  ASSERT_TRUE(s->ChangeApplicationPassword());
  EXPECT_TRUE(Contains(ui_.log(), "MSG La password di conferma non corrisponde..."));
  EXPECT_TRUE(Contains(ui_.log(), "MSG La password e' stata modificata."));
  EXPECT_EQ(ReadApplicationPassword(file), "Nuova");
  EXPECT_NE(ReadApplicationPassword(file), std::string());
  windows_.passwords = {Changing("Nuova", "", "")};
  ASSERT_TRUE(s->ChangeApplicationPassword());
  EXPECT_TRUE(Contains(ui_.log(),
                       "MSG La password e' stata modificata.\n\nNOTA: Senza password sono "
                       "disattivate tutte le restrizioni di accesso."));
  EXPECT_EQ(ReadApplicationPassword(file), "");
  s.reset();
  windows_.log.clear();
  EXPECT_TRUE(Make()->Main());
  EXPECT_EQ(windows_.Count("PASSWORD"), 0u);
}

TEST_F(StartupTest, OperatorPasswordWrongKeepsTheWindowAndChangesOnlyAfterSuccess) {
  MakeArchive();
  {
    engine::Connection c;
    c.Open(root_ / "Tillbook.mdb");
    c.Execute("UPDATE Operatori SET Password='" + Scramble("Mario") + "' WHERE OID=1");
  }
  UseRoot();
  windows_.operators = {0};
  windows_.passwords = {Typed("mario"), Changing("Mario", "Luigi", "Luigi")};
  auto s = Make();
  ASSERT_TRUE(s->Main());
  ASSERT_TRUE(s->Activate()) << s->lastError();
  EXPECT_EQ(windows_.Count("PASSWORD operator"), 2u);
  EXPECT_TRUE(Contains(ui_.messages(), kWrongPassword));
  auto row = s->connection()->GetRow("Operatori", 1);
  ASSERT_TRUE(row);
  EXPECT_EQ(Unscramble(row->Get("Password").ToText()), "Luigi");
  // Cancelled at the password: no login.
  s->ReloadDatabase();
  windows_.operators = {0};
  windows_.passwords = {std::nullopt};
  EXPECT_FALSE(s->Activate());
}

TEST_F(StartupTest, AccessLevelNullReadsAsZero) {
  MakeArchive();
  {
    engine::Connection c;
    // An archive written by an older program, whose column allowed no value at all.
    c.Open(root_ / "Tillbook.mdb");
    c.Execute("PRAGMA writable_schema=ON");
    c.Execute("UPDATE sqlite_master SET sql=replace(sql,'NOT NULL','') WHERE name='Operatori'");
  }
  {
    engine::Connection c;
    c.Open(root_ / "Tillbook.mdb");
    c.Execute("UPDATE Operatori SET LivelloAccesso=NULL WHERE OID=2");
  }
  UseRoot();
  windows_.operators = {1};
  auto s = Make();
  ASSERT_TRUE(s->Main());
  ASSERT_TRUE(s->Activate()) << s->lastError();
  EXPECT_EQ(s->Operator(), "Operatore");
  s->database()->AccessLevel = 7;
  ASSERT_TRUE(s->UserLogin(false, 0));
  EXPECT_EQ(s->database()->AccessLevel, 0);
}

TEST_F(StartupTest, NoOperatorChosenRefusesTheLogin) {
  MakeArchive();
  UseRoot();
  auto s = Make();
  ASSERT_TRUE(s->Main());
  EXPECT_FALSE(s->Activate());
}

TEST_F(StartupTest, SecondInstanceIsRefusedWithItsMessage) {
  auto first = Make();
  ASSERT_TRUE(first->Main());
  auto second = Make();
  EXPECT_FALSE(second->Main());
  EXPECT_EQ(ui_.log().back(),
            "MSG L'applicazione e' stata gia' avviata\nControlla la barra dei menu' per la "
            "riattivazione premendo doppio click sull'icona corrispondente...");
  first->Close({});
  EXPECT_TRUE(second->Main());
}

TEST_F(StartupTest, FailedBootstrapIsReportedAndStartUpGoesOnToTheLogin) {
  std::ofstream(root_ / "Tillbook.mdb") << "questo non è un archivio, ma un testo qualunque";
  UseRoot();
  auto s = Make();
  ASSERT_TRUE(s->Main());
  EXPECT_FALSE(s->Activate());  // no archive, so no operator to log in
  ASSERT_FALSE(ui_.messages().empty());
  EXPECT_EQ(ui_.messages().front().rfind("Database non inizializzato...\n[0], Err.: ", 0), 0u)
      << ui_.messages().front();
  EXPECT_FALSE(s->lastError().empty());
  EXPECT_EQ(s->connection(), nullptr);
}

TEST_F(StartupTest, NewWorkingDirectoryReopensTheArchiveFromIt) {
  MakeArchive();
  UseRoot();
  windows_.operators = {0, 0};
  auto s = Make();
  ASSERT_TRUE(s->Main());
  ASSERT_TRUE(s->Activate());
  Configuration edited = s->config();
  edited.RootDir = root_ / "altrove";
  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(s->ConfirmOptions(edited));
  EXPECT_EQ(settings_.Get("Configuration", "RootDir"), root_.str());
  windows_.options.push_back(edited.RootDir);
  ui_.QueueAnswer(Answer::Yes);  // Confermi ?
  ui_.QueueAnswer(Answer::No);   // no identity now
  ASSERT_TRUE(s->ConfirmOptions(edited));
  EXPECT_TRUE(Contains(ui_.log(), "MSG L'indirizzario di lavoro e' cambiato."));
  EXPECT_EQ(settings_.Get("Configuration", "RootDir"), edited.RootDir);
  EXPECT_EQ(s->connection()->path(), edited.RootDir + "/Tillbook.mdb");
}

TEST_F(StartupTest, ClosingRemembersTheMainWindowAndReleasesEverything) {
  MakeArchive();
  UseRoot();
  windows_.operators = {0};
  auto s = Make();
  ASSERT_TRUE(s->Main());
  ASSERT_TRUE(s->Activate());
  s->Close({0, 10, 20, 30, 40, 50});
  EXPECT_TRUE(Contains(windows_.log, "SHOW Chiusura di Tillbook ..."));
  EXPECT_EQ(settings_.Get("Settings", "MainLeft"), "10");
  EXPECT_EQ(settings_.Get("Settings", "MainHeight"), "40");
  EXPECT_EQ(settings_.Get("Settings", "MainSplit"), "50");
  EXPECT_EQ(s->connection(), nullptr);
  // Maximised: the state and the splitter only; the last normal place stays.
  s->Close({2, 1, 2, 3, 4, 5});
  EXPECT_EQ(settings_.Get("Settings", "MainState"), "2");
  EXPECT_EQ(settings_.Get("Settings", "MainLeft"), "10");
  EXPECT_EQ(settings_.Get("Settings", "MainSplit"), "5");
}

TEST_F(StartupTest, AdvancedOptionsChangingTheTableListCheckEveryTableAtTheNextDefinition) {
  MakeArchive();
  UseRoot();
  windows_.operators = {0, 0};
  auto s = Make();
  ASSERT_TRUE(s->Main());
  ASSERT_TRUE(s->Activate());
  Configuration edited = s->config();
  edited.AccessMode = 2;
  s->ConfirmAdvancedOptions(edited);
  EXPECT_FALSE(s->StructureChanged);  // not a table switch
  EXPECT_EQ(s->connection()->AccessMode, 2);
  EXPECT_EQ(settings_.Get("Configuration", "AccessMode"), "2");
  edited.Use_Zone = true;
  s->ConfirmAdvancedOptions(edited);
  EXPECT_TRUE(s->StructureChanged);
  EXPECT_FALSE(s->connection()->TableExists("ZoneGeografiche"));  // only at the next definition
  s->ReloadDatabase();
  ASSERT_TRUE(s->Activate());
  EXPECT_TRUE(s->connection()->TableExists("ZoneGeografiche"));
  EXPECT_FALSE(s->StructureChanged);
  // The archive remembers the table list it was defined with, for the command-line tools.
  EXPECT_TRUE(StoredSwitches(*s->connection()).Use_Zone);
}

TEST_F(StartupTest, ExportRemindsAndImportSaysWhyItStopped) {
  auto s = Make();
  settings_.Set("Configuration", "TicketCopiesNum", "2");
  ASSERT_TRUE(s->ExportConfiguration(root_ / "conf.txt"));
  EXPECT_EQ(ui_.log().back(),
            "MSG Se vuoi esportare anche le eventuali modifiche attuali devi prima dare 'OK' per "
            "registrarle\n(in entrambi i form di configurazione)");
  std::ofstream(root_ / "bad.txt") << "A=1\nB=2=3\n";
  EXPECT_FALSE(s->ImportConfiguration(root_ / "bad.txt"));
  EXPECT_EQ(ui_.log().back(),
            "MSG Una variabile contiene il carattere =, non è possibile continuare");
  EXPECT_EQ(settings_.Get("Configuration", "A"), "1");
  EXPECT_FALSE(s->ExportConfiguration(root_ / "non/esiste/conf.txt"));
}

}  // namespace
}  // namespace tillbook::core
