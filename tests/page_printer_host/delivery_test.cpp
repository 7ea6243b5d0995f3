#include <gtest/gtest.h>

#include "page_printer_host/page_fakes.h"
#include "page_printer_host/page_printer.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo::page {
namespace {

using testing::raised;
using testing::read_file;
using To = Delivered::To;

class DeliveryTest : public ::testing::Test {
 protected:
  // A document of `pages` pages, ended, with the preview switch off.
  void draw(int pages) {
    p_.set_preview(false);
    p_.begin_document();
    for (int i = 0; i < pages; ++i) {
      p_.set_y(i == 0 ? 0 : 20000);  // past the bottom: the next page
      p_.print_text("AB12345678");
    }
    p_.end_document();
  }

  testing::TempDir dir_;
  std::shared_ptr<testing::FakeQueues> queues_ = std::make_shared<testing::FakeQueues>();
  std::shared_ptr<testing::FakeRenderer> renderer_ = std::make_shared<testing::FakeRenderer>();
  PagePrinter p_{queues_, std::make_shared<testing::FixedMetrics>(), renderer_};
};

TEST_F(DeliveryTest, AnOutputFileWinsOverQueuesAQueueGetsOneJobAndAPreviewIsKept) {
  queues_->current = "WIN3PA4";
  struct Case {
    int pages;
    std::string output, chosen;
    To to;
    std::vector<std::string> files;  // name and content
    std::string queue;
    bool preview = false;
  } cases[] = {
      {1, "x.pdf", "", To::Files, {"x.pdf", "%PDF pages=1"}, ""},
      {2, "x.PDF", "", To::Files, {"x.PDF", "%PDF pages=2"}, ""},
      {1, "x.png", "", To::Files, {"x.png", "PNG 1 at 150"}, ""},
      {2, "x.png", "", To::Files, {"x-1.png", "PNG 1 at 150", "x-2.png", "PNG 2 at 150"}, ""},
      {1, "", "", To::Queue, {}, "WIN3PA4"},
      {1, "", "WiseInv", To::Queue, {}, "WiseInv"},
      {1, "kept.pdf", "", To::Kept, {}, "", true},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.output + t.chosen);
    queues_->jobs.clear();
    p_.set_printer_name(t.chosen);
    draw(t.pages);
    p_.set_preview(t.preview);
    const auto output = t.output.empty() ? std::filesystem::path() : dir_ / t.output;
    const Delivered done = p_.deliver({output, "AB12345678"});
    EXPECT_EQ(done.to, t.to);
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 0; i < t.files.size(); i += 2) {
      files.push_back(dir_ / t.files[i]);
      EXPECT_EQ(read_file(files.back()), t.files[i + 1]);
    }
    EXPECT_EQ(done.files, files);
    if (files.empty() && !output.empty()) {
      EXPECT_FALSE(std::filesystem::exists(output));
    }
    EXPECT_EQ(done.queue, t.queue);
    if (t.queue.empty()) {
      EXPECT_TRUE(queues_->jobs.empty());
    } else {
      ASSERT_EQ(queues_->jobs.size(), 1u);
      EXPECT_EQ(queues_->jobs[0].queue, t.queue);
      EXPECT_EQ(queues_->jobs[0].title, "AB12345678");
      EXPECT_EQ(queues_->jobs[0].pdf, "%PDF pages=1");
      EXPECT_EQ(done.job_id, 1);
    }
  }
}

TEST_F(DeliveryTest, EveryFailureIsAnErrorThatSaysWhereAndWhy) {
  std::filesystem::create_directories(dir_ / "adir.pdf");
  std::filesystem::create_symlink("/dev/full", dir_ / "full.pdf");
  struct Case {
    std::function<void()> setup;
    std::filesystem::path output;
    std::int32_t number;
    std::string description;
  } cases[] = {
      {[] {}, "", 68,
       "no printer for the page document: no CUPS queue is chosen and there is no default one; "
       "give an output file (--page-output FILE or ORVO_PAGE_OUTPUT) or make a queue the "
       "default (lpadmin -d NAME)"},
      {[&] { p_.set_printer_name("WIN3PA4"), queues_->rejection = "queue says no"; }, "", 57,
       "queue says no"},
      {[&] { p_.set_printer_name("WIN3PA4"), renderer_->failure = "cairo: out of memory"; }, "",
       57, "cairo: out of memory"},
      {[&] { renderer_->failure = "cairo: out of memory"; }, dir_ / "x.png", 57,
       "cairo: out of memory"},
      {[] {}, dir_ / "none" / "x.pdf", 76,
       "cannot write the page output \"" + (dir_ / "none" / "x.pdf").string() +
           "\": No such file or directory"},
      {[] {}, dir_ / "adir.pdf", 57,
       "cannot write the page output \"" + (dir_ / "adir.pdf").string() + "\": Is a directory"},
      {[] {}, dir_ / "full.pdf", 61,
       "cannot write the page output \"" + (dir_ / "full.pdf").string() +
           "\": No space left on device"},
      {[] {}, dir_ / "x.txt", 5,
       "the page output \"" + (dir_ / "x.txt").string() + "\" must end in .pdf or .png"},
  };
  for (const Case& t : cases) {
    queues_->rejection.clear();
    renderer_->failure.clear();
    p_.set_printer_name("");
    t.setup();
    draw(1);
    const Error e = raised([&] { p_.deliver({t.output, "AB12345678"}); });
    EXPECT_EQ(e.number(), t.number) << t.description;
    EXPECT_EQ(e.description(), t.description);
    EXPECT_TRUE(queues_->jobs.empty());
  }
  for (const char* name : {"x.png", "x.txt"}) {
    EXPECT_FALSE(std::filesystem::exists(dir_ / name)) << name;
  }

  // Nothing to deliver: never begun, or begun and not ended (a layout that failed half-way).
  PagePrinter fresh{queues_, std::make_shared<testing::FixedMetrics>(), renderer_};
  fresh.set_preview(false);
  for (int begun = 0; begun < 2; ++begun) {
    if (begun) fresh.begin_document();
    const Error e = raised([&] { fresh.deliver({dir_ / "y.pdf", ""}); });
    EXPECT_EQ(e.description(), "no page document to deliver: begin and end one first");
  }
}

TEST_F(DeliveryTest, PrintRunsTheLayoutThenDelivers) {
  queues_->current = "WIN3PA4";
  const auto layout = [](PageCanvas& c) {
    c.set_preview(false);
    c.begin_document();
    c.print_text("AB12345678");
    c.end_document();
  };
  EXPECT_EQ(p_.print({{}, "AB12345678"}, layout).to, To::Queue);
  ASSERT_EQ(queues_->jobs.size(), 1u);

  // A layout that fails half-way sends nothing, and its error passes through untouched.
  const Error e = raised([&] {
    p_.print({{}, "x"}, [](PageCanvas& c) {
      c.begin_document();
      c.add_table("bad;", "", "");
    });
  });
  EXPECT_EQ(e.number(), 5);
  EXPECT_EQ(queues_->jobs.size(), 1u);
}

}  // namespace
}  // namespace orvo::page
