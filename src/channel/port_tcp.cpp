#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>

#include "channel/channel_internal.h"
#include "shared/errors.h"
#include "shared/user_paths.h"

namespace orvo {

namespace {

using channel_detail::Clock;
using channel_detail::Progress;
using channel_detail::UniqueFd;

int remaining_ms(Clock::time_point deadline) {
  auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on fd until the deadline; false when it passed first.
bool wait_for(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int rc = ::poll(&p, 1, remaining_ms(deadline));
    if (rc > 0) return true;
    if (rc == 0) return false;
    if (errno != EINTR) return true;  // let the next call report the error
  }
}

// One lock file per printer address under the user's runtime directory: a socket has no file to
// lock, yet two prints of this machine must not interleave on one printer.
UniqueFd lock_printer(const PortTarget& t, std::chrono::milliseconds timeout) {
  using channel_detail::raise_os;
  using channel_detail::raise_port;
  const std::filesystem::path dir = user_runtime_dir();
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
    raise_os(channel_err::kPathFileAccess, t, "cannot create lock directory " + dir.string(),
             errno);
  }
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
    raise_port(channel_err::kPathFileAccess, t,
               "lock directory " + dir.string() + " is not a directory of this user");
  }
  std::string name = "tcp-" + t.host + "-" + t.service + ".lock";
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') c = '_';
  }
  const std::filesystem::path file = dir / name;
  UniqueFd fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd.get() < 0) {
    raise_os(channel_err::kPathFileAccess, t, "cannot open lock file " + file.string(), errno);
  }
  channel_detail::hold_exclusively(t, fd.get(), timeout);
  return fd;
}

// Success means the printer has taken every byte: the socket's queue of unsent and
// unacknowledged bytes is watched, and the stall clock restarts whenever it shrinks.
class TcpPort : public channel_detail::FdPort {
 public:
  TcpPort(PortTarget target, int fd, std::chrono::milliseconds stall, UniqueFd lock)
      : FdPort(std::move(target), fd, stall), lock_(std::move(lock)) {}
  TcpPort(const TcpPort&) = delete;
  TcpPort& operator=(const TcpPort&) = delete;
  ~TcpPort() override {
    // Ends our side cleanly: unread replies (printer status) still queued at close would make
    // the kernel reset the connection, and a reset can discard print data not yet read.
    if (fd_ < 0) return;
    ::shutdown(fd_, SHUT_WR);
    discard_replies();
  }

