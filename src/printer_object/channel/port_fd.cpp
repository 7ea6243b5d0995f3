#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "printer_object/channel/channel_internal.h"
#include "shared/errors.h"

namespace orvo::channel_detail {

namespace {

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

std::string seconds_text(std::chrono::milliseconds ms) {
  auto n = ms.count();
  if (n % 1000 == 0) return std::to_string(n / 1000) + " s";
  std::string frac = std::to_string(1000 + n % 1000).substr(1);
  while (frac.back() == '0') frac.pop_back();
  return std::to_string(n / 1000) + "." + frac + " s";
}

FdPort::FdPort(PortTarget target, int fd) : target_(std::move(target)), fd_(fd) {
  struct stat st {};
  may_sigpipe_ = ::fstat(fd, &st) != 0 || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

FdPort::~FdPort() {
  if (fd_ >= 0) ::close(fd_);
}

void FdPort::require_open() const {
  if (fd_ < 0) raise_port(err::kBadFileNumber, target_, "port is not open");
}

void FdPort::fail(std::int32_t number, std::string_view what, int errnum) {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  raise_os(number, target_, what, errnum);
}

void FdPort::fail_write(int errnum) {
  fail(errnum == ENOSPC ? err::kDiskFull : err::kDeviceIo, "write failed", errnum);
}

void FdPort::write(std::string_view bytes) {
  require_open();
  std::optional<SigpipeBlock> no_sigpipe;
  if (may_sigpipe_) no_sigpipe.emplace();
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        // A device left non-blocking by someone else: wait until it takes more.
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, -1) >= 0 || errno == EINTR) continue;
      }
      fail_write(errno);
    }
    if (n == 0) fail_write(EIO);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void FdPort::close() {
  if (fd_ < 0) return;
  int fd = fd_;
  fd_ = -1;
  // Linux releases the descriptor even when close reports an error, so no retry on EINTR.
  if (::close(fd) != 0 && errno != EINTR) raise_os(err::kDeviceIo, target_, "close failed", errno);
}

}  // namespace orvo::channel_detail
