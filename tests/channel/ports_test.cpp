#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <thread>

#include "channel/peers.h"
#include "channel/channel.h"
#include "channel/port_memory.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

using namespace std::chrono_literals;
using testing::kPrintBytes;
using testing::open_fd_count;
using testing::Pty;
using testing::raised;
using testing::read_file;
using testing::TempDir;

// 52 for a number not open or out of range, 55 for one in use, 67 when none is free.
TEST(ChannelTable, FileNumbers) {
  TempDir dir;
  ChannelTable t;
  t.open(1, (dir / "first.prn").string(), {});
  t.open(3, "/dev/null", {});
  EXPECT_EQ(t.FreeFile(), 2);
  Error e = raised([&] { t.open(1, (dir / "second.prn").string(), {}); });
  EXPECT_EQ(e.number(), channel_err::kFileAlreadyOpen);
  EXPECT_NE(e.description().find("#1"), std::string::npos) << e.description();
  EXPECT_FALSE(std::filesystem::exists(dir / "second.prn"));
  t.write(1, "still mine");
  t.close(1);
  t.close(1);
  EXPECT_EQ(read_file(dir / "first.prn"), "still mine");

  e = raised([&] { t.write(7, "x"); });
  EXPECT_EQ(e.number(), err::kBadFileNumber);
  EXPECT_EQ(e.description(), "Bad file name or number: #7 is not open");
  EXPECT_EQ(raised([&] { t.open(0, "/dev/null", {}); }).number(), err::kBadFileNumber);
  EXPECT_EQ(raised([&] { t.open(256, "/dev/null", {}); }).number(), err::kBadFileNumber);
  // A failed open leaves the number free.
  e = raised([&] { t.open(1, (dir / "no" / "x.prn").string(), {}); });
  EXPECT_EQ(e.number(), err::kPathNotFound);
  EXPECT_EQ(t.FreeFile(), 1);

  // Each print holds its port, so the table is filled with memory ports.
  const PortOpener memory = memory_port_opener(std::make_shared<MemoryPortLog>());
  for (std::int16_t fno = 1; fno <= 255; ++fno) {
    if (fno != 3) t.open(fno, "LPT1", {}, memory);
  }
  const Error full = raised([&] { t.FreeFile(); });
  EXPECT_EQ(full.number(), channel_err::kTooManyFiles);
  EXPECT_EQ(full.description(), "Too many files: all file numbers 1 to 255 are in use");
  t.close(200);
  EXPECT_EQ(t.FreeFile(), 200);
}

TEST(FilePort, CaptureHoldsExactlyTheBytesOfTheLastPrint) {
  TempDir dir;
  auto file = dir.write("out.prn", "an older, longer print that must not survive");
  auto port = open_port(file.string(), Settings{});
  EXPECT_EQ(read_file(file), "") << "an existing capture is truncated on open";
  port->write(kPrintBytes);
  // Nothing is held back in our code: the bytes are in the file before close.
  EXPECT_EQ(read_file(file), kPrintBytes);
  port->write("tail");
  port->close();
  port->close();
  EXPECT_EQ(read_file(file), kPrintBytes + "tail");
}

TEST(FilePort, OpenFailuresAreNumberedByReason) {
  TempDir dir;
  const std::string plain = dir.write("plain.txt", "").string();
  const std::string gone = (dir / "gone" / "x.prn").string();
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Settings s = Settings::load(
      dir.write("s.ini", "[Ports]\nLPT1=/dev/orvo-no-such-printer\nCOM1=" + plain + ",9600\n"));
  const struct {
    std::string name;
    std::int32_t number;
    std::string description;
  } cases[] = {
      {"LPT1", err::kFileNotFound,
       "LPT1 (/dev/orvo-no-such-printer): cannot open: No such file or directory"},
      {gone, err::kPathNotFound, gone + ": cannot open: No such file or directory"},
      {plain + "/x", err::kPathNotFound, plain + "/x: cannot open: Not a directory"},
      {dir.path.string() + "/", channel_err::kPathFileAccess,
       dir.path.string() + "/: cannot open: Is a directory"},
      // A FIFO nobody reads fails at once instead of hanging.
      {fifo, channel_err::kPathFileAccess, fifo + ": cannot open: No such device or address"},
      {"COM1", channel_err::kPathFileAccess,
       "COM1 (" + plain + "): not a serial port: Inappropriate ioctl for device"},
  };
  for (const auto& c : cases) {
    Error e = raised([&] { open_port(c.name, s); });
    EXPECT_EQ(e.number(), c.number) << c.name;
    EXPECT_EQ(e.description(), c.description);
  }
  // A device path is never created as a plain file.
  EXPECT_FALSE(std::filesystem::exists("/dev/orvo-no-such-printer"));
}

