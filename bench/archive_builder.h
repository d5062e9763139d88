// The benchmarks' archive: a new archive with a business name, `articles` articles and `rows`
// sale rows, written with set-based SQL through the engine's connection (its indexes use the
// archive's own collation).
#pragma once

#include <string>

namespace tillbook::bench {

void BuildArchive(const std::string& path, int articles, int rows);

}  // namespace tillbook::bench
