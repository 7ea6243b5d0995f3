// Nothing lost at the port, nothing injected into it: a sale that would fail sends nothing, field
// text cannot command the printer, one print at a time per port, a printer that stops taking
// bytes is no success, and an interrupted print says how far it got.
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "channel/peers.h"
#include "cli/cli_fixture.h"
#include "shared/cp950.h"

namespace orvo::testing {
namespace {

using namespace std::chrono_literals;

TEST_F(Cli, ASaleThatWouldFailSendsNothing) {
  const std::string port = path("never.prn").string();
  const struct {
    const char* name;
    std::string sale;
    const char* detail;
    std::string mention;
  } cases[] = {
      {"an amount that is no number",
       R"({"invoice": {"InvNo": "AB12345678", "Head0": "SHOP", "InvAmt": "abc"}})", "N",
       "Type mismatch: \"abc\" is not a number"},
      {"an item without its amount",
       R"({"invoice": {"InvNo": "AB12345678", "InvAmt": 10}, "items": [
           {"itemname": "TEA", "PriceCap": "", "Qty": 1, "ItemType": "", "RefKPType": ""}]})",
       "Y", "Amt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string sale = dir_.write("bad.json", c.sale).string();
    const Outcome r = run({"print", sale, "--detail", c.detail, "--port", port});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.starts_with("error -2147221504 from PrintInv: ")) << r.err;
    EXPECT_NE(r.err.find(c.mention), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.ends_with("(found by the check before printing: nothing was sent)\n"));
    EXPECT_FALSE(fs::exists(port)) << "the port was opened";

    // Unchecked, the same sale fails half-way on the paper.
    const Outcome unchecked =
        run({"print", sale, "--detail", c.detail, "--port", port, "--no-check"});
    EXPECT_EQ(unchecked.status, 3);
    EXPECT_GT(read_file(port).size(), 2u);
    fs::remove(port);
  }
}

