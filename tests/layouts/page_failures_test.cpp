// How the page types fail and where they print: a date that is none, an amount too large for the
// numeral boxes, the procedure names of their errors, and the queue or file the sheet goes to.
#include "layouts/page/page_layouts.h"
#include "printer_object/print_dispatch.h"
#include "shared/errlog.h"
#include "support/page_fixture.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

class PageFailureTest : public PageTest {
 protected:
  // A job on the printer's record, for calling a route's runner or a layout directly.
  PrintOptions opt;
  Settings no_settings;
  MemoryRecordset no_items;
  Variant no_detail;
  PrintJob job{printer, printer.InvNo(), opt, no_settings, *host, no_items, no_detail};
};

const char* const kTypes[] = {"WIN3PA4", "WIN3PA4B", "WINLQM1", "WINLQ3P", "WISEINV"};

TEST_F(PageFailureTest, AnInvDateThatIsNoDateEndsThePrintUnderTheLayoutsName) {
  printer.InvDate = Variant("2010/13/45");
  const std::string why = "Type mismatch: \"2010/13/45\" is not a date";
  for (const char* type : kTypes) {
    SCOPED_TRACE(type);
    printer.PageCount = Variant(7);
    const Error e = raised([&] { print(type); });
    EXPECT_EQ(e.number(), kObjectError);
    EXPECT_EQ(e.source(), "PrintInv");
    EXPECT_EQ(e.description(), why);
    EXPECT_FALSE(host->busy);
    EXPECT_TRUE(vsp().document_open());  // begun, never ended or sent
    EXPECT_TRUE(queues->jobs.empty());
    EXPECT_EQ(Str(printer.PageCount), "7");

    const Route& route = route_for(type, false);
    EXPECT_EQ(route.proc, "Print_" + std::string(type));
    const Error direct = raised([&] {
      run_page_layout(route.proc, route.on_failure, route.page, job, {*window, {}});
    });
    EXPECT_EQ(direct.number(), kObjectError);
    EXPECT_EQ(direct.source(), route.proc);
    EXPECT_EQ(direct.description(), why);
  }
  // WISEINV reads the date in its heading, which raises under its own name.
  const Error heading = raised([&] { Print_WISEINV(job, vsp()); });
  EXPECT_EQ(heading.source(), "InvHead_WISEINV");
  EXPECT_EQ(heading.description(), why);
  EXPECT_TRUE(host->boxes.empty());

  // Reported through the error log instead, the failure is False.
  const Route& route = route_for("WIN3PA4", false);
  EXPECT_FALSE(run_page_layout(route.proc, OnFailure::ErrorLog, route.page, job, {*window, {}}));
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].text, error_message("Print_WIN3PA4", Error(13, why)));
}

TEST_F(PageFailureTest, AnAmountTooLargeForTheBoxesLeavesThemEmptyAfterTheErrorLog) {
  printer.InvAmt = Variant(123456789);
  const std::string record =
      error_message("basBase_Num2Cstr8", Error(5, "Invalid procedure call or argument"));
  for (const char* type : kTypes) {
    SCOPED_TRACE(type);
    host->boxes.clear();
    queues->jobs.clear();
    ASSERT_TRUE(print(type));
    std::vector<std::string> numerals;
    bool inv_no = false;
    for (const Drawn& d : texts()) {
      if (d.text.size() == 3 &&
          std::string("零壹貳參肆伍陸柒捌玖").find(d.text) != std::string::npos) {
        numerals.push_back(d.text);
      }
      inv_no = inv_no || d.text == "AB12345249";
    }
    // WINLQM1 prints its own 零 before the boxes.
    EXPECT_EQ(numerals, std::string(type) == "WINLQM1" ? std::vector<std::string>{"零"}
                                                       : std::vector<std::string>{});
    EXPECT_TRUE(inv_no);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].text, record);
    EXPECT_EQ(queues->jobs.size(), 1u);
  }
  const std::string log = read_file(dir_ / "error.log");
  EXPECT_NE(log.find(to_cp950(record)), std::string::npos);
}

TEST_F(PageFailureTest, TheSheetGoesToTheTypesQueueWhenInstalledElseToTheCurrentPrinter) {
  // One window for the process: a queue once chosen stays the current printer.
  const struct {
    const char* type;
    std::vector<std::string> installed;
    const char* queue;
  } prints[] = {
      {"WIN3PA4", {"win3pa4", "WIN3PA4 "}, "Office"},  // names compare exactly
      {"WIN3PA4B", {"WIN3PA4"}, "Office"},
      {"WINLQM1", {}, "Office"},
      {"WIN3PA4", {"Office", "WIN3PA4"}, "WIN3PA4"},
      {"WINLQ3P", {"WINLQ3P"}, "WINLQ3P"},
      {"WINLQM1", {}, "WINLQ3P"},
      {"WISEINV", {}, "WiseInv"},
      {"WIN3PA4B", {"WIN3PA4B"}, "WIN3PA4B"},
  };
  for (const auto& p : prints) {
    SCOPED_TRACE(std::string(p.type) + " then " + p.queue);
    queues->installed = p.installed;
    queues->jobs.clear();
    ASSERT_TRUE(print(p.type));
    ASSERT_EQ(queues->jobs.size(), 1u);
    EXPECT_EQ(queues->jobs[0].queue, p.queue);
    EXPECT_EQ(queues->jobs[0].title, "AB12345249");
    EXPECT_FALSE(vsp().preview());
  }
  EXPECT_EQ(window->caption(), "報表預覽畫面");
}

TEST_F(PageFailureTest, TheOutputFileIsTheObjectsElseTheEnvironmentsElseTheQueue) {
  ScopedEnv env{"ORVO_PAGE_OUTPUT", (dir_ / "env.pdf").c_str()};
  const struct {
    std::optional<std::filesystem::path> output;
    const char* file;  // nullptr: the queue
  } cases[] = {{dir_ / "own.png", "own.png"}, {std::nullopt, "env.pdf"}, {"", nullptr}};
  for (const auto& c : cases) {
    queues->jobs.clear();
    printer.set_page_output(c.output);
    ASSERT_TRUE(print("WINLQ3P"));
    if (c.file) {
      EXPECT_EQ(read_file(dir_ / c.file).substr(0, 4),
                std::string(c.file).ends_with(".pdf") ? "%PDF" : "PNG ");
      EXPECT_TRUE(queues->jobs.empty());
    } else {
      EXPECT_EQ(queues->jobs.size(), 1u);
    }
  }
}

}  // namespace
}  // namespace orvo::testing
