#include <gtest/gtest.h>

#include "printer_object/channel/channel.h"
#include "printer_object/channel/channel_internal.h"
#include "shared/errors.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

using testing::TempDir;

// What else a target carries, in one line: creatable or not, the serial frame, the TCP address.
std::string details(const PortTarget& t) {
  switch (t.kind) {
    case PortKind::kPath:
      return t.may_create ? "file" : "device";
    case PortKind::kSerial:
      return std::to_string(t.serial.baud) + " " + t.serial.parity +
             std::to_string(t.serial.data_bits) + std::to_string(t.serial.stop_bits);
    case PortKind::kTcp:
      return t.host + " " + t.service;
  }
  return "";
}

TEST(ResolvePort, NamesMapToKindTargetAndDetails) {
  const struct {
    std::string name, mapping;
    PortKind kind;
    std::string target, details;
  } cases[] = {
      {"lpt3", "", PortKind::kPath, "/dev/lp2", "device"},
      {"LPT9:", "", PortKind::kPath, "/dev/lp8", "device"},
      {"LPT2", "  /tmp/capture, copy.prn ", PortKind::kPath, "/tmp/capture, copy.prn", "file"},
      {"LPT1", "/dev/usb/lp0", PortKind::kPath, "/dev/usb/lp0", "device"},
      {"com9", "", PortKind::kSerial, "/dev/ttyS8", "9600 N81"},
      {"COM2", "/dev/ttyUSB0,19200,e,7,2", PortKind::kSerial, "/dev/ttyUSB0", "19200 E72"},
      {"COM3", " /dev/ttyUSB1 , 4800 ", PortKind::kSerial, "/dev/ttyUSB1", "4800 N81"},
      {"COM4", "/dev/ttyS3,,O", PortKind::kSerial, "/dev/ttyS3", "9600 O81"},
      {"out.prn", "ignored", PortKind::kPath, "out.prn", "file"},
      {"LPT10", "", PortKind::kPath, "LPT10", "file"},
      {"COM0", "", PortKind::kPath, "COM0", "file"},
      {"/dev/null", "", PortKind::kPath, "/dev/null", "device"},
      {"tcp://127.0.0.1:9100", "", PortKind::kTcp, "tcp://127.0.0.1:9100", "127.0.0.1 9100"},
      {"LPT1", "tcp://localhost:9100", PortKind::kTcp, "tcp://localhost:9100", "localhost 9100"},
      {"COM1", "TCP://[::1]:9101", PortKind::kTcp, "TCP://[::1]:9101", "::1 9101"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " = " + c.mapping);
    PortTarget t = resolve_port(c.name, c.mapping);
    EXPECT_EQ(t.name, c.name);
    EXPECT_EQ(t.kind, c.kind);
    EXPECT_EQ(t.target, c.target);
    EXPECT_EQ(details(t), c.details);
  }
}

