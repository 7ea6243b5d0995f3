#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/variant.h"

namespace orvo {

namespace {

bool is_placeholder(char c) { return c == '0' || c == '#' || c == ',' || c == '.'; }

// Decimal digits of |x| rounded half away from zero to `decimals` places, judged on the
// 15-significant-digit form so that 2.675 formats like the text a host would see.
void round_decimal(double x, int decimals, std::string& int_part, std::string& frac_part) {
  std::string digits;
  int exp10 = 0;
  const double ax = std::fabs(x);
  if (ax < 1e15 && ax == std::trunc(ax)) {
    // A whole number of at most 15 digits is its own 15-digit form: no printf needed.
    char buf[24];
    char* end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(ax)).ptr;
    digits.assign(buf, end);
    exp10 = static_cast<int>(digits.size()) - 1;
    digits.resize(15, '0');
  } else {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", ax);
    for (const char* p = buf; *p && *p != 'e'; ++p)
      if (*p != '.') digits += *p;
    exp10 = std::atoi(std::strchr(buf, 'e') + 1);
  }
  int int_digits = exp10 + 1;  // digits before the point
  const int keep = int_digits + decimals;
  if (keep < 0) {
    digits.clear();
  } else if (keep < static_cast<int>(digits.size())) {
    const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (up) {
      int i = keep - 1;
      for (; i >= 0; --i) {
        if (digits[static_cast<std::size_t>(i)] == '9') {
          digits[static_cast<std::size_t>(i)] = '0';
        } else {
          ++digits[static_cast<std::size_t>(i)];
          break;
        }
      }
      if (i < 0) digits = "1" + digits, ++int_digits;
    }
  }
  // Lay the digits out around the point.
  int_part.clear();
  frac_part.clear();
  for (int pos = 0; pos < int_digits; ++pos)
    int_part += pos < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(pos)] : '0';
  for (int k = 0; k < decimals; ++k) {
    const int pos = int_digits + k;
    frac_part += (pos >= 0 && pos < static_cast<int>(digits.size()))
                     ? digits[static_cast<std::size_t>(pos)]
                     : '0';
  }
  const auto nz = int_part.find_first_not_of('0');
  int_part = nz == std::string::npos ? "" : int_part.substr(nz);
}

std::string format_number(double x, std::string_view pattern) {
  finite(x);
  const std::size_t first = pattern.find_first_of("0#");
  std::size_t last = pattern.find_last_of("0#");
  std::size_t body_end = last + 1;
  while (body_end < pattern.size() && is_placeholder(pattern[body_end])) ++body_end;
  const std::string_view prefix = pattern.substr(0, first);
  const std::string_view body = pattern.substr(first, body_end - first);
  const std::string_view suffix = pattern.substr(body_end);

  const auto point = body.find('.');
  const std::string_view int_pat = body.substr(0, point);
  const std::string_view frac_pat = point == std::string_view::npos ? "" : body.substr(point + 1);
  std::size_t min_int = 0;
  for (char c : int_pat) min_int += c == '0';
  const bool grouping = int_pat.find(',') != std::string_view::npos;
  int decimals = 0, min_decimals = 0;
  for (char c : frac_pat) decimals += c == '0' || c == '#', min_decimals += c == '0';

  std::string ip, fp;
  round_decimal(x, decimals, ip, fp);
  while (static_cast<int>(fp.size()) > min_decimals && !fp.empty() && fp.back() == '0')
    fp.pop_back();
  if (ip.size() < min_int) ip = std::string(min_int - ip.size(), '0') + ip;
  if (grouping) {
    std::string grouped;
    for (std::size_t i = 0; i < ip.size(); ++i) {
      if (i > 0 && (ip.size() - i) % 3 == 0) grouped += ',';
      grouped += ip[i];
    }
    ip = grouped;
  }
  const bool zero = (ip.find_first_not_of("0,") == std::string::npos) &&
                    (fp.find_first_not_of('0') == std::string::npos);
  std::string out(prefix);
  if (x < 0 && !zero) out += '-';
  out += ip;
  if (!fp.empty() || (point != std::string_view::npos && min_decimals > 0)) out += "." + fp;
  out += suffix;
  return out;
}

}  // namespace

std::string Format(const Variant& v, std::string_view pattern) {
  if (pattern.empty() || v.is_null()) return Str(v);
  const bool numeric_pattern = pattern.find_first_of("0#") != std::string_view::npos;
  if (v.kind() == Variant::Kind::Date && !numeric_pattern) return format_date(v.as_date(), pattern);
  if (numeric_pattern) {
    switch (v.kind()) {
      case Variant::Kind::Text:
        if (auto d = parse_number(v.as_text())) return format_number(*d, pattern);
        return v.as_text();
      case Variant::Kind::Date:
        return format_number(v.as_date().serial, pattern);
      default:
        return format_number(Num(v), pattern);
    }
  }
  // A date pattern on something that is not a date: use it as a date when it reads as one.
  switch (v.kind()) {
    case Variant::Kind::Number:
    case Variant::Kind::Empty:
      return format_date(CDate(v), pattern);
    case Variant::Kind::Text:
      try {
        return format_date(CDate(v), pattern);
      } catch (...) {
        return v.as_text();
      }
    default:
      return Str(v);
  }
}

}  // namespace orvo
