// Every layout, failing at each of its writes in turn, at its open and at its close: the host
// hears of it the layout's way, the channel is closed, nothing is left open, the printer has
// received exactly what came before the failure, and no form is claimed that was not finished
// (or begun, where the count grows as a form begins).
#include <functional>

#include "support/page_fixture.h"
#include "channel/port_memory.h"
#include "printer_object/print_dispatch.h"
#include "support/sales.h"
#include "shared/errlog.h"
#include "support/fd_count.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

struct Scenario {
  const char* name;
  const char* type;  // nullptr: TestPrint
  const char* detail;
  const char* settings;
  std::function<void(InvPrinter&)> sale;
  std::vector<ItemRow> items;
  std::string form_end = "\x0c";  // what the printer receives at the end of each form
  // The first and last write of each run of a store heading in the scenario's print. A heading
  // that raises hands the layout an object error to log; one that logs (under heading_proc)
  // returns, and the layout's next write finds the port still failing.
  std::vector<std::pair<std::size_t, std::size_t>> heading_writes = {};
  bool heading_raises = false;
  const char* heading_proc = nullptr;
  // PageCount grows as each next form is begun, so a failed print counts the form it failed on.
  bool counts_begun_form = false;
};

const Scenario kScenarios[] = {
    {"test print", nullptr, "", "", [](InvPrinter&) {}, {}},
    {"RP420 detail over two forms", "RP420", "Y", "chkPrintTime=Y\n", typical_sale,
     typical_items(14)},
    {"RP420 summary", "RP420", "N", "chkPrintMore=Y\n", typical_sale, typical_items(3)},
    {"RP420 total only", "RP420", "N", "chkNoInvCopy=Y\n", typical_sale, {}},
    {"RP420A detail over two forms", "RP420A", "Y", "chkPrintTime=Y\n", typical_sale,
     typical_items(14)},
    {"RP420A short form with cash", "RP420A", "N", "", typical_sale, {}},
    {"KTV420 with a remark", "KTV420", "Y", "", typical_sale, {}},
    {"TP3688 detail over two forms", "TP3688", "Y", "", typical_sale, typical_items(14), "\x1bVB\r"},
    {"TP3688 short form", "TP3688", "N", "",
     [](InvPrinter& p) { typical_sale(p), p.CheckNo = Variant(""); }, {}, "\x1bVB\r"},
    // Heading: feed, double width, number, normal width, feed, date, feed, buyer; the form change
    // adds a form feed first.
    {"DAYEH over two forms", "DAYEH", "Y", "", typical_sale, typical_items(14), "\x0c",
     {{3, 10}, {24, 32}}, true},
    // Heading: feed, date, machine, Head1, buyer; the form change adds feed, stamp, FF first.
    {"FE detail over two forms", "FE", "Y", "StoreNo=1234567\n", typical_sale, typical_items(20),
     "\x0c", {{3, 7}, {26, 33}}, false, "InvPrinter_InvHead_FE"},
    {"FE without detail", "FE", "N", "", typical_sale, typical_items(3), "\x0c", {{3, 7}}, false,
     "InvPrinter_InvHead_FE"},
    // Heading: four heading texts, date, machine, buyer.
    {"CF over two forms", "CF", "Y", "StoreNo=1234567\n", typical_sale, typical_items(20), "\x0c",
     {{3, 9}, {29, 38}}, false, "InvHead_CF"},
    {"SP320D over three forms", "SP320", "Y", "", typical_sale, typical_items(28), "\x0c", {},
     false, nullptr, true},
    {"SP320 summary", "SP320", "N", "txtSpecialRemark=R\n", typical_sale, {}},
    {"WP103 summary", "WP103", "N", "txtSpecialRemark=R\n", typical_sale, {}},
    {"SP300 summary", "SP300", "N", "", typical_sale, {}},
    {"SP200 summary", "SP200", "N", "", typical_sale, {}},
};

// What the error log writes between two records, for the fixed clock of the tests.
const std::string kLogStamp = "**記錄時間 - 10/03/05, 14:30:05 \r\n";

