#include "cli/spool.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "base/error.h"

namespace tillbook::cli {

namespace {

[[noreturn]] void Fail(const char* what) {
  throw Error("Impossibile preparare il risultato: spazio temporaneo su disco non disponibile.",
              std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

Spool::~Spool() {
  if (file_) std::fclose(file_);
}

Spool& Spool::operator<<(std::string_view text) {
  memory_.append(text);
  if (memory_.size() > limit_) Spill();
  return *this;
}

void Spool::Spill() {
  if (!file_) {
    file_ = std::tmpfile();
    if (!file_) Fail("tmpfile");
  }
  if (std::fwrite(memory_.data(), 1, memory_.size(), file_) != memory_.size()) Fail("fwrite");
  memory_.clear();
}

void Spool::CopyTo(std::ostream& out) {
  if (file_) {
    if (!memory_.empty()) Spill();
    if (std::fflush(file_) != 0) Fail("fflush");
    std::rewind(file_);
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) out.write(buffer, n);
    if (std::ferror(file_)) Fail("fread");
    return;
  }
  out << memory_;
}

}  // namespace tillbook::cli
