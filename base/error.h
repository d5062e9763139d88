// The project's one failure type: the Italian text a person sees, the technical detail for a
// log or a bug report, and an optional script error number (VBScript numbering) for failures
// that cross into scripts.
#pragma once

#include <stdexcept>
#include <string>

namespace tillbook {

class Error : public std::runtime_error {
 public:
  explicit Error(std::string message, std::string detail = {}, int number = 0)
      : std::runtime_error(message), message_(std::move(message)), detail_(std::move(detail)),
        number_(number) {}

  // Italian text for the person at the till.
  const std::string& message() const { return message_; }
  // Technical detail (SQL error text, file name, errno...); may be empty.
  const std::string& detail() const { return detail_; }
  // Error number as scripts see it in Err.Number; 0 when none was given.
  int number() const { return number_; }

 private:
  std::string message_;
  std::string detail_;
  int number_;
};

}  // namespace tillbook
