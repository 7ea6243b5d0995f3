#include <gtest/gtest.h>

#include "page_printer_host/page_fakes.h"
#include "page_printer_host/page_printer.h"
#include "shared/case_file.h"
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
  for (const auto& r : testing::read_cases("page_printer_host/data/deliveries.tsv")) {
    SCOPED_TRACE(r[1] + r[2]);
    queues_->jobs.clear();
    p_.set_printer_name(r[2]);
    draw(stoi(r[0]));
    p_.set_preview(r[3] == "on");
    const auto output = r[1].empty() ? std::filesystem::path() : dir_ / r[1];
    const Delivered done = p_.deliver({output, "AB12345678"});
    EXPECT_EQ(done.to, r[4] == "files" ? To::Files : r[4] == "queue" ? To::Queue : To::Kept);
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 6; i + 1 < r.size(); i += 2) {
      files.push_back(dir_ / r[i]);
      EXPECT_EQ(read_file(files.back()), r[i + 1]);
    }
    EXPECT_EQ(done.files, files);
    if (files.empty() && !output.empty()) {
      EXPECT_FALSE(std::filesystem::exists(output));
    }
    EXPECT_EQ(done.queue, r[5]);
    if (r[5].empty()) {
      EXPECT_TRUE(queues_->jobs.empty());
    } else {
      ASSERT_EQ(queues_->jobs.size(), 1u);
      EXPECT_EQ(queues_->jobs[0].queue, r[5]);
      EXPECT_EQ(queues_->jobs[0].title, "AB12345678");
      EXPECT_EQ(queues_->jobs[0].pdf, "%PDF pages=1");
      EXPECT_EQ(done.job_id, 1);
    }
  }
}

TEST_F(DeliveryTest, EveryFailureIsAnErrorThatSaysWhereAndWhy) {
  std::filesystem::create_directories(dir_ / "adir.pdf");
  std::filesystem::create_symlink("/dev/full", dir_ / "full.pdf");
  const auto in_dir = [&](std::string s) {
    for (std::size_t at; (at = s.find("{dir}")) != std::string::npos;) {
      s.replace(at, 5, dir_.path.string());
    }
    return s;
  };
  for (const auto& r : testing::read_cases("page_printer_host/data/delivery_errors.tsv")) {
    p_.set_printer_name(r[0]);
    queues_->rejection = r[1];
    renderer_->failure = r[2];
    draw(1);
    const Error e = raised([&] { p_.deliver({in_dir(r[3]), "AB12345678"}); });
    EXPECT_EQ(e.number(), stoi(r[4])) << r[5];
    EXPECT_EQ(e.description(), in_dir(r[5]));
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
  EXPECT_EQ(p_.print({{}, "AB12345678"}, [&](PageCanvas&) { draw(1); }).to, To::Queue);
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
