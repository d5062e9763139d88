// Runs a change as one action level of the session: the body returns false to cancel; an
// exception cancels and propagates.
#pragma once

#include "engine/internal/session.h"

namespace tillbook::engine::internal {

template <class Body>
bool RunLevel(Session& s, Body&& body) {
  s.Begin();
  bool ok;
  try {
    ok = body();
  } catch (...) {
    s.Rollback();
    throw;
  }
  if (ok)
    s.Commit();
  else
    s.Rollback();
  return ok;
}

}  // namespace tillbook::engine::internal
