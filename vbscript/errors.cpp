#include "vbscript/errors.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tillbook::vbscript {
namespace {

// The texts of the Italian script engine, so that messages in logs and dialogs read as the shops
// have always seen them.
constexpr std::pair<int, std::string_view> kDescriptions[] = {
    {5, "Chiamata di routine o argomento non validi"},
    {6, "Overflow"},
    {7, "Memoria esaurita"},
    {9, "Indice non incluso nell'intervallo"},
    {10, "Matrice fissa o temporaneamente bloccata"},
    {11, "Divisione per zero"},
    {13, "Tipo non corrispondente"},
    {14, "Spazio stringa esaurito"},
    {16, "Espressione troppo complessa"},
    {17, "Impossibile eseguire l'operazione richiesta"},
    {28, "Spazio dello stack esaurito"},
    {35, "Sub o Function non definita"},
    {48, "Errore durante il caricamento della DLL"},
    {51, "Errore interno"},
    {91, "Variabile oggetto o variabile del blocco With non impostata"},
    {92, "Ciclo For non inizializzato"},
    {94, "Utilizzo non valido di Null"},
    {424, "Necessario oggetto"},
    {429, "Il componente ActiveX non può creare l'oggetto"},
    {430, "La classe non supporta l'automazione"},
    {432, "Nome di file o di classe non trovato durante l'operazione di automazione"},
    {438, "Proprietà o metodo non supportati dall'oggetto"},
    {445, "Azione non supportata dall'oggetto"},
    {447, "Impostazione internazionale corrente non supportata dall'oggetto"},
    {448, "Argomento predefinito non trovato"},
    {449, "Argomento non facoltativo"},
    {450, "Numero di argomenti errato o assegnazione di proprietà non valida"},
    {451, "L'oggetto non è un insieme"},
    {457, "La chiave è già associata a un elemento dell'insieme"},
    {458, "La variabile utilizza un tipo di automazione non supportato in VBScript"},
    {462, "Il server remoto non esiste o non è disponibile"},
    {481, "Immagine non valida"},
    {500, "Variabile non definita"},
    {501, "Assegnazione non valida"},
    {502, "Oggetto non sicuro per lo script"},
    {503, "Oggetto non sicuro per l'inizializzazione"},
    {504, "Oggetto non sicuro per la creazione"},
    {505, "Riferimento non valido o non qualificato"},
    {506, "Classe non definita"},
    {507, "Si è verificata un'eccezione"},
    {1001, "Memoria esaurita"},
    {1002, "Errore di sintassi"},
    {1003, "Previsto ':'"},
    {1005, "Previsto '('"},
    {1006, "Previsto ')'"},
    {1007, "Previsto ']'"},
    {1010, "Previsto identificatore"},
    {1011, "Previsto '='"},
    {1012, "Previsto 'If'"},
    {1013, "Previsto 'To'"},
    {1014, "Previsto 'End'"},
    {1015, "Previsto 'Function'"},
    {1016, "Previsto 'Sub'"},
    {1017, "Previsto 'Then'"},
    {1018, "Previsto 'Wend'"},
    {1019, "Previsto 'Loop'"},
    {1020, "Previsto 'Next'"},
    {1021, "Previsto 'Case'"},
    {1022, "Previsto 'Select'"},
    {1023, "Prevista espressione"},
    {1024, "Prevista istruzione"},
    {1025, "Prevista fine dell'istruzione"},
    {1026, "Prevista costante integer"},
    {1027, "Previsto 'While' o 'Until'"},
    {1028, "Previsto 'While', 'Until' o fine dell'istruzione"},
    {1029, "Previsto 'With'"},
    {1030, "Identificatore troppo lungo"},
    {1031, "Numero non valido"},
    {1032, "Carattere non valido"},
    {1033, "Costante di stringa non terminata"},
    {1034, "Commento non terminato"},
    {1037, "Utilizzo non valido della parola chiave 'Me'"},
    {1038, "'loop' senza 'do'"},
    {1039, "Istruzione 'exit' non valida"},
    {1040, "Variabile di controllo del ciclo 'for' non valida"},
    {1041, "Nome ridefinito"},
    {1042, "Deve essere la prima istruzione della riga"},
    {1043, "Impossibile assegnare a un argomento non ByVal"},
    {1044, "Impossibile utilizzare le parentesi quando si chiama una Sub"},
    {1045, "Prevista costante letterale"},
    {1046, "Previsto 'In'"},
    {1047, "Previsto 'Class'"},
    {1048, "Deve essere definito all'interno di una classe"},
    {1049, "Previsto Let, Set o Get nella dichiarazione della proprietà"},
    {1050, "Previsto 'Property'"},
    {1051, "Il numero di argomenti deve essere coerente in tutte le definizioni della proprietà"},
    {1052, "Impossibile avere più proprietà o metodi predefiniti in una classe"},
    {1053, "Gli eventi Initialize e Terminate della classe non accettano argomenti"},
    {1054, "Le proprietà Let o Set devono avere almeno un argomento"},
    {1055, "'Next' imprevisto"},
    {1056, "'Default' può essere indicato solo per 'Property', 'Function' o 'Sub'"},
    {1057, "L'indicazione 'Default' richiede anche 'Public'"},
    {1058, "L'indicazione 'Default' è consentita solo per Property Get"},
    {5008, "Assegnazione non valida"},
    {5016, "Previsto oggetto espressione regolare"},
    {5017, "Errore di sintassi nell'espressione regolare"},
    {5018, "Quantificatore imprevisto"},
    {5019, "Previsto ']' nell'espressione regolare"},
    {5020, "Previsto ')' nell'espressione regolare"},
    {5021, "Intervallo non valido nel set di caratteri"},
    {9001, "Tempo massimo di esecuzione dello script superato"},
    {32811, "Elemento non trovato"},
};

}  // namespace

std::string_view Description(int number) {
  auto it = std::lower_bound(std::begin(kDescriptions), std::end(kDescriptions), number,
                             [](const auto& entry, int n) { return entry.first < n; });
  if (it != std::end(kDescriptions) && it->first == number) return it->second;
  return {};
}

std::string_view DescriptionOrUnknown(int number) {
  std::string_view text = Description(number);
  return text.empty() ? kUnknownDescription : text;
}

int FromHresult(int number) {
  auto code = static_cast<uint32_t>(number);
  // Errors of the script engine itself wrapped in their automation form.
  if ((code & 0xFFFF0000u) == 0x800A0000u && !Description(static_cast<int>(code & 0xFFFF)).empty())
    return static_cast<int>(code & 0xFFFF);
  static constexpr std::pair<uint32_t, int> kKnown[] = {
      {0x80004001u, 445}, {0x80004002u, 430}, {0x80004005u, 507}, {0x8007000Eu, 7},
      {0x80070057u, 5},   {0x80020003u, 438}, {0x80020005u, 13},  {0x80020006u, 438},
      {0x80020008u, 458}, {0x8002000Au, 6},   {0x8002000Bu, 9},   {0x8002000Du, 10},
      {0x8002000Eu, 450}, {0x8002000Fu, 449}, {0x80020011u, 91},  {0x80020012u, 11},
  };
  for (const auto& [hresult, mapped] : kKnown)
    if (hresult == code) return mapped;
  return number;
}

void Throw(int number, std::string_view name) {
  std::string text(DescriptionOrUnknown(number));
  // A missing member is named by the script line already; the text stays the plain one.
  if (!name.empty() && number != kNoSuchMember) text += ": '" + std::string(name) + "'";
  throw RuntimeError{number, std::move(text), std::string(kRuntimeSource)};
}

}  // namespace tillbook::vbscript
