#include <functional>

#include "support/printer_fixture.h"
#include "support/sales.h"

namespace orvo::testing {
namespace {

class RP420ATest : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    printer.InvPrintType(Variant("RP420A"));
    printer.InvNo(Variant("AB12345678"));
    printer.StoreID = Variant("S1");
    printer.UserID = Variant("U1");
    printer.POSID = Variant(1);
  }
};

TEST_F(RP420ATest, DetailInvoiceOfAnEntertainmentVenue) {
  settings("chkPrintTime=Y\n");
  printer.Head0 = Variant("藍調音樂餐廳");
  printer.Head1 = Variant("台中市西區公益路168號");
  printer.UserID = Variant("M12");
  printer.POSID = Variant("2");
  printer.CheckNo = Variant("1105-0033");
  printer.Remark = Variant("生日派對");
  printer.InvAmt = Variant(2240);
  printer.Cash = Variant(2500), printer.Change = Variant(260);  // the detail form leaves them out
  printer.BottomLine1 = Variant("謝謝光臨");
  MemoryRecordset rows({item_row("入場券含飲料一杯", 2, 1200), item_row("精釀啤酒", 3, 540, "A1", "大杯"),
                        item_row("炸物拼盤", 1, 400, "A1", "時價"),
                        item_row("代收停車費", 1, 100, "NT1")});
  ASSERT_TRUE(printer.PrintInv(Variant("Y"), rows));
  // (2240 - 100) / 1.075 rounds to 1991; 2.5 % of it, 49.775, rounds to 50.
  const std::string expected =
      kRollStart + "藍調音樂餐廳            \n" + "台中市西區公益路168號   \n" + feed(1) + feed(1) +
      "日期:2010-03-05 14:30\n" + "S1          " + "   " + "     M12\n" +
      "檢碼(5678) 機   2  頁:01\n" + "帳單:1105-0033\n" + feed(1) + "生日派對                \n" +
      "入場券含飲料一  2  1200T\n" + "杯\r\n" + "精釀啤酒-大杯   3   540T\n" +
      "炸物拼盤        1   400T\n" + "代收停車費      1   100 \n" + "       消費合計: 2,240元\n" +
      feed(1) + " 消費金額: 2,190元      \n" + " 代收娛樂稅: 50元       \n" + feed(16) + kRollEnd;
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "1");
  EXPECT_EQ(Str(printer.BottomLine1), "謝謝光臨");
}

