#pragma once
// Character boundaries in UTF-8 text. A byte that does not start a valid sequence counts as one
// character, so malformed input never stops a print.
#include <cstddef>
#include <string_view>

namespace orvo::utf8 {

// Length in bytes of the character starting at s[i] (1 for an invalid byte).
std::size_t char_len(std::string_view s, std::size_t i);
// Code point of the character at s[i]; U+FFFD for an invalid byte.
char32_t decode(std::string_view s, std::size_t i);
// Byte offset of the 0-based character index `n` (s.size() when past the end).
std::size_t offset_of(std::string_view s, std::size_t n);
// Byte offset of the first byte that does not start a valid character; npos when all are valid.
std::size_t first_invalid(std::string_view s);

}  // namespace orvo::utf8
