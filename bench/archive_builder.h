// The benchmarks' archive: a new archive with a business name, `articles` articles and `rows`
// sale rows, written with set-based SQL through the engine's connection (its indexes use the
// archive's own collation).
#pragma once

#include <string>

namespace tillbook::bench {

void BuildArchive(const std::string& path, int articles, int rows);

// The baseline of the start-up benchmarks: milliseconds to open the archive with raw SQLite and
// read the operator list (exits when the list is empty).
double RawOpenOnce(const std::string& path);

}  // namespace tillbook::bench
