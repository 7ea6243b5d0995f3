#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

#include "channel/channel_test_support.h"
#include "printer_object/channel/channel.h"
#include "shared/errors.h"

namespace orvo {
namespace {

using testing::open_fd_count;
using testing::read_file;
using testing::TempDir;

// Bytes a printer stream really carries: control codes, NUL and Big5 lead/trail bytes.
const std::string kPrintBytes =
    std::string("\x1b@\x00\x01\r\n", 6) + "\xb2\xce\xa4\x40\xb5\x6f\xb2\xbc\xff\x80";

Error error_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return Error(0, "");
}

TEST(FilePort, CaptureHoldsExactlyTheBytesOfTheLastPrint) {
  TempDir dir;
  auto file = dir / "out.prn";
  testing::write_file(file, "an older, longer print that must not survive");

  auto port = open_port(file.string(), Settings{});
  EXPECT_EQ(read_file(file), "") << "an existing capture is truncated on open";
  port->write(kPrintBytes);
  // Nothing is held back in our code: the bytes are in the file before close.
  EXPECT_EQ(read_file(file), kPrintBytes);
  port->write("");
  port->write("tail");
  port->close();
  port->close();
  EXPECT_EQ(read_file(file), kPrintBytes + "tail");
}

TEST(FilePort, FullDeviceFailsNamingPortAndReasonAndReleasesTheDescriptor) {
  int before = open_fd_count();
  auto port = open_port("/dev/full", Settings{});
  EXPECT_EQ(open_fd_count(), before + 1);
  Error e = error_of([&] { port->write("x"); });
  EXPECT_EQ(e.number(), err::kDiskFull);
  EXPECT_EQ(e.description(), "/dev/full: write failed: No space left on device");
  EXPECT_EQ(open_fd_count(), before);

  Error again = error_of([&] { port->write("x"); });
  EXPECT_EQ(again.number(), err::kBadFileNumber);
  EXPECT_EQ(again.description(), "/dev/full: port is not open");
  port->close();
}

TEST(FilePort, OpenFailuresAreNumberedByReason) {
  TempDir dir;
  testing::write_file(dir / "plain.txt", "");
  Settings s = testing::settings_from(dir,
                                      "[Ports]\n"
                                      "LPT1=/dev/orvo-no-such-printer\n"
                                      "LPT2=" +
                                          (dir / "gone" / "x.prn").string() +
                                          "\n"
                                          "COM1=" +
                                          (dir / "plain.txt").string() + ",9600\n");
  const struct {
    std::string name;
    std::int32_t number;
    std::string description;
  } cases[] = {
      {(dir / "no" / "such" / "out.prn").string(), err::kPathNotFound,
       (dir / "no" / "such" / "out.prn").string() + ": cannot open: No such file or directory"},
      {"LPT1", err::kFileNotFound,
       "LPT1 (/dev/orvo-no-such-printer): cannot open: No such file or directory"},
      {"LPT2", err::kPathNotFound,
       "LPT2 (" + (dir / "gone" / "x.prn").string() + "): cannot open: No such file or directory"},
      {(dir / "plain.txt" / "x").string(), err::kPathNotFound,
       (dir / "plain.txt" / "x").string() + ": cannot open: Not a directory"},
      {(dir / "").string(), channel_err::kPathFileAccess,
       (dir / "").string() + ": cannot open: Is a directory"},
      {"COM1", channel_err::kPathFileAccess,
       "COM1 (" + (dir / "plain.txt").string() +
           "): not a serial port: Inappropriate ioctl for device"},
  };
  int before = open_fd_count();
  for (const auto& c : cases) {
    Error e = error_of([&] { open_port(c.name, s); });
    EXPECT_EQ(e.number(), c.number) << c.name;
    EXPECT_EQ(e.description(), c.description);
  }
  EXPECT_EQ(open_fd_count(), before);
  // A device path is never created as a plain file.
  EXPECT_FALSE(std::filesystem::exists("/dev/orvo-no-such-printer"));
}

TEST(FilePort, FifoFailsInsteadOfHangingOrSignalling) {
  TempDir dir;
  auto fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Error no_reader = error_of([&] { open_port(fifo.string(), Settings{}); });
  EXPECT_EQ(no_reader.number(), channel_err::kPathFileAccess);
  EXPECT_EQ(no_reader.description(), fifo.string() + ": cannot open: No such device or address");

  int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  auto port = open_port(fifo.string(), Settings{});
  ::close(reader);
  Error gone = error_of([&] { port->write("x"); });
  EXPECT_EQ(gone.number(), err::kDeviceIo);
  EXPECT_EQ(gone.description(), fifo.string() + ": write failed: Broken pipe");
}

// A pseudo-terminal stands in for a serial line: its slave takes the same termios settings.
class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
      throw std::runtime_error("no pseudo-terminal");
    }
    slave_ = ::ptsname(master_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  ~Pty() { ::close(master_); }
  const std::string& slave() const { return slave_; }
  termios slave_settings() const {
    int fd = ::open(slave_.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    termios t{};
    EXPECT_EQ(::tcgetattr(fd, &t), 0);
    ::close(fd);
    return t;
  }
  std::string read_available(std::size_t want) const {
    std::string got;
    char buf[256];
    while (got.size() < want) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0) break;
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

// The frame bits the kernel keeps on a pty are checked; CS7 and PARENB it forces away.
TEST(SerialPort, LineSettingsAreAppliedRaw) {
  const struct {
    std::string params;
    speed_t speed;
    bool parodd, cstopb;
  } cases[] = {
      {"", B9600, false, false},
      {",4800,E,7,2", B4800, false, true},
      {",115200,o,8,1", B115200, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.params);
    Pty pty;
    TempDir dir;
    Settings s = testing::settings_from(dir, "[Ports]\nCOM3=" + pty.slave() + c.params + "\n");
    auto port = open_port("COM3", s);
    termios t = pty.slave_settings();
    EXPECT_EQ(::cfgetospeed(&t), c.speed);
    EXPECT_EQ(::cfgetispeed(&t), c.speed);
    EXPECT_EQ((t.c_cflag & PARODD) != 0, c.parodd);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.cstopb);
    EXPECT_NE(t.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | ICRNL), 0u);

    // Raw output: "\n" is not turned into "\r\n", high bytes pass untouched.
    port->write(kPrintBytes);
    EXPECT_EQ(pty.read_available(kPrintBytes.size()), kPrintBytes);
    port->close();
  }
}

