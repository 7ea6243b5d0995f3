#include "shared/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>

#include "shared/errors.h"

namespace orvo {

double finite(double x) {
  if (!std::isfinite(x)) raise_overflow();
  return x;
}

namespace {

// Below 1E+15 a whole number has at most 15 digits, so its 15-significant-digit form is its
// integer form: the integer conversion gives it without printf's cost.
bool whole_below_1e15(double d) { return std::fabs(d) < 1e15 && d == std::trunc(d); }

}  // namespace

std::string number_text(double d) {
  if (d == 0) return "0";  // also -0
  finite(d);
  if (whole_below_1e15(d)) {
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(d)).ptr;
    return std::string(buf, end);
  }
  // 15 significant digits; exponent form below 1E-4 and from 1E+15 on.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", d);
  std::string s(buf);
  const auto e = s.find('E');
  std::string mantissa = s.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  return e == std::string::npos ? mantissa : mantissa + s.substr(e);
}

std::string Str(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
      return "";
    case Variant::Kind::Boolean:
      return v.as_bool() ? "True" : "False";
    case Variant::Kind::Number:
      return number_text(v.as_number());
    case Variant::Kind::Text:
      return v.as_text();
    case Variant::Kind::Date: {
      const CivilTime c = civil_from_date(v.as_date());
      char buf[48];
      const bool has_time = c.hour || c.minute || c.second;
      const bool has_date = std::floor(v.as_date().serial) != 0;
      if (has_date && has_time)
        std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d", c.year, c.month, c.day, c.hour,
                      c.minute, c.second);
      else if (has_time)
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d", c.hour, c.minute, c.second);
      else
        std::snprintf(buf, sizeof buf, "%d/%d/%d", c.year, c.month, c.day);
      return buf;
    }
  }
  return "";
}

std::string Str(Variant&& v) {
  if (v.is_text()) return std::move(v).as_text();
  return Str(std::as_const(v));
}

bool text_eq(const Variant& v, std::string_view s) { return !v.is_null() && Str(v) == s; }
bool text_ne(const Variant& v, std::string_view s) { return !v.is_null() && Str(v) != s; }
bool not_blank(const Variant& v) { return text_ne(v, ""); }
bool is_blank(const Variant& v) { return text_eq(v, ""); }

namespace {

bool is_space(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> parse_number(std::string_view t) {
  std::size_t b = 0, e = t.size();
  while (b < e && is_space(t[b])) ++b;
  while (e > b && is_space(t[e - 1])) --e;
  t = t.substr(b, e - b);
  std::string clean;
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) clean += t[i++];
  bool digits = false;
  while (i < t.size() && (is_digit(t[i]) || (t[i] == ',' && digits))) {
    if (t[i] != ',') clean += t[i], digits = true;
    ++i;
  }
  if (i < t.size() && t[i] == '.') {
    clean += t[i++];
    while (i < t.size() && is_digit(t[i])) clean += t[i++], digits = true;
  }
  if (!digits) return std::nullopt;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    clean += 'E';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) clean += t[i++];
    bool exp_digits = false;
    while (i < t.size() && is_digit(t[i])) clean += t[i++], exp_digits = true;
    if (!exp_digits) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  return std::strtod(clean.c_str(), nullptr);
}

bool IsNumeric(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Boolean:
    case Variant::Kind::Number:
      return true;
    case Variant::Kind::Text:
      return parse_number(v.as_text()).has_value();
    default:
      return false;
  }
}

double Num(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return 0;
    case Variant::Kind::Null:
      raise(err::kInvalidUseOfNull, "Invalid use of Null");
    case Variant::Kind::Boolean:
      return v.as_bool() ? -1 : 0;
    case Variant::Kind::Number:
      return finite(v.as_number());
    case Variant::Kind::Text:
      if (auto d = parse_number(v.as_text())) return finite(*d);
      raise_type_mismatch(v.as_text(), "a number");
    case Variant::Kind::Date:
      return v.as_date().serial;
  }
  raise_type_mismatch();
}

