// The one failure of the query translator: what went wrong, in Italian for the person who typed
// the filter, and where in the text. Translation stops at the first problem, so nothing of a
// rejected text ever reaches the database.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/error.h"

namespace tillbook::jet {

enum class ErrorKind {
  UnknownName,
  NotAReference,
  AmbiguousName,
  Unbalanced,
  BadCharacter,
  UnterminatedLiteral,
  BadDate,
  BadNumber,
  UnknownFunction,
  ArgumentCount,
  Syntax,
  Incomplete,
  Type,
  CircularAlias,
  BadSort,
  TooComplex,
  NotAllowed,
};

class JetError : public Error {
 public:
  // offset and length are bytes of `text`; the message already names the position.
  JetError(ErrorKind kind, std::string message, std::string_view text, size_t offset,
           size_t length);

  ErrorKind kind() const { return kind_; }
  size_t offset() const { return offset_; }
  size_t length() const { return length_; }
  // 1-based position in characters, as the message shows it.
  size_t position() const { return position_; }

 private:
  ErrorKind kind_;
  size_t offset_;
  size_t length_;
  size_t position_;
};

// 1-based character position of byte `offset` in the UTF-8 `text`.
size_t CharPosition(std::string_view text, size_t offset);

}  // namespace tillbook::jet
