// How roll layouts fail outside what a printed case shows: an unusable port, and the procedure
// names their errors carry when the runner runs them.
#include "direct_job.h"
#include "printer_object/print_dispatch.h"
#include "support/printer_fixture.h"
#include "support/raised.h"
#include "support/sales.h"

namespace orvo::testing {
namespace {

class Roll36FailureTest : public PrinterTest {};

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
TEST(ProcedureNames, LayoutsAndHeadingsRaiseUnderTheirOwnNames) {
  const struct {
    const char* type;
    int write;
    const char* source;
    bool detail = false;
  } cases[] = {
      {"RP420", 1, "PrintInv"},           {"RP420A", 1, "Print_RP420A"},
      {"RP420A", 3, "Print_RP420A"},      {"KTV420", 1, "Print_KTV420"},
      {"KTV420", 3, "InvHeadKTV"},        {"TP3688", 1, "Print_TP3688"},
      {"TP3688", 2, "InvHead_TP3688"},    {"SP320", 1, "Print_SP320"},
      {"SP320", 1, "Print_SP320D", true}, {"WP103", 1, "Print_WP103"},
      {"SP300", 1, "Print_SP300"},        {"SP200", 1, "Print_SP200"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " write " + std::to_string(c.write));
    DirectJob d;
    auto log = std::make_shared<MemoryPortLog>();
    log->fail_write = c.write;
    const Route& route = route_for(c.type, c.detail);
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
