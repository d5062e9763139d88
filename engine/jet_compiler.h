// The query dialect plugged into data sets: the translator's view of the tables is built from
// the compiled catalogue, and each data-set request is translated to one SQLite statement.
#pragma once

#include <memory>

#include "engine/dataset.h"

namespace tillbook::jet {
class Catalog;
}

namespace tillbook::engine {

// The translator's catalogue over the engine's compiled definitions.
std::unique_ptr<jet::Catalog> MakeJetCatalog(const Catalog& catalog);

// One row, one column: the aggregate statement of Aggregate() (dataset.h).
CompiledQuery CompileAggregate(const Catalog& catalog, std::string_view table, AggregateKind kind,
                               std::string_view expression, std::string_view filter);

class JetQueryCompiler : public QueryCompiler {
 public:
  // Throws jet::JetError (an Error) naming the problem and its position.
  CompiledQuery Compile(const Catalog& catalog, const SelectRequest& request) const override;
};

}  // namespace tillbook::engine
