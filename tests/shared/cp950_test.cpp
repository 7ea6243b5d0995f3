#include "shared/cp950.h"

#include <gtest/gtest.h>

#include "shared/errlog.h"
#include "support/fake_host.h"

namespace orvo {
namespace {

TEST(Cp950, EncodesBig5AndReplacesWhatItCannot) {
  EXPECT_EQ(to_cp950("發票"), "\xB5\x6F\xB2\xBC");
  EXPECT_EQ(to_cp950("AB\x1b@"), "AB\x1b@");
  EXPECT_EQ(to_cp950("a😀b"), "a?b");                // outside the code page
  EXPECT_EQ(to_cp950("a\xFF\xC3z"), "a??z");        // not UTF-8
  EXPECT_EQ(to_cp950("元\xE5\x85"), "\xA4\xB8??");  // each stray byte is one character
  EXPECT_EQ(from_cp950(to_cp950("消費合計: 1,250元")), "消費合計: 1,250元");
  // An unmapped pair is one character; a lead byte before a non-trail byte only itself.
  EXPECT_EQ(from_cp950("A\xA3\xFE" "B"), "A\xEF\xBF\xBD" "B");
  EXPECT_EQ(from_cp950("A\xA4\x20" "B"), "A\xEF\xBF\xBD B");
  EXPECT_EQ(from_cp950("A\xA4"), "A\xEF\xBF\xBD");
  EXPECT_EQ(byte_width("發票"), 4u);
  EXPECT_EQ(byte_width("T1 台"), 5u);
}

TEST(PadB, FieldsOfExactByteWidth) {
  struct Case {
    Variant text;
    Variant width;
    const char* right;  // PadRightB
    const char* left;   // PadLeftB
  } cases[] = {
      {Variant("台北"), Variant(6), "台北  ", "  台北"},
      {Variant(12500), Variant(7), "12500  ", "  12500"},
      {Variant(""), Variant(3), "   ", "   "},
      {Variant(), Variant(2), "  ", "  "},
      {Variant("123456789"), Variant(7), "1234567", "1234567"},
      // A double-byte character straddling the cut is dropped; the field stays 5 bytes.
      {Variant("ab台北"), Variant(5), "ab台 ", "ab台 "},
      {Variant("台北市"), Variant(3), "台 ", "台 "},
      {Variant("abc"), Variant("x"), "", ""},
      {Variant("abc"), Variant(0), "", ""},
      {Variant("a😀"), Variant(3), "a😀 ", " a😀"},  // "?" counts one byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PadRightB(c.text, c.width), c.right) << Str(c.text);
    EXPECT_EQ(PadLeftB(c.text, c.width), c.left) << Str(c.text);
  }
}

TEST(Helpers, PauseAndRocDate) {
  testing::FakeHost host;
  Pause(host, 0.5);
  Pause(host, 0.0004);
  EXPECT_EQ(host.sleeps, std::vector<long>{500});
  EXPECT_EQ(ROCDate8(host), "99/03/05");
  EXPECT_EQ(ROCDate8(host, Variant("2024/3/5")), "113/03/05");
  EXPECT_TRUE(host.boxes.empty());
}

TEST(Helpers, RocDateOfNonDateIsLoggedAndEmpty) {
  testing::FakeHost host;
  ::setenv("ORVO_ERROR_LOG", "/proc/no-such-dir/error.log", 1);
  EXPECT_EQ(ROCDate8(host, Variant("not a date")), "");
  ::unsetenv("ORVO_ERROR_LOG");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text.rfind("處理程序: (ROCDate8)\r\n執行錯誤, 代碼: 13\r\n", 0), 0u);
}

}  // namespace
}  // namespace orvo