TEST(FilePort, WriteFailuresNameThePortAndReleaseIt) {
  const int before = open_fd_count();
  auto full = open_port("/dev/full", Settings{});
  EXPECT_EQ(open_fd_count(), before + 1);
  Error e = raised([&] { full->write("x"); });
  EXPECT_EQ(e.number(), err::kDiskFull);
  EXPECT_EQ(e.description(), "/dev/full: write failed: No space left on device");
  EXPECT_EQ(open_fd_count(), before);
  e = raised([&] { full->write("x"); });
  EXPECT_EQ(e.number(), err::kBadFileNumber);
  EXPECT_EQ(e.description(), "/dev/full: port is not open");

  // A reader that went away is an error, not a SIGPIPE that ends the process.
  TempDir dir;
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  auto port = open_port(fifo, Settings{});
  ::close(reader);
  e = raised([&] { port->write("x"); });
  EXPECT_EQ(e.number(), err::kDeviceIo);
  EXPECT_EQ(e.description(), fifo + ": write failed: Broken pipe");
}

// The frame bits the kernel keeps on a pty are checked; CS7 and PARENB it forces away.
TEST(SerialPort, LineSettingsAreAppliedRaw) {
  const struct {
    std::string params;
    speed_t speed;
    tcflag_t frame;
  } cases[] = {{"", B9600, 0}, {",4800,o,8,2", B4800, PARODD | CSTOPB}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.params);
    Pty pty;
    TempDir dir;
    auto port = open_port(
        "COM3", Settings::load(dir.write("s.ini", "[Ports]\nCOM3=" + pty.slave + c.params + "\n")));
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.master, &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), c.speed);
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB | CLOCAL), c.frame | CLOCAL);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | ICRNL), 0u);
    // Raw output: "\n" is not turned into "\r\n", high bytes pass untouched.
    port->write(kPrintBytes);
    EXPECT_EQ(pty.read(kPrintBytes.size()), kPrintBytes);
  }
}

PortOptions with_timeouts(std::chrono::milliseconds lock, std::chrono::milliseconds stall) {
  PortOptions o;
  o.lock_timeout = lock;
  o.stall_timeout = stall;
  return o;
}

// One print at a time on every kind of port: a second waits for the first, and gives up with
// the busy error once the lock timeout has passed, without touching what the first sent.
TEST(PortLock, ASecondPrintWaitsForTheFirstOrFailsBusy) {
  TempDir dir;
  Pty pty;
  testing::Loopback printer(true);
  const std::string file = dir.write("capture.prn", "an older print").string();
  const struct {
    std::string name, mapping, label;
  } ports[] = {
      {file, "", file},
      {"COM2", pty.slave, "COM2 (" + pty.slave + ")"},
      {printer.name(), "", printer.name() + " "},
  };
  for (const auto& p : ports) {
    SCOPED_TRACE(p.label);
    const PortTarget target = resolve_port(p.name, p.mapping);
    auto first = open_port(target, with_timeouts(10s, 10s));
    first->write("first");
    const Error busy = raised([&] { open_port(target, with_timeouts(200ms, 10s)); });
    EXPECT_EQ(busy.number(), err::kPermissionDenied);
    EXPECT_EQ(busy.description(),
              p.label + ": port is busy: another print still holds it after 0.2 s");
    if (p.name == file) {
      EXPECT_EQ(read_file(file), "first") << "the refused print emptied it";
    }

    std::thread finish([&] {
      std::this_thread::sleep_for(100ms);
      first->close();
    });
    auto second = open_port(target, with_timeouts(10s, 10s));
    finish.join();
    if (p.name == file) {
      EXPECT_EQ(read_file(file), "") << "emptied once held";
      second->write("second");
      second->close();
      EXPECT_EQ(read_file(file), "second");
    }
  }
}

