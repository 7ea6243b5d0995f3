#include "shared/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "shared/errors.h"

namespace orvo {
namespace {

int error_number(auto&& fn) {
  try {
    fn();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

TEST(TextForm, OfEveryKind) {
  struct Case {
    Variant v;
    const char* text;
  } cases[] = {
      {Variant(), ""},
      {Variant::null(), ""},
      {Variant(true), "True"},
      {Variant(false), "False"},
      {Variant(1050), "1050"},
      {Variant(1.5), "1.5"},
      {Variant(0.5), "0.5"},
      {Variant(-12.25), "-12.25"},
      {Variant(-0.0), "0"},
      {Variant(0.1 + 0.2), "0.3"},
      {Variant(123456789012345.0), "123456789012345"},
      {Variant(1e15), "1E+15"},
      {Variant(0.00001), "1E-05"},
      {Variant("消費合計"), "消費合計"},
      {Variant(date_from_civil({2010, 3, 5, 14, 30, 5})), "2010/3/5 14:30:05"},
      {Variant(date_from_civil({2010, 3, 5})), "2010/3/5"},
  };
  for (const auto& c : cases) EXPECT_EQ(Str(c.v), c.text) << c.text;
}

TEST(TextForm, NumbersAtTheFifteenDigitBoundaries) {
  struct Case {
    double d;
    const char* text;
  } cases[] = {
      {999999999999999.0, "999999999999999"},
      {-999999999999999.0, "-999999999999999"},
      {-1e15, "-1E+15"},
      {1e15 + 2, "1E+15"},
      {9007199254740993.0, "9.00719925474099E+15"},  // 2^53 + 1 is 2^53
      {4503599627370497.0, "4.5035996273705E+15"},
      {123456789012345.5, "123456789012346"},  // halves to even in the last digit
      {123456789012344.5, "123456789012344"},
      {99999999999999.95, "100000000000000"},
      {0.0001, "0.0001"},
      {0.000099999, "9.9999E-05"},
      {-7.0, "-7"},
      {1e21, "1E+21"},
  };
  for (const auto& c : cases) EXPECT_EQ(number_text(c.d), c.text) << c.text;
}

// The text form of every finite number is printf's 15-significant-digit "%G" form.
TEST(TextForm, AgreesWithPrintfAcrossTheRange) {
  std::vector<double> values;
  for (double p = 1; p < 1e18; p *= 10)
    for (double d : {p - 1, p, p + 1, p / 2, p * 3 + 0.5}) values.insert(values.end(), {d, -d});
  for (int k = 0; k < 64; ++k) {
    const double p = std::ldexp(1.0, k);
    for (double d : {p - 1, p, p + 1}) values.insert(values.end(), {d, -d});
  }
  std::mt19937_64 gen(11);
  for (int i = 0; i < 20000; ++i) {
    double d;
    const std::uint64_t bits = gen();
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) values.push_back(d);
    values.push_back(static_cast<double>(static_cast<std::int64_t>(gen() >> (gen() % 64))));
  }
  for (double d : values) {
    if (d == 0) continue;
    char expected[40];
    std::snprintf(expected, sizeof expected, "%.15G", d);
    ASSERT_EQ(number_text(d), expected) << std::hexfloat << d;
  }
}

TEST(EmptyTest, NullIsNeitherEmptyNorNotEmpty) {
  EXPECT_TRUE(is_blank(Variant()));
  EXPECT_TRUE(is_blank(Variant("")));
  EXPECT_FALSE(is_blank(Variant(0)));
  EXPECT_TRUE(not_blank(Variant(0)));
  EXPECT_FALSE(is_blank(Variant::null()));
  EXPECT_FALSE(not_blank(Variant::null()));
  EXPECT_FALSE(text_eq(Variant("y"), "Y"));
  EXPECT_TRUE(text_eq(Variant(12), "12"));
}

TEST(NumericUse, CoercionAndMismatch) {
  struct Case {
    Variant v;
    double n;
  } ok[] = {{Variant(), 0},          {Variant(true), -1},      {Variant(false), 0},
            {Variant("  42 "), 42},  {Variant("1,000"), 1000}, {Variant("-3.5"), -3.5},
            {Variant("1.5E2"), 150}, {Variant(".5"), 0.5},     {Variant("+7"), 7}};
  for (const auto& c : ok) EXPECT_EQ(Num(c.v), c.n) << Str(c.v);
  for (const char* bad : {"", "abc", "12abc", "1 2", "--1", "1e", ",1", "."}) {
    EXPECT_EQ(error_number([&] { Num(Variant(bad)); }), 13) << bad;
    EXPECT_FALSE(IsNumeric(Variant(bad))) << bad;
  }
  EXPECT_EQ(error_number([] { Num(Variant::null()); }), 94);
}

TEST(NumericUse, NullInArithmeticGivesNull) {
  const Variant null = Variant::null();
  EXPECT_TRUE(add(null, Variant(5)).is_null());
  EXPECT_TRUE(add(Variant("5"), null).is_null());
  EXPECT_TRUE(subtract(Variant(), null).is_null());
  EXPECT_EQ(subtract(Variant("1,050"), Variant(50)), Variant(1000));
  EXPECT_EQ(add(Variant(), Variant(true)), Variant(-1));
  // Otherwise both sides are read as numbers.
  EXPECT_EQ(error_number([&] { add(Variant("abc"), Variant(1)); }), 13);
  EXPECT_EQ(error_number([&] { subtract(Variant(1e308), Variant(-1e308)); }), 6);
  EXPECT_EQ(Format(subtract(null, Variant(1)), "#,##0"), "");
  EXPECT_FALSE(less_than(null, 0));
  EXPECT_TRUE(less_than(Variant(-1), 0));
  EXPECT_FALSE(less_than(Variant(0), 0));
}

TEST(Val, ReadsLeadingNumberAndNeverFails) {
  struct Case {
    const char* text;
    double n;
  } cases[] = {{"1,000", 1},   {" 12 5x", 125}, {"", 0},      {"abc", 0}, {"-3.5kg", -3.5},
               {"1.2.3", 1.2}, {"2E3", 2000},   {"2D2", 200}, {"2E", 2},  {"&HFF", 255},
               {"&O17", 15},   {"\t7\n8", 78},  {"+", 0},     {".5", 0.5},
               {"1\r0", 1}};
  for (const auto& c : cases) EXPECT_EQ(Val(c.text), c.n) << c.text;
  EXPECT_EQ(Val(Variant::null()), 0);
  EXPECT_EQ(Val(Variant(12.5)), 12.5);
}

TEST(Val, PlainIntegersAndNumbersReadAsTheirTextForm) {
  struct TextCase {
    const char* text;
    double n;
  } texts[] = {{"123456789012345", 123456789012345.0},
               {"12345678901234567", 12345678901234568.0},  // past 15 digits: rounded by strtod
               {"-42", -42},
               {"+42", 42},
               {"42x", 42},
               {"42,5", 42},
               {"4 2", 42},
               {"4\t2", 42},
               {"42.5", 42.5},
               {"42e1", 420},
               {"42D1", 420},
               {"-", 0},
               {"x42", 0}};
  for (const auto& c : texts) {
    EXPECT_EQ(Val(c.text), c.n) << c.text;
    EXPECT_EQ(Val(Variant(c.text)), c.n) << c.text;
  }
  EXPECT_TRUE(std::signbit(Val("-0")));
  EXPECT_FALSE(std::signbit(Val(Variant(-0.0))));  // its text form is "0"

  struct NumberCase {
    Variant v;
    double n;
  } numbers[] = {{Variant(999999999999999.0), 999999999999999.0},
                 {Variant(-80), -80},
                 {Variant(1e15 + 2), 1e15},  // read back from "1E+15"
                 {Variant(0.1 + 0.2), 0.3},
                 {Variant(true), 0},
                 {Variant(), 0},
                 {Variant(date_from_civil({2010, 3, 5})), 2010}};
  for (const auto& c : numbers) EXPECT_EQ(Val(c.v), c.n) << Str(c.v);
  EXPECT_EQ(error_number([] { Val(Variant(std::numeric_limits<double>::infinity())); }), 6);
}

TEST(NumericUse, BeyondTheDoubleRangeOverflowsWhereverUsed) {
  const double inf = HUGE_VAL;
  const std::string huge_hex = "&H" + std::string(300, 'F');
  const std::function<void()> uses[] = {
      [&] { Str(Variant(inf)); },
      [&] { Str(Variant(std::nan(""))); },
      [&] { Format(Variant(-inf), "#,##0"); },
      [&] { Format(Variant("1e400"), "#,##0"); },
      [&] { Num(Variant("1e400")); },
      [&] { Num(Variant(inf)); },
      [&] { Val("1e400"); },
      [&] { Val(huge_hex); },
      [&] { CInt(inf); },
      [&] { CDate(Variant(1e300)); },
      [&] { Str(Variant(DateValue{-inf})); },
      [&] { Format(Variant(DateValue{std::nan("")}), "yyyy"); },
      [&] { civil_from_date(DateValue{1e300}); },
  };
  for (std::size_t i = 0; i < std::size(uses); ++i)
    EXPECT_EQ(error_number(uses[i]), 6) << "use " << i;
  EXPECT_EQ(Num(Variant("1e308")), 1e308);
}

TEST(Rounding, HalvesAndTowardsInfinity) {
  struct Case {
    double x, round, int_, fix;
  } cases[] = {{2.5, 2, 2, 2},     {3.5, 4, 3, 3}, {-2.5, -2, -3, -2},
               {-2.4, -2, -3, -2}, {0.5, 0, 0, 0}, {1.49, 1, 1, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Round(c.x), c.round) << c.x;
    EXPECT_EQ(Int(c.x), c.int_) << c.x;
    EXPECT_EQ(Fix(c.x), c.fix) << c.x;
  }
  EXPECT_DOUBLE_EQ(Round(1.25, 1), 1.2);
  EXPECT_DOUBLE_EQ(Round(1.35, 1), 1.4);
}

TEST(Int16, CountersOverflow) {
  EXPECT_EQ(CInt(32767.0), 32767);
  EXPECT_EQ(CInt(2.5), 2);
  EXPECT_EQ(CInt(Variant("900")), 900);
  EXPECT_EQ(error_number([] { CInt(32768.0); }), 6);
  EXPECT_EQ(error_number([] { CInt(-32769.0); }), 6);
  EXPECT_EQ(add16(32766, 1), 32767);
  EXPECT_EQ(error_number([] { add16(32767, 1); }), 6);
  EXPECT_EQ(error_number([] { CInt(Variant("x")); }), 13);
}

TEST(TextFunctions, CountCharactersNotBytes) {
  const std::string s = "台北101店";
  EXPECT_EQ(Len(s), 6u);
  EXPECT_EQ(Left(s, 2), "台北");
  EXPECT_EQ(Left(s, 99), s);
  EXPECT_EQ(Right(s, 1), "店");
  EXPECT_EQ(Mid(s, 3, 3), "101");
  EXPECT_EQ(Mid(s, 5), "1店");
  EXPECT_EQ(Mid(s, 9), "");
  EXPECT_EQ(InStr(s, "1"), 3u);
  EXPECT_EQ(InStr(s, "1", 4), 5u);
  EXPECT_EQ(InStr(s, "店"), 6u);
  EXPECT_EQ(InStr(s, "x"), 0u);
  EXPECT_EQ(InStr("外帶-2", "-"), 3u);
  EXPECT_EQ(error_number([&] { Mid(s, 0); }), 5);
  EXPECT_EQ(Trim("  a b \t "), "a b \t");
  EXPECT_EQ(UCase("kp1ａ"), "KP1Ａ");
  // A stray byte counts as one character instead of derailing the count.
  EXPECT_EQ(Len("a\xFF"
                "b"),
            3u);
}

TEST(Dates, ValueUsedAsDate) {
  EXPECT_EQ(civil_from_date(CDate(Variant("2010/3/5"))), (CivilTime{2010, 3, 5, 0, 0, 0}));
  EXPECT_EQ(civil_from_date(CDate(Variant("2024-02-29 9:05"))), (CivilTime{2024, 2, 29, 9, 5, 0}));
  EXPECT_EQ(civil_from_date(CDate(Variant("2010-03-05 14:30:05"))),
            (CivilTime{2010, 3, 5, 14, 30, 5}));
  EXPECT_EQ(civil_from_date(CDate(Variant())), (CivilTime{1899, 12, 30, 0, 0, 0}));
  EXPECT_EQ(civil_from_date(CDate(Variant(40242.5))), (CivilTime{2010, 3, 5, 12, 0, 0}));
  EXPECT_EQ(civil_from_date(CDate(Variant("2000/2/29"))), (CivilTime{2000, 2, 29, 0, 0, 0}));
  EXPECT_EQ(civil_from_date(CDate(Variant("2010-3-4 23:59:59"))),
            (CivilTime{2010, 3, 4, 23, 59, 59}));
  for (const char* bad :
       {"2023/2/29", "1900/2/29", "2010/13/1", "hello", "2010/3/5 25:00", "2010/3-5",
        // Only the exact forms: nothing around them, no spaces or signs inside.
        " 2010/3/4 ", "2010/3/4 ", "2010/ 3/ 4", "2010/+3/4", "2010/3/-4", "10/3/4", "02010/3/4",
        "2010/003/4", "2010/3/4  9:05", "2010/3/4 9:5", "2010/3/4 9:05:", "2010/3/4 9:05:1",
        "2010/3/4T9:05", "2010/3/4 +9:05"})
    EXPECT_EQ(error_number([&] { CDate(Variant(bad)); }), 13) << bad;
}

TEST(Format, NumberPatterns) {
  struct Case {
    Variant v;
    const char* pattern;
    const char* out;
  } cases[] = {
      {Variant(1234567), "#,##0", "1,234,567"},
      {Variant(999), "#,##0", "999"},
      {Variant(0), "#,##0", "0"},
      {Variant(), "#,##0", "0"},
      {Variant(2.5), "#,##0", "3"},
      {Variant(-2.5), "#,##0", "-3"},
      {Variant(-1234.4), "#,##0", "-1,234"},
      {Variant(999.5), "#,##0", "1,000"},
      {Variant("12500"), "#,##0", "12,500"},
      {Variant("abc"), "#,##0", "abc"},
      {Variant(5), "00", "05"},
      {Variant(-5), "00", "-05"},
      {Variant(123), "00", "123"},
      {Variant(7), "0", "7"},
      {Variant(0.4), "0", "0"},
      {Variant(-0.4), "0", "0"},
      {Variant(2.675), "0.00", "2.68"},
      {Variant(1234.5), "#,##0.00", "1,234.50"},
      {Variant(1.5), "", "1.5"},
      {Variant::null(), "#,##0", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Format(c.v, c.pattern), c.out) << Str(c.v) << " " << c.pattern;
}

TEST(Format, DatePatterns) {
  const Variant d(date_from_civil({2010, 3, 5, 14, 30, 5}));
  struct Case {
    const char* pattern;
    const char* out;
  } cases[] = {
      {"YYYY-MM-DD", "2010-03-05"},
      {"yyyy-mm-dd hh:mm", "2010-03-05 14:30"},
      {"hh:mm:ss", "14:30:05"},
      {"YY/MM/DD, HH:MM:SS", "10/03/05, 14:30:05"},
      {"MM/DD", "03/05"},
      {"**記錄時間 - YY/MM/DD, HH:MM:SS ", "**記錄時間 - 10/03/05, 14:30:05 "},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(d, c.pattern), c.out) << c.pattern;
  EXPECT_EQ(Format(Variant("2024/3/5"), "YYYY-MM-DD"), "2024-03-05");
}

}  // namespace
}  // namespace orvo
