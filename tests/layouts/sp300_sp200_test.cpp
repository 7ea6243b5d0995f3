// The SP300 and SP200 summary forms.
#include <functional>

#include "layouts/form_fixture.h"

namespace orvo::testing {
namespace {

std::string sp300(const std::string& buyer, const std::string& meal, const std::string& service,
                  const std::string& amounts, const std::string& note = "",
                  const std::string& table = "帳單號:A0001        檢碼(5249)") {
  return ESC + "@" + " \n好味餐廳\n台北市中正區重慶南路1號\n\n" + table + "\n" + "      99/03/05\n" +
         buyer + "\n      \n" + "  餐 費     " + meal + "元\n" + "  服 務 費  " + service + "元\n" +
         advance(13) + amounts + note + "\f";
}

TEST_F(FormTest, Sp300TypicalInvoice) {
  settings("chkPrintTblName=Y\nchkPrintTime=Y\n");  // no time on this form
  printer.CheckNo = Variant("");
  EXPECT_EQ(print("SP300"),
            to_cp950(sp300("      統編(B/No):24536806", std::string(17, ' ') + "950",
                           std::string(17, ' ') + "100",
                           std::string(27, ' ') + "1,000元\n" + std::string(30, ' ') + "50元\n" +
                               std::string(27, ' ') + "1,050元\n",
                           "", "桌號:A12-        檢碼(5249)")));
}

TEST_F(FormTest, Sp300Edges) {
  const std::string buyer = "      統編(B/No):24536806";
  const struct {
    const char* name;
    std::function<void(InvPrinter&)> setup;
    std::string expected;
  } cases[] = {
      {"no service charge: service 0, meal the total; tax 0: sales the total; no buyer",
       [](InvPrinter& p) { p.SCharge = Variant(), p.TaxAdd = Variant(0), p.BNo = Variant(" "); },
       sp300("      ", "               1,050", "                   0",
             "                           1,050元\n                               0元\n"
             "                           1,050元\n")},
      {"millions fit the columns; a total label from the sale changes nothing",
       [](InvPrinter& p) {
         p.InvAmt = Variant(1234567), p.SCharge = Variant(0), p.TaxAdd = Variant("58,789");
         p.TblName = Variant("外帶收");
       },
       sp300(buyer, "           1,234,567", "                   0",
             "                       1,175,778元\n                          58,789元\n"
             "                       1,234,567元\n")},
      {"zero invoice: the note after the amounts",
       [](InvPrinter& p) { p.InvAmt = Variant(0), p.SCharge = Variant(0), p.TaxAdd = Variant(0); },
       sp300(buyer, "                   0", "                   0",
             "                               0元\n                               0元\n"
             "                               0元\n",
             " (發票歸零,無法對獎)\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    typical_sale(printer);
    printer.TaxAdd = Variant(50);
    c.setup(printer);
    EXPECT_EQ(print("SP300"), to_cp950(c.expected));
  }
}

std::string sp200(const std::string& buyer, const std::string& remark, const std::string& sales,
                  const std::string& tax, const std::string& total) {
  return ESC + "@" + "好味餐廳\r\n台北市中正區重慶南路1號\r\n\r\n" + "    99/03/05\r\n" + buyer +
         "\r\n\r\n\r\n\r\n" + "  帳單號:A0001\r\n" + "    檢碼:5249\r\n" + remark + advance(10) +
         "   銷售額:" + sales + "元\r\n" + "   營業稅:" + tax + "元\r\n" + "   總  計:" + total +
         "元\r\n" + "\f";
}

TEST_F(FormTest, Sp200TypicalInvoice) {
  EXPECT_EQ(print("SP200"), to_cp950(sp200("    24536806", ESC + "PB1請再度光臨              \n",
                                           "    1,000", "       50", "    1,050")));
}

TEST_F(FormTest, Sp200WorksOutTheTaxRoundingHalfUp) {
  const struct {
    Variant total;
    std::string sales, tax, shown_total;
  } cases[] = {
      {Variant(105), "      100", "        5", "      105"},
      {Variant(11), "       10", "        1", "       11"},  // 10.476 + 0.5 gives 10
      {Variant(0), "        0", "        0", "        0"},  // and no zero-invoice note
      {Variant(13.125), "       13", "        0", "       13"},  // exactly 12.5 goes up
      {Variant(-11), "      -10", "       -1", "      -11"},  // towards minus infinity
      {Variant("1,234,567"), "1,175,778", "   58,789", "1,234,567"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Str(c.total));
    printer.InvAmt = c.total;
    printer.Remark = Variant("");
    EXPECT_EQ(print("SP200"), to_cp950(sp200("    24536806", "", c.sales, c.tax, c.shown_total)));
  }
}

TEST_F(FormTest, Sp200RemarkCutToItsFieldAndConsumerLine) {
  printer.BNo = Variant("");
  printer.Remark = Variant("A一二三四五六七八九十壹貳");  // 25 bytes: the last character straddles
  EXPECT_EQ(print("SP200"), to_cp950(sp200("", ESC + "PB1A一二三四五六七八九十壹 \n", "    1,000",
                                           "       50", "    1,050")));
}

}  // namespace
}  // namespace orvo::testing