// A device that stops taking bytes fails the print after the stall timeout, naming the port and
// what it took; one that keeps taking them, however slowly, is waited for.
TEST(PortStall, ADeviceThatTakesNothingFailsAfterTheStallTimeout) {
  TempDir dir;
  const std::string fifo = (dir / "printer").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const int capacity = ::fcntl(reader, F_SETPIPE_SZ, 4096);
  ASSERT_GT(capacity, 0);
  Pty pty;
  const std::string big = testing::pattern(1 << 20);

  auto port = open_port(resolve_port(fifo, ""), with_timeouts(1s, 300ms));
  Error e = testing::raised_within(
      10s, [&] { port->write(big); },
      [&] {
        ::close(reader);
        reader = -1;
      });
  EXPECT_EQ(e.number(), err::kDeviceIo);
  EXPECT_EQ(e.description(), fifo + ": stalled: the printer took nothing for 0.3 s (" +
                                 std::to_string(capacity) + " bytes taken)");
  EXPECT_EQ(port->delivered(), static_cast<std::uint64_t>(capacity));

  auto line = open_port(resolve_port("COM1", pty.slave), with_timeouts(1s, 300ms));
  e = testing::raised_within(
      10s, [&] { line->write(big); }, [&] { pty.close_master(); });
  EXPECT_EQ(e.number(), err::kDeviceIo);
  EXPECT_TRUE(e.description().starts_with("COM1 (" + pty.slave +
                                          "): stalled: the printer took nothing for 0.3 s ("))
      << e.description();
  EXPECT_GT(testing::bytes_taken(e.description()), 0);
  EXPECT_LT(testing::bytes_taken(e.description()), static_cast<long long>(big.size()));

  // Slower in all than the stall timeout, but never stalled for that long. The port is open
  // before the reader starts, which would otherwise see the end of input at once.
  if (reader >= 0) ::close(reader);
  reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ::fcntl(reader, F_SETPIPE_SZ, 4096);
  auto steady = open_port(resolve_port(fifo, ""), with_timeouts(1s, 500ms));
  std::string received;
  std::thread slow([&] {
    char buf[4096];
    for (int idle = 0; idle < 200;) {
      const ssize_t n = ::read(reader, buf, sizeof buf);
      if (n == 0) break;
      if (n > 0) {
        received.append(buf, static_cast<std::size_t>(n));
        idle = 0;
      } else {
        ++idle;
      }
      std::this_thread::sleep_for(50ms);
    }
  });
  const std::string print = testing::pattern(64 << 10);
  EXPECT_NO_THROW({
    steady->write(print);
    steady->close();
  });
  slow.join();
  ::close(reader);
  EXPECT_TRUE(received == print) << received.size() << " bytes received";
}

struct NoInterrupt {
  ~NoInterrupt() { interrupt_prints(0); }
};

// A stop request ends a print before its next write and a wait for a busy port; the port then
// closes as usual and tells what it took.
TEST(Interrupt, StopsBeforeTheNextWrite) {
  const NoInterrupt reset;
  TempDir dir;
  const std::string file = (dir / "out.prn").string();
  ChannelTable t;
  t.open(1, file, {});
  t.write(1, "taken");
  EXPECT_FALSE(t.last_delivery()) << "unset while a port is open";
  interrupt_prints(SIGTERM);
  Error e = raised([&] { t.write(1, "never"); });
  EXPECT_EQ(e.number(), channel_err::kInterrupted);
  EXPECT_EQ(e.description(), "User interrupt occurred: stopped by signal 15 (Terminated)");

  // Waiting for the port another print holds ends at once.
  e = raised([&] { t.open(2, file, {}); });
  EXPECT_EQ(e.number(), channel_err::kInterrupted);
  t.close(1);
  EXPECT_EQ(read_file(file), "taken");
  ASSERT_TRUE(t.last_delivery());
  EXPECT_EQ(t.last_delivery()->port, file);
  EXPECT_EQ(t.last_delivery()->bytes, 5u);
}

}  // namespace
}  // namespace orvo
