#include "shared/cp950.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <string>

#include "shared/case_file.h"
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
  // Overlong forms, surrogates and values past U+10FFFF: every byte is a stray.
  for (const char* bad : {"\x80", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80"}) {
    EXPECT_EQ(to_cp950(bad), std::string(std::strlen(bad), '?')) << bad;
    EXPECT_EQ(byte_width(bad), std::strlen(bad)) << bad;
  }
  EXPECT_EQ(from_cp950(to_cp950("消費合計: 1,250元")), "消費合計: 1,250元");
  // An unmapped pair is one character; a lead byte before a non-trail byte only itself.
  EXPECT_EQ(from_cp950("A\xA3\xFE" "B"), "A\xEF\xBF\xBD" "B");
  EXPECT_EQ(from_cp950("A\xA4\x20" "B"), "A\xEF\xBF\xBD B");
  EXPECT_EQ(from_cp950("A\xA4"), "A\xEF\xBF\xBD");
  EXPECT_EQ(byte_width("發票"), 4u);
  EXPECT_EQ(byte_width("T1 台"), 5u);
}

// What iconv itself makes of one character: the encoder must agree on every one it sees.
std::string iconv_cp950(const std::string& utf8) {
  const iconv_t cd = iconv_open("CP950", "UTF-8");
  char out[16];
  char* src = const_cast<char*>(utf8.data());
  std::size_t src_left = utf8.size();
  char* dst = out;
  std::size_t dst_left = sizeof out;
  const std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  return r == static_cast<std::size_t>(-1) ? "?" : std::string(out, dst);
}

std::string utf8_of(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

TEST(Cp950, EveryCharacterEncodesAsIconvHasIt) {
  std::string line, expected;
  std::size_t mapped = 0;
  for (char32_t cp = 1; cp <= 0x10FFFF; cp = cp < 0x10000 ? cp + 1 : cp + 0x1F7) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string ch = utf8_of(cp);
    const std::string want = iconv_cp950(ch);
    mapped += want != "?";
    // Twice: the first asks iconv, the second reads what was kept.
    for (int pass = 0; pass < 2; ++pass) {
      ASSERT_EQ(to_cp950(ch), want) << "U+" << std::hex << static_cast<unsigned>(cp);
      ASSERT_EQ(byte_width(ch), want.size()) << "U+" << std::hex << static_cast<unsigned>(cp);
    }
    if (cp % 97 == 0) line += ch, expected += want;
  }
  EXPECT_GT(mapped, 13000u);  // the Big5 set is there at all
  EXPECT_EQ(to_cp950(line), expected);
  EXPECT_EQ(byte_width(line), expected.size());
  std::string appended = "ab";
  append_cp950(appended, "發\xFF票");
  EXPECT_EQ(appended, "ab\xB5\x6F?\xB2\xBC");
}

TEST(PadB, FieldsOfExactByteWidth) {
  for (const auto& c : testing::read_cases("shared/data/pad.tsv")) {
    const Variant text = testing::case_value(c[0]), width = testing::case_value(c[1]);
    EXPECT_EQ(PadRightB(text, width), c[2]) << c[0];
    EXPECT_EQ(PadLeftB(text, width), c[3]) << c[0];
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
