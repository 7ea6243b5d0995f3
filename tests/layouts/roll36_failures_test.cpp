// How the RP420A, KTV420 and TP3688 fail: bad amounts, an unusable port, and the procedure names
// their errors carry.
#include <functional>

#include "direct_job.h"
#include "printer_object/print_dispatch.h"
#include "support/printer_fixture.h"
#include "support/raised.h"
#include "support/sales.h"

namespace orvo::testing {
namespace {

class Roll36FailureTest : public PrinterTest {};

TEST_F(Roll36FailureTest, TextThatIsNoNumberEndsThePrintWhereItIsUsed) {
  const std::string heading_end = "  \n" + feed(1);  // RP420A: no bill number, no buyer
  const struct {
    const char* type;
    const char* detail;
    std::function<void(InvPrinter&)> sale;
    std::string value;
    std::string last_sent;  // the end of what reached the printer
  } cases[] = {
      {"RP420A", "N", [](InvPrinter& p) { p.InvAmt = Variant("一千"); }, "一千", heading_end},
      // The split is worked out before the items, so none of them is printed.
      {"RP420A", "Y", [](InvPrinter& p) { p.InvAmt = Variant("12元"); }, "12元", heading_end},
      {"KTV420", "N", [](InvPrinter& p) { p.SCharge = Variant("一百"); }, "一百",
       "包廂代號:A12-1\n" + feed(1)},
      {"KTV420", "N", [](InvPrinter& p) { p.SCharge = Variant(""); }, "",
       "包廂代號:A12-1\n" + feed(1)},
      {"TP3688", "N", [](InvPrinter& p) { p.CheckNo = Variant(), p.InvAmt = Variant("abc"); },
       "abc", ESC + "PB1         合計金額: abc元\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.detail + " " + c.value);
    InvPrinter p(host);
    wire(p);
    typical_sale(p);
    p.CheckNo = p.BNo = p.Remark = Variant();
    p.OrderAmt = Variant(7);
    p.InvPrintType(Variant(c.type));
    c.sale(p);
    MemoryRecordset items(typical_items(2));
    const Error e = raised([&] { p.PrintInv(Variant(c.detail), items); });
    EXPECT_EQ(e.number(), kObjectError);
    EXPECT_EQ(e.source(), "PrintInv");
    EXPECT_EQ(e.description(), "Type mismatch: \"" + c.value + "\" is not a number");
    const std::string sent = captured();
    const std::string last = to_cp950(c.last_sent);
    EXPECT_EQ(sent.substr(sent.size() - std::min(sent.size(), last.size())), last);
    EXPECT_EQ(Str(p.PageCount), "1");
    EXPECT_EQ(Str(p.OrderAmt), "7");  // KTV420 writes it back only once the split is known
    EXPECT_FALSE(channels().is_open(1));
    EXPECT_FALSE(host->busy);
  }
}

TEST_F(Roll36FailureTest, AnEmptyPortNameIsRefusedByTheChannel) {
  for (const char* type : {"RP420A", "KTV420", "TP3688"}) {
    SCOPED_TRACE(type);
    InvPrinter p(host);
    p.set_settings_file(dir_ / "settings.ini");
    p.InvPrintPort(Variant(""));
    p.InvPrintType(Variant(type));
    typical_sale(p);
    MemoryRecordset none;
    const Error e = raised([&] { p.PrintInv(Variant("N"), none); });
    EXPECT_EQ(e.source(), "PrintInv");
    EXPECT_EQ(e.description(), "Bad file name: : empty port name");
  }
}

// A failure at the first write is the layout's; one in the first heading is the heading's where
// the row keeps its heading's errors, and the layout's otherwise (RP420A's InvHead).
TEST(Roll36ProcedureNames, LayoutsAndHeadingsRaiseUnderTheirOwnNames) {
  const struct {
    const char* type;
    int write;
    const char* source;
  } cases[] = {
      {"RP420", 1, "PrintInv"},        {"RP420A", 1, "Print_RP420A"}, {"RP420A", 3, "Print_RP420A"},
      {"KTV420", 1, "Print_KTV420"},   {"KTV420", 3, "InvHeadKTV"},   {"TP3688", 1, "Print_TP3688"},
      {"TP3688", 2, "InvHead_TP3688"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " write " + std::to_string(c.write));
    DirectJob d;
    auto log = std::make_shared<MemoryPortLog>();
    log->fail_write = c.write;
    const Route& route = route_for(c.type, false);
    const Error e = raised([&] {
      run_roll_layout(route.proc, route.on_failure, route.roll, d.job,
                      {d.table, "LPT1", memory_port_opener(log)}, route.heading);
    });
    EXPECT_EQ(e.number(), kObjectError);
    EXPECT_EQ(e.source(), c.source);
    EXPECT_EQ(e.description(), "Device I/O error: LPT1 (memory port): write " +
                                   std::to_string(c.write) + " refused");
    EXPECT_FALSE(log->open);
  }
}

}  // namespace
}  // namespace orvo::testing
