#include <functional>

#include "support/printer_fixture.h"
#include "support/sales.h"

namespace orvo::testing {
namespace {

const std::string kReset = ESC + "R\r";
const std::string kBlank = ESC + "LB1\r";
const std::string kEndOfForm = ESC + "VB\r";
// The print-line command around one line of text.
std::string P(const std::string& text) { return ESC + "PB1" + text + "\r"; }

// The heading of a sale with no heading texts and no buyer.
std::string bare_heading(const std::string& table = "  ", const std::string& page = "01",
                         const std::string& check = "5678") {
  return kBlank + kBlank + kBlank + kBlank + P("日期:2010-03-05 14:30") +
         P("店:S1        " + std::string("  ") + "收:    U1") +
         P("檢碼(" + check + ") 機   1  頁:" + page) + P(table) + P(" ");
}

class TP3688Test : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    base_sale(printer);
  }

  void base_sale(InvPrinter& p) {
    p.InvPrintType(Variant("TP3688"));
    p.InvNo(Variant("AB12345678"));
    p.StoreID = Variant("S1"), p.UserID = Variant("U1"), p.POSID = Variant(1);
    p.OrderAmt = Variant(1610), p.SCharge = Variant(161), p.Discount = Variant(71);
    p.TaxAdd = Variant(0), p.InvAmt = Variant(1700);
    p.BottomLine1 = Variant("謝謝光臨"), p.BottomLine2 = Variant("歡迎再來");
  }

  struct Case {
    const char* name;
    const char* settings;
    const char* detail;
    std::function<void(InvPrinter&)> sale;
    std::vector<ItemRow> items;
    std::string expected;  // after the reset
  };

  // Each case on a fresh object; returns the object for checks on what it wrote back.
  void run(const Case& c, const std::function<void(const InvPrinter&)>& check = nullptr) {
    SCOPED_TRACE(c.name);
    settings(c.settings);
    InvPrinter p(host);
    wire(p);
    base_sale(p);
    c.sale(p);
    MemoryRecordset rows(c.items);
    ASSERT_TRUE(p.PrintInv(Variant(c.detail), rows));
    EXPECT_EQ(captured(), to_cp950(kReset + c.expected));
    EXPECT_EQ(Str(p.PageCount), "1");
    if (check) check(p);
  }

  const std::string sums_ =
      kBlank + P("消費小計:  1,610元 ") + P("  服務費:    161元 ") + P("  折扣額:     71元 ");
  const std::string totals_ = sums_ + P("       消費合計: 1,700元");
};

TEST_F(TP3688Test, DetailInvoiceOfARestaurant) {
  settings("chkPrintTime=N\n");
  printer.Head0 = Variant("阿財海產熱炒");
  printer.Head2 = Variant("高雄市鼓山區");
  printer.Head3 = Variant("");
  printer.StoreID = Variant("KH01"), printer.UserID = Variant("C02"), printer.POSID = Variant("1");
  printer.InvNo(Variant("TP55001234"));
  printer.CheckNo = Variant("0305-0088");
  MemoryRecordset rows({item_row("三杯中卷", 1, 320), item_row("避風塘炒蟹", 1, 880, "A1", "時價"),
                        item_row("海鮮粥", 2, 360), item_row("代收清潔費", 1, 50, "NT1")});
  ASSERT_TRUE(printer.PrintInv(Variant("Y"), rows));
  const std::string expected =
      kReset + P("阿財海產熱炒            ") + kBlank + P("高雄市鼓山區            ") + kBlank +
      P("日期:2010-03-05 14:30") + P("店:KH01        收:   C02") + P("檢碼(1234) 機   1  頁:01") +
      P("帳單:0305-0088") + P(" ") + P("三杯中卷        1   320T") + P("避風塘炒蟹-時   1   880T") +
      P("價") + P("海鮮粥          2   360T") + P("代收清潔費      1    50 ") + totals_ +
      P("謝謝光臨                ") + P("歡迎再來                ") + kEndOfForm;
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "1");
  EXPECT_TRUE(is_blank(printer.BottomLine1));
  EXPECT_TRUE(is_blank(printer.BottomLine2));
  EXPECT_TRUE(host->prompts.empty());
  EXPECT_EQ(host->sleeps, std::vector<long>{500});
  EXPECT_EQ(host->events, 1);
}

