#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

#include "printer_object/channel/channel.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

using testing::open_fd_count;
using testing::raised;
using testing::read_file;
using testing::TempDir;

// Bytes a printer stream really carries: control codes, NUL and Big5 lead/trail bytes.
const std::string kPrintBytes =
    std::string("\x1b@\x00\x01\r\n", 6) + "\xb2\xce\xa4\x40\xb5\x6f\xb2\xbc\xff\x80";

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

  for (std::int16_t fno = 1; fno <= 255; ++fno) {
    if (fno != 3) t.open(fno, "/dev/null", {});
  }
  EXPECT_EQ(raised([&] { t.FreeFile(); }).number(), channel_err::kTooManyFiles);
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

// A pseudo-terminal stands in for a serial line: its slave takes the same termios settings, and
// the master reads them back.
struct Pty {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  std::string slave = master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0
                          ? ::ptsname(master)
                          : throw std::runtime_error("no pseudo-terminal");
  ~Pty() { ::close(master); }

  std::string read(std::size_t want) const {
    std::string got;
    char buf[256];
    for (pollfd p{master, POLLIN, 0}; got.size() < want && ::poll(&p, 1, 5000) > 0;) {
      ssize_t n = ::read(master, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }
};

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

// A loopback socket on a free port; listening only when asked.
struct Loopback {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};

  explicit Loopback(bool listening, int backlog = 4) {
    socklen_t len = sizeof addr;
    auto* a = reinterpret_cast<sockaddr*>(&addr);
    if (fd < 0 || ::bind(fd, a, len) != 0 || ::getsockname(fd, a, &len) != 0 ||
        (listening && ::listen(fd, backlog) != 0)) {
      throw std::runtime_error("loopback socket");
    }
  }
  ~Loopback() { ::close(fd); }
  std::string name() const { return "tcp://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)); }
};

TEST(TcpPort, SlowPeerReceivesExactlyTheBytes) {
  Loopback server(true);
  // A small receive window and a reader that dawdles: the sender's buffer fills, so the port
  // must wait for room and go on where it stopped.
  const int small = 4096;
  ::setsockopt(server.fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  std::string received;
  std::thread reader([&] {
    int c = ::accept(server.fd, nullptr, nullptr);
    char buf[2048];
    for (ssize_t n; (n = ::read(c, buf, sizeof buf)) > 0;) {
      received.append(buf, static_cast<std::size_t>(n));
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    ::close(c);
  });
  std::string big(256 << 10, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  auto port = open_tcp_port(resolve_port(server.name(), ""), std::chrono::seconds(10), small);
  port->write(kPrintBytes + big);
  port->close();
  reader.join();
  EXPECT_TRUE(received == kPrintBytes + big) << "received " << received.size() << " bytes";
}

TEST(TcpPort, RefusedOrUnansweredConnectIsDeviceUnavailable) {
  Loopback closed(false);
  Error e = raised([&] { open_port(closed.name(), Settings{}); });
  EXPECT_EQ(e.number(), err::kDeviceUnavailable);
  EXPECT_EQ(e.description(), closed.name() + " : connect failed: Connection refused");

  // With the accept queue full the kernel drops further handshakes unanswered.
  Loopback full(true, 0);
  int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&full.addr), sizeof full.addr), 0);
  e = raised([&] { open_tcp_port(resolve_port(full.name(), ""), std::chrono::milliseconds(250)); });
  EXPECT_EQ(e.number(), err::kDeviceUnavailable);
  EXPECT_EQ(e.description(), full.name() + " : connect timed out after 0.25 s");
  ::close(filler);
}

TEST(TcpPort, PeerThatGoesAwayIsAWriteErrorNotASignal) {
  for (const bool reset : {true, false}) {
    SCOPED_TRACE(reset ? "reset" : "graceful close");
    Loopback server(true);
    auto port = open_port(server.name(), Settings{});
    int c = ::accept(server.fd, nullptr, nullptr);
    if (reset) {
      linger abort_close{1, 0};
      ::setsockopt(c, SOL_SOCKET, SO_LINGER, &abort_close, sizeof abort_close);
    }
    ::close(c);
    const std::string chunk(64 << 10, 'x');
    Error e = raised([&] {
      for (int i = 0; i < 1000; ++i) port->write(chunk);
    });
    EXPECT_EQ(e.number(), err::kDeviceIo);
    EXPECT_TRUE(e.description() == server.name() + " : write failed: Connection reset by peer" ||
                e.description() == server.name() + " : write failed: Broken pipe")
        << e.description();
  }
}

}  // namespace
}  // namespace orvo
