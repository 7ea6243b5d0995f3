// What a page type's printed case cannot show: the names its errors carry when it runs directly,
// and the file or queue its sheet goes to. What each type draws is in tests/cases.
#include "layouts/page/page_layouts.h"
#include "printer_object/print_dispatch.h"
#include "shared/errlog.h"
#include "support/page_fixture.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

using PageFailureTest = PageTest;

TEST_F(PageFailureTest, RunDirectlyAnErrorCarriesTheLayoutsName) {
  printer.InvDate = Variant("2010/13/45");
  // A job on the printer's record, for calling a route's runner or a layout directly.
  PrintOptions opt;
  const Settings no_settings;
  MemoryRecordset no_items;
  const Variant no_detail;
  PrintJob job{printer, printer.InvNo(), opt, no_settings, *host, no_items, no_detail};
  const std::string why = "Type mismatch: \"2010/13/45\" is not a date";
  for (const char* type : {"WIN3PA4", "WIN3PA4B", "WINLQM1", "WINLQ3P", "WISEINV"}) {
    SCOPED_TRACE(type);
    const Route& route = route_for(type, false);
    const Error e = raised([&] {
      run_page_layout(route.proc, route.on_failure, route.page, job, {*window, {}});
    });
    EXPECT_EQ(e.number(), kObjectError);
    EXPECT_EQ(e.source(), "Print_" + std::string(type));
    EXPECT_EQ(e.description(), why);
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

TEST_F(PageFailureTest, TheOutputFileIsTheObjectsElseTheEnvironmentsElseTheQueue) {
  ScopedEnv env{"ORVO_PAGE_OUTPUT", (dir_ / "env.pdf").c_str()};
  printer.set_page_output(dir_ / "own.png");
  ASSERT_TRUE(print("WINLQ3P"));
  EXPECT_EQ(read_file(dir_ / "own.png"), "PNG 1 at 150");
  printer.set_page_output(std::nullopt);
  ASSERT_TRUE(print("WINLQ3P"));
  EXPECT_EQ(read_file(dir_ / "env.pdf"), "%PDF pages=1");
  EXPECT_TRUE(queues->jobs.empty());
  printer.set_page_output(std::filesystem::path());  // not unset: the queue even so
  ASSERT_TRUE(print("WINLQ3P"));
  EXPECT_EQ(queues->jobs.size(), 1u);
}

}  // namespace
}  // namespace orvo::testing
