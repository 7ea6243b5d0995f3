#include "shared/errors.h"
#include "shared/utf8.h"
#include "shared/variant.h"

namespace orvo {

std::size_t Len(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); i += utf8::char_len(s, i)) ++n;
  return n;
}

std::string Left(std::string_view s, std::size_t n) {
  return std::string(s.substr(0, utf8::offset_of(s, n)));
}

std::string Right(std::string_view s, std::size_t n) {
  const std::size_t len = Len(s);
  return n >= len ? std::string(s) : std::string(s.substr(utf8::offset_of(s, len - n)));
}

std::string Mid(std::string_view s, std::size_t start, std::size_t len) {
  if (start == 0) raise(err::kInvalidArgument, "Invalid procedure call or argument");
  const std::size_t b = utf8::offset_of(s, start - 1);
  const std::string_view rest = s.substr(b);
  return len == std::string_view::npos ? std::string(rest) : Left(rest, len);
}

std::size_t InStr(std::string_view s, std::string_view needle, std::size_t start) {
  if (start == 0) raise(err::kInvalidArgument, "Invalid procedure call or argument");
  const std::size_t b = utf8::offset_of(s, start - 1);
  if (b >= s.size() && !(needle.empty() && start <= Len(s) + 1)) return 0;
  const auto pos = s.find(needle, b);
  if (pos == std::string_view::npos) return 0;
  return Len(s.substr(0, pos)) + 1;
}

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string UCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  // Full-width Latin letters (EF BD 81..9A) upper-case to EF BC A1..BA.
  for (std::size_t i = 0; i + 2 < r.size(); ++i) {
    auto b0 = static_cast<unsigned char>(r[i]), b1 = static_cast<unsigned char>(r[i + 1]),
         b2 = static_cast<unsigned char>(r[i + 2]);
    if (b0 == 0xEF && b1 == 0xBD && b2 >= 0x81 && b2 <= 0x9A) {
      r[i + 1] = static_cast<char>(0xBC);
      r[i + 2] = static_cast<char>(b2 + 0x20);
      i += 2;
    }
  }
  return r;
}

}  // namespace orvo