  void write(std::string_view bytes) override {
    require_open();
    Progress progress(stall_);
    std::uint64_t last_queue = queued();
    while (!bytes.empty()) {
      // MSG_NOSIGNAL: a peer that dropped the connection is an error here, not a SIGPIPE.
      const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) {
        written_ += static_cast<std::uint64_t>(n);
        bytes.remove_prefix(static_cast<std::size_t>(n));
        progress.moved();
        last_queue = queued();
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN) lost(errno);
      // Writability comes only once a third of the buffer is free, long after a slow printer
      // started taking bytes: wake up often and look at the queue instead.
      const int ms = progress.wait_ms(kSlice);
      if (ms == 0) fail_stalled();
      wait(ms, POLLOUT);
      if (const std::uint64_t q = queued(); q < last_queue) {
        progress.moved();
        last_queue = q;
      }
    }
  }

  void close() override {
    if (fd_ < 0) return;
    // The printer learns that the job has ended, and its acknowledgement of the end is counted.
    if (::shutdown(fd_, SHUT_WR) != 0) {
      const int e = errno;
      check_connection();
      lost(e);
    }
    fin_sent_ = true;
    drain();
    // Replies left unread would make close() reset the connection.
    if (const int error = discard_replies()) lost(error);
    check_connection();
    FdPort::close();
    lock_ = UniqueFd();
  }

 private:
  static constexpr auto kSlice = std::chrono::milliseconds(50);

  std::uint64_t queued() const override {
    int n = 0;
    if (fd_ < 0 || ::ioctl(fd_, SIOCOUTQ, &n) != 0 || n <= 0) return 0;
    // The end-of-job mark takes one place in the queue but is no byte of the print.
    return static_cast<std::uint64_t>(n) - (fin_sent_ ? 1 : 0);
  }

  void idle(int ms) override { wait(ms, 0); }

  // A print reported failed must not go on arriving later: the kernel would otherwise keep
  // sending what it holds after close, and the printer print half an invoice once it recovers.
  void abandon() override {
    const linger reset{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  }

  // Waits up to `ms` for `events`, reading the printer's replies and hearing a reset.
  void wait(int ms, short events) {
    pollfd p{fd_, static_cast<short>(events | (peer_done_ ? 0 : POLLIN)), 0};
    if (::poll(&p, 1, ms) <= 0) return;
    if (p.revents & POLLIN) {
      if (const int error = discard_replies()) lost(error);
    }
    if (p.revents & (POLLERR | POLLHUP)) {
      check_connection();
      // Closed both ways with no error: nothing will wake us, so the slice is slept.
      if (!(p.revents & events)) ::poll(nullptr, 0, ms);
    }
  }

  void check_connection() {
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
    if (error != 0) lost(error);
  }

  // Reads and drops what the printer sent. A reset shows here first: recv reports the
  // connection's error (returned, 0 for none) and clears it.
  int discard_replies() {
    char sink[512];
    ssize_t n;
    while ((n = ::recv(fd_, sink, sizeof sink, MSG_DONTWAIT)) > 0) {
    }
    if (n == 0) peer_done_ = true;
    return n < 0 && errno != EAGAIN && errno != EINTR ? errno : 0;
  }

  [[noreturn]] void lost(int errnum) {
    const std::string taken = std::to_string(delivered());
    fail(err::kDeviceIo, "connection lost (" + taken + " bytes taken)", errnum);
  }

  UniqueFd lock_;
  bool fin_sent_ = false;
  bool peer_done_ = false;  // the printer closed its side; it may still be reading
};

}  // namespace

std::unique_ptr<Port> open_tcp_port(const PortTarget& target, const PortOptions& options) {
  using channel_detail::raise_os;
  using channel_detail::raise_port;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  int gai = ::getaddrinfo(target.host.c_str(), target.service.c_str(), &hints, &found);
  if (gai != 0) {
    if (gai == EAI_SYSTEM) raise_os(err::kDeviceUnavailable, target, "cannot resolve host", errno);
    raise_port(err::kDeviceUnavailable, target,
               std::string("cannot resolve host: ") + ::gai_strerror(gai));
  }
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);
  UniqueFd lock = lock_printer(target, options.lock_timeout);

  // One deadline for all addresses of the host.
  const auto timeout = options.connect_timeout;
  const int send_buffer = options.send_buffer;
  auto deadline = Clock::now() + timeout;
  int last_error = ECONNREFUSED;
  for (addrinfo* ai = list.get(); ai != nullptr; ai = ai->ai_next) {
    UniqueFd fd(
        ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol));
    if (fd.get() < 0) {
      last_error = errno;
      continue;
    }
    if (send_buffer > 0)
      ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDBUF, &send_buffer, sizeof send_buffer);
    int rc = ::connect(fd.get(), ai->ai_addr, ai->ai_addrlen);
    if (rc != 0 && errno != EINPROGRESS && errno != EINTR) {
      last_error = errno;
      continue;
    }
    if (rc != 0) {
      if (!wait_for(fd.get(), POLLOUT, deadline)) {
        raise_port(err::kDeviceUnavailable, target,
                   "connect timed out after " + channel_detail::seconds_text(timeout));
      }
      int so_error = 0;
      socklen_t len = sizeof so_error;
      if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &so_error, &len) != 0) so_error = errno;
      if (so_error != 0) {
        last_error = so_error;
        continue;
      }
    }
    auto port = std::make_unique<TcpPort>(target, fd.get(), options.stall_timeout, std::move(lock));
    fd.release();
    return port;
  }
  raise_os(err::kDeviceUnavailable, target, "connect failed", last_error);
}

}  // namespace orvo
