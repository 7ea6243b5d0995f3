#pragma once
// The loosely typed value that hosts put into the invoice record and the item rows, and the
// value functions every layout uses. The rules are those of the host's automation interface, so
// a printed invoice never depends on whether a host handed a number or its text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace orvo {

// A date is a day count from 1899-12-30; the fraction is the time of day.
struct DateValue {
  double serial = 0;
  bool operator==(const DateValue&) const = default;
};

struct CivilTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
  bool operator==(const CivilTime&) const = default;
};

DateValue date_from_civil(const CivilTime& c);
// Outside the years 100 to 9999 (infinite and NaN included) raises 6 "Overflow".
CivilTime civil_from_date(DateValue d);

class Variant {
 public:
  enum class Kind { Empty, Null, Boolean, Number, Text, Date };
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };

  Variant() = default;
  Variant(NullTag) : v_(NullTag{}) {}
  Variant(bool b) : v_(b) {}
  Variant(double d) : v_(d) {}
  Variant(int i) : v_(static_cast<double>(i)) {}
  Variant(long i) : v_(static_cast<double>(i)) {}
  Variant(long long i) : v_(static_cast<double>(i)) {}
  Variant(std::string s) : v_(std::move(s)) {}
  Variant(std::string_view s) : v_(std::string(s)) {}
  Variant(const char* s) : v_(std::string(s)) {}
  Variant(DateValue d) : v_(d) {}

  static Variant null() { return Variant(NullTag{}); }

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool is_empty() const { return kind() == Kind::Empty; }
  bool is_null() const { return kind() == Kind::Null; }
  bool is_text() const { return kind() == Kind::Text; }

  // Raw access; callers check kind() first.
  bool as_bool() const { return std::get<bool>(v_); }
  double as_number() const { return std::get<double>(v_); }
  const std::string& as_text() const& { return std::get<std::string>(v_); }
  std::string as_text() && { return std::get<std::string>(std::move(v_)); }
  DateValue as_date() const { return std::get<DateValue>(v_); }

  bool operator==(const Variant&) const = default;

 private:
  std::variant<std::monostate, NullTag, bool, double, std::string, DateValue> v_;
};

// --- Text form and tests ---------------------------------------------------------------------

// Text form: Empty and Null give "", Boolean "True"/"False", numbers their plain decimal form.
std::string Str(const Variant& v);
// The same for a value about to be dropped (a field just read): its text is moved, not copied.
std::string Str(Variant&& v);
std::string number_text(double d);

// `X <> ""`: false for Null (any comparison with Null is false).
bool not_blank(const Variant& v);
// `X = ""`: false for Null as well.
bool is_blank(const Variant& v);
// `X = "text"` and `X <> "text"` by text form; both false for Null.
bool text_eq(const Variant& v, std::string_view s);
bool text_ne(const Variant& v, std::string_view s);

// --- Numbers ---------------------------------------------------------------------------------

// Whole text (spaces around allowed) is one number: sign, digits with "," grouping, decimals,
// exponent. Returns nullopt otherwise.
std::optional<double> parse_number(std::string_view text);
bool IsNumeric(const Variant& v);
// Numeric use: Empty 0, Boolean -1/0, numeric text; other text raises 13, Null raises 94.
double Num(const Variant& v);
// Arithmetic on values: Null if either side is Null, else the sum or difference of the numbers
// Num() reads (a text that is no number raises 13; an overflow raises 6).
Variant add(const Variant& a, const Variant& b);
Variant subtract(const Variant& a, const Variant& b);
// `a < b` as a number; false when `a` is Null, as every comparison with Null.
bool less_than(const Variant& a, double b);
// Leading number of the text form; never fails.
double Val(std::string_view text);
inline double Val(const std::string& text) { return Val(std::string_view(text)); }
inline double Val(const char* text) { return Val(std::string_view(text)); }
double Val(const Variant& v);

// x itself; an infinite or NaN x raises 6 "Overflow", so none reaches a format or a printer.
double finite(double x);

double Round(double x, int digits = 0);  // halves to even
double Int(double x);                    // towards minus infinity
double Fix(double x);                    // towards zero

// 16-bit integers of the page and line counters; outside -32768..32767 raises 6 "Overflow".
std::int16_t CInt(double x);
std::int16_t CInt(const Variant& v);
std::int16_t add16(std::int16_t a, int b);

// --- Text functions (count characters, i.e. code points) --------------------------------------

std::size_t Len(std::string_view s);
std::string Left(std::string_view s, std::size_t n);
std::string Right(std::string_view s, std::size_t n);
// 1-based start; `len` npos means to the end.
std::string Mid(std::string_view s, std::size_t start, std::size_t len = std::string_view::npos);
// 1-based position of `needle` in `s` from character `start`; 0 when absent.
std::size_t InStr(std::string_view s, std::string_view needle, std::size_t start = 1);
std::string Trim(std::string_view s);
std::string UCase(std::string_view s);

// --- Dates and formats -----------------------------------------------------------------------

// A value used as a date; text that is no date raises 13.
DateValue CDate(const Variant& v);

// Number patterns ("#,##0", "0", "00", "#,##0.00") or, for dates, "YYYY-MM-DD hh:mm:ss" style
// patterns; an empty pattern gives the text form.
std::string Format(const Variant& v, std::string_view pattern = {});
std::string format_date(DateValue d, std::string_view pattern);

}  // namespace orvo
