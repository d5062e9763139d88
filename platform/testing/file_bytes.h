// Whole files as bytes, for tests that check a file was (or was not) changed to the byte.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace tillbook::testing {

inline std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace tillbook::testing
