// Checking a sale in memory before paper is spent, and a print stopped by the process.
#include <csignal>

#include "layout_kit/layout_runner.h"
#include "channel/port_memory.h"
#include "support/printer_fixture.h"
#include "support/raised.h"
#include "support/sales.h"

namespace orvo::testing {
namespace {

using CheckTest = PrinterTest;

// The typical sale runs onto a new invoice roll, so the real print prompts the operator.
TEST_F(CheckTest, LayOutGivesThePrintsBytesAndLeavesTheObjectAlone) {
  settings("chkNoUserID=Y\nchkPrintTime=Y\n");
  typical_sale(printer);
  MemoryRecordset rows(typical_items(14));
  const std::string bytes = printer.lay_out(Variant("Y"), rows);
  EXPECT_FALSE(port_opened());
  EXPECT_TRUE(host->prompts.empty());
  EXPECT_TRUE(host->sleeps.empty());
  EXPECT_TRUE(host->busy_calls.empty());
  EXPECT_EQ(host->events, 0);
  EXPECT_TRUE(printer.InvPrintType().is_empty());
  EXPECT_TRUE(printer.PageCount.is_empty());
  EXPECT_EQ(Str(printer.UserID), "王小明");
  EXPECT_EQ(Str(printer.BottomLine1), "謝謝光臨");
  EXPECT_FALSE(printer.options().detail);

  MemoryRecordset again(typical_items(14));
  ASSERT_TRUE(printer.PrintInv(Variant("Y"), again));
  EXPECT_EQ(captured(), bytes);
  EXPECT_EQ(host->prompts.size(), 1u);
}

TEST_F(CheckTest, LayOutRaisesWhatThePrintWouldRaiseAndLogsNothing) {
  const struct {
    const char* name;
    std::function<void(InvPrinter&)> sale;
    std::vector<ItemRow> rows;
    std::string description;
    std::string source = "PrintInv";
  } cases[] = {
      {"an amount that is no number",
       [](InvPrinter& p) { p.InvAmt = Variant("abc"); },
       {},
       "Type mismatch: \"abc\" is not a number"},
      {"no port",
       [](InvPrinter& p) { p.InvPrintPort(Variant()); },
       {},
       "請先設定連接埠:InvPrintPort"},
      // Its sheet would go to the shared page host's queue or file.
      {"a page printer type",
       [](InvPrinter& p) { p.InvPrintType(Variant("WIN3PA4")); },
       {},
       "WIN3PA4 is a page printer type: it draws a page, not bytes; print it to a page output "
       "file to see it",
       "lay_out"},
      // A store layout only logs its failure and returns False: the check raises what it logs.
      {"a store sale with an item field missing",
       [](InvPrinter& p) { p.InvPrintType(Variant("DAYEH")); },
       {{{"itemname", Variant("X")}}},
       "Item cannot be found in the collection corresponding to the requested name or ordinal: "
       "PriceCap",
       "Print_DAYEH"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InvPrinter p(host);
    wire(p);
    typical_sale(p);
    c.sale(p);
    MemoryRecordset rows(c.rows);
    const Error e = raised([&] { p.lay_out(Variant("Y"), rows); });
    EXPECT_EQ(e.number(), kObjectError);
    EXPECT_EQ(e.source(), c.source);
    EXPECT_EQ(e.description(), c.description);
  }
  EXPECT_FALSE(port_opened());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "error.log"));
  EXPECT_TRUE(host->boxes.empty());
}

// What the print logs and goes on from, or prints blank (Null in arithmetic gives Null), is no
// failure: the check passes, gives the print's bytes and logs nothing; the print then logs.
TEST_F(CheckTest, PassesWhatThePrintCompletes) {
  const Variant null = Variant::null();
  const struct {
    const char* type;
    const char* detail;
    std::function<void(InvPrinter&)> sale;
    int logged;           // records the print appends
    std::string printed;  // a line the print shows, blank where the value is Null
  } cases[] = {
      {"SP320", "N", [](InvPrinter& p) { p.InvDate = Variant("明天"); }, 1, "      \n"},
      {"WP103", "N", [&](InvPrinter& p) { p.InvDate = null; }, 1, "      \n"},
      {"SP200", "N", [](InvPrinter& p) { p.InvDate = Variant(3e6); }, 1, ""},
      {"SP320", "N", [&](InvPrinter& p) { p.TaxAdd = null; }, 0, std::string(15, ' ') + "元"},
      {"SP300", "N", [&](InvPrinter& p) { p.SCharge = null; }, 0,
       "  餐 費     " + std::string(20, ' ') + "元\n"},
      {"SP300", "N", [&](InvPrinter& p) { p.TaxAdd = null; }, 0, std::string(32, ' ') + "元\n"},
      {"FE", "Y", [&](InvPrinter& p) { p.SCharge = null; }, 0, "總計:"},
      {"CF", "Y", [&](InvPrinter& p) { p.SCharge = null; }, 0, "總計:"},
      {"FE", "Y", [&](InvPrinter& p) { p.OrderAmt = null; }, 0,
       "小計:" + std::string(18, ' ') + "\n"},
      {"DAYEH", "Y", [&](InvPrinter& p) { p.OrderAmt = null; }, 0, "小計:" + std::string(18, ' ')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.printed);
    InvPrinter p(host);
    wire(p);
    typical_sale(p);
    p.InvPrintType(Variant(c.type));
    c.sale(p);
    host->boxes.clear();
    std::filesystem::remove(dir_ / "error.log");
    MemoryRecordset first(typical_items(3)), second(typical_items(3)), third(typical_items(3));
    const std::string bytes = p.lay_out(Variant(c.detail), first);
    EXPECT_EQ(p.check(Variant(c.detail), second), bytes.size());
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "error.log"));
    ASSERT_TRUE(p.PrintInv(Variant(c.detail), third));
    EXPECT_EQ(captured(), bytes);
    EXPECT_EQ(host->boxes.size(), static_cast<std::size_t>(c.logged));
    EXPECT_NE(bytes.find(to_cp950(c.printed)), std::string::npos);
  }
}

