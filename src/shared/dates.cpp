#include <cmath>
#include <cstdio>
#include <string_view>

#include "shared/errors.h"
#include "shared/variant.h"

namespace orvo {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
long days_from_civil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void civil_from_days(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<long>(yoe) + era * 400 + (m <= 2));
}

const long kEpoch = days_from_civil(1899, 12, 30);
const double kFirstSerial = static_cast<double>(days_from_civil(100, 1, 1) - kEpoch);
const double kLastSerial = static_cast<double>(days_from_civil(10000, 1, 1) - kEpoch);

bool valid_civil(int y, int m, int d) {
  if (m < 1 || m > 12 || d < 1 || y < 100 || y > 9999) return false;
  static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= mdays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// Reads `min` to `max` digits at `i`, advancing `i` past them.
bool digits(std::string_view t, std::size_t& i, std::size_t min, std::size_t max, int& out) {
  std::size_t n = 0;
  out = 0;
  while (i < t.size() && n < max && t[i] >= '0' && t[i] <= '9') {
    out = out * 10 + (t[i++] - '0');
    ++n;
  }
  return n >= min;
}

// Exactly YYYY/M/D or YYYY-M-D, optionally followed by " H:MM" or " H:MM:SS"; nothing around it.
std::optional<DateValue> parse_date_text(std::string_view t) {
  int y, mo, d, h = 0, mi = 0, s = 0;
  std::size_t i = 0;
  if (!digits(t, i, 4, 4, y) || i == t.size() || (t[i] != '/' && t[i] != '-')) return {};
  const char sep = t[i++];
  if (!digits(t, i, 1, 2, mo) || i == t.size() || t[i++] != sep) return {};
  if (!digits(t, i, 1, 2, d)) return {};
  if (i < t.size()) {
    if (t[i++] != ' ' || !digits(t, i, 1, 2, h) || i == t.size() || t[i++] != ':' ||
        !digits(t, i, 2, 2, mi)) {
      return {};
    }
    if (i < t.size() && (t[i++] != ':' || !digits(t, i, 2, 2, s))) return {};
    if (i != t.size() || h > 23 || mi > 59 || s > 59) return {};
  }
  if (!valid_civil(y, mo, d)) return {};
  return date_from_civil({y, mo, d, h, mi, s});
}

}  // namespace

DateValue date_from_civil(const CivilTime& c) {
  const long days =
      days_from_civil(c.year, static_cast<unsigned>(c.month), static_cast<unsigned>(c.day)) -
      kEpoch;
  return {static_cast<double>(days) + (c.hour * 3600.0 + c.minute * 60.0 + c.second) / 86400.0};
}

CivilTime civil_from_date(DateValue dv) {
  // A date built directly, not through CDate, can hold any double.
  if (!(dv.serial >= kFirstSerial && dv.serial < kLastSerial)) raise_overflow();
  double days = std::floor(dv.serial);
  long secs = std::lround((dv.serial - days) * 86400.0);
  if (secs >= 86400) days += 1, secs -= 86400;
  CivilTime c;
  civil_from_days(static_cast<long>(days) + kEpoch, c.year, c.month, c.day);
  c.hour = static_cast<int>(secs / 3600);
  c.minute = static_cast<int>(secs / 60 % 60);
  c.second = static_cast<int>(secs % 60);
  return c;
}

DateValue CDate(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Date:
      return v.as_date();
    case Variant::Kind::Empty:
      return {0};
    case Variant::Kind::Number: {
      // Day counts of the years 100 to 9999 only, as the host's dates.
      const double serial = v.as_number();
      if (!(serial >= kFirstSerial && serial < kLastSerial)) raise_overflow();
      return {serial};
    }
    case Variant::Kind::Null:
      raise(err::kInvalidUseOfNull, "Invalid use of Null");
    case Variant::Kind::Text:
      if (auto d = parse_date_text(v.as_text())) return *d;
      raise_type_mismatch(v.as_text(), "a date");
    case Variant::Kind::Boolean:
      break;
  }
  raise_type_mismatch();
}

std::string format_date(DateValue d, std::string_view p) {
  const CivilTime c = civil_from_date(d);
  auto two = [](int n) {
    if (n < 0) {
      char b[16];
      std::snprintf(b, sizeof b, "%02d", n % 100);
      return std::string(b);
    }
    // Every heading prints a date: plain digits without printf.
    return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
  };
  auto lower = [](char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch + 32) : ch; };
  auto at = [&](std::size_t i, std::string_view tok) {
    if (i + tok.size() > p.size()) return false;
    for (std::size_t k = 0; k < tok.size(); ++k)
      if (lower(p[i + k]) != tok[k]) return false;
    return true;
  };
  std::string out;
  bool after_hour = false;  // "mm" right after an hour token means minutes
  for (std::size_t i = 0; i < p.size();) {
    if (at(i, "yyyy")) {
      char b[16];
      std::snprintf(b, sizeof b, "%04d", c.year);
      out += b, i += 4, after_hour = false;
    } else if (at(i, "yy")) {
      out += two(c.year), i += 2, after_hour = false;
    } else if (at(i, "mm")) {
      out += two(after_hour ? c.minute : c.month), i += 2, after_hour = false;
    } else if (at(i, "nn")) {
      out += two(c.minute), i += 2, after_hour = false;
    } else if (at(i, "dd")) {
      out += two(c.day), i += 2, after_hour = false;
    } else if (at(i, "hh")) {
      out += two(c.hour), i += 2, after_hour = true;
    } else if (at(i, "ss")) {
      out += two(c.second), i += 2, after_hour = false;
    } else {
      out += p[i++];
    }
  }
  return out;
}

}  // namespace orvo
