#include "layouts/store_support.h"

namespace orvo::testing {
namespace {

class FeTest : public StoreTest {};

TEST_F(FeTest, TypicalInvoiceWithVouchersAndChange) {
  settings("StoreNo=1234567\n");
  printer.Head1 = Variant("門市:永康店\n");
  printer.OrderAmt = Variant(-35);
  printer.Discount = Variant(20);
  printer.Change = Variant("35");
  printer.InvAmt = Variant(445);
  auto rows = store_goods();
  rows.push_back(voucher("禮券500", -500));
  ASSERT_TRUE(print("FE", rows));
  const std::string expected =
      kRollStart + feed(4) + kDateLine + "01\n" + "機234567   序0501  員  A03\n" + "門市:永康店\n" +
      feed(1) + "蘋果汁          2   120T\n" + "有機高山烏龍茶  1   300 \n" + "葉禮盒-大\r\n" +
      "香蕉          1.5    45T\n" + "禮券500         1  -500T\n" + feed(1) +
      "小計:               465\n" + " 券抵扣:            -500\n" + " 折扣額:             -20\n" +
      "找零:                35\n" + "總計:               445\n" + "謝謝光臨\n" + "歡迎再來\n" +
      "\x0c";
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "1");
  EXPECT_TRUE(is_blank(printer.BottomLine1) && is_blank(printer.BottomLine2));
}

TEST_F(FeTest, NineteenItemsFillTheFormWhichIsFedToLine36) {
  printer.OrderAmt = Variant(190);
  printer.InvAmt = Variant(190);
  printer.BottomLine1 = Variant("");
  ASSERT_TRUE(print("FE", one_line_items(19)));
  const std::string machine = "機   序0501  員  A03\n";
  const std::string expected = kRollStart + feed(4) + kDateLine + "01\n" + machine + feed(1) +
                               item_lines(19) + feed(9) + ESC + "o" + "\x0c" + feed(4) + kDateLine +
                               "02\n" + machine + feed(1) + feed(1) + "小計:               190\n" +
                               "\x0c";
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "2");
}

ItemRow voucher_amount(const char* amt) {
  ItemRow r = voucher("券", -1);
  for (auto& [field, value] : r)
    if (field == "Amt") value = Variant(amt);
  return r;
}

TEST_F(FeTest, EdgeCases) {
  const std::string top = "機234567   序0501  員  A03\n" + feed(1);
  const struct {
    const char* name;
    const char* detail;
    std::function<void(InvPrinter&)> sale;
    std::vector<ItemRow> rows;
    Fragments expected;
  } cases[] = {
      {"without detail the vouchers still count", "N", [](InvPrinter&) {},
       {item_row("茶", 1, 50), voucher("禮券", -100)},
       {{top + feed(1) + "小計:               100\n 券抵扣:            -100\n"}, {"茶"}}},
      {"zero invoice leaves the bottom lines", "Y",
       [](InvPrinter& p) { p.InvAmt = Variant(0), p.TaxAdd = Variant(3); }, {},
       {{" 加計項:               3\n (發票歸零,無法對獎)\n\x0c"}, {"謝謝光臨", "總計"}}},
      {"overpaid without change; no quantities; an ASCII name cut at 7 characters", "Y",
       [](InvPrinter& p) {
         p.OrderAmt = Variant(-80), p.SCharge = Variant(30), p.Remark = Variant("InvNoPrintQty");
       },
       {voucher("券", -100), item_row("Coca Cola Zero", 3, 0)},
       {{"券                 -100T\n", "Coca Co               0T\nla Zero\r\n",
         " 服務費:              30\n溢收:                50\n"},
        {"找零"}}},
      {"Head0 before the setting; voucher amounts are their leading numbers", "Y",
       [](InvPrinter& p) { p.Head0 = Variant("POS01"), p.SCharge = Variant("1"); },
       {voucher_amount("abc"), voucher_amount("-1,000")},
       {{"機POS01   序", "小計:                 1\n 券抵扣:              -1\n 服務費:               1\n"},
        {}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    settings("StoreNo=1234567\n");
    c.sale(printer);
    ASSERT_TRUE(print("FE", c.rows, c.detail));
    expect_fragments(captured(), c.expected);
    // A bottom line is cleared exactly when it was printed.
    EXPECT_EQ(is_blank(printer.BottomLine1),
              from_cp950(captured()).find("謝謝光臨") != std::string::npos);
  }
}

TEST_F(FeTest, ClosedRecordsetPrintsNoItemsAndNoBlankLine) {
  printer.InvPrintType(Variant("FE"));
  MemoryRecordset closed;
  ASSERT_TRUE(printer.PrintInv(Variant("Y"), closed));
  expect_fragments(captured(), {{"員  A03\n\x1b" "d\x01" "小計:"}, {}});
}

}  // namespace
}  // namespace orvo::testing
