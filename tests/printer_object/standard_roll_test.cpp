#include <algorithm>
#include <functional>

#include "support/printer_fixture.h"

namespace orvo::testing {
namespace {

using Row = MemoryRecordset::Row;

Row item(const char* name, const char* cap, double qty, double amt, const char* type,
         const char* remark = "", const char* kp = "K1", double price = 0) {
  return {{"itemname", Variant(name)}, {"PriceCap", Variant(cap)}, {"Qty", Variant(qty)},
          {"Price", Variant(price)},   {"Amt", Variant(amt)},      {"ItemType", Variant(type)},
          {"RefKPType", Variant(kp)},  {"Remark", Variant(remark)}};
}

class StandardRollTest : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    plain_sale(printer);
  }

  // The sale every table row starts from, on `p` wired to this test's port and settings.
  void plain_sale(InvPrinter& p) {
    wire(p);
    p.InvNo(Variant("AB12345678"));
    p.StoreID = Variant("S1"), p.UserID = Variant("U1"), p.POSID = Variant(1);
    p.InvAmt = Variant(1250);
  }
};

TEST_F(StandardRollTest, DetailSaleOnOneForm) {
  settings("chkPrintTime=Y\nchkInvNoS2A1=Y\n");
  printer.Head0 = Variant("好味餐廳");
  printer.Head1 = Variant("台北市中正區重慶南路1號");
  printer.Head3 = Variant("統編:12345678");
  printer.StoreID = Variant("S01");
  printer.UserID = Variant("王小明");
  printer.POSID = Variant("3");
  printer.CheckNo = Variant("A0001");
  printer.OrderAmt = Variant(1000);
  printer.SCharge = Variant("100");
  printer.Discount = Variant(0);
  printer.InvAmt = Variant(1100);
  printer.Remark = Variant("請再度光臨");
  printer.CCardNo = Variant("4311-1234");
  printer.BottomLine1 = Variant("謝謝光臨");
  printer.BottomLine2 = Variant(" ");
  MemoryRecordset rows({
      item("牛肉麵", "大", 2, 360, "A1"),
      item("招牌紅燒牛肉麵加大", "時價", 1, 280, "NT1"),
      item("紅利兌換", "", 2, 0, "BP", "50"),
      item("贈送小菜", "", 1, 0, "S2"),
      item("包廂費", "", 1, 100000, "X"),
  });
  ASSERT_TRUE(printer.PrintInv(Variant("Y"), rows));
  const std::string expected =
      kRollStart + "好味餐廳                \n" + "台北市中正區重慶南路1號 \n" + feed(1) +
      "統編:12345678           \n" + "日期:2010-03-05 14:30\n" + "S01         " + "   " +
      "  王小明\n" + "檢碼(5678) 機   3  頁:01\n" + "帳單:A0001\n" + feed(1) +
      "牛肉麵-大       2  360TX\n" + "招牌紅燒牛肉麵  1  280TZ\n" + "加大\r\n" +
      "紅利兌換        2  100點\n" + "包廂費          1 100000\n" + " \n" + " 小計:  1,000元 \n" +
      " 服務費:    100元 \n" + "       消費合計: 1,100元\n" + "信用卡號4311-1234\n" +
      "請再度光臨              \n" + "謝謝光臨\n" + feed(14) + kRollEnd;
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "1");
  EXPECT_TRUE(is_blank(printer.BottomLine1));
  EXPECT_EQ(Str(printer.BottomLine2), " ");
  EXPECT_TRUE(host->prompts.empty());
  EXPECT_EQ(printer.options().item_use_kp_type, "N");  // the setting is absent
}

struct ModeCase {
  const char* name;
  const char* settings;
  std::function<void(InvPrinter&)> setup;
  bool open_items;
  std::string heading;  // after the start commands
  std::string body;     // after the heading and the two-line gap
  int end_feed;
  bool with_deductions = true;  // the open rows hold deductions
};

Row deduction(const char* type, double amt, const char* kp = "") {
  return item("折價", "", 1, amt, type, "", kp, amt);
}

