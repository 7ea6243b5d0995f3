// WINLQ3P: one small form in size 8, moved down by txtWINLQ3P within (0, 2000) or else by 1000,
// with the remark at the foot only.
#include "support/page_fixture.h"

namespace orvo::testing {
namespace {

class Winlq3pTest : public PageTest {};

const std::string kFormat = "800|1700|>400|>700|>700;";

// The typical sale without the offset setting: 1000 down.
const std::vector<Drawn> kTexts = {
    {1600, 2250, "99", 8},         {2100, 2250, "03", 8},        {2700, 2250, "05", 8},
    {1300, 2500, "好味餐廳", 8},   {1600, 2750, "A0001", 8},     {1600, 3250, "24536806", 8},
    {1600, 3700, "AB12345249", 8}, {3450, 5150, "    1,000", 8}, {3450, 5350, "       50", 8},
    {3450, 5550, "    1,050", 8},  {1600, 5550, "V", 8},         {1490, 6050, "零", 8},
    {1820, 6050, "零", 8},         {2150, 6050, "零", 8},        {2480, 6050, "零", 8},
    {2810, 6050, "壹", 8},         {3140, 6050, "零", 8},        {3470, 6050, "伍", 8},
    {3800, 6050, "零", 8},         {2630, 6250, "請再度光臨", 8}};

TEST_F(Winlq3pTest, OneFormAtTheDefaultOffset) {
  queues->installed = {"WINLQ3P"};
  ASSERT_TRUE(print("WINLQ3P"));
  EXPECT_EQ(texts(), kTexts);
  EXPECT_EQ(tables(), (std::vector<Table>{{0, 4100, kFormat, "|||||;", false},
                                          {0, 4300, kFormat, "|消費合計|1|1,000|1,000;", false}}));
  expect_settings(90, 0, 3);
  EXPECT_TRUE(printer.PageCount.is_empty());
  ASSERT_EQ(queues->jobs.size(), 1u);
  EXPECT_EQ(queues->jobs[0].queue, "WINLQ3P");
}

TEST_F(Winlq3pTest, OnlyAnOffsetBetween0And2000CountsAndTheRemarkSwitchHidesTheFoot) {
  const struct {
    const char* setting;
    double dy;
  } cases[] = {{"", 1000},    {"0", 1000},  {"-5", 1000},       {"2000", 1000},
               {"abc", 1000}, {"300", 300}, {"1999.5", 1999.5}, {"0.25", 0.25}};
  for (const char* no_remark : {"N", "Y"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.setting) + " " + no_remark);
      settings(std::string("txtWINLQ3P=") + c.setting + "\nchkNoRemark=" + no_remark + "\n");
      ASSERT_TRUE(print("WINLQ3P"));
      const auto drawn = texts();
      ASSERT_GE(drawn.size(), 7u);
      EXPECT_EQ(drawn[6], (Drawn{1600, 2700 + c.dy, "AB12345249", 8}));
      EXPECT_EQ(drawn.back().text, *no_remark == 'Y' ? "零" : "請再度光臨");
      EXPECT_EQ(tables().at(0).y, 3100 + c.dy);
    }
  }
}

TEST_F(Winlq3pTest, TheFormReadsBackFromThePdf) {
  const auto words = print_pdf("WINLQ3P");
  expect_placed(words, kTexts);
  const double row = tables().at(1).y;
  expect_cells(words, {{"消費合計", 800, 2500, row, false},
                       {"1", 2500, 2900, row, true},
                       {"1,000", 2900, 3600, row, true},
                       {"1,000", 3600, 4300, row, true}});
}

}  // namespace
}  // namespace orvo::testing
