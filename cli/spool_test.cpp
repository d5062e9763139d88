#include "cli/spool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace tillbook::cli {
namespace {

TEST(SpoolTest, GivesBackEverythingInOrderFromMemoryOrFromTheTemporaryFile) {
  struct Case {
    size_t limit;
    int pieces;
    bool spills;
  } cases[] = {{1 << 20, 50, false}, {16, 50, true}, {0, 3, true}, {100, 0, false}};
  for (const Case& c : cases) {
    Spool spool(c.limit);
    std::string expected;
    for (int i = 0; i < c.pieces; ++i) {
      const std::string piece = "riga " + std::to_string(i) + "\tàè\n";
      spool << piece;
      expected += piece;
      if (i % 7 == 0) {
        spool << ';';
        expected += ';';
      }
    }
    EXPECT_EQ(spool.spilled(), c.spills) << c.limit;
    std::ostringstream out;
    spool.CopyTo(out);
    EXPECT_EQ(out.str(), expected) << c.limit;
  }
}

}  // namespace
}  // namespace tillbook::cli
