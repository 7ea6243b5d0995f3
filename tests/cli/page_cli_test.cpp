// orvo-invoice printing a page type: on a queue of a private CUPS scheduler, into the page
// output file, and the errors of each.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <optional>

#include "page_printer_host/cups_scheduler.h"
#include "page_printer_host/pdf_words.h"

namespace orvo::testing {
namespace {

class PageCli : public ::testing::Test {
 protected:
  void SetUp() override {
    cups_.emplace();
    ASSERT_FALSE(HasFatalFailure());
    cups_->add_queue("WIN3PA4");
    cups_->add_queue("WIN3PA4B");
    cups_->admin("cupsreject WIN3PA4B");
    dir_.write("settings.ini", "");  // a named settings file must exist
  }

  struct Run {
    int status;
    std::string output;  // stdout and stderr
  };
  // orvo-invoice (the build's, or the one in `program_dir`) printing the example sheet with
  // `args` after `env`, on the demo's clock.
  Run print(const std::string& args, const std::string& env = "",
            const std::string& program_dir = "") const {
    const char* bin_dir = std::getenv("ORVO_BIN_DIR");
    const char* source_dir = std::getenv("ORVO_SOURCE_DIR");
    const std::string bin =
        !program_dir.empty() ? program_dir : bin_dir ? bin_dir : "ORVO_BIN_DIR unset";
    const std::string src =
        source_dir ? source_dir
                   : (std::filesystem::path(__FILE__).parent_path() / "../..").string();
    // A sanitizer build of the tool loads fontconfig, which keeps some blocks to the end.
    const std::string lsan = "LSAN_OPTIONS=print_suppressions=0:suppressions='" + src +
                             "/tests/support/fontconfig.supp' ";
    const std::string command = lsan + env + " '" + bin + "/orvo-invoice' print '" + src +
                                "/examples/office_supplies_a4.json' --port unused --now "
                                "2010-03-05T14:30:05 --no-pause --prompt none --settings '" +
                                (dir_ / "settings.ini").string() + "' --error-log '" +
                                (dir_ / "error.log").string() + "' " + args + " 2>&1";
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) return {-1, "cannot run: " + command};
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
  }

  // The invoice number's words in a PDF: one per copy, the first at its x.
  static void expect_three_copies(const std::filesystem::path& pdf) {
    std::vector<PdfWord> numbers;
    for (const PdfWord& w : pdf_words(pdf)) {
      if (w.text == "KM20250318") numbers.push_back(w);
    }
    ASSERT_EQ(numbers.size(), 3u);
    EXPECT_NEAR(numbers[0].x_min, 1500 / 20.0, 1.5);
  }

  TempDir dir_;
  std::optional<CupsScheduler> cups_;
};

TEST_F(PageCli, TheSheetIsAJobOnTheQueueNamedAfterTheType) {
  const Run r = print("--type WIN3PA4");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, "");
  const auto jobs = cups_->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "KM20250318");
  ASSERT_EQ(jobs[0].document.substr(0, 5), "%PDF-");
  expect_three_copies(dir_.write("job.pdf", jobs[0].document));
}

TEST_F(PageCli, ThePageOutputGoesToItsFileInsteadOfAQueue) {
  ASSERT_EQ(print("--type WIN3PA4 --page-output '" + (dir_ / "a.pdf").string() + "'").status, 0);
  expect_three_copies(dir_ / "a.pdf");
  const Run r = print("--type WIN3PA4", "ORVO_PAGE_OUTPUT='" + (dir_ / "b.png").string() + "'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(read_file(dir_ / "b.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_TRUE(cups_->jobs().empty());
}

TEST_F(PageCli, ARefusedJobNoQueueAnUnwritableFileOrNoModuleExitThreeSayingWhy) {
  const std::string from = "error -2147221504 from PrintInv: ";
  const std::string missing = (dir_ / "none" / "x.pdf").string();
  const struct {
    std::string args, why, env;
  } cases[] = {
      {"--type WIN3PA4B",
       "the CUPS queue \"WIN3PA4B\" did not take the job \"KM20250318\": Destination "
       "\"WIN3PA4B\" is not accepting jobs.", ""},
      {"--type WISEINV",
       "the CUPS queue \"WiseInv\" did not take the job \"KM20250318\": there is no such queue", ""},
      {"--type WINLQM1",
       "no printer for the page document: no CUPS queue is chosen and there is no default one; "
       "give an output file (--page-output FILE or ORVO_PAGE_OUTPUT) or make a queue the "
       "default (lpadmin -d NAME)", ""},
      {"--type WINLQ3P --page-output '" + missing + "'",
       "cannot write the page output \"" + missing + "\": No such file or directory", ""},
      {"--type WIN3PA4",
       "cannot load the module orvo-page.so (looked in " + dir_.path.string() + "): not found",
       "ORVO_MODULE_DIR='" + dir_.path.string() + "'"},
  };
  for (const auto& c : cases) {
    const Run r = print(c.args, c.env);
    EXPECT_EQ(r.status, 3) << c.args;
    EXPECT_EQ(r.output, from + c.why + "\n");
  }
  EXPECT_TRUE(cups_->jobs().empty());
}

// A copy of the tool takes the modules beside it first, and falls back on the build's.
TEST_F(PageCli, AToolCopiedElsewhereFindsItsModules) {
  const std::filesystem::path copy = dir_ / "elsewhere";
  std::filesystem::create_directory(copy);
  std::filesystem::copy_file(std::string(std::getenv("ORVO_BIN_DIR")) + "/orvo-invoice",
                             copy / "orvo-invoice");
  const std::string pdf = (dir_ / "a.pdf").string();
  const Run found = print("--type WIN3PA4 --page-output '" + pdf + "'", "", copy.string());
  ASSERT_EQ(found.status, 0) << found.output;
  expect_three_copies(pdf);
  std::ofstream(copy / "orvo-page.so") << "not a module";
  const Run broken = print("--type WIN3PA4 --page-output '" + pdf + "'", "", copy.string());
  EXPECT_EQ(broken.status, 3);
  EXPECT_EQ(broken.output, "error -2147221504 from PrintInv: cannot load the module orvo-page.so "
                           "(looked in " + copy.string() + "): " +
                           (copy / "orvo-page.so").string() + ": file too short\n");
}

}  // namespace
}  // namespace orvo::testing