TEST(ResolvePort, MalformedNamesAndSettingsNameThePortAndTheBadPart) {
  const struct {
    std::string name, mapping, expected;
  } cases[] = {
      {"COM1", "/dev/ttyS0,fast", "COM1: bad [Ports] setting \"/dev/ttyS0,fast\": baud \"fast\""},
      {"COM1", "/dev/ttyS0,-5", "COM1: bad [Ports] setting \"/dev/ttyS0,-5\": baud \"-5\""},
      {"COM1", "/dev/ttyS0,12345", "baud 12345 is not a supported rate"},
      {"COM1", "/dev/ttyS0,9600,X", "parity \"X\" is not N, E or O"},
      {"COM2", "/dev/ttyS0,9600,N,9",
       "COM2: bad [Ports] setting \"/dev/ttyS0,9600,N,9\": data bits \"9\""},
      {"COM2", "/dev/ttyS0,9600,N,8,3", "stop bits \"3\" is not 1 or 2"},
      {"COM3", ",9600", "COM3: bad [Ports] setting \",9600\": no device"},
      {"COM3", "/dev/ttyS0,9600,N,8,1,x", "expected DEVICE,BAUD,PARITY,DATABITS,STOPBITS"},
      {"tcp://127.0.0.1", "", "tcp://127.0.0.1: expected tcp://HOST:PORT"},
      {"tcp://127.0.0.1:99999", "", "bad TCP port \"99999\""},
      {"tcp://127.0.0.1:", "", "bad TCP port \"\""},
      {"tcp://:9100", "", "no host"},
      {"tcp://[::1", "", "unclosed '['"},
      {"LPT1", "tcp://127.0.0.1:x", "LPT1: bad TCP port \"x\""},
      {"  ", "", "empty port name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " = " + c.mapping);
    const Error e = testing::raised([&] { resolve_port(c.name, c.mapping); });
    EXPECT_EQ(e.number(), err::kBadFileNumber);
    EXPECT_NE(e.description().find(c.expected), std::string::npos) << e.description();
  }
}

// Linux pseudo-terminals force CS8 without parity, so the frame bits are checked here.
TEST(SerialLine, FrameBitsFollowTheSettings) {
  const struct {
    SerialParams p;
    tcflag_t expected;
  } cases[] = {
      {{9600, 'N', 8, 1}, CS8},
      {{9600, 'E', 7, 1}, CS7 | PARENB},
      {{9600, 'O', 8, 2}, CS8 | PARENB | PARODD | CSTOPB},
      {{9600, 'N', 7, 2}, CS7 | CSTOPB},
  };
  for (const auto& c : cases) {
    termios tio{};
    // Leftovers from whoever used the line before must not survive.
    tio.c_cflag = CS5 | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL;
    tio.c_lflag = ICANON | ECHO;
    channel_detail::set_line(tio, B4800, c.p);
    const tcflag_t frame = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;
    EXPECT_EQ(tio.c_cflag & frame, c.expected) << c.p.parity << c.p.data_bits << c.p.stop_bits;
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD | HUPCL), CLOCAL | CREAD | HUPCL);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(::cfgetospeed(&tio), B4800);
  }
}

TEST(ResolvePort, MappingComesFromThePortsSection) {
  TempDir dir;
  Settings s = Settings::load(dir.write("s.ini",
                                        "[Ports]\nLPT1=/var/spool/invoice.prn\n"
                                        "COM2=/dev/ttyUSB0,38400,O,7,1\n[Other]\nLPT2=/wrong\n"));
  EXPECT_EQ(resolve_port("lpt1", s).target, "/var/spool/invoice.prn");
  EXPECT_EQ(resolve_port("LPT2", s).target, "/dev/lp1");
  PortTarget com = resolve_port("COM2", s);
  EXPECT_EQ(com.target, "/dev/ttyUSB0");
  EXPECT_EQ(com.serial, (SerialParams{38400, 'O', 7, 1}));
  // A file that happens to share a key's name is not looked up.
  EXPECT_EQ(resolve_port("TcpTimeoutSeconds", s).target, "TcpTimeoutSeconds");
}

TEST(TcpTimeout, ReadsWholePositiveSecondsElseTen) {
  const struct {
    std::string ini;
    long long seconds;
  } cases[] = {
      {"", 10},
      {"[Ports]\nTcpTimeoutSeconds=3\n", 3},
      {"[Ports]\nTcpTimeoutSeconds = 25 \n", 25},
      {"[Ports]\nTcpTimeoutSeconds=5s\n", 10},
      {"[Ports]\nTcpTimeoutSeconds=0\n", 10},
      {"[Ports]\nTcpTimeoutSeconds=-4\n", 10},
      {"[Ports]\nTcpTimeoutSeconds=99999999999\n", 10},
  };
  TempDir dir;
  for (const auto& c : cases) {
    EXPECT_EQ(tcp_timeout(Settings::load(dir.write("s.ini", c.ini))),
              std::chrono::seconds(c.seconds))
        << c.ini;
  }
}

}  // namespace
}  // namespace orvo
