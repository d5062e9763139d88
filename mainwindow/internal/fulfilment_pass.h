// The fulfilment counters of one kind of drawn document (customer or supplier orders, supplier or
// customer transport documents) rebuilt from scratch: every row's counter starts at 0 and takes,
// in the order they were linked, the quantities of the documents drawing on it; "Evaso" follows.
#pragma once

#include <string_view>
#include <vector>

namespace tillbook::engine {
class Connection;
}

namespace tillbook::mainwindow::internal {

class Phase;

// Rebuilds the counters of every document of `drawnTable` over its lists `drawingLists` (taken
// in this order, each document's links in the order they were made): the article rows always,
// the free rows too with `freeRows`. Writes only counters and "Evaso" values that change. Each
// document counts one progress step; at a Stop the documents done so far are written and false
// is returned. Must run inside an action.
bool RebuildFulfilment(engine::Connection& connection, Phase& phase, std::string_view drawnTable,
                       const std::vector<std::string_view>& drawingLists, bool freeRows);

// The number of documents of the table (its progress total).
int DocumentCount(engine::Connection& connection, std::string_view table);

}  // namespace tillbook::mainwindow::internal
