#include <functional>

#include "direct_job.h"
#include "layouts/roll/ktv420.h"
#include "support/printer_fixture.h"

namespace orvo::testing {
namespace {

// The heading of a sale with no heading texts, no buyer and no check number.
std::string bare_heading(const std::string& check = "5678") {
  return feed(1) + feed(1) + feed(1) + feed(1) + "日期:2010-03-05  14:30\n" + "收銀員:    U1\n" +
         "檢碼(" + check + ") 機   1  \n" + "包廂代號:V12\n" + feed(1);
}

class KTV420Test : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    printer.InvPrintType(Variant("KTV420"));
    printer.InvNo(Variant("AB12345678"));
    printer.UserID = Variant("U1");
    printer.POSID = Variant(1);
    printer.TblName = Variant("V12");
  }
};

TEST_F(KTV420Test, SummaryOfAKaraokeRoom) {
  printer.Head0 = Variant("星光大道KTV");
  printer.Head2 = Variant("信義店");
  printer.InvNo(Variant("QK20481357"));
  printer.UserID = Variant("K07");
  printer.POSID = Variant(5);
  printer.BNo = Variant("53012345");
  printer.SCharge = Variant(1800);
  printer.InvAmt = Variant(3980);
  printer.Remark = Variant("歡唱3小時");
  MemoryRecordset items({{{"itemname", Variant("not read")}}});
  ASSERT_TRUE(printer.PrintInv(Variant("Y"), items));
  // The remark has no line end: the one-line feed after it prints it.
  const std::string expected =
      kRollStart + "星光大道KTV             \n" + feed(1) + "信義店                  \n" + feed(1) +
      "日期:2010-03-05  14:30\n" + "收銀員:   K07\n" + "檢碼(1357) 機   5  \n" + "包廂代號:V12\n" +
      "客戶統編: 53012345\n" + "歡唱3小時               " + feed(1) + "  餐飲費:  2,076元 \n" +
      "  包廂費:  1,714元 \n" + "   稅 額:    190元 \n" + "           合 計:3,980元\n" + feed(20) +
      kRollEnd;
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.OrderAmt), "2180");
  EXPECT_EQ(Str(printer.SCharge), "1800");
  EXPECT_EQ(Str(printer.PageCount), "1");
}

TEST_F(KTV420Test, SplitIntoFoodRoomAndTaxWrittenBack) {
  const struct {
    const char* name;
    Variant amount, room_charge;
    std::string split;  // the three amount lines and the total
    const char* order_after;
    const char* room_charge_after;
  } cases[] = {
      {"all food and drink", Variant(1050), Variant(0),
       "  餐飲費:  1,000元 \n  包廂費:      0元 \n   稅 額:     50元 \n           合 計:1,050元\n",
       "1050", "0"},
      {"a room charge above the total is capped at it", Variant(100), Variant(150),
       "  餐飲費:      0元 \n  包廂費:     95元 \n   稅 額:      5元 \n             合 計:100元\n", "0",
       "100"},
      {"a room charge equal to the total stays as given", Variant("1,050"), Variant(1050),
       "  餐飲費:      0元 \n  包廂費:  1,000元 \n   稅 額:     50元 \n           合 計:1,050元\n",
       "0", "1050"},
      {"texts with grouping", Variant("1,050"), Variant(" 210 "),
       "  餐飲費:    800元 \n  包廂費:    200元 \n   稅 額:     50元 \n           合 計:1,050元\n",
       "840", " 210 "},
      {"food at a half rounds to even: 12.5 gives 12", Variant(13.125), Variant(0),
       "  餐飲費:     12元 \n  包廂費:      0元 \n   稅 額:      1元 \n              合 計:13元\n",
       "13.125", "0"},
      {"the room at a half rounds to even: 2.5 gives 2", Variant("2.625"), Variant(5),
       "  餐飲費:      0元 \n  包廂費:      2元 \n   稅 額:      1元 \n               合 計:3元\n",
       "0", "2.625"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    printer.InvAmt = c.amount;
    printer.SCharge = c.room_charge;
    printer.OrderAmt = Variant(-1);
    MemoryRecordset closed;
    ASSERT_TRUE(printer.PrintInv(Variant("N"), closed));
    EXPECT_EQ(captured(),
              to_cp950(kRollStart + bare_heading() + feed(1) + c.split + feed(21) + kRollEnd));
    EXPECT_EQ(Str(printer.OrderAmt), c.order_after);
    EXPECT_EQ(Str(printer.SCharge), c.room_charge_after);
  }
}

TEST_F(KTV420Test, HeadingLines) {
  const struct {
    const char* name;
    std::function<void(InvPrinter&)> sale;
    std::string heading;
  } cases[] = {
      {"the bill number in place of the room", [](InvPrinter& p) { p.CheckNo = Variant("A0001"); },
       feed(1) + feed(1) + feed(1) + feed(1) + "日期:2010-03-05  14:30\n收銀員:    U1\n"
       "檢碼(5678) 機   1  \n帳單:A0001\n" + feed(1)},
      {"texts cut to their columns",
       [](InvPrinter& p) {
         p.Head1 = Variant("台北市信義區松壽路12號3樓之1"), p.UserID = Variant("王小明AB");
         p.POSID = Variant(12345), p.BNo = Variant("5");
       },
       feed(1) + "台北市信義區松壽路12號3 \n" + feed(1) + feed(1) +
           "日期:2010-03-05  14:30\n收銀員:王小明\n檢碼(5678) 機1234  \n包廂代號:V12\n"
           "客戶統編: 5\n"},
      {"an invoice number shorter than four prints whole",
       [](InvPrinter& p) { p.InvNo(Variant("A1")); }, bare_heading("A1")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InvPrinter p(host);
    wire(p);
    p.InvPrintType(Variant("KTV420"));
    p.InvNo(Variant("AB12345678"));
    p.UserID = Variant("U1"), p.POSID = Variant(1), p.TblName = Variant("V12");
    p.InvAmt = Variant(0);
    c.sale(p);
    MemoryRecordset closed;
    ASSERT_TRUE(p.PrintInv(Variant("N"), closed));
    EXPECT_EQ(captured().substr(0, to_cp950(kRollStart + c.heading).size()),
              to_cp950(kRollStart + c.heading));
  }
}

TEST(InvHeadKTV, EndsAFullFormWithoutANewNumberOrPrompt) {
  DirectJob d;
  d.inv_no = Variant("AB12345249");
  d.inv.UserID = Variant("U1"), d.inv.POSID = Variant(1), d.inv.TblName = Variant("V12");
  std::int16_t page = 1, line = 24;
  InvHeadKTV(d.job, d.out, page, line);
  EXPECT_EQ(d.bytes(), "");
  EXPECT_EQ(line, 24);

  line = 25;
  InvHeadKTV(d.job, d.out, page, line);
  EXPECT_EQ(d.bytes(), to_cp950(feed(11) + kRollEnd + bare_heading("5249")));
  EXPECT_EQ(page, 2);
  EXPECT_EQ(line, 10);
  EXPECT_TRUE(d.host.prompts.empty());
}

}  // namespace
}  // namespace orvo::testing
