#include "shared/utf8.h"

namespace orvo::utf8 {

std::size_t offset_of(std::string_view s, std::size_t n) {
  std::size_t i = 0;
  while (n > 0 && i < s.size()) {
    i += char_len(s, i);
    --n;
  }
  return i;
}

std::size_t first_invalid(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = char_len(s, i);
    if (n == 1 && static_cast<unsigned char>(s[i]) >= 0x80) return i;
    i += n;
  }
  return std::string_view::npos;
}

}  // namespace orvo::utf8