TEST_F(StandardRollTest, NonDetailModes) {
  const ModeCase cases[] = {
      {"total only", "", [](InvPrinter&) {}, false, roll_heading(), "       消費合計: 1,250元\n",
       23},
      {"cash and change", "chkPrintTime=N\n",
       [](InvPrinter& p) { p.Cash = Variant(2000), p.Change = Variant(750); }, false,
       roll_heading(), "       消費合計: 1,250元\n \n現收: 2000\n找零: 750\n", 20},
      {"zero invoice drops change and remark", "",
       [](InvPrinter& p) {
         p.InvAmt = Variant("0"), p.Change = Variant(5), p.Remark = Variant("x");
         p.BottomLine1 = Variant("B1"), p.BottomLine2 = Variant("B2");
       },
       false, roll_heading(), "           消費合計: 0元\n (發票歸零,無法對獎)\nB1\nB2\n", 20},
      {"remark unless suppressed", "chkNoRemark=y\n",
       [](InvPrinter& p) { p.Remark = Variant("歡迎"); }, false, roll_heading(),
       "       消費合計: 1,250元\n歡迎                    \n", 22},
      {"no remark, no bottom lines", "chkNoRemark=Y\nchkNoBottomLine=Y\n",
       [](InvPrinter& p) { p.Remark = Variant("歡迎"), p.BottomLine1 = Variant("B1"); }, false,
       roll_heading(), "       消費合計: 1,250元\n", 23},
      {"label from a T: remark, summary not used", "chkPrintMore=Y\ntxtInvTotalDscp=  合計  \n",
       [](InvPrinter& p) { p.Remark = Variant("T:外帶"); }, true, roll_heading(),
       "           外帶: 1,250元\n", 23},
      {"one-character table name and remark", "",
       [](InvPrinter& p) { p.TblName = Variant("收"), p.Remark = Variant("T"); }, false,
       roll_heading(), "             收: 1,250元\nT                       \n", 22},
      {"label from a table ending in 收", "txtInvTotalDscp=合計金額\n",
       [](InvPrinter& p) { p.TblName = Variant("外帶收"); }, false, roll_heading(),
       "         外帶收: 1,250元\n", 23},
      {"label from a table ending in 費", "", [](InvPrinter& p) { p.TblName = Variant("包廂費"); },
       false, roll_heading(), "         包廂費: 1,250元\n", 23},
      {"label from a table ending in 入", "",
       [](InvPrinter& p) { p.TblName = Variant("雜項收入"); }, false, roll_heading(),
       "       雜項收入: 1,250元\n", 23},
      {"deposit prints only the deposit and the first bottom line", "chkPrintMore=Y\n",
       [](InvPrinter& p) {
         p.TblName = Variant("收訂-王"), p.InvAmt = Variant(5000), p.Change = Variant(5);
         p.BottomLine1 = Variant("B1"), p.BottomLine2 = Variant("B2");
       },
       true, roll_heading(), "           訂金: 5,000元\nB1\n", 22},
      {"summary", "chkPrintMore=Y\n",
       [](InvPrinter& p) {
         p.OrderAmt = Variant(1000), p.SCharge = Variant(100), p.Discount = Variant(0);
         p.InvAmt = Variant(1020);
       },
       true, roll_heading(),
       "   餐 飲:  1,080元 \n  服務費:    100元 \n  扣抵項:    -30元 \n  IA抵扣:    -50元 \n"
       "--------------------\n    消費合計: 1,020元\n",
       18},
      {"summary prints each field as given, no food line without an order amount",
       "chkPrintMore=Y\n",
       [](InvPrinter& p) {
         p.OrderAmt = Variant(0), p.SCharge = Variant("1,000"), p.InvAmt = Variant(920);
       },
       true, roll_heading(),
       "  服務費:  1,000元 \n  扣抵項:    -30元 \n  IA抵扣:    -50元 \n"
       "--------------------\n    消費合計: 920元\n",
       19},
      {"summary without deductions", "chkPrintMore=Y\n",
       [](InvPrinter& p) { p.OrderAmt = Variant(1250); }, true, roll_heading(),
       "   餐 飲:  1,250元 \n--------------------\n    消費合計: 1,250元\n", 21, false},
      {"summary of food, no copy, table name and no user",
       "chkPrintMore=Y\ntxtInvTotalDscp=合計\nchkNoInvCopy=Y\nchkPrintTblName=Y\nchkNoUserID=Y\n",
       [](InvPrinter& p) {
         p.OrderAmt = Variant(1000), p.TaxAdd = Variant(3), p.InvAmt = Variant(1083);
         p.TblName = Variant("A3-2-1");
       },
       true, ESC + "c0\x02" + roll_heading({.table = "T: A3-", .user = "USERID"}),
       "   食 品:  1,080元 \n  溢  收:      3元 \n  扣抵項:    -30元 \n  IA抵扣:    -50元 \n"
       "--------------------\n    合計: 1,083元\n",
       18},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InvPrinter p(host);
    plain_sale(p);
    c.setup(p);
    settings(c.settings);
    MemoryRecordset open_rows({deduction("IA", -50), deduction("X", -30), deduction("X", -10, "K1"),
                               item("麵", "", 1, 100, "A1", "", "", 100),
                               item("贈品", "", 1, 5, "X", "", "", 0)});
    MemoryRecordset closed;
    MemoryRecordset plain({item("麵", "", 1, 100, "A1", "", "", 100)});
    Recordset& open = c.with_deductions ? static_cast<Recordset&>(open_rows) : plain;
    ASSERT_TRUE(p.PrintInv(Variant("y"), c.open_items ? open : closed));
    EXPECT_EQ(captured(),
              to_cp950(kRollStart + c.heading + feed(2) + c.body + feed(c.end_feed) + kRollEnd));
    EXPECT_EQ(Str(p.PageCount), "1");
  }
}

