#pragma once
// What the Windows ports share: a port on one handle (a file, LPT or COM device) and the
// system's error wording.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string_view>

#include "channel/channel_internal.h"

namespace orvo::channel_detail {

// Appends the system's message for `code`.
[[noreturn]] void raise_win(std::int32_t number, const PortTarget& t, std::string_view what,
                            unsigned long code);
// Numbers a CreateFile failure as opening a file does: not found, no path, no access, other.
std::int32_t win_open_error_number(unsigned long code);

// A device (LPTn, COMn, a printer share) is opened alone: while another print has it, opening
// is retried up to the lock timeout, then the port is reported busy. Overlapped, so that a
// write can be given up after the stall timeout.
HANDLE open_device(const PortTarget& t, std::chrono::milliseconds lock_timeout);

// Holds a file's lock for the whole print, as flock does on the POSIX side.
void hold_file(const PortTarget& t, HANDLE h, std::chrono::milliseconds timeout);

class HandlePort : public Port {
 public:
  HandlePort(PortTarget target, HANDLE handle, bool overlapped, std::chrono::milliseconds stall);
  HandlePort(const HandlePort&) = delete;
  HandlePort& operator=(const HandlePort&) = delete;
  ~HandlePort() override;

  void write(std::string_view bytes) override;
  void close() override;
  std::uint64_t delivered() const override { return written_; }

 private:
  // Bytes the device took of `bytes` within the stall clock; 0 once it has stalled.
  DWORD write_some(std::string_view bytes, const Progress& progress);
  [[noreturn]] void fail(std::int32_t number, std::string_view what, unsigned long code);
  [[noreturn]] void fail_stalled();

  const PortTarget target_;
  HANDLE handle_;
  const bool overlapped_;
  const std::chrono::milliseconds stall_;
  std::uint64_t written_ = 0;
};

}  // namespace orvo::channel_detail
