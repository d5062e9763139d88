#include "core/scramble.h"

namespace tillbook::core {

namespace {

constexpr int kFirst = 32, kCount = 95;  // ' ' to '~'

int Shift(size_t position) {
  return static_cast<int>((position * 7 + 13) % kCount);
}

std::string Rotate(std::string_view in, int direction) {
  std::string out(in);
  for (size_t i = 0; i < out.size(); ++i) {
    const int c = static_cast<unsigned char>(out[i]);
    if (c < kFirst || c >= kFirst + kCount) continue;
    const int moved = (c - kFirst + direction * Shift(i) + kCount) % kCount;
    out[i] = static_cast<char>(kFirst + moved);
  }
  return out;
}

}  // namespace

std::string Scramble(std::string_view plain) {
  return Rotate(plain, 1);
}

std::string Unscramble(std::string_view scrambled) {
  return Rotate(scrambled, -1);
}

}  // namespace tillbook::core
