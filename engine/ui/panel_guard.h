// Runs what a person started from a panel's widget and turns a failure into its message, so no
// exception reaches the event loop; the engine has already rolled the action back.
#pragma once

#include <utility>

#include "base/error.h"
#include "engine/ui_services.h"

namespace tillbook::engine::ui {

template <class Body>
bool Guarded(UiServices& ui, Body&& body) {
  try {
    std::forward<Body>(body)();
    return true;
  } catch (const Error& e) {
    ui.MessageBox(e.message(), Buttons::Ok, Icon::Critical);
    return false;
  }
}

}  // namespace tillbook::engine::ui
