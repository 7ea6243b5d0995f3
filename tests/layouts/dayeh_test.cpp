#include "layouts/roll/dayeh.h"

#include "layouts/store_support.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

const std::string kNormal = ESC + "!" + std::string(1, '\0');

std::string heading(const std::string& number) {
  return feed(4) + ESC + "! " + number + kNormal + feed(1) + "99/03/05" + feed(1);
}

class DayehTest : public StoreTest {};

TEST_F(DayehTest, TypicalInvoiceWithVouchersAndTaxSplit) {
  printer.BNo = Variant("24536806");
  printer.Head0 = Variant("大葉門市");
  printer.Head3 = Variant("分機23");
  printer.OrderAmt = Variant(865);
  printer.SCharge = Variant("100");
  printer.Discount = Variant(50);
  printer.InvAmt = Variant(1415);
  printer.BottomLine2 = Variant("");
  auto rows = store_goods();
  rows.push_back(voucher("禮券500", -500));
  rows.push_back(voucher("新禮券100", -200));
  ASSERT_TRUE(print("DAYEH", rows));
  const std::string expected =
      kRollStart + heading("AB 12345678") + "客戶統編: 24536806\n" + "蘋果汁          2   120T\n" +
      "有機高山烏龍茶  1   300 \n" + "葉禮盒-大\r\n" + "香蕉          1.5    45T\n" + feed(1) +
      "小計:             1,365\n" + "禮券               -500\n" + "新禮券             -200\n" +
      " 服務費:             100\n" + "折扣額:             -50\n" + "小計:             1,415\n" +
      "謝謝光臨\n" + feed(0) + "應稅   1,115  免稅   300\n" + "D01 大葉門市     分機23\n" +
      "A03   0501 02 14:30 01\n" + "\x0c";
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "1");
  EXPECT_TRUE(is_blank(printer.BottomLine1));
}

TEST_F(DayehTest, FourteenItemsFillTheFormAndTheNextCarriesTheNextNumber) {
  printer.InvNo(Variant("AB00000999"));
  printer.OrderAmt = Variant(140);
  printer.InvAmt = Variant(140);
  printer.BottomLine1 = Variant("");
  ASSERT_TRUE(print("DAYEH", one_line_items(14)));
  const std::string expected = kRollStart + heading("AB 00000999") + item_lines(14) + "\x0c" +
                               heading("AB 00001000") + feed(1) + "小計:               140\n" +
                               feed(11) + "應稅     140  免稅     0\n" + "D01 " +
                               std::string(11, ' ') + "\n" + "A03   0501 02 14:30 02\n" + "\x0c";
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "2");
  EXPECT_TRUE(host->prompts.empty());
}

TEST_F(DayehTest, EdgeCases) {
  const struct {
    const char* name;
    std::function<void(InvPrinter&)> sale;
    std::vector<ItemRow> rows;
    Fragments expected;
  } cases[] = {
      {"voucher kinds, a priced-down item is no voucher",
       [](InvPrinter& p) { p.OrderAmt = Variant(0); },
       {voucher("新禮券", -1), voucher("電子禮券", -2), voucher("禮券8", -4), voucher("電子票", -8),
        item_row("折讓", 1, -20, "A1", "", -20, "K9")},
       {{"小計:                12\n", "禮券                -12\n", "新禮券               -1\n",
         "電子禮券             -2\n", "折讓            1   -20T\n"},
        {"禮券8", "電子票"}}},
      {"zero invoice keeps the bottom lines",
       [](InvPrinter& p) { p.InvAmt = Variant(0), p.TaxAdd = Variant("7"); },
       {},
       {{" (發票歸零,無法對獎)\n  溢收:               7\n謝謝光臨\n歡迎再來\n"}, {}}},
      {"tax-free beyond the invoice amount, a second bottom line alone",
       [](InvPrinter& p) { p.InvAmt = Variant(250), p.BottomLine1 = Variant(""); },
       {item_row("書", 1, 300, "NTB")},
       {{"應稅       0  免稅   250\n"}, {"歡迎再來"}}},
      {"no quantities, 8 and 18 characters of name, a fraction tax-free",
       [](InvPrinter& p) {
         p.Remark = Variant("InvNoPrintQty"), p.CheckNo = Variant("A-1"), p.InvAmt = Variant(100);
       },
       {item_row("一二三四五六七", 1, 7), item_row("一二三四五六七八", 3, 5),
        item_row("一二三四五六七八九十壹貳參肆伍陸柒捌", 1, 1), item_row("郵票", 1, 12.5, "NT")},
       {{"一二三四五六七        7T\n一二三四五六七        5T\n八\r\n",
         "一二三四五六七        1T\n八九十壹貳參肆伍陸柒\r\n",
         "郵票               12.5 \n", "應稅      88  免稅    13\n", "A03    02 "},
        {"捌"}}},
      {"the blank line after 13 items fills the form", [](InvPrinter&) {}, one_line_items(13),
       {{"1    10T\n" + feed(1) + "\x0c" + feed(4)}, {}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    printer.InvAmt = Variant(12);
    c.sale(printer);
    ASSERT_TRUE(print("DAYEH", c.rows));
    expect_fragments(captured(), c.expected);
  }
}

TEST_F(DayehTest, HeadingErrorsRiseUnderItsNameAndTheLayoutLogsThem) {
  std::int16_t page = 1, line = 1;
  MemoryRecordset none;
  const Variant detail;
  PrintOptions opt;
  const Settings settings;
  PrintJob job{printer, printer.InvNo(), opt, settings, *host, none, detail};
  ByteSink closed(channels(), 250);
  const Error e = raised([&] { InvHead_DAYEH(job, closed, page, line); });
  EXPECT_EQ(e.number(), kObjectError);
  EXPECT_EQ(e.source(), "InvHead_DAYEH");
  EXPECT_NE(e.description().find("#250"), std::string::npos) << e.description();

  // A second form needs a number after InvNo's two letters.
  printer.InvNo(Variant("AB12X"));
  printer.BottomLine1 = Variant("");
  const int fds = open_fd_count();
  EXPECT_FALSE(print("DAYEH", one_line_items(15)));
  EXPECT_EQ(open_fd_count(), fds);
  EXPECT_NE(log().find("處理程序: (Print_DAYEH)\r\n執行錯誤, 代碼: -2147221504\r\n"),
            std::string::npos)
      << log();
  EXPECT_NE(log().find("\"12X\""), std::string::npos) << log();
  EXPECT_TRUE(captured().ends_with(to_cp950(item_lines(14) + "\x0c")));
  EXPECT_EQ(Str(printer.PageCount), "1");
}

}  // namespace
}  // namespace orvo::testing
