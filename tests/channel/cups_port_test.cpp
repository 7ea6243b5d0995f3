// cups: ports against a private scheduler, and the port's waiting against a scripted spooler.
#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <thread>

#include "channel/peers.h"
#include "page_printer_host/cups_scheduler.h"
#include "channel/channel.h"
#include "channel/cups_spooler.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

using namespace std::chrono_literals;
using testing::kPrintBytes;
using testing::raised;
using testing::read_file;
using testing::TempDir;

Settings waiting(const TempDir& dir, const std::string& seconds) {
  return Settings::load(dir.write("wait.ini", "[Ports]\nCupsWaitSeconds=" + seconds + "\n"));
}

// Prints `bytes` in two writes under the title `title` and closes.
void print(const std::string& port, const Settings& settings, const std::string& bytes,
           const std::string& title = "AB12345678") {
  const JobTitle named(title);
  ChannelTable t;
  t.open(1, port, settings);
  t.write(1, bytes.substr(0, 3));
  t.write(1, bytes.substr(3));
  t.close(1);
}

// Canceled, aborted or completed: nothing of it will print any more.
bool job_done(int id) {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
  bool active = false;
  for (int i = 0; i < n; ++i) active = active || jobs[i].id == id;
  cupsFreeJobs(n, jobs);
  return !active;
}

class CupsPort : public ::testing::Test {
 protected:
  void SetUp() override {
    set_cups_spooler(nullptr);  // the module's, speaking to this scheduler
    cups_.emplace();
    ASSERT_FALSE(HasFatalFailure());
    cups_->admin("/usr/sbin/lpadmin -p Counter -E -v capture:" + device_.string());
  }
  void TearDown() override { set_cups_spooler(nullptr); }

  TempDir dir_;
  const std::filesystem::path device_ = dir_ / "counter.prn";
  std::optional<testing::CupsScheduler> cups_;
};

TEST_F(CupsPort, ARawQueuePrintsExactlyTheBytesAsOneJobTitledWithTheInvoice) {
  const std::string bytes = kPrintBytes + testing::pattern(5000);
  print("cups:Counter", waiting(dir_, "20"), bytes);
  const auto jobs = cups_->jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "AB12345678");
  EXPECT_TRUE(jobs[0].document == bytes) << jobs[0].document.size() << " bytes";
  // Waited for: the device already has it.
  EXPECT_TRUE(read_file(device_) == bytes);

  // Through a mapped name, and without waiting: accepted is printed.
  const Settings mapped = Settings::load(dir_.write("m.ini", "[Ports]\nLPT2=cups:Counter\n"));
  print("LPT2", mapped, kPrintBytes, "AB12345679");
  ASSERT_EQ(cups_->jobs().size(), 2u);
  EXPECT_EQ(cups_->jobs()[1].title, "AB12345679");
  EXPECT_EQ(cups_->jobs()[1].document, kPrintBytes);
}

TEST_F(CupsPort, QueuesThatCannotPrintGiveAClearError) {
  cups_->admin("/usr/sbin/lpadmin -p Closed -E -v file:///dev/null");
  cups_->admin("/usr/sbin/cupsreject -r 'out of invoices' Closed");
  cups_->admin("/usr/sbin/lpadmin -p Off -E -v file:///dev/null");
  cups_->admin("/usr/sbin/cupsdisable -r 'cover open' Off");
  // Its device cannot be written, and a job that fails is aborted, not retried.
  cups_->admin("/usr/sbin/lpadmin -p Broken -E -v capture:/nonexistent/dir/x "
               "-o printer-error-policy=abort-job");
  const struct {
    std::string port;
    bool wait;
    std::int32_t number;
    std::string description;  // "#" stands for the job's id
  } cases[] = {
      {"cups:Nowhere", false, 68, "cups:Nowhere: there is no CUPS queue \"Nowhere\""},
      {"cups:Closed", false, 68, "cups:Closed: the CUPS queue \"Closed\" accepts no jobs"},
      {"cups:Off", true, 57,
       "cups:Off: job # \"AB12345678\" is pending on a stopped queue (printer-state-reasons: "
       "paused)"},
      {"cups:Broken", true, 57, "cups:Broken: job # \"AB12345678\" was aborted"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.port);
    const std::size_t before = cups_->jobs().size();
    const Error e = raised([&] { print(c.port, c.wait ? waiting(dir_, "20") : Settings{}, kPrintBytes); });
    EXPECT_EQ(e.number(), c.number);
    const auto jobs = cups_->jobs();
    std::string expected = c.description;
    if (const auto hash = expected.find('#'); hash != std::string::npos) {
      ASSERT_EQ(jobs.size(), before + 1);
      expected.replace(hash, 1, std::to_string(jobs.back().id));
      // Not left to print later beside the host's retry.
      EXPECT_TRUE(job_done(jobs.back().id));
    } else {
      EXPECT_EQ(jobs.size(), before);
    }
    EXPECT_EQ(e.description().substr(0, expected.size()), expected) << e.description();
  }
}

