// The SP320 with items: a fixed 15-line item area, continuation forms, the amounts block always
// at the same place.
#include <functional>

#include "layouts/form_fixture.h"

namespace orvo::testing {
namespace {

const std::string kBuyerAmounts =
    kDoubleOn + "          1,000元\n" + "             50元\n" + "          1,050元\n" + kDoubleOff;

std::string heading(const std::string& buyer = "24536806", const std::string& remark = "請再度光臨") {
  return ESC + "@" + kFormTop + "帳單號:A0001        檢碼(5249)\n" + "      99/03/05 14:30\n" + kDoubleOn +
         "    " + buyer + "\n" + kDoubleOff + "  " + remark + "\n";
}

std::string two_digits(int i) { return (i < 10 ? "0" : "") + std::to_string(i); }

std::vector<ItemRow> numbered(int n) {
  std::vector<ItemRow> rows;
  for (int i = 1; i <= n; ++i) rows.push_back(item_row("品項" + two_digits(i), 1, 10));
  return rows;
}

std::string item_lines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += "品項" + two_digits(i) + std::string(18, ' ') + "  1    10T\n";
  return s;
}

// The note that ends a full form and the heading of the next.
std::string next_form(int page) {
  return "  \n               ( 續 次 頁 )\n\f" + kFormTop + "續頁: " + std::to_string(page) +
         "\n      99/03/05 14:30\n  \n  \n";
}

TEST_F(FormTest, Sp320dTypicalInvoice) {
  const std::string bytes =
      print("SP320", "Y",
            {item_row("牛肉麵", 2, 360, "A1", "大"), item_row("清蒸石斑魚", 1, 880, "A1", "時價"),
             item_row("代收停車費", 1, 60, "NT1"), item_row("贈送小菜", 1, 0, "S2"),
             item_row("招牌紅燒牛肉麵加大碗公特製", 1, 280)});
  const std::string expected =
      heading() + "牛肉麵-大               " + "  2   360T\n" + "清蒸石斑魚              " +
      "  1   880T\n" + "代收停車費              " + "  1    60 \n" + "贈送小菜                " +
      "  1     0T\n" + "招牌紅燒牛肉麵加大碗公特" + "  1   280T\n" +
      "  合  計:  1,000元 \n  服務費:    100元 \n  折扣額:     50元 \n" + advance(7) +
      kBuyerAmounts + "謝謝光臨\f";
  EXPECT_EQ(bytes, to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "1");
}

TEST_F(FormTest, Sp320dContinuesOverThreeForms) {
  printer.Discount = Variant(0);
  const std::string bytes = print("SP320", "Y", numbered(29));
  // 15 items fill form 1; 14 more and two subtotal lines overflow form 2, so the subtotals start
  // form 3 after an advance to the end of the item area.
  const std::string expected = heading() + item_lines(1, 15) + next_form(2) + item_lines(16, 29) +
                               advance(1) + next_form(3) +
                               "  合  計:  1,000元 \n  服務費:    100元 \n" + advance(13) +
                               kBuyerAmounts + "謝謝光臨\f";
  EXPECT_EQ(bytes, to_cp950(expected));
  EXPECT_EQ(Str(printer.PageCount), "3");
}

TEST_F(FormTest, Sp320dEdges) {
  const auto no_sums = [](InvPrinter& p) {
    p.OrderAmt = Variant(0), p.SCharge = Variant(0), p.Discount = Variant(0);
  };
  const struct {
    const char* name;
    const char* settings;
    std::function<void(InvPrinter&)> setup;
    std::vector<ItemRow> items;
    std::string expected;  // after the first heading unless it starts with ESC
  } cases[] = {
      {"fifteen items end the form; the subtotal goes to the next", "",
       [&](InvPrinter& p) { no_sums(p), p.OrderAmt = Variant(1000); }, numbered(15),
       item_lines(1, 15) + next_form(2) + "  合  計:  1,000元 \n" + advance(14) + kBuyerAmounts +
           "謝謝光臨\f"},
      {"fourteen items and a service charge", "",
       [&](InvPrinter& p) { no_sums(p), p.SCharge = Variant("100"); }, numbered(14),
       item_lines(1, 14) + advance(1) + next_form(2) + "  服務費:    100元 \n" + advance(14) +
           kBuyerAmounts + "謝謝光臨\f"},
      {"a zero A1 left out and not counted, a zero NT kept", "chkInvNoS2A1=Y\n", no_sums,
       [] {
         auto rows = numbered(13);
         rows.push_back(item_row("贈品", 1, 0, "A1"));
         rows.push_back(item_row("代收", 1, 0, "NT1"));
         return rows;
       }(),
       item_lines(1, 13) + "代收" + std::string(20, ' ') + "  1     0 \n" + advance(1) +
           kBuyerAmounts + "謝謝光臨\f"},
      {"a zero A1 printed without the setting", "", no_sums, {item_row("贈品", 1, 0, "A1")},
       "贈品" + std::string(20, ' ') + "  1     0T\n" + advance(14) + kBuyerAmounts + "謝謝光臨\f"},
      {"negative subtotal printed, zero and empty ones not", "",
       [](InvPrinter& p) {
         p.OrderAmt = Variant(-50), p.SCharge = Variant(), p.Discount = Variant("0");
       },
       {}, "  合  計:    -50元 \n" + advance(14) + kBuyerAmounts + "謝謝光臨\f"},
      {"subtotals by their leading number: no number is no line", "",
       [](InvPrinter& p) {
         p.OrderAmt = Variant("一千"), p.SCharge = Variant(""), p.Discount = Variant("50 ");
       },
       {}, "  折扣額:     50元 \n" + advance(14) + kBuyerAmounts + "謝謝光臨\f"},
      {"consumer: total twice, blank tax line", "",
       [&](InvPrinter& p) { no_sums(p), p.BNo = Variant(" "); }, {},
       heading("") + advance(15) + kDoubleOn + "          1,050元\n  \n          1,050元\n" +
           kDoubleOff + "謝謝光臨\f"},
      {"zero invoice: the note instead of the bottom line", "",
       [&](InvPrinter& p) {
         no_sums(p), p.BNo = Variant(""), p.InvAmt = Variant(0), p.TaxAdd = Variant(0);
       },
       {},
       heading("") + advance(15) + kDoubleOn + "              0元\n  \n              0元\n" +
           kDoubleOff + " (發票歸零,無法對獎)\n\f"},
      {"hidden quantities, names from the kitchen type", "chkItemUseKPType=y\n",
       [&](InvPrinter& p) { no_sums(p), p.Remark = Variant("InvNoPrintQty"); },
       {item_row("牛肉麵", 2, 360, "A1", "大", 0, "熱炒")},
       heading("24536806", "InvNoPrintQty") + "熱炒-大" + std::string(17, ' ') + "      360T\n" +
           advance(14) + kBuyerAmounts + "謝謝光臨\f"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings(c.settings);
    typical_sale(printer);
    printer.TaxAdd = Variant(50);
    c.setup(printer);
    const std::string bytes = print("SP320", "Y", c.items);
    const bool own_heading = c.expected.rfind(ESC, 0) == 0;
    EXPECT_EQ(bytes, to_cp950((own_heading ? "" : heading()) + c.expected));
  }
}

}  // namespace
}  // namespace orvo::testing
