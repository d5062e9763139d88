#include "engine/jet/jet_error.h"

#include <algorithm>

namespace tillbook::jet {

size_t CharPosition(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  size_t chars = 0;
  for (size_t i = 0; i < offset; ++i) {
    // Continuation bytes belong to the character before them.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++chars;
  }
  return chars + 1;
}

JetError::JetError(ErrorKind kind, std::string message, std::string_view text, size_t offset,
                   size_t length)
    : Error(message, "testo: " + std::string(text) + " (byte " + std::to_string(offset) + ")"),
      kind_(kind),
      offset_(offset),
      length_(length),
      position_(CharPosition(text, offset)) {}

}  // namespace tillbook::jet