CupsJobStatus st(CupsJobStatus::State state, std::string reasons = "") {
  CupsJobStatus s;
  s.state = state;
  s.reasons = std::move(reasons);
  return s;
}

// Answers status() from a script, one state per call, the last repeated.
class ScriptedSpooler : public CupsSpooler {
 public:
  explicit ScriptedSpooler(std::deque<CupsJobStatus> script) : script_(std::move(script)) {}
  void check(const std::string&) override {}
  int submit(const std::string&, const std::string& title, std::string_view bytes) override {
    submitted.emplace_back(title, std::string(bytes));
    return 7;
  }
  CupsJobStatus status(const std::string&, int) override {
    const CupsJobStatus s = script_.front();
    if (script_.size() > 1) script_.pop_front();
    ++asked;
    return s;
  }
  void cancel(const std::string&, int job) override { cancelled.push_back(job); }

  std::vector<std::pair<std::string, std::string>> submitted;
  std::vector<int> cancelled;
  int asked = 0;

 private:
  std::deque<CupsJobStatus> script_;
};

TEST(CupsPortWaiting, DoneCompletesAndEveryOtherEndCancelsTheJob) {
  using S = CupsJobStatus::State;
  TempDir dir;
  const struct {
    std::deque<CupsJobStatus> script;
    std::string wait;
    std::string error;  // "" when the print succeeds
  } cases[] = {
      {{st(S::Pending), st(S::Processing), st(S::Completed)}, "5", ""},
      {{st(S::Processing, "job-printing")}, "0.3",
       "cups:Q: job 7 \"AB12345678\" is still processing after 0.3 s (job-state-reasons: "
       "job-printing)"},
      {{st(S::Held, "job-hold-until-specified")}, "0.1", "is still held after 0.1 s"},
      {{st(S::Pending), st(S::Stopped, "printer-stopped")}, "5",
       "cups:Q: job 7 \"AB12345678\" was stopped (job-state-reasons: printer-stopped)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wait + " " + c.error);
    auto spooler = std::make_shared<ScriptedSpooler>(c.script);
    set_cups_spooler(spooler);
    if (c.error.empty()) {
      print("cups:Q", waiting(dir, c.wait), kPrintBytes);
      EXPECT_EQ(spooler->asked, 3);
      EXPECT_TRUE(spooler->cancelled.empty());
    } else {
      const Error e = raised([&] { print("cups:Q", waiting(dir, c.wait), kPrintBytes); });
      EXPECT_EQ(e.number(), err::kDeviceIo);
      EXPECT_NE(e.description().find(c.error), std::string::npos) << e.description();
      EXPECT_EQ(spooler->cancelled, std::vector<int>{7});
    }
    ASSERT_EQ(spooler->submitted.size(), 1u);
    EXPECT_EQ(spooler->submitted[0].second, kPrintBytes);
  }
  set_cups_spooler(nullptr);
}

TEST(CupsPortWaiting, AFailedPrintSendsNothingAndAStopCancelsTheWait) {
  TempDir dir;
  auto spooler = std::make_shared<ScriptedSpooler>(
      std::deque<CupsJobStatus>{st(CupsJobStatus::State::Processing)});
  set_cups_spooler(spooler);
  {
    ChannelTable t;
    t.open(1, "cups:Q", {});
    t.write(1, "half an invoice");
    try {
      throw Error(13, "Type mismatch");
    } catch (const Error&) {
      t.close(1);  // as the layout runner closes after a failure
    }
    EXPECT_EQ(t.last_delivery()->bytes, 0u);
  }
  EXPECT_TRUE(spooler->submitted.empty());

  std::thread stopper([] {
    std::this_thread::sleep_for(300ms);
    interrupt_prints(SIGTERM);
  });
  const Error e = raised([&] { print("cups:Q", waiting(dir, "60"), kPrintBytes); });
  stopper.join();
  interrupt_prints(0);
  EXPECT_EQ(e.number(), channel_err::kInterrupted);
  EXPECT_EQ(e.description(), "cups:Q: job 7 \"AB12345678\" was cancelled: the print was asked to stop");
  EXPECT_EQ(spooler->cancelled, std::vector<int>{7});
  set_cups_spooler(nullptr);
}

}  // namespace
}  // namespace orvo
