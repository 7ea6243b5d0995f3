// WINLQM1: one invoice form, moved down by txtWINLQM1, with the remark in the heading and always
// in the item row.
#include "support/page_fixture.h"

namespace orvo::testing {
namespace {

class Winlqm1Test : public PageTest {};

const std::string kFormat = "1000|<2850|>1350|>1100|>2000|>200|<2600;";

// The typical sale with txtWINLQM1 = -200: everything 200 twips up.
const std::vector<Drawn> kTexts = {
    {5200, 1050, "99", 10},         {5950, 1050, "03", 10},         {6750, 1050, "05", 10},
    {2100, 1300, "AB12345249", 10}, {2100, 1500, "桌號:A12-1", 10}, {2100, 2000, "24536806", 10},
    {8610, 1500, "A0001", 10},      {8610, 2000, "請再度光臨", 10}, {7200, 5150, "    1,000", 11},
    {7200, 5700, "       50", 11},  {2850, 5800, "V", 11},          {7200, 6200, "    1,050", 11},
    {2450, 6600, "零", 10},         {3080, 6600, "零", 10},         {3710, 6600, "零", 10},
    {4340, 6600, "零", 10},         {4970, 6600, "零", 10},         {5600, 6600, "壹", 10},
    {6230, 6600, "零", 10},         {6860, 6600, "伍", 10},         {7490, 6600, "零", 10}};

TEST_F(Winlqm1Test, OneFormMovedByItsOffset) {
  settings("txtWINLQM1=-200\n");
  queues->installed = {"WiseInv", "WINLQM1"};
  ASSERT_TRUE(print("WINLQM1"));
  EXPECT_EQ(texts(), kTexts);
  // The empty row moves the item row down one line (10 points x 25 in the fixed metrics).
  EXPECT_EQ(tables(), (std::vector<Table>{
                          {0, 2700, kFormat, "|||||;", false},
                          {0, 2950, kFormat, "|消費合計|1|1,000|1,000||請再度光臨;", false}}));
  expect_settings(100, 0, 6);
  EXPECT_EQ(Str(printer.PageCount), "1");
  ASSERT_EQ(queues->jobs.size(), 1u);
  EXPECT_EQ(queues->jobs[0].queue, "WINLQM1");
}

TEST_F(Winlqm1Test, OffsetRemarkSwitchAndAZeroAmount) {
  const struct {
    const char* settings;
    Variant amount;
    double dy;
    std::vector<std::string> heading_remark;  // what prints at (8610, 2200)
    std::string item_row, total;
    std::string numerals;
  } cases[] = {
      {"txtWINLQM1=abc\n",
       1050,
       0,
       {"請再度光臨"},
       "|消費合計|1|1,000|1,000||請再度光臨;",
       "    1,050",
       "零零零零零壹零伍零"},
      {"txtWINLQM1=35.5\nchkNoRemark=Y\n",
       1050,
       35.5,
       {},
       "|消費合計|1|1,000|1,000||請再度光臨;",
       "    1,050",
       "零零零零零壹零伍零"},
      {"", 0, 0, {"請再度光臨"}, "|消費合計|1|0|0||請再度光臨;", "        0", "零零零零零零零零零"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings);
    settings(c.settings);
    printer.InvAmt = c.amount;
    ASSERT_TRUE(print("WINLQM1"));
    std::vector<std::string> remark;
    std::string total, numerals;
    for (const Drawn& d : texts()) {
      if (d.x == 8610 && d.y == 2200 + c.dy) remark.push_back(d.text);
      if (d.x == 7200 && d.y == 6400 + c.dy) total = d.text;
      if (d.y == 6800 + c.dy) numerals += d.text;
    }
    EXPECT_EQ(remark, c.heading_remark);
    EXPECT_EQ(total, c.total);
    EXPECT_EQ(numerals, c.numerals);
    ASSERT_EQ(tables().size(), 2u);
    EXPECT_EQ(tables()[0].y, 2900 + c.dy);
    EXPECT_EQ(tables()[1].body, c.item_row);
  }
}

TEST_F(Winlqm1Test, TheFormReadsBackFromThePdf) {
  settings("txtWINLQM1=-200\n");
  const auto words = print_pdf("WINLQM1");
  expect_placed(words, kTexts);
  const double row = tables().at(1).y;
  expect_cells(words, {{"消費合計", 1000, 3850, row, false},
                       {"1", 3850, 5200, row, true},
                       {"1,000", 5200, 6300, row, true},
                       {"1,000", 6300, 8300, row, true},
                       {"請再度光臨", 8500, 11100, row, false}});
}

}  // namespace
}  // namespace orvo::testing
