#include "layouts/store_support.h"

namespace orvo::testing {
namespace {

class CfTest : public StoreTest {};

TEST_F(CfTest, TypicalInvoiceWithHeadingTextsItemCountAndOverpayment) {
  settings("StoreNo=1234567\n");
  printer.Head0 = Variant("大葉超市");
  printer.Head2 = Variant("台北市永康街10號");
  printer.BNo = Variant("24536806");
  printer.OrderAmt = Variant(-35);
  printer.SCharge = Variant(30);
  printer.Discount = Variant(20);
  printer.TaxAdd = Variant(5);
  printer.Change = Variant("5");
  printer.InvAmt = Variant(480);
  auto rows = store_goods();
  rows.push_back(voucher("禮券500", -500));
  ASSERT_TRUE(print("CF", rows, "N"));
  const std::string expected =
      kRollStart + "大葉超市                \n" + feed(1) + "台北市永康街10號        \n" + feed(1) +
      kDateLine + "01\n" + "機234567 序0501  員  A03\n" + "客戶統編: 24536806\n" +
      "蘋果汁          2   120T\n" + "有機高山烏龍茶  1   300 \n" + "葉禮盒-大\r\n" +
      "香蕉          1.5    45T\n" + feed(1) + "小計: 4項           465\n" +
      "禮券               -500\n" + " 服務費:              30\n" + "折扣額:             -20\n" +
      " 加計項:               5\n" + "溢收:                 5\n" + "總計:               480\n" +
      "謝謝光臨\n" + "歡迎再來\n" + "\x0c";
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "1");
}

// The blank line after 18 items fills line 26: the subtotal starts the next form.
TEST_F(CfTest, BlankLineAfterTheItemsFillsTheFormWhichIsFedToLine36) {
  printer.Head0 = Variant("POS01");
  printer.OrderAmt = Variant(180);
  printer.InvAmt = Variant(180);
  printer.BottomLine1 = Variant("");
  ASSERT_TRUE(print("CF", one_line_items(18)));
  const std::string heading = "POS01                   \n" + feed(1) + feed(1) + feed(1) +
                              kDateLine;
  const std::string machine = "機POS01 序0501  員  A03\n" + feed(1);
  const std::string expected = kRollStart + heading + "01\n" + machine + item_lines(18) + feed(1) +
                               feed(9) + ESC + "o" + "\x0c" + heading + "02\n" + machine +
                               "小計: 18項           180\n" + "\x0c";
  EXPECT_EQ(captured(), to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "2");
}

TEST_F(CfTest, ReadsTheItemsWithoutLookingAtTheRecordsetState) {
  printer.InvPrintType(Variant("CF"));
  MemoryRecordset closed;
  const int fds = open_fd_count();
  EXPECT_FALSE(printer.PrintInv(Variant("Y"), closed));
  EXPECT_EQ(open_fd_count(), fds);
  EXPECT_FALSE(channels().is_open(1));
  EXPECT_NE(log().find("處理程序: (Print_CF)\r\n執行錯誤, 代碼: 3704\r\n"), std::string::npos)
      << log();
  EXPECT_EQ(Str(printer.PageCount), "1");
}

}  // namespace
}  // namespace orvo::testing