TEST_F(TP3688Test, ShortFormsAlignBottomLinesRight) {
  const std::string gap = P("  ") + P("  ");
  const std::string total = P("       合計金額: 1,700元");
  const auto kept = [](const char* first) {
    return [first](const InvPrinter& p) { EXPECT_EQ(Str(p.BottomLine1), first); };
  };
  run({"the total and both bottom lines, cleared", "", "N", [](InvPrinter&) {}, {},
       bare_heading() + gap + total + P("                謝謝光臨") + P("                歡迎再來") +
           kEndOfForm},
      [](const InvPrinter& p) { EXPECT_TRUE(is_blank(p.BottomLine1) && is_blank(p.BottomLine2)); });
  run({"a zero invoice prints the note instead", "", "N",
       [](InvPrinter& p) { p.InvAmt = Variant("0"); }, {},
       bare_heading() + gap + P("           合計金額: 0元") + P(" (發票歸零,無法對獎)") + kEndOfForm},
      kept("謝謝光臨"));
  run({"bottom lines switched off", "chkNoBottomLine=Y\n", "N", [](InvPrinter&) {}, {},
       bare_heading() + gap + total + kEndOfForm},
      kept("謝謝光臨"));
  run({"no second bottom line without the first", "", "N",
       [](InvPrinter& p) { p.BottomLine1 = Variant(""); }, {},
       bare_heading() + gap + total + kEndOfForm},
      [](const InvPrinter& p) { EXPECT_EQ(Str(p.BottomLine2), "歡迎再來"); });
  run({"a remark, and items not printed without detail", "", "y",
       [](InvPrinter& p) { p.Remark = Variant("外帶"), p.BottomLine2 = Variant(); },
       {item_row("麵", 1, 100)},
       bare_heading() + P("外帶                    ") + gap + total + P("                謝謝光臨") +
           kEndOfForm});
}

TEST_F(TP3688Test, DetailFormTotals) {
  const std::string left_bottom = P("謝謝光臨                ") + P("歡迎再來                ");
  run({"a bill number without detail prints the detail totals but no items", "", "N",
       [](InvPrinter& p) { p.CheckNo = Variant("123"); }, {item_row("麵", 1, 100)},
       bare_heading("帳單:123") + totals_ + left_bottom + kEndOfForm});
  run({"only sums above zero print", "", "Y",
       [](InvPrinter& p) {
         p.SCharge = Variant("0"), p.Discount = Variant(-5), p.TaxAdd = Variant("15");
       },
       {},
       bare_heading() + kBlank + P("消費小計:  1,610元 ") + P("  加計項:     15元 ") +
           P("       消費合計: 1,700元") + left_bottom + kEndOfForm});
  run({"an empty service charge prints no line; a zero invoice the note", "", "Y",
       [](InvPrinter& p) {
         p.SCharge = Variant(""), p.Discount = Variant(), p.InvAmt = Variant(0);
       },
       {},
       bare_heading() + kBlank + P("消費小計:  1,610元 ") + P("           消費合計: 0元") +
           P(" (發票歸零,無法對獎)") + kEndOfForm});
}

TEST_F(TP3688Test, ItemLines) {
  run({"names past seven characters continue on the next line, quantities read as numbers", "",
       "Y",
       [](InvPrinter& p) { p.InvAmt = Variant(0); },
       {item_row("招牌三杯中卷配白飯加大", 1, 320), item_row("ABCDEFGHIJKLMNOPQRST", 1, 100),
        item_row("魚", 1, 880, "A1", "時價"), item_row("客家小炒", 1, 260, "A1", "大份"),
        {{"itemname", Variant("湯")}, {"PriceCap", Variant::null()}, {"Qty", Variant("1,000")},
         {"Amt", Variant("123456")}, {"ItemType", Variant("NT")}}},
       bare_heading() + P("招牌三杯中卷配  1   320T") + P("白飯加大") + P("ABCDEFG         1   100T") +
           P("HIJKLMNOPQ") + P("魚-時價         1   880T") +
           P("客家小炒-大份   1   260T") + P("湯              1 12345 ") +
           sums_ + P("           消費合計: 0元") + P(" (發票歸零,無法對獎)") + kEndOfForm});
  run({"hidden quantities under their remark", "", "Y",
       [](InvPrinter& p) { p.Remark = Variant("InvNoPrintQty"), p.BottomLine1 = Variant(); },
       {item_row("麵", 3, 300)},
       bare_heading() + P("InvNoPrintQty           ") + P("麵                  300T") + totals_ +
           kEndOfForm});
}

