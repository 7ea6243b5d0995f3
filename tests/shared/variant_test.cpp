#include "shared/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "shared/case_file.h"
#include "shared/errors.h"

namespace orvo {
namespace {

using testing::case_value;

int error_number(auto&& fn) {
  try {
    fn();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

// "error N" for a call that raises N, else what `fn` gives as text.
std::string outcome(auto&& fn) {
  try {
    return fn();
  } catch (const Error& e) {
    return "error " + std::to_string(e.number());
  }
}

std::string number_or_error(auto&& fn) {
  return outcome([&] {
    char s[40];
    std::snprintf(s, sizeof s, "%.17g", fn());
    return std::string(s);
  });
}

std::string expected_number(const std::string& s) {
  return s.starts_with("error") ? s : number_or_error([&] { return std::stod(s); });
}

TEST(TextForm, OfEveryKind) {
  for (const auto& c : testing::read_cases("shared/data/text_form.tsv"))
    EXPECT_EQ(Str(case_value(c[0])), c[1]) << c[0];
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
  for (const auto& c : testing::read_cases("shared/data/number.tsv")) {
    EXPECT_EQ(number_or_error([&] { return Num(case_value(c[0])); }), expected_number(c[1]))
        << c[0];
    if (c[1] == "error 13") {
      EXPECT_FALSE(IsNumeric(case_value(c[0]))) << c[0];
    }
  }
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
  for (const auto& c : testing::read_cases("shared/data/val.tsv")) {
    EXPECT_EQ(Val(case_value(c[0])), std::stod(c[1])) << c[0];
    if (c[0].starts_with('"')) {
      EXPECT_EQ(Val(Str(case_value(c[0]))), std::stod(c[1])) << c[0];
    }
  }
  EXPECT_TRUE(std::signbit(Val("-0")));
  EXPECT_FALSE(std::signbit(Val(Variant(-0.0))));  // its text form is "0"
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
  for (const auto& c : testing::read_cases("shared/data/date.tsv")) {
    EXPECT_EQ(outcome([&] {
                const CivilTime t = civil_from_date(CDate(case_value(c[0])));
                char s[40];
                std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                              t.hour, t.minute, t.second);
                return std::string(s);
              }),
              c[1])
        << c[0];
  }
}

TEST(Format, NumberAndDatePatterns) {
  for (const auto& c : testing::read_cases("shared/data/format.tsv"))
    EXPECT_EQ(Format(case_value(c[0]), c[1]), c[2]) << c[0] << " " << c[1];
}

}  // namespace
}  // namespace orvo