TEST_F(RP420ATest, ShortForms) {
  const struct {
    const char* name;
    std::function<void(InvPrinter&)> sale;
    std::string body;  // after the heading and the five-line gap
    int end_feed;
    std::string remark_line = "";
    std::string check = "5678";
  } cases[] = {
      {"1075 is 1,050 of consumption and 25 of tax", [](InvPrinter&) {},
       "       消費合計: 1,075元\n 消費金額: 1,050元      \n 代收娛樂稅: 25元       \n", 18},
      {"the tax is truncated: 64 gives 60 and 1.5, so 1", [](InvPrinter& p) { p.InvAmt = Variant(64); },
       "          消費合計: 64元\n 消費金額: 63元         \n 代收娛樂稅: 1元        \n", 18},
      {"a negative amount truncates downwards", [](InvPrinter& p) { p.InvAmt = Variant(-100); },
       "        消費合計: -100元\n 消費金額: -97元        \n 代收娛樂稅: -3元       \n", 18},
      {"a zero invoice prints the note and no cash",
       [](InvPrinter& p) { p.InvAmt = Variant(0), p.Cash = Variant(5), p.Change = Variant(5); },
       "           消費合計: 0元\n 消費金額: 0元          \n 代收娛樂稅: 0元        \n"
       " (發票歸零,無法對獎)\n",
       17},
      {"cash and change as the host gave them, under a remark",
       [](InvPrinter& p) {
         p.Cash = Variant("1,100"), p.Change = Variant(25), p.Remark = Variant("生日派對");
       },
       "       消費合計: 1,075元\n 消費金額: 1,050元      \n 代收娛樂稅: 25元       \n"
       " \n現收: 1,100\n找零: 25\n",
       14, "生日派對                \n"},
      {"a label from the sale", [](InvPrinter& p) { p.TblName = Variant("入場收"); },
       "         入場收: 1,075元\n 消費金額: 1,050元      \n 代收娛樂稅: 25元       \n", 18},
      {"a short invoice number prints whole in the check code",
       [](InvPrinter& p) { p.InvNo(Variant("A1")), p.InvAmt = Variant(0); },
       "           消費合計: 0元\n 消費金額: 0元          \n 代收娛樂稅: 0元        \n"
       " (發票歸零,無法對獎)\n",
       17, "", "A1"},
      {"a deposit prints its line alone",
       [](InvPrinter& p) {
         p.TblName = Variant("收訂-王"), p.InvAmt = Variant(5000), p.Change = Variant(5);
       },
       "           訂金: 5,000元\n", 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    printer.InvAmt = Variant(1075);
    printer.TblName = printer.Remark = printer.Cash = printer.Change = Variant();
    printer.InvNo(Variant("AB12345678"));
    c.sale(printer);
    MemoryRecordset rows({item_row("不印", 1, 10)});
    ASSERT_TRUE(printer.PrintInv(Variant("y"), rows));
    EXPECT_EQ(captured(), to_cp950(kRollStart + roll_heading({.check = c.check}) + c.remark_line +
                                   feed(5) + c.body + feed(c.end_feed) + kRollEnd));
  }
}

TEST_F(RP420ATest, DetailItemsAndTaxSplit) {
  const std::string straddled = to_cp950("案");  // its two bytes fall on columns 14 and 15
  const std::string thousand =
      "       消費合計: 1,000元\n" + feed(1) + " 消費金額: 977元        \n 代收娛樂稅: 23元       \n";
  const struct {
    const char* name;
    Variant amount;
    std::vector<ItemRow> items;
    std::string items_bytes;  // in code page 950
    std::string totals;
    int end_feed;
    const char* remark = "";
  } cases[] = {
      {"the tax rounds half to even, down: 100 gives 2.5, so 2", Variant(107), {}, "",
       "         消費合計: 107元\n" + feed(1) + " 消費金額: 105元        \n 代收娛樂稅: 2元        \n",
       22},
      {"the tax rounds half to even, up: 60 gives 1.5, so 2", Variant("64"), {}, "",
       "          消費合計: 64元\n" + feed(1) + " 消費金額: 62元         \n 代收娛樂稅: 2元        \n",
       22},
      {"non-taxed items stay out of the split",
       Variant(157),
       {item_row("停車", 1, 30, "NT1"), item_row("小費", 1, 20, "NTX"), item_row("點心", 1, 0, "N"),
        item_row("飲料", 1, 107)},
       to_cp950("停車            1    30 \n小費            1    20 \n點心            1     0T\n"
                "飲料            1   107T\n"),
       "         消費合計: 157元\n" + feed(1) + " 消費金額: 155元        \n 代收娛樂稅: 2元        \n",
       18},
      {"a character straddling column 14 is split between the two lines",
       Variant(1000),
       {item_row("VIP卡座低消方案", 1, 1000)},
       to_cp950("VIP卡座低消方") + straddled.substr(0, 1) + "  1  1000T\n" + straddled.substr(1) +
           "\r\n",
       thousand, 20},
      {"a name is cut after byte 38, its caption included",
       Variant(0),
       {item_row("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 1, 0, "A1", "XL")},
       "ABCDEFGHIJKLMN  1     0T\nOPQRSTUVWXYZ0123456789-X\r\n",
       "           消費合計: 0元\n" + feed(1) + " 消費金額: 0元          \n 代收娛樂稅: 0元        \n",
       20},
      {"quantity 1,000 reads as 1; an amount past five columns is cut",
       Variant(1000),
       {{{"itemname", Variant("包廂")}, {"PriceCap", Variant::null()}, {"Qty", Variant("1,000")},
         {"Amt", Variant("123456")}, {"ItemType", Variant::null()}}},
       to_cp950("包廂            1 12345T\n"), thousand, 21},
      {"quantities hidden under their remark", Variant(1000), {item_row("包廂", 3, 900)},
       to_cp950("InvNoPrintQty           \n包廂                900T\n"), thousand, 20,
       "InvNoPrintQty"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    printer.InvAmt = c.amount;
    printer.Remark = Variant(c.remark);
    MemoryRecordset open_rows(c.items);
    MemoryRecordset closed;
    ASSERT_TRUE(printer.PrintInv(
        Variant("Y"), c.items.empty() ? static_cast<Recordset&>(closed) : open_rows));
    EXPECT_EQ(captured(), to_cp950(kRollStart + roll_heading()) + c.items_bytes +
                              to_cp950(c.totals + feed(c.end_feed) + kRollEnd));
  }
}

TEST_F(RP420ATest, ContinuesOnTheNextNumberedFormWithARollPrompt) {
  const std::string total = "         消費合計: 160元\n";
  const std::string split = " 消費金額: 156元        \n 代收娛樂稅: 4元        \n";
  const struct {
    const char* name;
    int items;
    std::string end_of_first;   // after the items
    std::string start_of_next;  // after the second heading
    int last_feed;
  } cases[] = {
      {"the sixteenth item", 16, "", "品項16          1    10T\n" + total + feed(1) + split, 21},
      {"the total after fourteen items", 14, total, feed(1) + split, 23},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host->prompts.clear();
    printer.InvNo(Variant("AB12345249"));
    printer.InvAmt = Variant(160);
    std::vector<ItemRow> rows;
    std::string first;
    for (int i = 1; i <= c.items; ++i) {
      const std::string name = "品項" + std::string(i < 10 ? "0" : "") + std::to_string(i);
      rows.push_back(item_row(name, 1, 10));
      if (i <= 15) first += name + "          1    10T\n";
    }
    MemoryRecordset items(rows);
    ASSERT_TRUE(printer.PrintInv(Variant("Y"), items));
    EXPECT_EQ(captured(),
              to_cp950(kRollStart + roll_heading({.check = "5249"}) + first + c.end_of_first +
                       feed(11) + kRollEnd + roll_heading({.check = "5250", .page = "02"}) +
                       c.start_of_next + feed(c.last_feed) + kRollEnd));
    EXPECT_EQ(host->prompts.size(), 1u);
    EXPECT_EQ(Str(printer.PageCount), "2");
  }
}

}  // namespace
}  // namespace orvo::testing