TEST(SerialPort, FailedSetupReleasesTheDevice) {
  Pty pty;
  PortTarget target = resolve_port("COM1", pty.slave());
  target.serial.baud = 12345;
  int before = open_fd_count();
  Error e = error_of([&] { open_serial_port(target); });
  EXPECT_EQ(e.number(), channel_err::kPathFileAccess);
  EXPECT_EQ(e.description(), "COM1 (" + pty.slave() + "): baud rate 12345 is not supported");
  EXPECT_EQ(open_fd_count(), before);
}

// A loopback socket bound to a free port; listening only when asked.
class Loopback {
 public:
  explicit Loopback(bool listening, int backlog = 4) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0 ||
        (listening && ::listen(fd_, backlog) != 0)) {
      throw std::runtime_error("loopback socket");
    }
    port_ = ntohs(a.sin_port);
  }
  Loopback(const Loopback&) = delete;
  Loopback& operator=(const Loopback&) = delete;
  ~Loopback() { ::close(fd_); }
  std::string name() const { return "tcp://127.0.0.1:" + std::to_string(port_); }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

TEST(TcpPort, PeerReceivesExactlyTheBytes) {
  Loopback server(true);
  std::string received;
  std::thread reader([&] {
    int c = ::accept(server.fd(), nullptr, nullptr);
    char buf[4096];
    for (ssize_t n; (n = ::read(c, buf, sizeof buf)) > 0;)
      received.append(buf, static_cast<std::size_t>(n));
    ::close(c);
  });
  // Large enough to fill the socket buffers, so writes must wait and continue.
  std::string big(4 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  {
    auto port = open_port(server.name(), Settings{});
    port->write(kPrintBytes);
    port->write(big);
    port->close();
  }
  reader.join();
  EXPECT_TRUE(received == kPrintBytes + big) << "received " << received.size() << " bytes";
}

TEST(TcpPort, RefusedConnectionIsDeviceUnavailable) {
  Loopback closed(false);
  int before = open_fd_count();
  Error e = error_of([&] { open_port(closed.name(), Settings{}); });
  EXPECT_EQ(e.number(), err::kDeviceUnavailable);
  EXPECT_EQ(e.description(), closed.name() + " : connect failed: Connection refused");
  EXPECT_EQ(open_fd_count(), before);
}

TEST(TcpPort, UnansweredConnectTimesOut) {
  // With the accept queue full the kernel drops further handshakes unanswered.
  Loopback server(true, 0);
  int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  socklen_t len = sizeof a;
  ASSERT_EQ(::getsockname(server.fd(), reinterpret_cast<sockaddr*>(&a), &len), 0);
  ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&a), len), 0);
  int before = open_fd_count();
  Error e = error_of(
      [&] { open_tcp_port(resolve_port(server.name(), ""), std::chrono::milliseconds(250)); });
  EXPECT_EQ(e.number(), err::kDeviceUnavailable);
  EXPECT_EQ(e.description(), server.name() + " : connect timed out after 0.25 s");
  EXPECT_EQ(open_fd_count(), before);
  ::close(filler);
}

TEST(TcpPort, DroppedPeerIsAWriteErrorNotASignal) {
  Loopback server(true);
  auto port = open_port(server.name(), Settings{});
  int c = ::accept(server.fd(), nullptr, nullptr);
  linger reset{1, 0};
  ::setsockopt(c, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  ::close(c);
  const std::string chunk(64 << 10, 'x');
  Error e = error_of([&] {
    for (int i = 0; i < 1000; ++i) port->write(chunk);
  });
  EXPECT_EQ(e.number(), err::kDeviceIo);
  EXPECT_TRUE(e.description() == server.name() + " : write failed: Connection reset by peer" ||
              e.description() == server.name() + " : write failed: Broken pipe")
      << e.description();
}

}  // namespace
}  // namespace orvo
