#include <algorithm>

#include "platform/windows/wide.h"
#include "channel/port_win.h"
#include "shared/errors.h"

namespace orvo::channel_detail {

namespace {

constexpr auto kRetry = std::chrono::milliseconds(20);

[[noreturn]] void busy(const PortTarget& t, std::chrono::milliseconds timeout) {
  raise_port(err::kPermissionDenied, t,
             "port is busy: another print still holds it after " + seconds_text(timeout));
}

// Waits for the next try at a port another print holds; raises once the lock timeout is over.
void wait_turn(const PortTarget& t, const Progress& waited, std::chrono::milliseconds timeout) {
  check_interrupt();
  const int ms = waited.wait_ms(kRetry);
  if (ms == 0) busy(t, timeout);
  ::Sleep(static_cast<DWORD>(ms));
}

}  // namespace

// Holds a file's lock for the whole print, as flock does on the POSIX side.
void hold_file(const PortTarget& t, HANDLE h, std::chrono::milliseconds timeout) {
  const Progress waited(timeout);
  for (;;) {
    OVERLAPPED whole{};
    if (::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                     MAXDWORD, &whole))
      return;
    const DWORD e = ::GetLastError();
    if (e != ERROR_LOCK_VIOLATION && e != ERROR_IO_PENDING) {
      raise_win(channel_err::kPathFileAccess, t, "cannot lock", e);
    }
    wait_turn(t, waited, timeout);
  }
}

std::string port_label(const PortTarget& t) {
  if (t.target == t.name) return t.kind == PortKind::kTcp ? t.name + " " : t.name;
  return t.name + " (" + t.target + ")";
}

void raise_port(std::int32_t number, const PortTarget& t, std::string_view what) {
  raise(number, port_label(t) + ": " + std::string(what));
}

void raise_win(std::int32_t number, const PortTarget& t, std::string_view what,
               unsigned long code) {
  raise_port(number, t, std::string(what) + ": " + win::system_message(code));
}

std::int32_t win_open_error_number(unsigned long code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return err::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
      return err::kPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return err::kPermissionDenied;
    default:
      return channel_err::kPathFileAccess;
  }
}

int Progress::wait_ms(std::chrono::milliseconds slice) const {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(stall_ - (Clock::now() - last_));
  return static_cast<int>(std::clamp<std::int64_t>(std::min(left, slice).count(), 0, INT32_MAX));
}

HANDLE open_device(const PortTarget& t, std::chrono::milliseconds lock_timeout) {
  const std::wstring path = win::widen(t.target);
  const Progress waited(lock_timeout);
  for (;;) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    const DWORD e = ::GetLastError();
    if (e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED && e != ERROR_BUSY) {
      raise_win(win_open_error_number(e), t, "cannot open", e);
    }
    wait_turn(t, waited, lock_timeout);
  }
}

HandlePort::HandlePort(PortTarget target, HANDLE handle, bool overlapped,
                       std::chrono::milliseconds stall)
    : target_(std::move(target)), handle_(handle), overlapped_(overlapped), stall_(stall) {}

HandlePort::~HandlePort() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  if (overlapped_) ::CancelIoEx(handle_, nullptr);
  ::CloseHandle(handle_);
}

DWORD HandlePort::write_some(std::string_view bytes, const Progress& progress) {
  const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
  DWORD done = 0;
  if (!overlapped_) {
    if (!::WriteFile(handle_, bytes.data(), size, &done, nullptr)) {
      const DWORD e = ::GetLastError();
      fail(e == ERROR_DISK_FULL || e == ERROR_HANDLE_DISK_FULL ? err::kDiskFull : err::kDeviceIo,
           "write failed", e);
    }
    return done;
  }
  OVERLAPPED ov{};
  ov.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!::WriteFile(handle_, bytes.data(), size, nullptr, &ov) &&
      ::GetLastError() != ERROR_IO_PENDING) {
    const DWORD e = ::GetLastError();
    ::CloseHandle(ov.hEvent);
    fail(err::kDeviceIo, "write failed", e);
  }
  // The device gets until the stall clock runs out; what it took by then counts.
  if (::WaitForSingleObject(ov.hEvent, static_cast<DWORD>(progress.wait_ms(stall_))) !=
      WAIT_OBJECT_0) {
    ::CancelIoEx(handle_, &ov);
  }
  const BOOL ok = ::GetOverlappedResult(handle_, &ov, &done, TRUE);
  const DWORD e = ::GetLastError();
  ::CloseHandle(ov.hEvent);
  if (!ok && e != ERROR_OPERATION_ABORTED) fail(err::kDeviceIo, "write failed", e);
  return done;
}

void HandlePort::write(std::string_view bytes) {
  if (handle_ == INVALID_HANDLE_VALUE) raise_port(err::kBadFileNumber, target_, "port is not open");
  Progress progress(stall_);
  while (!bytes.empty()) {
    const DWORD n = write_some(bytes, progress);
    if (n > 0) {
      written_ += n;
      bytes.remove_prefix(n);
      progress.moved();
    } else if (progress.wait_ms(stall_) == 0) {
      fail_stalled();
    } else {
      ::Sleep(10);  // a device that takes nothing at once, without a stall yet
    }
  }
}

void HandlePort::close() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  const HANDLE h = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  // A serial line has taken the print only once its buffers have gone out.
  if (target_.kind == PortKind::kSerial && !::FlushFileBuffers(h)) {
    const DWORD e = ::GetLastError();
    ::CloseHandle(h);
    raise_win(err::kDeviceIo, target_, "close failed", e);
  }
  if (!::CloseHandle(h)) raise_win(err::kDeviceIo, target_, "close failed", ::GetLastError());
}

void HandlePort::fail(std::int32_t number, std::string_view what, unsigned long code) {
  if (overlapped_) ::CancelIoEx(handle_, nullptr);
  ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  raise_win(number, target_, what, code);
}

void HandlePort::fail_stalled() {
  if (overlapped_) ::CancelIoEx(handle_, nullptr);
  ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  raise_port(err::kDeviceIo, target_,
             "stalled: the printer took nothing for " + seconds_text(stall_) + " (" +
                 std::to_string(written_) + " bytes taken)");
}

}  // namespace orvo::channel_detail

namespace orvo {

using channel_detail::HandlePort;

std::unique_ptr<Port> open_path_port(const PortTarget& target, const PortOptions& options) {
  if (!target.may_create) {
    HANDLE h = channel_detail::open_device(target, options.lock_timeout);
    return std::make_unique<HandlePort>(target, h, true, options.stall_timeout);
  }
  const std::wstring path = win::widen(target.target);
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD e = ::GetLastError();
    channel_detail::raise_win(channel_detail::win_open_error_number(e), target, "cannot open", e);
  }
  auto port = std::make_unique<HandlePort>(target, h, false, options.stall_timeout);
  channel_detail::hold_file(target, h, options.lock_timeout);
  // A capture holds exactly the last print; emptied only now, so a print that still held the
  // file kept its bytes.
  if (::GetFileType(h) == FILE_TYPE_DISK && !::SetEndOfFile(h)) {
    channel_detail::raise_win(channel_err::kPathFileAccess, target, "cannot empty",
                              ::GetLastError());
  }
  return port;
}

}  // namespace orvo
