// tillbook-cli: headless commands on an archive, for people automating a shop and for the
// end-to-end tests.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/error.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "platform/files.h"

#ifndef TILLBOOK_VERSION
#define TILLBOOK_VERSION "0.0.0"
#endif

namespace {

constexpr const char* kHelp =
    "Uso: tillbook-cli COMANDO [ARGOMENTI]\n"
    "\n"
    "Comandi:\n"
    "  init DIR [--set KEY=VALUE ...]\n"
    "                crea l'archivio DIR/Tillbook.mdb, o ne aggiorna la struttura; --set\n"
    "                imposta un'opzione delle tabelle (es. --set Use_Agenti=true)\n"
    "  info DIR      mostra le tabelle dell'archivio con versione e numero di righe\n"
    "  schema DIR [--table T] [--set KEY=VALUE ...] --format json\n"
    "                mostra le definizioni delle tabelle\n"
    "  query DIR --table T [--filter F] [--fields L] [--sort S] [--format tsv|json]\n"
    "                stampa le righe di una tabella scelte con filtro, campi e ordinamento\n"
    "  run SCRIPT.vbs [--archive DIR] [--answers yes,no,...] [--default-answer yes|no]\n"
    "      [--timeout SECONDI] [ARGOMENTI...]\n"
    "                esegue uno script VBScript (WScript.Echo, WScript.Arguments, WScript.Quit;\n"
    "                con un archivio, Database.OpenTable)\n"
    "  config get [SEZIONE/]CHIAVE | config set [SEZIONE/]CHIAVE VALORE\n"
    "                legge o scrive un'impostazione (sezione predefinita Configuration)\n"
    "  config export FILE | config import FILE\n"
    "                salva o carica la sezione Configuration in un file di testo\n"
    "  repair DIR    compatta l'archivio in una copia controllata che lo sostituisce\n"
    "  identity DIR [--set CHIAVE=VALORE ...]\n"
    "                mostra o imposta i dati identificativi dell'attività (SYS_*)\n"
    "  recalc DIR quantities|totals|prices --from DATA --to DATA|markup\n"
    "      [--answers yes,no,...]\n"
    "                ricalcola quantità e giacenze, totali di clienti e fornitori, prezzi\n"
    "                di acquisto dalle forniture del periodo o il ricarico di base\n"
    "  payments DIR [--customer CODICE|--supplier CODICE] [--due-before DATA] [--unpaid]\n"
    "      [--format tsv|json]\n"
    "                le rate aperte di clienti e fornitori, dalla scadenza più vicina\n"
    "  receipt DIR --sale OID [--type N] [--port PERCORSO] [--param IMPOSTAZIONI]\n"
    "      [--trace FILE] [--answers yes,no,...]\n"
    "                emette lo scontrino di una vendita sul registratore di cassa\n"
    "  spool serve DIR [--once] [--type N] [--port PERCORSO] [--param IMPOSTAZIONI]\n"
    "                stampa le richieste di scontrino delle altre postazioni (ogni 2 s)\n"
    "  spool post DIR --sale OID [--timeout SECONDI]\n"
    "                chiede lo scontrino di una vendita alla postazione con il registratore\n"
    "  register-sim --type N [--baud VELOCITA] [--fault TIPO@COMANDO ...]\n"
    "                simula un registratore di cassa su un terminale virtuale\n"
    "  layout export DIR --table T [--reference R] [--name N] FILE.vbs\n"
    "  layout import DIR FILE.vbs --table T [--reference R]\n"
    "                salva o carica un prospetto di stampa (con --name) o la stampa di\n"
    "                etichette di una tabella come file VBScript\n"
    "  print DIR --table T [--filter F] [--sort S] [--reference R] [--layout NOME]\n"
    "      [--group G] [--rows N|--test] [--copies N] [--note CAMPO]\n"
    "      (--pdf OUT.pdf|--record OUT.txt)\n"
    "                stampa le righe di una tabella con un prospetto di stampa\n"
    "  labels DIR --table T [--filter F] [--quantity N] [--skip K]\n"
    "      (--pdf OUT.pdf|--record OUT.txt)\n"
    "                stampa un'etichetta per ogni riga di una tabella\n"
    "  --help        mostra questo aiuto\n"
    "  --version     mostra la versione del programma\n"
    "\n"
    "Variabili d'ambiente:\n"
    "  TILLBOOK_LOCK_WAIT  secondi di attesa quando un'altra postazione sta scrivendo\n"
    "                      nell'archivio (predefinito 5)\n"
    "  TILLBOOK_LOG        dove scrivere i dettagli tecnici degli errori: - per lo\n"
    "                      standard error, altrimenti il nome di un file\n"
    "  TILLBOOK_NOW        data e ora fisse (aaaa-mm-ggThh:mm:ss)\n"
    "  TILLBOOK_SETTINGS   il file delle impostazioni (predefinito\n"
    "                      $XDG_CONFIG_HOME/Tillbook/Tillbook.ini)\n";

int Dispatch(const std::string& command, const tillbook::cli::Args& args) {
  using namespace tillbook::cli;
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kHelp;
    return 0;
  }
  if (command == "--version") {
    std::cout << "tillbook-cli " << TILLBOOK_VERSION << '\n';
    return 0;
  }
  if (command == "init") return InitCommand(args, std::cout, std::cerr);
  if (command == "info") return InfoCommand(args, std::cout, std::cerr);
  if (command == "query") return QueryCommand(args, std::cout, std::cerr);
  if (command == "run") return RunCommand(args, std::cout, std::cerr);
  if (command == "schema") return SchemaCommand(args, std::cout, std::cerr);
  if (command == "config") return ConfigCommand(args, std::cout, std::cerr);
  if (command == "repair") return RepairCommand(args, std::cout, std::cerr);
  if (command == "identity") return IdentityCommand(args, std::cout, std::cerr);
  if (command == "recalc") return RecalcCommand(args, std::cout, std::cerr);
  if (command == "payments") return PaymentsCommand(args, std::cout, std::cerr);
  if (command == "receipt") return ReceiptCommand(args, std::cout, std::cerr);
  if (command == "spool") return SpoolCommand(args, std::cout, std::cerr);
  if (command == "register-sim") return RegisterSimCommand(args, std::cout, std::cerr);
  if (command == "layout") return LayoutCommand(args, std::cout, std::cerr);
  if (command == "print") return PrintCommand(args, std::cout, std::cerr);
  if (command == "labels") return LabelsCommand(args, std::cout, std::cerr);
  std::cerr << "Comando sconosciuto: " << command << "\n\n" << kHelp;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tillbook::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << kHelp;
    return 2;
  }
  if (auto problem = CheckArguments(args); !problem.empty()) {
    std::cerr << problem << '\n';
    return 2;
  }
  const std::string command = args.front();
  args.erase(args.begin());
  try {
    return Dispatch(command, args);
  } catch (const tillbook::Error& e) {
    return ReportFailure(std::cerr, e);
  } catch (const std::filesystem::filesystem_error& e) {
    std::cerr << tillbook::platform::PathProblem(e.path1().string(), e.code()) << '\n';
    LogDetail(std::cerr, e.what());
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "Errore imprevisto del programma: operazione non completata.\n";
    LogDetail(std::cerr, e.what());
    return 1;
  }
}
