#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "channel/channel_internal.h"
#include "shared/errors.h"

namespace orvo {

namespace channel_detail {

namespace {

struct Speed {
  int baud;
  speed_t code;
};

constexpr Speed kSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000},
};

}  // namespace

std::optional<speed_t> speed_code(int baud) {
  for (const auto& s : kSpeeds) {
    if (s.baud == baud) return s.code;
  }
  return std::nullopt;
}

void set_line(termios& tio, speed_t speed, const SerialParams& p) {
  ::cfmakeraw(&tio);
  ::cfsetispeed(&tio, speed);
  ::cfsetospeed(&tio, speed);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  tio.c_cflag |= static_cast<tcflag_t>(p.data_bits == 7 ? CS7 : CS8);
  if (p.parity != 'N') tio.c_cflag |= PARENB;
  if (p.parity == 'O') tio.c_cflag |= PARODD;
  if (p.stop_bits == 2) tio.c_cflag |= CSTOPB;
  // A printer cable rarely carries modem lines: never wait for carrier.
  tio.c_cflag |= CLOCAL | CREAD;
}

}  // namespace channel_detail

namespace {

void configure(const PortTarget& t, int fd) {
  using channel_detail::raise_os;
  using channel_detail::raise_port;
  auto speed = channel_detail::speed_code(t.serial.baud);
  if (!speed) {
    raise_port(channel_err::kPathFileAccess, t,
               "baud rate " + std::to_string(t.serial.baud) + " is not supported");
  }

  termios tio{};
  if (::tcgetattr(fd, &tio) != 0)
    raise_os(channel_err::kPathFileAccess, t, "not a serial port", errno);
  channel_detail::set_line(tio, *speed, t.serial);
  int rc;
  do {
    rc = ::tcsetattr(fd, TCSANOW, &tio);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) raise_os(channel_err::kPathFileAccess, t, "cannot set line settings", errno);

  // tcsetattr succeeds if any change took; check that the speed did.
  termios now{};
  if (::tcgetattr(fd, &now) != 0 || ::cfgetospeed(&now) != *speed) {
    raise_port(channel_err::kPathFileAccess, t,
               "baud rate " + std::to_string(t.serial.baud) + " was not accepted by the device");
  }
}

}  // namespace

std::unique_ptr<Port> open_serial_port(const PortTarget& target, const PortOptions& options) {
  channel_detail::UniqueFd fd(channel_detail::open_for_output(target, 0));
  // Held before the line is set, so a print in progress keeps its speed and frame.
  channel_detail::hold_exclusively(target, fd.get(), options.lock_timeout);
  configure(target, fd.get());
  auto port = std::make_unique<channel_detail::FdPort>(target, fd.get(), options.stall_timeout);
  fd.release();
  return port;
}

}  // namespace orvo
