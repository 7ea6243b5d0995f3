// The component against a real CUPS scheduler of the test's own.
#include <gtest/gtest.h>

#include <optional>

#include "page_printer_host/module/cairo_renderer.h"
#include "page_printer_host/module/cups_queues.h"
#include "page_printer_host/cups_scheduler.h"
#include "page_printer_host/pdf_words.h"
#include "support/raised.h"

namespace orvo::page {
namespace {

using testing::raised;

class CupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cups_.emplace();
    ASSERT_FALSE(HasFatalFailure());
    cups_->add_queue("WIN3PA4");
    cups_->add_queue("LETTER", "-o media-default=na_letter_8.5x11in");
    cups_->add_queue("Closed");
    cups_->admin("cupsreject Closed");
    ASSERT_TRUE(cups_->jobs().empty());  // and libcups opens the connection it keeps
  }

  // The invoice number drawn, ended and delivered to the chosen (or current) queue.
  Delivered print(const std::string& queue) {
    PagePrinter p;
    p.set_preview(false);
    p.set_printer_name(queue);
    p.begin_document();
    p.set_x(1500);
    p.set_y(900);
    p.print_text("AB12345678");
    p.end_document();
    size_ = p.document().size;
    return p.deliver({{}, "AB12345678"});
  }

  std::optional<testing::CupsScheduler> cups_;
  PageSize size_;
};

TEST_F(CupsTest, QueuesAreThePrintersJobsArriveWithTitleAndTextAndRefusalsSayWhy) {
  PagePrinter p;
  ASSERT_EQ(p.printer_count(), 3);
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i) names.push_back(p.printer_name_at(i));
  EXPECT_EQ(names, (std::vector<std::string>{"Closed", "LETTER", "WIN3PA4"}));
  EXPECT_EQ(p.printer_name(), "");  // no default yet

  const struct {
    std::string queue, reason;
  } refusals[] = {{"Closed", "Destination \"Closed\" is not accepting jobs."},
                  {"WiseInv", "there is no such queue"}};
  for (const auto& c : refusals) {
    const Error e = raised([&] { print(c.queue); });
    EXPECT_EQ(e.number(), 57);
    EXPECT_EQ(e.description(), "the CUPS queue \"" + c.queue +
                                   "\" did not take the job \"AB12345678\": " + c.reason);
  }
  EXPECT_TRUE(cups_->jobs().empty());

  const Delivered done = print("WIN3PA4");
  EXPECT_EQ(done.to, Delivered::To::Queue);
  EXPECT_EQ(size_, kA4);
  const auto jobs = cups_->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].id, done.job_id);
  EXPECT_EQ(jobs[0].title, "AB12345678");
  ASSERT_EQ(jobs[0].document.substr(0, 5), "%PDF-");
  testing::TempDir dir;
  const auto words = testing::pdf_words(dir.write("job.pdf", jobs[0].document));
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(words[0].text, "AB12345678");
  EXPECT_NEAR(words[0].x_min, 75, 1.5);

  // The default queue is the current printer, and its paper counts.
  cups_->admin("lpadmin -d LETTER");
  EXPECT_EQ(PagePrinter().printer_name(), "LETTER");
  EXPECT_EQ(print("").queue, "LETTER");
  EXPECT_NEAR(size_.width, 12240, 1);
  EXPECT_NEAR(size_.height, 15840, 1);
  EXPECT_EQ(cups_->jobs().size(), 2u);
}

}  // namespace
}  // namespace orvo::page
