// Chinese numerals live in the shared utilities; the page layouts are their only users.
#include "shared/numerals.h"

#include <gtest/gtest.h>

#include "support/fake_host.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

TEST(Num2Cstr8, EightBoxesOfNumerals) {
  testing::TempDir dir;
  testing::ScopedEnv log("ORVO_ERROR_LOG", (dir / "error.log").c_str());
  struct Case {
    Variant amount;
    const char* numerals;
  } cases[] = {
      {12500, "零零零壹貳伍零零"},
      {0, "零零零零零零零零"},
      {12345678, "壹貳參肆伍陸柒捌"},
      {90909090, "玖零玖零玖零玖零"},
      {12.5, "零零零零壹貳伍"},  // the point pads but adds no numeral
      {-5, "零零零零零零伍"},
      {"1,050", "零零零壹零伍零"},
      {" 7", "零零零零零零柒"},
      {Variant(), "零零零零零零零零"},
      {"ABC", ""},
      {"", ""},
      {Variant::null(), ""},
  };
  testing::FakeHost host;
  for (const Case& c : cases) EXPECT_EQ(Num2Cstr8(host, c.amount), c.numerals) << Str(c.amount);
  EXPECT_TRUE(host.boxes.empty());

  // Nine characters do not fit the eight boxes: reported, and nothing printed.
  const Variant too_long_amounts[] = {123456789, -1234567.5};
  for (const Variant& too_long : too_long_amounts) {
    host.boxes.clear();
    EXPECT_EQ(Num2Cstr8(host, too_long), "");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text,
              "處理程序: (basBase_Num2Cstr8)\r\n執行錯誤, 代碼: 5\r\n訊息: \r\n"
              "     Invalid procedure call or argument\r\n\r\n");
  }
}

}  // namespace
}  // namespace orvo
