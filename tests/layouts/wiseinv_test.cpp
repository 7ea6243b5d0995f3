// WISEINV: one form hanging from the base txtM6X8base (within (0, 1500), else 500), with a left
// margin of 1200, its heading InvHead_WISEINV, the tax always split and the item row at the
// tax-inclusive amount.
#include "support/page_fixture.h"

namespace orvo::testing {
namespace {

class WiseinvTest : public PageTest {};

const std::string kFormat = "3850|>850|>1100|>1400|200|2600;";

// The typical sale at the base of 500.
const std::vector<Drawn> kTexts = {
    {2200, 500, "AB12345249", 9}, {2200, 750, "桌號:A12-1", 9},  {2200, 1000, "24536806", 9},
    {2200, 1500, "A0001", 9},     {5700, 1500, "99", 9},         {6200, 1500, "03", 9},
    {6700, 1500, "05", 9},        {7400, 4900, "    1,000", 11}, {7400, 5450, "       50", 11},
    {5400, 5600, "V", 11},        {7400, 6000, "    1,050", 11}, {7400, 6500, "    1,050", 11},
    {2550, 6500, "零", 9},        {2990, 6500, "零", 9},         {3410, 6500, "零", 9},
    {3830, 6500, "零", 9},        {4260, 6500, "壹", 9},         {4680, 6500, "零", 9},
    {5100, 6500, "伍", 9},        {5520, 6500, "零", 9}};

TEST_F(WiseinvTest, OneFormFromTheDefaultBaseOnTheWiseInvQueue) {
  ASSERT_TRUE(print("WISEINV"));
  EXPECT_EQ(texts(), kTexts);
  EXPECT_EQ(tables(), (std::vector<Table>{
                          {1200, 1750, kFormat, "|||||;", false},
                          {1200, 1975, kFormat, "消費合計|1|1,050|1,050||請再度光臨;", false}}));
  EXPECT_EQ(vsp().margin(page::Margin::Left), 1200);
  expect_settings(120, 70, 6);
  EXPECT_EQ(printer.options().wise_base_y, Variant(500));
  EXPECT_EQ(Str(printer.PageCount), "1");
  // Not installed, and chosen all the same.
  ASSERT_EQ(queues->jobs.size(), 1u);
  EXPECT_EQ(queues->jobs[0].queue, "WiseInv");
}

TEST_F(WiseinvTest, OnlyABaseBetween0And1500CountsAndTheTaxIsSplitWithoutABuyer) {
  const struct {
    const char* setting;
    double base;
  } cases[] = {{"", 500},  {"0", 500},   {"-1", 500},       {"1500", 500},
               {"x", 500}, {"200", 200}, {"1499.5", 1499.5}};
  printer.BNo = Variant("");
  printer.InvAmt = Variant(105);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    settings(std::string("txtM6X8base=") + c.setting + "\n");
    ASSERT_TRUE(print("WISEINV"));
    EXPECT_EQ(printer.options().wise_base_y, Variant(c.base));
    const auto drawn = texts();
    ASSERT_EQ(drawn.size(), 19u);  // no buyer number
    EXPECT_EQ(drawn[0], (Drawn{2200, c.base, "AB12345249", 9}));
    EXPECT_EQ(drawn[5], (Drawn{6700, c.base + 1000, "05", 9}));
    EXPECT_EQ(drawn[6], (Drawn{7400, c.base + 4400, "      100", 11}));
    EXPECT_EQ(drawn[7], (Drawn{7400, c.base + 4950, "        5", 11}));
    EXPECT_EQ(drawn[18], (Drawn{5520, c.base + 6000, "伍", 9}));
    EXPECT_EQ(tables().at(1).body, "消費合計|1|105|105||請再度光臨;");
  }
}

TEST_F(WiseinvTest, TheFormReadsBackFromThePdf) {
  const auto words = print_pdf("WISEINV");
  expect_placed(words, kTexts);
  const double row = tables().at(1).y;
  expect_cells(words, {{"消費合計", 1200, 5050, row, false},
                       {"1", 5050, 5900, row, true},
                       {"1,050", 5900, 7000, row, true},
                       {"1,050", 7000, 8400, row, true},
                       {"請再度光臨", 8600, 11200, row, false}});
}

}  // namespace
}  // namespace orvo::testing