bool in_heading(const Scenario& s, std::size_t write) {
  for (const auto& [first, last] : s.heading_writes)
    if (write >= first && write <= last) return true;
  return false;
}

std::size_t count_of(const std::string& haystack, const std::string& needle) {
  std::size_t n = 0;
  for (auto at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1))
    ++n;
  return n;
}

class FaultInjectionTest : public PrinterTest {
 protected:
  struct Outcome {
    bool result = false;
    std::optional<Error> error;
    InvPrinter printer;
  };

  // One print of the scenario on a fresh object whose ports are memory ports recording into log.
  std::unique_ptr<Outcome> print(const Scenario& s, std::shared_ptr<MemoryPortLog> log) {
    settings(s.settings);
    auto out = std::make_unique<Outcome>(Outcome{false, std::nullopt, InvPrinter(host)});
    InvPrinter& p = out->printer;
    p.set_settings_file(dir_ / "settings.ini");
    p.set_port_opener(memory_port_opener(std::move(log)));
    p.InvPrintPort(Variant("LPT1"));
    s.sale(p);
    MemoryRecordset items(s.items);
    try {
      if (s.type) {
        p.InvPrintType(Variant(s.type));
        out->result = p.PrintInv(Variant(s.detail), items);
      } else {
        p.TestPrint();
        out->result = true;
      }
    } catch (const Error& e) {
      out->error = e;
    }
    return out;
  }

  // The failure must reach the host the way the layout's route says.
  // `logged_number`: the error's number as a layout that logs it sees it; `heading_logged`: the
  // heading that logged the failure before the layout met it.
  void expect_reported(const Scenario& s, const Outcome& o, const std::string& description,
                       std::int32_t logged_number = 57, const char* heading_logged = nullptr) {
    const Route* route = s.type ? &route_for(s.type, std::string(s.detail) == "Y") : nullptr;
    if (route && route->on_failure == OnFailure::ErrorLog) {
      EXPECT_FALSE(o.error.has_value());
      EXPECT_FALSE(o.result);
      std::string records;
      if (heading_logged)
        records = error_message(heading_logged, Error(57, description)) + kLogStamp;
      expect_logged(records + error_message(std::string(route->proc),
                                            Error(logged_number, description)));
      return;
    }
    ASSERT_TRUE(o.error.has_value());
    EXPECT_EQ(o.error->number(), kObjectError);
    EXPECT_EQ(o.error->source(), s.type ? "PrintInv" : "TestPrint");
    EXPECT_EQ(o.error->description(), description);
  }

  // The error log ends with these records.
  void expect_logged(const std::string& records) {
    const std::string record = to_cp950(records);
    const std::string log = read_file(dir_ / "error.log");
    EXPECT_EQ(log.substr(log.size() - std::min(log.size(), record.size())), record);
  }

  void expect_released(const MemoryPortLog& log, int fds) {
    EXPECT_FALSE(host->busy);
    EXPECT_FALSE(log.open);
    EXPECT_EQ(open_fd_count(), fds);
    for (std::int16_t f = 1; f <= 3; ++f) EXPECT_FALSE(channels().is_open(f)) << "#" << f;
  }
};

