#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "channel/channel_internal.h"
#include "shared/errors.h"

namespace orvo::channel_detail {

namespace {

constexpr int kRetryMs = 10;

// Blocks SIGPIPE for one write on this thread, so that a pipe or FIFO whose reader went away
// gives EPIPE instead of ending the process; a SIGPIPE raised meanwhile is swallowed.
class SigpipeBlock {
 public:
  SigpipeBlock() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    was_pending_ = sigismember(&pending, SIGPIPE) == 1;
  }
  SigpipeBlock(const SigpipeBlock&) = delete;
  SigpipeBlock& operator=(const SigpipeBlock&) = delete;
  ~SigpipeBlock() {
    if (!was_pending_) {
      sigset_t pending;
      sigemptyset(&pending);
      sigpending(&pending);
      if (sigismember(&pending, SIGPIPE) == 1) {
        const timespec zero{0, 0};
        while (sigtimedwait(&pipe_, nullptr, &zero) == -1 && errno == EINTR) {
        }
      }
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  sigset_t pipe_{};
  sigset_t old_{};
  bool was_pending_ = false;
};

}  // namespace

std::string port_label(const PortTarget& t) {
  if (t.target == t.name) {
    // Keeps the port's own colon apart from the message's.
    return t.kind == PortKind::kTcp ? t.name + " " : t.name;
  }
  return t.name + " (" + t.target + ")";
}

void raise_port(std::int32_t number, const PortTarget& t, std::string_view what) {
  raise(number, port_label(t) + ": " + std::string(what));
}

void raise_os(std::int32_t number, const PortTarget& t, std::string_view what, int errnum) {
  raise_port(number, t, std::string(what) + ": " + std::generic_category().message(errnum));
}

std::int32_t open_error_number(int errnum, const std::string& path) {
  switch (errnum) {
    case ENOENT: {
      auto parent = std::filesystem::path(path).parent_path();
      if (parent.empty()) return err::kFileNotFound;
      struct stat st {};
      bool dir_exists = ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      return dir_exists ? err::kFileNotFound : err::kPathNotFound;
    }
    case ENOTDIR:
      return err::kPathNotFound;
    case EACCES:
    case EPERM:
      return err::kPermissionDenied;
    default:
      return channel_err::kPathFileAccess;
  }
}

void hold_exclusively(const PortTarget& t, int fd, std::chrono::milliseconds timeout) {
  // flock has no timeout of its own; a short retry keeps the wait bounded and interruptible.
  constexpr auto kRetry = std::chrono::milliseconds(20);
  const Progress waited(timeout);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) raise_os(channel_err::kPathFileAccess, t, "cannot lock", errno);
    check_interrupt();
    const int ms = waited.wait_ms(kRetry);
    if (ms == 0) {
      raise_port(err::kPermissionDenied, t,
                 "port is busy: another print still holds it after " + seconds_text(timeout));
    }
    ::poll(nullptr, 0, ms);
  }
}

int Progress::wait_ms(std::chrono::milliseconds slice) const {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(stall_ - (Clock::now() - last_));
  return static_cast<int>(std::clamp<std::int64_t>(std::min(left, slice).count(), 0, INT32_MAX));
}

FdPort::FdPort(PortTarget target, int fd, std::chrono::milliseconds stall)
    : target_(std::move(target)), fd_(fd), is_tty_(::isatty(fd) == 1), stall_(stall) {
  struct stat st {};
  may_sigpipe_ = ::fstat(fd, &st) != 0 || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

FdPort::~FdPort() { release(); }

void FdPort::release() {
  if (fd_ < 0) return;
  left_ = queued();
  // A line that will not drain must not hold up close().
  if (is_tty_ && left_ > 0) ::tcflush(fd_, TCOFLUSH);
  ::close(fd_);
  fd_ = -1;
}

void FdPort::require_open() const {
  if (fd_ < 0) raise_port(err::kBadFileNumber, target_, "port is not open");
}

void FdPort::fail(std::int32_t number, std::string_view what) {
  abandon();
  release();
  raise_port(number, target_, what);
}

void FdPort::fail(std::int32_t number, std::string_view what, int errnum) {
  abandon();
  release();
  raise_os(number, target_, what, errnum);
}

void FdPort::fail_write(int errnum) {
  fail(errnum == ENOSPC ? err::kDiskFull : err::kDeviceIo, "write failed", errnum);
}

void FdPort::fail_stalled() {
  const std::string taken = std::to_string(delivered());
  fail(err::kDeviceIo, "stalled: the printer took nothing for " + seconds_text(stall_) + " (" +
                           taken + " bytes taken)");
}

std::uint64_t FdPort::queued() const {
  int n = 0;
  if (!is_tty_ || fd_ < 0 || ::ioctl(fd_, TIOCOUTQ, &n) != 0 || n < 0) return 0;
  return static_cast<std::uint64_t>(n);
}

std::uint64_t FdPort::delivered() const {
  const std::uint64_t q = fd_ >= 0 ? queued() : left_;
  return written_ - std::min(q, written_);
}

void FdPort::write(std::string_view bytes) {
  require_open();
  std::optional<SigpipeBlock> no_sigpipe;
  if (may_sigpipe_) no_sigpipe.emplace();
  Progress progress(stall_);
  bool said_writable = false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n > 0) {
      written_ += static_cast<std::uint64_t>(n);
      bytes.remove_prefix(static_cast<std::size_t>(n));
      progress.moved();
      said_writable = false;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) fail_write(errno);
    if (n == 0) fail_write(EIO);
    // Full: wait for room; a device that never makes any has stalled.
    const int ms = progress.wait_ms(stall_);
    if (ms == 0) fail_stalled();
    if (said_writable) {
      // A driver without poll support (the parallel port's) says writable at once: no spinning.
      ::poll(nullptr, 0, std::min(ms, kRetryMs));
      said_writable = false;
      continue;
    }
    pollfd p{fd_, POLLOUT, 0};
    const int rc = ::poll(&p, 1, ms);
    if (rc < 0 && errno != EINTR) fail_write(errno);
    said_writable = rc > 0;
  }
}

void FdPort::idle(int ms) { ::poll(nullptr, 0, ms); }

void FdPort::drain() {
  constexpr auto kSlice = std::chrono::milliseconds(20);
  Progress progress(stall_);
  for (std::uint64_t low = queued(); low > 0;) {
    const int ms = progress.wait_ms(kSlice);
    if (ms == 0) fail_stalled();
    idle(ms);
    if (const std::uint64_t q = queued(); q < low) {
      low = q;
      progress.moved();
    }
  }
}

void FdPort::close() {
  if (fd_ < 0) return;
  if (is_tty_) drain();
  const int fd = fd_;
  fd_ = -1;
  left_ = 0;
  // Linux releases the descriptor even when close reports an error, so no retry on EINTR.
  if (::close(fd) != 0 && errno != EINTR) raise_os(err::kDeviceIo, target_, "close failed", errno);
}

}  // namespace orvo::channel_detail