TEST_F(TP3688Test, HeadingLines) {
  const std::string tail = P("  ") + P("  ") + P("       合計金額: 1,700元") + kEndOfForm;
  const std::string heads = kBlank + kBlank + kBlank + kBlank + P("日期:2010-03-05 14:30");
  const std::string store = P("店:S1          收:    U1");
  run({"the table up to its dash", "chkPrintTblName=Y\n", "N",
       [](InvPrinter& p) { p.TblName = Variant("A12-3"), p.BottomLine1 = Variant(); }, {},
       bare_heading("桌號:A12-") + tail});
  run({"a table without a dash, and a buyer", "chkPrintTblName=Y\n", "N",
       [](InvPrinter& p) {
         p.TblName = Variant("A12"), p.BNo = Variant("24536806"), p.BottomLine1 = Variant();
       },
       {},
       heads + store + P("檢碼(5678) 機   1  頁:01") + P("桌號:A12") + P("客戶統編: 24536806") +
           tail});
  run({"a short invoice number prints whole, long texts are cut", "", "N",
       [](InvPrinter& p) {
         p.InvNo(Variant("A1")), p.StoreID = Variant("KAOHSIUNG-01"), p.UserID = Variant("1234567");
         p.BottomLine1 = Variant();
       },
       {},
       heads + P("店:KAOHSIUNG-  收:123456") + P("檢碼(A1) 機   1  頁:01") + P("  ") + P(" ") +
           tail});
}

TEST_F(TP3688Test, AFullFormEndsWhereverTheLineCountPasses24) {
  const std::string subtotal = P("消費小計:    150元 ");
  const std::string rest = P("  服務費:     10元 ") + P("         消費合計: 160元");
  const struct {
    const char* name;
    const char* remark;
    std::string remark_line;
    int items;
    std::string end_of_first;   // after the items
    std::string start_of_next;  // after the second heading
  } cases[] = {
      {"fifteen items fill a form", "", "", 15, "", kBlank + subtotal + rest},
      {"the gap after fourteen", "", "", 14, kBlank, subtotal + rest},
      {"the subtotal after a remark and twelve items", "外帶", P("外帶                    "), 12, kBlank + subtotal, rest},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host->prompts.clear();
    InvPrinter p(host);
    wire(p);
    base_sale(p);
    p.InvNo(Variant("AB12345249"));  // no new number, so no roll change either
    p.Remark = Variant(c.remark);
    p.OrderAmt = Variant(150), p.SCharge = Variant(10), p.Discount = Variant(0);
    p.InvAmt = Variant(160), p.BottomLine1 = Variant();
    std::vector<ItemRow> rows;
    std::string items = c.remark_line;
    for (int i = 1; i <= c.items; ++i) {
      const std::string name = "品項" + std::string(i < 10 ? "0" : "") + std::to_string(i);
      rows.push_back(item_row(name, 1, 10));
      items += P(name + "          1    10T");
    }
    MemoryRecordset all(rows);
    ASSERT_TRUE(p.PrintInv(Variant("Y"), all));
    EXPECT_EQ(captured(),
              to_cp950(kReset + bare_heading("  ", "01", "5249") + items + c.end_of_first +
                       kEndOfForm + bare_heading("  ", "02", "5249") + c.start_of_next +
                       kEndOfForm));
    EXPECT_EQ(Str(p.PageCount), "2");
    EXPECT_TRUE(host->prompts.empty());
  }
}

}  // namespace
}  // namespace orvo::testing
