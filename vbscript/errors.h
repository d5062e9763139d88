// Script errors: the numbers scripts see in Err.Number (the VBScript numbering layouts were
// written against), their Italian descriptions, and the two exception types that carry them:
// ScriptError leaves the interpreter towards a host, RuntimeError travels inside it.
#pragma once

#include <string>
#include <string_view>

#include "base/error.h"

namespace tillbook::vbscript {

// Run-time error numbers used by the interpreter itself.
enum ErrorNumber : int {
  kInvalidCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  // Text nested deeper than the interpreter accepts; raised while compiling, with the line.
  kExpressionTooComplex = 16,
  kSubscriptOutOfRange = 9,
  kArrayLocked = 10,
  kDivisionByZero = 11,
  kTypeMismatch = 13,
  kOutOfStack = 28,
  kSubNotDefined = 35,
  kObjectNotSet = 91,
  kInvalidUseOfNull = 94,
  kObjectRequired = 424,
  kCannotCreateObject = 429,
  kNoSuchMember = 438,
  kArgumentNotOptional = 449,
  kWrongArgumentCount = 450,
  kUnsupportedType = 458,
  kNotCollection = 451,
  kVariableUndefined = 500,
  kInvalidReference = 505,
  kClassNotDefined = 506,
  kIllegalAssignment = 5008,
  kRegExpSyntax = 5017,
  // Compile errors.
  kSyntaxError = 1002,
  kExpectedColon = 1003,
  kExpectedLParen = 1005,
  kExpectedRParen = 1006,
  kExpectedIdentifier = 1010,
  kExpectedEquals = 1011,
  kExpectedIf = 1012,
  kExpectedTo = 1013,
  kExpectedEnd = 1014,
  kExpectedFunction = 1015,
  kExpectedSub = 1016,
  kExpectedThen = 1017,
  kExpectedWend = 1018,
  kExpectedLoop = 1019,
  kExpectedNext = 1020,
  kExpectedCase = 1021,
  kExpectedSelect = 1022,
  kExpectedExpression = 1023,
  kExpectedStatement = 1024,
  kExpectedEndOfStatement = 1025,
  kExpectedInteger = 1026,
  kExpectedWhileUntil = 1027,
  kExpectedWith = 1029,
  kIdentifierTooLong = 1030,
  kInvalidNumber = 1031,
  kInvalidCharacter = 1032,
  kUnterminatedString = 1033,
  kInvalidMe = 1037,
  kLoopWithoutDo = 1038,
  kInvalidExit = 1039,
  kNameRedefined = 1041,
  kParenthesesOnSubCall = 1044,
  kExpectedLiteral = 1045,
  kExpectedIn = 1046,
  kExpectedClass = 1047,
  kExpectedProperty = 1050,
  kUnexpectedNext = 1055,
  // Not a VBScript number: a script stopped because it ran past its time limit or its host asked
  // it to stop. Never caught by On Error Resume Next.
  kTimeLimitExceeded = 9001,
};

// Italian description of a known error number; empty for an unknown one.
std::string_view Description(int number);
// The description, or the text of an unknown run-time error.
std::string_view DescriptionOrUnknown(int number);
// The error number an automation error code stands for (E_OUTOFMEMORY is 7, a wrapped script
// error its own number); any other number unchanged.
int FromHresult(int number);

// An error that left the interpreter: a compile error (line of the offending token) or a run-time
// error nobody handled (line of the statement that failed). message() is the description.
class ScriptError : public Error {
 public:
  ScriptError(int number, std::string description, int line, std::string source = {})
      : Error(description, "Linea VB: " + std::to_string(line), number),
        description_(std::move(description)),
        line_(line),
        source_(std::move(source)) {}
  const std::string& description() const { return description_; }
  int line() const { return line_; }
  // "Errore di compilazione", "Errore di run-time" or what a script passed to Err.Raise.
  const std::string& source() const { return source_; }

 private:
  std::string description_;
  int line_;
  std::string source_;
};

// A run-time error inside the interpreter; line 0 until the failing statement stamps it.
struct RuntimeError {
  int number;
  std::string description;
  std::string source;
  int line = 0;
  bool fromRaise = false;
};

// What a host object throws to end the whole run at once (a script's WScript.Quit): it passes
// through On Error Resume Next and every script frame and leaves AddCode or Call unchanged.
struct QuitRequest {
  int exitCode = 0;
};

// Throws RuntimeError with the standard description of `number`, optionally followed by ": 'name'".
[[noreturn]] void Throw(int number, std::string_view name = {});

// Description of error kTimeLimitExceeded when the host stopped the script.
inline constexpr std::string_view kStoppedDescription = "Esecuzione interrotta";

inline constexpr std::string_view kUnknownDescription = "Errore di run-time sconosciuto";

inline constexpr std::string_view kRuntimeSource = "Errore di run-time di VBScript";
inline constexpr std::string_view kCompileSource = "Errore di compilazione di VBScript";

}  // namespace tillbook::vbscript
