// Bad input on the form printers: what the host hears, and that the channel is closed.
#include "layouts/form_fixture.h"
#include "channel/port_memory.h"
#include "printer_object/print_dispatch.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

const struct {
  const char* type;
  const char* detail;
  const char* proc;
  const char* field;  // set to text that is no number
  const char* date_context;  // where the date shows, blank when it is no date
  const char* failed_page_count;  // the form count a failed print leaves
  int items = 0;                   // one-line items sold
} kForms[] = {
    // Fifteen items fill the first form, so the amounts fail on the second.
    {"SP320", "Y", "Print_SP320D", "InvAmt", "檢碼(5249)\n       14:30\n", "2", 13},
    {"SP320", "N", "Print_SP320", "InvAmt", "檢碼(5249)\n      \n", "7"},
    {"WP103", "N", "Print_WP103", "SCharge", "檢碼(5249)\n      \n", "7"},
    {"SP300", "N", "Print_SP300", "TaxAdd", "檢碼(5249)\n      \n", "7"},
    {"SP200", "N", "Print_SP200", "InvAmt", "路1號\r\n\r\n    \r\n    24536806\r\n", "7"},
};

bool any_channel_open() {
  for (std::int16_t f = 1; f <= 3; ++f)
    if (channels().is_open(f)) return true;
  return false;
}

TEST_F(FormTest, NonNumericAmountRaisesUnderTheLayoutsNameAndClosesTheChannel) {
  for (const auto& f : kForms) {
    SCOPED_TRACE(f.proc);
    typical_sale(printer);
    *printer.field(f.field) = Variant("一千");
    printer.PageCount = Variant(7);  // only the SP320 with items counts forms
    printer.InvPrintType(Variant(f.type));
    const auto rows = f.items ? typical_items(f.items) : std::vector<ItemRow>{};
    MemoryRecordset items(rows);
    const Error through_print = raised([&] { printer.PrintInv(Variant(f.detail), items); });
    EXPECT_EQ(through_print.number(), kObjectError);
    EXPECT_EQ(through_print.source(), "PrintInv");
    EXPECT_NE(through_print.description().find("一千"), std::string::npos)
        << through_print.description();
    EXPECT_FALSE(any_channel_open());
    EXPECT_EQ(Str(printer.PageCount), f.failed_page_count);

    // Called by its route, the layout raises under its own name.
    const Route& route = route_for(f.type, std::string(f.detail) == "Y");
    PrintOptions opt;
    opt.total_label = "消費合計";
    const Settings settings;
    const Variant detail(f.detail);
    MemoryRecordset again(rows);
    PrintJob job{printer, printer.InvNo(), opt, settings, *host, again, detail};
    const PortOpener opener = memory_port_opener(std::make_shared<MemoryPortLog>());
    const Error direct = raised(
        [&] { run_roll_layout(route.proc, route.on_failure, route.roll, job, {channels(), "LPT1", opener}); });
    EXPECT_EQ(direct.number(), kObjectError);
    EXPECT_EQ(direct.source(), f.proc);
    EXPECT_EQ(direct.description(), through_print.description());
    EXPECT_FALSE(any_channel_open());
  }
}

TEST_F(FormTest, InvoiceDateThatIsNoDateIsLoggedAndPrintedBlank) {
  for (const auto& f : kForms) {
    SCOPED_TRACE(f.proc);
    host->boxes.clear();
    printer.InvDate = Variant("明天");
    const std::string bytes = print(f.type, f.detail);
    EXPECT_NE(bytes.find(to_cp950(f.date_context)), std::string::npos);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].text.rfind("處理程序: (ROCDate8)", 0), 0u) << host->boxes[0].text;
    EXPECT_FALSE(any_channel_open());
  }
}

}  // namespace
}  // namespace orvo::testing