struct NoStopAfterwards {
  ~NoStopAfterwards() { interrupt_prints(0); }
};

// The signal arrives between two lines.
bool stopped_half_way(PrintJob&, ByteSink& out) {
  out.text("one");
  interrupt_prints(SIGINT);
  out.text("two");
  return true;
}

// A stop is no failure of the layout: whatever its policy, the caller hears of it, and the port
// is closed with what it took recorded.
TEST_F(CheckTest, AStoppedPrintIsRaisedWhateverThePolicy) {
  auto log = std::make_shared<MemoryPortLog>();
  const PortOpener opener = memory_port_opener(log);
  MemoryRecordset rows;
  const Variant none;
  const Settings settings;
  PrintOptions opt;
  PrintJob job{printer, none, opt, settings, *host, rows, none};
  for (const OnFailure policy : {OnFailure::Raise, OnFailure::ErrorLog}) {
    const NoStopAfterwards reset;
    const Error e = raised([&] {
      run_roll_layout("Print_X", policy, stopped_half_way, job, {channels(), "LPT1", opener});
    });
    EXPECT_EQ(e.number(), kObjectError);
    EXPECT_EQ(e.source(), "Print_X");
    EXPECT_EQ(e.description(), "User interrupt occurred: stopped by signal 2 (Interrupt)");
    EXPECT_FALSE(log->open);
    EXPECT_EQ(log->bytes(), "one\n");
    ASSERT_TRUE(channels().last_delivery());
    EXPECT_EQ(channels().last_delivery()->port, "LPT1");
    EXPECT_EQ(channels().last_delivery()->bytes, 4u);
  }
  EXPECT_EQ(log->closes, 2);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "error.log"));
  EXPECT_TRUE(host->boxes.empty());
}

}  // namespace
}  // namespace orvo::testing