TEST_F(Cli, FieldTextCannotCommandThePrinter) {
  const std::string sale = dir_.write("sale.json", R"({"invoice": {"InvNo": "AB12345678",
      "Head0": "\u001bi\u001dV\u0000SHOP\r\n\u007f", "InvAmt": 10}})")
                               .string();
  const Outcome r = run({"print", sale, "--port", path("out.prn").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string bytes = read_file(path("out.prn"));
  EXPECT_EQ(bytes.substr(0, 18), "\x1b@\x1bz\x01?i?V?SHOP??? ");
  EXPECT_EQ(bytes.find("\x1bi"), std::string::npos) << "a paper cut reached the printer";
}

// [ports] and key names in any case; each unusable value warned about once, naming the key and
// the default used, though the settings are read for the check and again for the print.
TEST_F(Cli, SettingsAreMatchedLikeTheRegistryAndBadValuesWarnedOnce) {
  const std::string capture = path("lpt1.prn").string();
  const std::string ini =
      dir_.write("settings.ini", "[ports]\nlpt1=" + capture +
                                     "\nTcpTimeoutSeconds=abc\nWriteTimeoutSeconds=2s\n"
                                     "LockTimeoutSeconds=0\n[ip]\nCHKPRINTTIME=Y\n"
                                     "txtInvTotalDscp=\xB0\xA8\n")
          .string();
  const Outcome r = run({"print", small_sale().string(), "--port", "LPT1"});
  EXPECT_EQ(r.status, 0);
  const std::string head = "warning: settings " + ini + ": ";
  EXPECT_EQ(r.err,
            head +
                "[ip] txtInvTotalDscp is not UTF-8 text (byte 0xB0 at offset 0 of the value); "
                "using \"\" (as if unset)\n" +
                head +
                "[Ports] LockTimeoutSeconds = \"0\" is not a number of seconds above 0 "
                "and at most a day; using 30\n" +
                head +
                "[Ports] WriteTimeoutSeconds = \"2s\" is not a number of seconds above 0 "
                "and at most a day; using 30\n" +
                head +
                "[Ports] TcpTimeoutSeconds = \"abc\" is not a number of seconds above 0 "
                "and at most a day; using 10\n");
  const std::string bytes = from_cp950(read_file(capture));
  EXPECT_NE(bytes.find("2010-03-05 14:30\n"), std::string::npos) << "CHKPRINTTIME=Y was not read";
  EXPECT_NE(bytes.find("消費合計"), std::string::npos) << bytes;
}

// Both prints hold the capture file for at least their half-second pause after ESC @.
TEST_F(Cli, TwoPrintsToOneCaptureFileLeaveOneWholeInvoice) {
  const std::string a = long_sale("a.json", "AA00000001", 30).string();
  const std::string b = long_sale("b.json", "BB00000001", 40).string();
  const std::string capture = path("shared.prn").string();
  ASSERT_EQ(run({"print", a, "--detail", "Y", "--port", path("a.prn").string()}).status, 0);
  ASSERT_EQ(run({"print", b, "--detail", "Y", "--port", path("b.prn").string()}).status, 0);
  const std::string whole_a = read_file(path("a.prn"));
  const std::string whole_b = read_file(path("b.prn"));

  for (const char* lock : {"", "LockTimeoutSeconds=0.2\n"}) {
    SCOPED_TRACE(*lock ? "impatient" : "patient");
    dir_.write("settings.ini", std::string("[Ports]\n") + lock);
    for (int round = 0; round < 2; ++round) {
      const RunOptions oa{.pause = true, .tag = "a"};
      const RunOptions ob{.pause = true, .tag = "b"};
      const pid_t pa = start({"print", a, "--detail", "Y", "--port", capture}, oa);
      const pid_t pb = start({"print", b, "--detail", "Y", "--port", capture}, ob);
      const Outcome ra = finish(pa, oa);
      const Outcome rb = finish(pb, ob);
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
TEST_F(Cli, ANetworkPrinterThatTakesNothingIsNoSuccess) {
  const Loopback server(true, 4, 4096);
  const std::string port = server.name();
  dir_.write("settings.ini", "[Ports]\nWriteTimeoutSeconds=0.3\nTcpSendBufferBytes=1048576\n");

  const Outcome r = run({"print", long_sale("long.json", "AB12345678", 300).string(), "--detail",
                         "Y", "--port", port});
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(r.err.starts_with("error -2147221504 from PrintInv: " + port +
                                " : stalled: the printer took nothing for 0.3 s ("))
      << r.err;
}

// SIGTERM while the printer is slow: the write in progress ends, the port is closed, and stderr
// and the error log say which invoice stopped after how many bytes.
TEST_F(Cli, AnInterruptedPrintSaysHowFarItGot) {
  const std::string sale = long_sale("long.json", "AB12345678", 300).string();
  ASSERT_EQ(run({"print", sale, "--detail", "Y", "--port", path("whole.prn").string()}).status, 0);
  const std::string whole = read_file(path("whole.prn"));

  const std::string fifo = path("printer").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const int capacity = ::fcntl(reader, F_SETPIPE_SZ, 4096);
  ASSERT_LT(static_cast<std::size_t>(capacity), whole.size());
  const pid_t pid = start({"print", sale, "--detail", "Y", "--port", fifo});

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
  const Outcome r = finish(pid);

  EXPECT_EQ(r.status, 128 + SIGTERM);
  const std::string report = "interrupted by SIGTERM: invoice AB12345678 stopped after " +
                             std::to_string(received.size()) + " bytes reached " + fifo;
  EXPECT_EQ(r.err, "orvo-invoice: " + report + "\n");
  EXPECT_LT(received.size(), whole.size());
  EXPECT_TRUE(whole.starts_with(received)) << "what arrived is not the invoice's beginning";
  const std::string log = read_file(path("error.log"));
  EXPECT_TRUE(log.ends_with(to_cp950(
      "處理程序: (PrintInv)\r\n執行錯誤, 代碼: 18\r\n訊息: \r\n     " + report + "\r\n\r\n")))
      << from_cp950(log);
}

}  // namespace
}  // namespace orvo::testing
