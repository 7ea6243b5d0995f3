// Chinese numerals live in the shared utilities; the page layouts are their only users.
#include <gtest/gtest.h>

#include "shared/case_file.h"
#include "shared/numerals.h"
#include "support/fake_host.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

TEST(Num2Cstr8, EightBoxesOfNumerals) {
  testing::TempDir dir;
  testing::ScopedEnv log("ORVO_ERROR_LOG", (dir / "error.log").c_str());
  testing::FakeHost host;
  for (const auto& c : testing::read_cases("page_printer_host/data/num2cstr8.tsv"))
    EXPECT_EQ(Num2Cstr8(host, testing::case_value(c[0])), c[1]) << c[0];
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
