// The two slips with a quote that people make in a query text: an apostrophe inside a text
// written once ('Bar dell'Angolo', which closes the text early), and an accented letter typed
// as the letter and an apostrophe outside a text (Quantita', which opens one). Both end in
// messages about something else entirely; this finds which one it was.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "engine/jet/jet_error.h"

namespace tillbook::jet::internal {

// A better error for `error`, raised while reading `text`, when a quote is the real problem;
// nothing otherwise. `reads` tells whether a corrected text would be read without error.
std::optional<JetError> ExplainQuotes(std::string_view text, const JetError& error,
                                      const std::function<bool(std::string_view)>& reads);

}  // namespace tillbook::jet::internal