TEST_F(FaultInjectionTest, EveryWriteOpenAndClose) {
  for (const Scenario& s : kScenarios) {
    SCOPED_TRACE(s.name);
    const int fds = open_fd_count();
    auto clean_log = std::make_shared<MemoryPortLog>();
    const auto clean = print(s, clean_log);
    ASSERT_FALSE(clean->error.has_value()) << clean->error->description();
    ASSERT_TRUE(clean->result);
    const std::vector<std::string> writes = clean_log->writes;
    ASSERT_GT(writes.size(), 3u);

    for (std::size_t k = 1; k <= writes.size(); ++k) {
      SCOPED_TRACE("failing write " + std::to_string(k));
      auto log = std::make_shared<MemoryPortLog>();
      log->fail_write = k;
      const std::size_t boxes = host->boxes.size();
      const auto o = print(s, log);
      const bool heading = in_heading(s, k);
      const bool logs = s.type && route_for(s.type, std::string(s.detail) == "Y").on_failure ==
                                      OnFailure::ErrorLog;
      EXPECT_EQ(host->boxes.size() - boxes, logs ? 1 + (heading && !s.heading_raises) : 0);
      expect_reported(s, *o,
                      "Device I/O error: LPT1 (memory port): write " + std::to_string(k) +
                          " refused",
                      heading && s.heading_raises ? kObjectError : 57,
                      heading && !s.heading_raises ? s.heading_proc : nullptr);
      expect_released(*log, fds);
      EXPECT_EQ(log->writes, std::vector<std::string>(writes.begin(), writes.begin() + (k - 1)));
      const std::size_t finished = count_of(log->bytes(), s.form_end) + s.counts_begun_form;
      EXPECT_LE(Val(o->printer.PageCount), std::max<double>(1, static_cast<double>(finished)));
      if (HasFailure()) return;  // one broken write tells enough
    }

    auto no_open = std::make_shared<MemoryPortLog>();
    no_open->fail_open = true;
    const auto o = print(s, no_open);
    expect_reported(s, *o, "Device I/O error: LPT1 (memory port): open refused");
    expect_released(*no_open, fds);
    EXPECT_TRUE(no_open->writes.empty());

    // Closing is the last chance to hear that the data did not arrive: it fails the print.
    auto no_close = std::make_shared<MemoryPortLog>();
    no_close->fail_close = true;
    const auto c = print(s, no_close);
    expect_reported(s, *c, "Device I/O error: LPT1 (memory port): close refused");
    expect_released(*no_close, fds);
    EXPECT_EQ(no_close->writes, writes);
    EXPECT_EQ(no_close->closes, 1);
  }
}

// Page types draw the whole sheet first: they fail where it leaves, at rendering, at the queue,
// at the output file, or when it has nowhere to go.
class PageFaultTest : public PageTest {};

TEST_F(PageFaultTest, RenderSubmissionAndOutputFile) {
  const std::string missing = (dir_ / "none" / "sheet.pdf").string();
  const struct {
    const char* name;
    std::function<void()> fail;
    std::filesystem::path output;
    std::string description;
  } failures[] = {
      {"render", [&] { renderer->failure = "cairo: out of memory"; }, "", "cairo: out of memory"},
      {"submission", [&] { queues->rejection = "Destination \"Office\" is not accepting jobs."; },
       "", "Destination \"Office\" is not accepting jobs."},
      {"output file", [] {}, missing,
       "cannot write the page output \"" + missing + "\": No such file or directory"},
      {"nowhere", [&] { queues->current = ""; }, "",
       "no printer for the page document: no CUPS queue is chosen and there is no default one; "
       "give an output file (--page-output FILE or ORVO_PAGE_OUTPUT) or make a queue the default "
       "(lpadmin -d NAME)"},
  };
  for (const char* type : {"WIN3PA4", "WIN3PA4B", "WINLQM1", "WINLQ3P", "WISEINV"}) {
    for (const auto& f : failures) {
      SCOPED_TRACE(std::string(type) + ": " + f.name);
      // WISEINV always names its queue.
      if (std::string(type) == "WISEINV" && std::string(f.name) == "nowhere") continue;
      renderer->failure.clear();
      queues->rejection.clear();
      queues->current = "Office";
      f.fail();
      printer.set_page_output(f.output);
      printer.PageCount = Variant(7);
      const Error e = raised([&] { print(type); });
      EXPECT_EQ(e.number(), kObjectError);
      EXPECT_EQ(e.source(), "PrintInv");
      EXPECT_EQ(e.description(), f.description);
      EXPECT_FALSE(host->busy);
      EXPECT_TRUE(vsp().document_ended());
      EXPECT_TRUE(queues->jobs.empty());
      EXPECT_FALSE(std::filesystem::exists(missing));
      EXPECT_EQ(Str(printer.PageCount), "7");  // no sheet went out
    }
  }
}

}  // namespace
}  // namespace orvo::testing
