#pragma once
// Character boundaries in UTF-8 text. A byte that does not start a valid sequence counts as one
// character, so malformed input never stops a print.
#include <cstddef>
#include <string_view>

namespace orvo::utf8 {

// Byte offset of the 0-based character index `n` (s.size() when past the end).
std::size_t offset_of(std::string_view s, std::size_t n);
// Byte offset of the first byte that does not start a valid character; npos when all are valid.
std::size_t first_invalid(std::string_view s);

// Length in bytes of the character starting at s[i] (1 for an invalid byte). Inline, as is
// decode: every character of every printed line goes through them.
inline std::size_t char_len(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = 0;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF)
    n = 2;
  else if (c >= 0xE0 && c <= 0xEF)
    n = 3;
  else if (c >= 0xF0 && c <= 0xF4)
    n = 4;
  else
    return 1;
  if (i + n > s.size()) return 1;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  // Overlong three- and four-byte forms, surrogates and values past U+10FFFF are not characters.
  const auto c1 = static_cast<unsigned char>(s[i + 1]);
  if (c == 0xE0 && c1 < 0xA0) return 1;
  if (c == 0xED && c1 >= 0xA0) return 1;
  if (c == 0xF0 && c1 < 0x90) return 1;
  if (c == 0xF4 && c1 >= 0x90) return 1;
  return n;
}

// Code point of the character at s[i]; U+FFFD for an invalid byte.
inline char32_t decode(std::string_view s, std::size_t i) {
  const std::size_t n = char_len(s, i);
  const auto c = static_cast<unsigned char>(s[i]);
  if (n == 1) return c < 0x80 ? c : 0xFFFD;
  char32_t cp = c & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

}  // namespace orvo::utf8
