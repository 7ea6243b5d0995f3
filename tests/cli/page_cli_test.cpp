// orvo-invoice printing a page type: on a queue of a private CUPS scheduler, or into the page
// output file.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "cli/cli_run.h"
#include "page_printer_host/cups_scheduler.h"
#include "page_printer_host/pdf_words.h"

namespace orvo::testing {
namespace {

namespace fs = std::filesystem;

class PageCli : public ::testing::Test {
 protected:
  void SetUp() override {
    cups_.emplace();
    ASSERT_FALSE(HasFatalFailure());
    cups_->add_queue("WIN3PA4");
  }

  // The example sheet on the demo's clock, by `tool`.
  static Outcome print(const Tool& tool, const std::string& args = "") {
    return tool.run(words("print " ORVO_SOURCE_DIR "/examples/office_supplies_a4.json --type "
                          "WIN3PA4 --port unused --now 2010-03-05T14:30:05 --no-pause --prompt "
                          "none --settings /dev/null --error-log error.log " +
                          args));
  }

  // The invoice number's words in a PDF: one per copy, the first at its x.
  static void expect_three_copies(const fs::path& pdf) {
    std::vector<PdfWord> numbers;
    for (const PdfWord& w : pdf_words(pdf)) {
      if (w.text == "KM20250318") numbers.push_back(w);
    }
    ASSERT_EQ(numbers.size(), 3u);
    EXPECT_NEAR(numbers[0].x_min, 1500 / 20.0, 1.5);
  }

  TempDir dir_;
  // A sanitizer build of the tool loads fontconfig, which keeps some blocks to the end.
  Tool tool_{dir_.path,
             {"LSAN_OPTIONS=print_suppressions=0:suppressions=" ORVO_SOURCE_DIR
              "/tests/support/fontconfig.supp"}};
  std::optional<CupsScheduler> cups_;
};

TEST_F(PageCli, TheSheetIsAJobOnTheQueueNamedAfterTheType) {
  const Outcome r = print(tool_);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  const auto jobs = cups_->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "KM20250318");
  ASSERT_EQ(jobs[0].document.substr(0, 5), "%PDF-");
  expect_three_copies(dir_.write("job.pdf", jobs[0].document));
}

TEST_F(PageCli, ThePageOutputGoesToItsFileInsteadOfAQueue) {
  ASSERT_EQ(print(tool_, "--page-output a.pdf").status, 0);
  expect_three_copies(dir_ / "a.pdf");
  Tool by_env = tool_;
  by_env.env.push_back("ORVO_PAGE_OUTPUT=b.png");
  const Outcome r = print(by_env);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(dir_ / "b.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_TRUE(cups_->jobs().empty());
}

// A copy of the tool takes the modules beside it first, and falls back on the build's.
TEST_F(PageCli, AToolCopiedElsewhereFindsItsModules) {
  const fs::path elsewhere = dir_ / "elsewhere";
  Tool copy = tool_;
  copy.program = elsewhere / "orvo-invoice";
  fs::create_directory(elsewhere);
  fs::copy_file(tool_.program, copy.program);
  const Outcome found = print(copy, "--page-output a.pdf");
  ASSERT_EQ(found.status, 0) << found.err;
  expect_three_copies(dir_ / "a.pdf");
  std::ofstream(elsewhere / "orvo-page.so") << "not a module";
  const Outcome broken = print(copy, "--page-output a.pdf");
  EXPECT_EQ(broken.status, 3);
  EXPECT_EQ(broken.err,
            "error -2147221504 from PrintInv: cannot load the module orvo-page.so (looked in " +
                elsewhere.string() + "): " + (elsewhere / "orvo-page.so").string() +
                ": file too short\n");
}

}  // namespace
}  // namespace orvo::testing
