// The summary form of the WP103 and of the SP320 without items: one form, two printers.
#include <functional>

#include "layouts/form_fixture.h"

namespace orvo::testing {
namespace {

// The lines a sale changes, as the typical sale prints them.
struct Lines {
  std::string table = "帳單號:A0001        檢碼(5249)";
  std::string date = "      99/03/05";
  std::string buyer = "    24536806";
  std::string remark = " 請再度光臨";
  std::string buyer_no = " 客戶統編: 24536806";
  std::string bottom = " 謝謝光臨";
  std::string totals = " 餐 費      950元\n 服務費      100元\n";
  std::string special;
  std::string amounts = "          1,000元\n             50元\n          1,050元\n";
  std::string note;
};

// What the printer brings to the form: its block commands and how it reaches the special remark.
struct Printer {
  const char* type;
  std::string on, off, to_special, after_special;
};

const Printer kWp103{"WP103", print_mode(0x21), print_mode(0x01), " \n \n \n \n", "\n\n"};
const Printer kSp320{"SP320", kDoubleOn, kDoubleOff, advance(4), "\n"};

std::string form(const Printer& p, const Lines& l) {
  return ESC + "@" + kFormTop + l.table + "\n" + l.date + "\n" + p.on + l.buyer + "\n" + p.off +
         "  \n  \n" + l.remark + "\n" + l.buyer_no + "\n" + l.bottom + "\n" + "  \n" + p.on +
         l.totals + p.off + p.to_special + l.special + "\n" + p.after_special + p.on + l.amounts +
         p.off + l.note + "\f";
}

TEST_F(FormTest, SummaryFormTypicalInvoiceOnEachPrinter) {
  settings("txtSpecialRemark=憑發票兌換贈品\n");
  Lines lines;
  lines.special = "憑發票兌換贈品";
  for (const Printer* p : {&kWp103, &kSp320}) {
    SCOPED_TRACE(p->type);
    EXPECT_EQ(print(p->type), to_cp950(form(*p, lines)));
  }
}

TEST_F(FormTest, SummaryFormEdges) {
  const struct {
    const char* name;
    std::string settings;
    std::function<void(InvPrinter&)> setup;
    std::function<void(Lines&)> lines;
  } cases[] = {
      {"time printed when asked, table name up to its first dash", "chkPrintTime=Y\nchkPrintTblName=Y\n",
       [](InvPrinter& p) { p.CheckNo = Variant(""), p.TblName = Variant("A12-1-2"); },
       [](Lines& l) { l.date += " 14:30", l.table = "桌號:A12-        檢碼(5249)"; }},
      {"table name without a dash printed whole", "chkPrintTblName=Y\n",
       [](InvPrinter& p) { p.CheckNo = Variant(""), p.TblName = Variant("外帶"); },
       [](Lines& l) { l.table = "桌號:外帶        檢碼(5249)"; }},
      {"neither bill nor table: the check code alone", "",
       [](InvPrinter& p) { p.CheckNo = Variant(""); },
       [](Lines& l) { l.table = std::string(25, ' ') + "檢碼(5249)"; }},
      {"label from a table ending in 收: the total and a dashed line", "",
       [](InvPrinter& p) { p.TblName = Variant("外帶收"); },
       [](Lines& l) { l.totals = "外帶收    1,050元\n  ------------\n"; }},
      {"label from the settings", "txtInvTotalDscp=合計\n", [](InvPrinter&) {},
       [](Lines& l) { l.totals = "合計    1,050元\n  ------------\n"; }},
      {"consumer: the total twice, a blank tax line", "",
       [](InvPrinter& p) { p.BNo = Variant("  "); },
       [](Lines& l) {
         l.buyer = l.buyer_no = "    ";
         l.amounts = "          1,050元\n  \n          1,050元\n";
       }},
      {"zero invoice: the note, the bottom line kept", "",
       [](InvPrinter& p) {
         p.InvAmt = Variant(0), p.SCharge = Variant(0), p.TaxAdd = Variant(0), p.BNo = Variant("");
       },
       [](Lines& l) {
         l.buyer = l.buyer_no = "    ";
         l.totals = " 餐 費        0元\n 服務費        0元\n";
         l.amounts = "              0元\n  \n              0元\n";
         l.note = " (發票歸零,無法對獎)\n";
       }},
      {"no bottom line when switched off", "chkNoBottomLine=Y\n", [](InvPrinter&) {},
       [](Lines& l) { l.bottom = "  "; }},
      {"an empty bottom line", "", [](InvPrinter& p) { p.BottomLine1 = Variant(""); },
       [](Lines& l) { l.bottom = "  "; }},
      {"long remarks printed whole, trimmed", "txtSpecialRemark=" + std::string(40, 'R') + "\n",
       [](InvPrinter& p) { p.Remark = Variant("  " + std::string(40, 'M') + "  "); },
       [](Lines& l) { l.remark = " " + std::string(40, 'M'), l.special = std::string(40, 'R'); }},
  };
  for (const Printer* p : {&kWp103, &kSp320}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(p->type) + ": " + c.name);
      settings(c.settings);
      typical_sale(printer);
      printer.TaxAdd = Variant(50);
      c.setup(printer);
      Lines lines;
      c.lines(lines);
      EXPECT_EQ(print(p->type), to_cp950(form(*p, lines)));
    }
  }
}

TEST_F(FormTest, OnlyTheSp320HonoursNoRemarkAndSkipsAnEmptyOne) {
  const struct {
    const char* settings;
    const char* remark;
    std::string wp103, sp320;
  } cases[] = {
      {"chkNoRemark=Y\n", "歡迎", " 歡迎", " "},
      {"", "", " ", " "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.settings) + c.remark);
    settings(c.settings);
    printer.Remark = Variant(c.remark);
    Lines lines;
    lines.remark = c.wp103;
    EXPECT_EQ(print("WP103"), to_cp950(form(kWp103, lines)));
    lines.remark = c.sp320;
    EXPECT_EQ(print("SP320"), to_cp950(form(kSp320, lines)));
  }
}

}  // namespace
}  // namespace orvo::testing
