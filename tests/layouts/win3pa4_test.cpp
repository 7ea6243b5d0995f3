// The A4 sheets of three invoice copies: WIN3PA4 (moved by its offset settings) and WIN3PA4B.
#include "support/page_fixture.h"

namespace orvo::testing {
namespace {

class Win3pa4Test : public PageTest {};

struct Sheet {
  std::vector<Drawn> texts;
  std::vector<Table> tables;
};

// The first copy as given, then the same moved down by `height` twice.
Sheet three_parts(const Sheet& first, double height) {
  Sheet all;
  for (int part = 0; part < 3; ++part) {
    for (Drawn d : first.texts) all.texts.push_back((d.y += part * height, d));
    for (Table t : first.tables) all.tables.push_back((t.y += part * height, t));
  }
  return all;
}

// The typical sale: a buyer number, so 1,050 splits into 1,000 and 50.
const std::string kItemRow = "|消費合計|1|1,000|1,000||請再度光臨;";

// With txtWIN3PA4_X = 150 and txtWIN3PA4_Y = 40.5.
const std::vector<Drawn> kWin3pa4Texts = {
    {5537, 790.5, "99", 9},        {6387, 790.5, "03", 9},         {7238, 790.5, "05", 9},
    {7805, 790.5, "14:30", 9},     {1650, 940.5, "AB12345249", 9}, {6700, 1140.5, "A0001", 9},
    {1650, 1340.5, "24536806", 9}, {6700, 1640.5, "A12-1", 9},     {2450, 4090.5, "V", 9},
    {2630, 4870.5, "零", 9},       {3210, 4870.5, "零", 9},        {3770, 4870.5, "零", 9},
    {4330, 4870.5, "零", 9},       {4890, 4870.5, "壹", 9},        {5450, 4870.5, "零", 9},
    {6050, 4870.5, "伍", 9},       {6650, 4870.5, "零", 9}};
const Sheet kWin3pa4 =
    three_parts({kWin3pa4Texts,
                 {{0, 2478.5, "950|<3000|>400|>1200|>1500|<300|<2500;", kItemRow, true},
                  {0, 3896.5, "5550|>1500;", "|1,000;", true},
                  {0, 4090.5, "5550|>1500;", "|50;", true},
                  {0, 4490.5, "5550|>1500;", "|1,050;", true}}},
                5620);

const std::vector<Drawn> kWin3pa4bTexts = {
    {5200, 800, "99", 9},        {6000, 800, "03", 9},          {6900, 800, "05", 9},
    {7655, 800, "14:30", 9},     {1500, 1200, "AB12345249", 9}, {6550, 1200, "A0001", 9},
    {1500, 1450, "24536806", 9}, {6550, 1600, "A12-1", 9},      {4500, 4050, "V", 9},
    {2100, 4550, "零", 9},       {3000, 4550, "零", 9},         {4000, 4550, "零", 9},
    {4900, 4550, "壹", 9},       {5900, 4550, "零", 9},         {6800, 4550, "伍", 9},
    {7800, 4550, "零", 9}};
const Sheet kWin3pa4b =
    three_parts({kWin3pa4bTexts,
                 {{0, 2500, "800|<5000|>500|>1200|>1500|<100|<2700;", kItemRow, true},
                  {0, 3856, "7400|>1500;", "|1,000;", true},
                  {0, 4050, "7400|>1500;", "|50;", true},
                  {0, 4250, "7400|>1500;", "|1,050;", true}}},
                5600);

TEST_F(Win3pa4Test, ThreeCopiesAtTheirPositionsOnOneSheet) {
  // WIN3PA4B has no offsets: the same settings leave it where it is.
  settings("txtWIN3PA4_X=150\ntxtWIN3PA4_Y=40.5\n");
  for (const auto& [type, sheet] : {std::pair{"WIN3PA4", &kWin3pa4}, {"WIN3PA4B", &kWin3pa4b}}) {
    SCOPED_TRACE(type);
    queues->jobs.clear();
    ASSERT_TRUE(print(type));
    EXPECT_EQ(texts(), sheet->texts);
    EXPECT_EQ(tables(), sheet->tables);
    EXPECT_EQ(vsp().document().pages.size(), 1u);
    for (page::Margin m :
         {page::Margin::Left, page::Margin::Top, page::Margin::Right, page::Margin::Bottom}) {
      EXPECT_EQ(vsp().margin(m), 0);
    }
    expect_settings(90, 0, 0);
    ASSERT_EQ(queues->jobs.size(), 1u);
    EXPECT_EQ(queues->jobs[0].queue, "Office");  // neither type's queue is installed
    EXPECT_EQ(queues->jobs[0].title, "AB12345249");
    EXPECT_TRUE(printer.PageCount.is_empty());  // the sheets count no forms
  }
}

TEST_F(Win3pa4Test, TheOffsetsAreTheSettingsLeadingNumbers) {
  const struct {
    const char *x, *y;
    double dx, dy;
    std::string item_format, amount_format;
  } cases[] = {
      {"", "", 0, 0, "800|<3000|>400|>1200|>1500|<300|<2500;", "5400|>1500;"},
      {"abc", "12.5mm", 0, 12.5, "800|<3000|>400|>1200|>1500|<300|<2500;", "5400|>1500;"},
      {"-50", " 1e2", -50, 100, "750|<3000|>400|>1200|>1500|<300|<2500;", "5350|>1500;"},
      {"0.5", "-0", 0.5, 0, "800.5|<3000|>400|>1200|>1500|<300|<2500;", "5400.5|>1500;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.x) + " / " + c.y);
    settings(std::string("txtWIN3PA4_X=") + c.x + "\ntxtWIN3PA4_Y=" + c.y + "\n");
    ASSERT_TRUE(print("WIN3PA4"));
    const auto drawn = texts();
    ASSERT_EQ(drawn.size(), 3 * 17u);
    EXPECT_EQ(drawn[4], (Drawn{1500 + c.dx, 900 + c.dy, "AB12345249", 9}));
    EXPECT_EQ(drawn[17 + 4].y, 6520 + c.dy);
    const auto made = tables();
    ASSERT_EQ(made.size(), 12u);
    EXPECT_EQ(made[0].format, c.item_format);
    EXPECT_EQ(made[0].y, 2438 + c.dy);
    for (std::size_t t : {1u, 2u, 3u, 5u, 11u}) EXPECT_EQ(made[t].format, c.amount_format);
  }
}

TEST_F(Win3pa4Test, SalesTaxRemarkAndDateOfEachSale) {
  const struct {
    Variant bno, amount, remark, date;
    const char* no_remark;
    std::string item_row, sales, tax;
    const char* date_parts;  // year, month and day as drawn; "" where not checked
  } cases[] = {
      {"", 1050, "", "2010/3/5", "N", "|消費合計|1|1,050|1,050||;", "|1,050;", "|0;", "99 03 05"},
      {"   ", 1050, "請再度光臨", "2015-1-2", "N", "|消費合計|1|1,050|1,050||請再度光臨;",
       "|1,050;", "|0;", "104 01 02"},
      {"24536806", 1050, "請再度光臨", "1916/12/31", "Y", "|消費合計|1|1,000|1,000||;", "|1,000;",
       "|50;", "05 12 31"},
      // 1000 / 1.05 = 952.38; 952 x 0.05 = 47.6.
      {"24536806", 1000, "", "2010/3/5", "N", "|消費合計|1|952|952||;", "|952;", "|48;", ""},
      // 52 / 1.05 = 49.5 gives 50, and 2.5 goes to the even 2.
      {"24536806", "52", "", "2010/3/5", "N", "|消費合計|1|50|50||;", "|50;", "|2;", ""},
      {Variant::null(), 105, "", "2010/3/5", "N", "|消費合計|1|100|100||;", "|100;", "|5;", ""},
      {"", "abc", "", "2010/3/5", "N", "|消費合計|1|abc|abc||;", "|abc;", "|0;", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Str(c.bno) + " " + Str(c.amount) + " " + Str(c.date));
    settings(std::string("chkNoRemark=") + c.no_remark + "\n");
    printer.BNo = c.bno;
    printer.InvAmt = c.amount;
    printer.Remark = c.remark;
    printer.InvDate = c.date;
    ASSERT_TRUE(print("WIN3PA4"));
    const auto made = tables();
    ASSERT_EQ(made.size(), 12u);
    EXPECT_EQ(made[0].body, c.item_row);
    EXPECT_EQ(made[1].body, c.sales);
    EXPECT_EQ(made[2].body, c.tax);
    if (*c.date_parts) {
      const auto drawn = texts();
      EXPECT_EQ(drawn[0].text + " " + drawn[1].text + " " + drawn[2].text, c.date_parts);
    }
  }
}

TEST_F(Win3pa4Test, TheSheetsReadBackFromThePdfAtTheirPositions) {
  settings("txtWIN3PA4_X=150\ntxtWIN3PA4_Y=40.5\n");
  const struct {
    const char* type;
    const Sheet* sheet;
    std::vector<Cell> cells;
  } cases[] = {
      {"WIN3PA4",
       &kWin3pa4,
       {{"消費合計", 950, 3950, 2478.5, false},
        {"1", 3950, 4350, 2478.5, true},
        {"1,000", 4350, 5550, 2478.5, true},
        {"1,000", 5550, 7050, 2478.5, true},
        {"請再度光臨", 7350, 9850, 2478.5, false},
        {"1,000", 5550, 7050, 3896.5, true},
        {"50", 5550, 7050, 4090.5, true},
        {"1,050", 5550, 7050, 15730.5, true}}},
      {"WIN3PA4B",
       &kWin3pa4b,
       {{"消費合計", 800, 5800, 2500, false},
        {"1", 5800, 6300, 2500, true},
        {"1,000", 6300, 7500, 2500, true},
        {"1,000", 7500, 9000, 2500, true},
        {"請再度光臨", 9100, 11800, 2500, false},
        {"50", 7400, 8900, 4050, true},
        {"1,050", 7400, 8900, 15450, true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    const auto words = print_pdf(c.type);
    expect_placed(words, c.sheet->texts);
    expect_cells(words, c.cells);
  }
}

}  // namespace
}  // namespace orvo::testing