Variant add(const Variant& a, const Variant& b) {
  if (a.is_null() || b.is_null()) return Variant::null();
  return Variant(finite(Num(a) + Num(b)));
}

Variant subtract(const Variant& a, const Variant& b) {
  if (a.is_null() || b.is_null()) return Variant::null();
  return Variant(finite(Num(a) - Num(b)));
}

bool less_than(const Variant& a, double b) { return !a.is_null() && Num(a) < b; }

namespace {

// Sign and up to 15 digits that end the text or stop at a character the full reading stops at
// too: exact as an integer, read without copying. nullopt for anything else.
std::optional<double> plain_integer(std::string_view t) {
  std::size_t i = 0;
  const bool negative = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) ++i;
  const std::size_t first = i;
  long long n = 0;
  while (i < t.size() && i - first < 15 && is_digit(t[i])) n = n * 10 + (t[i++] - '0');
  if (i == first) return std::nullopt;
  if (i < t.size()) {
    switch (t[i]) {
      case ' ': case '\t': case '\n': case '.': case 'E': case 'e': case 'D': case 'd':
        return std::nullopt;
      default:
        if (is_digit(t[i])) return std::nullopt;
    }
  }
  const auto x = static_cast<double>(n);
  return negative ? -x : x;  // "-0" reads as -0, as strtod has it
}

}  // namespace

double Val(std::string_view t) {
  if (const auto n = plain_integer(t)) return *n;
  std::string s;  // the text without the blanks Val skips
  for (char c : t)
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  std::size_t i = 0;
  if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
    const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
    double r = 0;
    for (i = 2; i < s.size(); ++i) {
      const char c = s[i];
      int d = -1;
      if (is_digit(c))
        d = c - '0';
      else if (base == 16 && c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
      else if (base == 16 && c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
      if (d < 0 || d >= base) break;
      r = r * base + d;
    }
    return finite(r);
  }
  std::string num;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
  bool digits = false;
  while (i < s.size() && is_digit(s[i])) num += s[i++], digits = true;
  if (i < s.size() && s[i] == '.') {
    num += s[i++];
    while (i < s.size() && is_digit(s[i])) num += s[i++], digits = true;
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::string ex = "E";
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ex += s[j++];
    bool ed = false;
    while (j < s.size() && is_digit(s[j])) ex += s[j++], ed = true;
    if (ed) num += ex;
  }
  return finite(std::strtod(num.c_str(), nullptr));
}

double Val(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
      return 0;
    case Variant::Kind::Number:
      // Such a number's text form reads back as itself (-0 as 0).
      if (whole_below_1e15(v.as_number())) return v.as_number() == 0 ? 0.0 : v.as_number();
      break;
    case Variant::Kind::Text:
      return Val(std::string_view(v.as_text()));
    default:
      break;
  }
  return Val(std::string_view(Str(v)));
}

double Round(double x, int digits) {
  if (digits <= 0) return std::nearbyint(x);  // default rounding mode: halves to even
  const double scale = std::pow(10.0, digits);
  const double y = x * scale;
  const double fl = std::floor(y);
  const double frac = y - fl;
  double r;
  if (std::fabs(frac - 0.5) < 1e-9)
    r = std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
  else
    r = std::nearbyint(y);
  return r / scale;
}

double Int(double x) { return std::floor(x); }
double Fix(double x) { return std::trunc(x); }

std::int16_t CInt(double x) {
  const double r = std::nearbyint(x);
  if (!(r >= -32768 && r <= 32767)) raise_overflow();
  return static_cast<std::int16_t>(r);
}

std::int16_t CInt(const Variant& v) { return CInt(Num(v)); }

std::int16_t add16(std::int16_t a, int b) {
  const long r = static_cast<long>(a) + b;
  if (r < -32768 || r > 32767) raise_overflow();
  return static_cast<std::int16_t>(r);
}

}  // namespace orvo
