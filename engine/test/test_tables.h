// Table classes written for the engine's tests and benchmarks: a subject base with two derived
// tables, articles with detail rows that copy them, documents owning their rows and a payment,
// linking other documents. Their hooks keep a document total and the article stock in step, as
// the program's document tables do, so the engine is exercised on the same shapes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/interfaces.h"

namespace tillbook::engine::test {

struct TestOptions {
  bool articoliColore = false;   // TArticoli declares the field "Colore" (version 2)
  int failAtQuantity = 13;       // a detail quantity that makes the row hook fail mid-cascade
};

// Calls of the structure hook: "<table> <stored version> <created>".
std::vector<std::string>& StructLog();

std::unique_ptr<itfDefDatabase> MakeTestDatabase(const TestOptions& options = {});

}  // namespace tillbook::engine::test
