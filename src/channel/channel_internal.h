#pragma once
// What the kinds of port share: error wording, holding a port for one print, the stall clock and
// a port that owns one file descriptor.
#ifdef _WIN32
using speed_t = unsigned long;  // a DCB's BaudRate; the ports are in port_*_win.cpp
#else
#include <termios.h>
#endif

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "channel/channel.h"
#include "shared/unique_fd.h"

namespace orvo::channel_detail {

using Clock = std::chrono::steady_clock;

// "LPT1 (/dev/lp0)" for a mapped name, the name alone when it is its own target.
std::string port_label(const PortTarget& t);

[[noreturn]] void raise_port(std::int32_t number, const PortTarget& t, std::string_view what);
// Appends the system's reason for `errnum`.
[[noreturn]] void raise_os(std::int32_t number, const PortTarget& t, std::string_view what,
                           int errnum);
// Numbers an open() failure: a missing file, a missing directory, no permission, or other.
std::int32_t open_error_number(int errnum, const std::string& path);

// open() for writing, non-blocking (writes wait in poll, where the stall clock runs); raises with
// the numbered reason on failure.
int open_for_output(const PortTarget& t, int extra_flags);

// Takes fd's advisory lock for the whole print. Another print holding it is waited for up to
// `timeout`, then the port is reported busy (70); a stop request ends the wait.
void hold_exclusively(const PortTarget& t, int fd, std::chrono::milliseconds timeout);

// The termios speed constant for a baud rate, if the system has one.
std::optional<speed_t> speed_code(int baud);
#ifndef _WIN32
// Raw mode with the given speed and frame; the rest of `tio` is kept.
void set_line(termios& tio, speed_t speed, const SerialParams& p);
#endif

// "10 s", or "0.25 s" below whole seconds.
std::string seconds_text(std::chrono::milliseconds ms);

// The stall clock: restarts whenever the device takes bytes; runs out after the stall timeout.
class Progress {
 public:
  explicit Progress(std::chrono::milliseconds stall) : stall_(stall), last_(Clock::now()) {}
  void moved() { last_ = Clock::now(); }
  // Milliseconds left to wait, at most `slice`; 0 once the device has stalled.
  int wait_ms(std::chrono::milliseconds slice) const;

 private:
  std::chrono::milliseconds stall_;
  Clock::time_point last_;
};

using orvo::UniqueFd;

class FdPort : public Port {
 public:
  FdPort(PortTarget target, int fd, std::chrono::milliseconds stall);
  FdPort(const FdPort&) = delete;
  FdPort& operator=(const FdPort&) = delete;
  ~FdPort() override;

  void write(std::string_view bytes) override;
  void close() override;
  std::uint64_t delivered() const override;

 protected:
  // Raises 52 when the port was already closed (by the caller or by an earlier failure).
  void require_open() const;
  // Closes the descriptor (a failed port is not written to again, and what it still queues is
  // discarded) and raises.
  [[noreturn]] void fail(std::int32_t number, std::string_view what);
  [[noreturn]] void fail(std::int32_t number, std::string_view what, int errnum);
  [[noreturn]] void fail_write(int errnum);
  [[noreturn]] void fail_stalled();
  // Bytes written that the kernel still holds for the device; 0 where it cannot tell.
  virtual std::uint64_t queued() const;
  // Waits, within the stall timeout, until the kernel's queue for the device is empty.
  void drain();

  const PortTarget target_;
  int fd_;
  bool may_sigpipe_;  // pipes and sockets only; files and devices skip the signal-mask calls
  bool is_tty_;       // a serial line: its output queue can be read and must drain before close
  const std::chrono::milliseconds stall_;
  std::uint64_t written_ = 0;  // bytes the kernel accepted
  std::uint64_t left_ = 0;     // queued() when the descriptor was closed

 private:
  // Lets the device's end be heard while draining (a socket's replies and resets).
  virtual void idle(int ms);
  // After a failure: makes sure the device gets nothing more of this print.
  virtual void abandon() {}
  void release();
};

}  // namespace orvo::channel_detail
