// One print at a time per port, a printer that stops taking bytes is no success, and an
// interrupted print says how far it got.
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "channel/peers.h"
#include "cli/cli_run.h"
#include "shared/cp950.h"

namespace orvo::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class CliSafety : public ::testing::Test {
 protected:
  CliSafety() { dir_.write("settings.ini", ""); }

  // The usual clock, settings and error log; the layouts' pauses really wait if told to.
  static std::vector<std::string> print(const std::string& sale, const std::string& port,
                                        bool pause = false) {
    return words("print " + sale + " --detail Y --port " + port +
                 " --now 2010-03-05T14:30:05 --prompt none --settings settings.ini --error-log "
                 "error.log" +
                 (pause ? "" : " --no-pause"));
  }

  // A sale of `n` item lines, several forms long on the standard roll.
  std::string long_sale(const std::string& name, const std::string& inv_no, int n) const {
    std::string items;
    for (int i = 1; i <= n; ++i) {
      items += std::string(i > 1 ? "," : "") + R"({"itemname": "ITEM )" + std::to_string(i) +
               R"(", "PriceCap": "", "Qty": 1, "Price": 10, "Amt": 10, "ItemType": "",
                 "RefKPType": "", "Remark": ""})";
    }
    return dir_
        .write(name, R"({"invoice": {"InvNo": ")" + inv_no + R"(", "InvAmt": )" +
                         std::to_string(10 * n) + R"(}, "items": [)" + items + "]}")
        .string();
  }

  TempDir dir_;
  Tool tool_{dir_.path};
};

// Both prints hold the capture file for at least their half-second pause after ESC @.
TEST_F(CliSafety, TwoPrintsToOneCaptureFileLeaveOneWholeInvoice) {
  const std::string a = long_sale("a.json", "AA00000001", 30);
  const std::string b = long_sale("b.json", "BB00000001", 40);
  const std::string capture = (dir_ / "shared.prn").string();
  ASSERT_EQ(tool_.run(print(a, dir_ / "a.prn")).status, 0);
  ASSERT_EQ(tool_.run(print(b, dir_ / "b.prn")).status, 0);
  const std::string whole_a = read_file(dir_ / "a.prn");
  const std::string whole_b = read_file(dir_ / "b.prn");

  for (const char* lock : {"", "LockTimeoutSeconds=0.2\n"}) {
    SCOPED_TRACE(*lock ? "impatient" : "patient");
    dir_.write("settings.ini", std::string("[Ports]\n") + lock);
    for (int round = 0; round < 2; ++round) {
      const Tool ta{dir_.path, {}, "/dev/null", "a"};
      const Tool tb{dir_.path, {}, "/dev/null", "b"};
      const pid_t pa = ta.start(print(a, capture, true));
      const pid_t pb = tb.start(print(b, capture, true));
      const Outcome ra = ta.finish(pa);
      const Outcome rb = tb.finish(pb);
      const std::string got = read_file(capture);
      EXPECT_TRUE(got == whole_a || got == whole_b) << got.size() << " bytes, mixed";
      // Each either printed whole or, having waited too briefly, said the port is busy.
      const std::string busy = "error -2147221504 from PrintInv: " + capture +
                               ": port is busy: another print still holds it after 0.2 s\n";
      for (const Outcome* r : {&ra, &rb}) {
        EXPECT_TRUE(r->status == 0 || (*lock && r->status == 3 && r->err == busy)) << r->err;
      }
      if (ra.status != 0 || rb.status != 0) {
        EXPECT_EQ(got, ra.status == 0 ? whole_a : whole_b);
      }
    }
  }
}

// A network printer that accepts the job and never reads it: the kernel takes the whole print
// into its buffers, but the invoice is not printed, and the tool must not say it was.
TEST_F(CliSafety, ANetworkPrinterThatTakesNothingIsNoSuccess) {
  const Loopback server(true, 4, 4096);
  const std::string port = server.name();
  dir_.write("settings.ini", "[Ports]\nWriteTimeoutSeconds=0.3\nTcpSendBufferBytes=1048576\n");

  const Outcome r = tool_.run(print(long_sale("long.json", "AB12345678", 300), port));
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(r.err.starts_with("error -2147221504 from PrintInv: " + port +
                                " : stalled: the printer took nothing for 0.3 s ("))
      << r.err;
}

// SIGTERM while the printer is slow: the write in progress ends, the port is closed, and stderr
// and the error log say which invoice stopped after how many bytes.
TEST_F(CliSafety, AnInterruptedPrintSaysHowFarItGot) {
  const std::string sale = long_sale("long.json", "AB12345678", 300);
  ASSERT_EQ(tool_.run(print(sale, dir_ / "whole.prn")).status, 0);
  const std::string whole = read_file(dir_ / "whole.prn");

  const std::string fifo = (dir_ / "printer").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const int capacity = ::fcntl(reader, F_SETPIPE_SZ, 4096);
  ASSERT_LT(static_cast<std::size_t>(capacity), whole.size());
  const pid_t pid = tool_.start(print(sale, fifo));

  // The printer takes nothing until its buffer is full: the print then waits in a write (a line
  // goes into a pipe whole or not at all, so "full" is when the level stops rising).
  int queued = 0;
  for (int i = 0, steady = 0; i < 1000 && steady < 20; ++i) {
    std::this_thread::sleep_for(10ms);
    int now = 0;
    ::ioctl(reader, FIONREAD, &now);
    steady = now > 0 && now == queued ? steady + 1 : 0;
    queued = now;
  }
  ASSERT_GT(queued, capacity - 100);
  ::kill(pid, SIGTERM);
  std::string received;
  char buf[4096];
  for (pollfd p{reader, POLLIN, 0}; ::poll(&p, 1, 10000) > 0;) {
    const ssize_t n = ::read(reader, buf, sizeof buf);
    if (n <= 0) break;
    received.append(buf, static_cast<std::size_t>(n));
  }
  ::close(reader);
  const Outcome r = tool_.finish(pid);

  EXPECT_EQ(r.status, 128 + SIGTERM);
  const std::string report = "interrupted by SIGTERM: invoice AB12345678 stopped after " +
                             std::to_string(received.size()) + " bytes reached " + fifo;
  EXPECT_EQ(r.err, "orvo-invoice: " + report + "\n");
  EXPECT_LT(received.size(), whole.size());
  EXPECT_TRUE(whole.starts_with(received)) << "what arrived is not the invoice's beginning";
  const std::string log = read_file(dir_ / "error.log");
  EXPECT_TRUE(log.ends_with(to_cp950(
      "處理程序: (PrintInv)\r\n執行錯誤, 代碼: 18\r\n訊息: \r\n     " + report + "\r\n\r\n")))
      << from_cp950(log);
}

}  // namespace
}  // namespace orvo::testing
