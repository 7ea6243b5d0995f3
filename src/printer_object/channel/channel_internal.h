#pragma once
// What the kinds of port share: error wording and a port that owns one file descriptor.
#include <termios.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "printer_object/channel/channel.h"
#include "shared/unique_fd.h"

namespace orvo::channel_detail {

// "LPT1 (/dev/lp0)" for a mapped name, the name alone when it is its own target.
std::string port_label(const PortTarget& t);

[[noreturn]] void raise_port(std::int32_t number, const PortTarget& t, std::string_view what);
// Appends the system's reason for `errnum`.
[[noreturn]] void raise_os(std::int32_t number, const PortTarget& t, std::string_view what,
                           int errnum);
// Numbers an open() failure: a missing file, a missing directory, no permission, or other.
std::int32_t open_error_number(int errnum, const std::string& path);

// open() for writing, non-blocking; raises with the numbered reason on failure.
int open_for_output(const PortTarget& t, int extra_flags);
void clear_nonblock(const PortTarget& t, int fd);

// The termios speed constant for a baud rate, if the system has one.
std::optional<speed_t> speed_code(int baud);
// Raw mode with the given speed and frame; the rest of `tio` is kept.
void set_line(termios& tio, speed_t speed, const SerialParams& p);

// "10 s", or "0.25 s" below whole seconds.
std::string seconds_text(std::chrono::milliseconds ms);

using orvo::UniqueFd;


class FdPort : public Port {
 public:
  FdPort(PortTarget target, int fd);
  FdPort(const FdPort&) = delete;
  FdPort& operator=(const FdPort&) = delete;
  ~FdPort() override;

  void write(std::string_view bytes) override;
  void close() override;

 protected:
  // Raises 52 when the port was already closed (by the caller or by an earlier failure).
  void require_open() const;
  // Closes the descriptor (a failed port is not written to again) and raises.
  [[noreturn]] void fail(std::int32_t number, std::string_view what, int errnum);
  [[noreturn]] void fail_write(int errnum);

  const PortTarget target_;
  int fd_;
  bool may_sigpipe_;  // pipes and sockets only; files and devices skip the signal-mask calls
};

}  // namespace orvo::channel_detail