TEST_F(StandardRollTest, DetailEdges) {
  const std::string total = " \n       消費合計: 1,250元\n";
  const struct {
    const char* name;
    const char* settings;
    std::function<void(InvPrinter&)> setup;
    std::vector<Row> items;
    std::string body;  // after the heading, before the feed to the end of the form
  } cases[] = {
      {"names and amounts at the column edges", "", [](InvPrinter&) {},
       {item("牛肉麵加大碗公", "", 1, 99999, "A1"), item("ABCDEFGHIJKLMNOPQR", "", 2, 100, "A1"),
        item("贈送小菜", "", 1, 0, "S2"), item("牛肉麵加大碗公A", "", 1, 7, "A1")},
       "牛肉麵加大碗公  199999TX\nABCDEFG         2  100TX\nHIJKLMNOPQ\r\n"
       "贈送小菜        1    0TX\n牛肉麵加大碗公  1    7TX\nA\r\n" + total},
      {"zero items of the skipped types are left out", "chkInvNoS2A1=Y\n", [](InvPrinter&) {},
       {item("a", "", 1, 0, "S2"), item("b", "", 1, 0, "A1"), item("c", "", 1, 0, "T1"),
        item("d", "", 1, 0, "SX"), item("e", "", 1, 0, "AN"), item("f", "", 1, 0, "TN"),
        item("g", "", 1, 0, "NT"), item("h", "", 1, 5, "S2")},
       "g               1    0TZ\nh               1    5TX\n" + total},
      {"a remark of one space is not printed", "", [](InvPrinter& p) { p.Remark = Variant(" "); },
       {}, total},
      {"zero invoice", "", [](InvPrinter& p) { p.InvAmt = Variant(0); }, {},
       " \n           消費合計: 0元\n (發票歸零,無法對獎)\n"},
      {"no bottom lines", "chkNoBottomLine=Y\n",
       [](InvPrinter& p) { p.BottomLine1 = Variant("B1"), p.BottomLine2 = Variant("B2"); }, {},
       total},
      {"every payment line", "",
       [](InvPrinter& p) {
         p.CCardNo = Variant("C1"), p.CCardRef = Variant("C2"), p.VCardNo = Variant("V1");
         p.VCardRef = Variant("V2"), p.VCardBPoint = Variant(300), p.VCardBalPoint = Variant(12);
         p.UCardBalance = Variant(88);
       },
       {},
       total + "信用卡號C1\n調閱編號   =   C2\n儲值卡號V1\n調閱編號 = V2\n儲值餘額 = 300\n"
               "紅利餘點 = 12\n悠遊卡餘額 = 88\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings(c.settings);
    InvPrinter p(host);
    plain_sale(p);
    c.setup(p);
    MemoryRecordset rows(c.items);
    ASSERT_TRUE(p.PrintInv(Variant("Y"), rows));
    const std::string body = to_cp950(c.body);
    const int lines = static_cast<int>(std::count(body.begin(), body.end(), '\n'));
    EXPECT_EQ(captured(),
              to_cp950(kRollStart + roll_heading()) + body + to_cp950(feed(26 - lines) + kRollEnd));
    EXPECT_EQ(Str(p.BottomLine1), std::string(c.settings) == "chkNoBottomLine=Y\n" ? "B1" : "");
  }
}

TEST_F(StandardRollTest, DetailWithKitchenTypesHiddenQuantitiesOrNoItems) {
  settings("chkItemUseKPType=y\n");
  printer.BNo = Variant("24536806");
  printer.Remark = Variant("InvNoPrintQty");
  MemoryRecordset rows({item("牛肉麵", "", 3, 540, "A1", "", "熱炒")});
  ASSERT_TRUE(printer.PrintInv(Variant("Y"), rows));
  const std::string heading = roll_heading().substr(0, roll_heading().size() - 3);
  const std::string totals = " \n       消費合計: 1,250元\nInvNoPrintQty           \n";
  EXPECT_EQ(captured(), to_cp950(kRollStart + heading + "客戶統編: 24536806\n" +
                                 "熱炒               540TX\n" + totals + feed(22) + kRollEnd));
  MemoryRecordset closed;
  ASSERT_TRUE(printer.PrintInv(Variant("Y"), closed));
  EXPECT_EQ(captured(),
            to_cp950(kRollStart + heading + "客戶統編: 24536806\n" + totals + feed(23) + kRollEnd));
}

TEST_F(StandardRollTest, BottomLinesAreClearedOncePrinted) {
  printer.BottomLine1 = Variant("B1");
  printer.BottomLine2 = Variant("B2");
  MemoryRecordset none;
  ASSERT_TRUE(printer.PrintInv(Variant("N"), none));
  EXPECT_TRUE(is_blank(printer.BottomLine1));
  EXPECT_TRUE(is_blank(printer.BottomLine2));
  ASSERT_TRUE(printer.PrintInv(Variant("N"), none));
  EXPECT_EQ(from_cp950(captured()).find("B1"), std::string::npos);
}

}  // namespace
}  // namespace orvo::testing
