// Repair of the archive: a compaction into a fresh copy, checked before it takes the archive's
// place. Until the last rename the original file is never touched, so any failure leaves it as
// it was; the message then lists the files that exist.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tillbook::core {

// Compacts the archive at `path` into `path`.NEW, checks the copy (every page read back from the
// file must be the one the compaction wrote, fingerprinted as it was written), renames the archive
// to `path`._, the copy to `path`, and removes `path`._. Refuses an archive still open elsewhere.
// `beforeStep` (may be empty) is told "compattazione", "controllo" and "sostituzione" as each
// step starts; tests use it to fail a step. Throws Error naming the files that exist.
void CompactArchive(const std::string& path,
                    const std::function<void(std::string_view step)>& beforeStep = {});

namespace internal {
// SQLite's own check reading the whole file at `path` (the copy's check when its pages could not
// be fingerprinted). Throws Error "La copia compattata del database è danneggiata." on damage.
void CheckWholeCopy(const std::string& path);
}  // namespace internal

}  // namespace tillbook::core
