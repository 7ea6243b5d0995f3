// orvo-invoice printing to a cups: port of a private scheduler: the queue's device gets exactly
// what a file port gets.
#include <gtest/gtest.h>

#include <optional>

#include "cli/cli_fixture.h"
#include "page_printer_host/cups_scheduler.h"

namespace orvo::testing {
namespace {

class CupsCli : public Cli {
 protected:
  void SetUp() override {
    cups_.emplace();
    ASSERT_FALSE(HasFatalFailure());
    cups_->admin("/usr/sbin/lpadmin -p Counter -E -v capture:" + path("device.prn").string());
    dir_.write("settings.ini", "[Ports]\nLPT1=cups:Counter\nCupsWaitSeconds=30\n");
  }
  std::optional<CupsScheduler> cups_;
};

TEST_F(CupsCli, ARawQueueReceivesTheBytesAFilePortWould) {
  const std::string sale = long_sale("sale.json", "AB12345240", 30).string();
  const struct {
    std::vector<std::string> args;
    std::string title;
  } prints[] = {
      {{"print", sale, "--detail", "Y", "--port", "LPT1"}, "AB12345240"},
      {{"test-print", "--port", "cups:Counter"}, "TestPrint"},
  };
  for (const auto& p : prints) {
    SCOPED_TRACE(p.title);
    std::vector<std::string> to_file = p.args;
    to_file.back() = path("file.prn").string();
    ASSERT_EQ(run(to_file).status, 0);
    const Outcome o = run(p.args);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    const std::string expected = read_file(path("file.prn"));
    ASSERT_GT(expected.size(), 100u);
    EXPECT_EQ(read_file(path("device.prn")), expected);
    const auto jobs = cups_->jobs();
    ASSERT_FALSE(jobs.empty());
    EXPECT_EQ(jobs.back().title, p.title);
  }
}

TEST_F(CupsCli, AMissingQueueExitsThreeNamingIt) {
  const Outcome o = run({"test-print", "--port", "cups:Gone"});
  EXPECT_EQ(o.status, 3);
  EXPECT_EQ(o.err, "error -2147221504 from TestPrint: cups:Gone: there is no CUPS queue \"Gone\"\n");
}

}  // namespace
}  // namespace orvo::testing
