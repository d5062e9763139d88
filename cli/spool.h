// Output held back until all of it is ready, so that a command failing midway prints nothing
// rather than half a document. It stays in memory up to a limit, then moves to an unnamed
// temporary file, so a listing of a big table never has to fit in memory.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tillbook::cli {

class Spool {
 public:
  explicit Spool(size_t memoryLimit = size_t{8} << 20) : limit_(memoryLimit) {}
  ~Spool();
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;

  // Throws Error when the temporary file cannot be made or written (a full disk).
  Spool& operator<<(std::string_view text);
  Spool& operator<<(char c) { return *this << std::string_view(&c, 1); }

  // Writes everything held, in order, to `out`. Throws Error when the temporary file cannot be
  // read back.
  void CopyTo(std::ostream& out);
  // True once the output went to the temporary file.
  bool spilled() const { return file_ != nullptr; }

 private:
  void Spill();

  size_t limit_;
  std::string memory_;
  std::FILE* file_ = nullptr;
};

}  // namespace tillbook::cli
