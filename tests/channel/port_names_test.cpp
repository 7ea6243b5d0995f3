#include <gtest/gtest.h>

#include "channel/channel.h"
#include "channel/channel_internal.h"
#include "shared/case_file.h"
#include "shared/errors.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

using testing::TempDir;

// A target in one line: its kind, where it leads, and creatable or not, the frame or the address.
std::string describe(const PortTarget& t) {
  switch (t.kind) {
    case PortKind::kPath:
      return t.target + (t.may_create ? " file" : " device");
    case PortKind::kSerial:
      return t.target + " " + std::to_string(t.serial.baud) + " " + t.serial.parity +
             std::to_string(t.serial.data_bits) + std::to_string(t.serial.stop_bits);
    case PortKind::kTcp:
      return "tcp " + t.host + " " + t.service;
    case PortKind::kCups:
      return "cups " + t.queue + (t.may_create ? " file" : "");
  }
  return "";
}

TEST(ResolvePort, NamesMapToKindTargetAndDetails) {
  for (const auto& c : testing::read_cases("channel/data/port_names.tsv"))
    EXPECT_EQ(describe(resolve_port(c[0], c[1])), c[2]) << c[0] << " = " << c[1];
}

TEST(ResolvePort, MalformedNamesAndSettingsNameThePortAndTheBadPart) {
  for (const auto& c : testing::read_cases("channel/data/bad_port_names.tsv")) {
    SCOPED_TRACE(c[0] + " = " + c[1]);
    const Error e = testing::raised([&] { resolve_port(c[0], c[1]); });
    EXPECT_EQ(e.number(), err::kBadFileNumber);
    EXPECT_NE(e.description().find(c[2]), std::string::npos) << e.description();
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
  }
}

TEST(ResolvePort, MappingAndOptionsComeFromThePortsSection) {
  TempDir dir;
  // Names are matched without regard to case, as in the registry.
  Settings s = Settings::load(dir.write("s.ini",
                                        "[ports]\nlpt1=/var/spool/invoice.prn\n"
                                        "Com2=/dev/ttyUSB0,38400,O,7,1\n[Other]\nLPT2=/wrong\n"));
  EXPECT_EQ(resolve_port("LPT1", s).target, "/var/spool/invoice.prn");
  EXPECT_EQ(resolve_port("LPT2", s).target, "/dev/lp1");
  EXPECT_EQ(resolve_port("COM2", s).serial, (SerialParams{38400, 'O', 7, 1}));
  // A file that happens to share a key's name is not looked up.
  EXPECT_EQ(resolve_port("./TcpTimeoutSeconds", s).target, "./TcpTimeoutSeconds");

  const PortOptions defaults = port_options(Settings{});
  EXPECT_EQ(defaults.lock_timeout, std::chrono::seconds(30));
  EXPECT_EQ(defaults.cups_wait, std::chrono::seconds(0));
  EXPECT_EQ(
      port_options(Settings::load(dir.write("w.ini", "[Ports]\nCupsWaitSeconds=2.5\n"))).cups_wait,
      std::chrono::milliseconds(2500));
  EXPECT_EQ(defaults.stall_timeout, std::chrono::seconds(30));
  EXPECT_EQ(defaults.connect_timeout, std::chrono::seconds(10));
  EXPECT_EQ(defaults.send_buffer, 0);
  const PortOptions set = port_options(Settings::load(
      dir.write("t.ini",
                "[PORTS]\nlocktimeoutseconds=5\nWriteTimeoutSeconds=0.25\nTcpTimeoutSeconds= 3 \n"
                "TcpSendBufferBytes=8192\n")));
  EXPECT_EQ(set.lock_timeout, std::chrono::seconds(5));
  EXPECT_EQ(set.stall_timeout, std::chrono::milliseconds(250));
  EXPECT_EQ(set.connect_timeout, std::chrono::seconds(3));
  EXPECT_EQ(set.send_buffer, 8192);
}

}  // namespace
}  // namespace orvo
