#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "printer_object/channel/channel_internal.h"
#include "shared/errors.h"

namespace orvo {

namespace {

using Clock = std::chrono::steady_clock;
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

class TcpPort : public channel_detail::FdPort {
 public:
  TcpPort(PortTarget target, int fd, std::chrono::milliseconds timeout)
      : FdPort(std::move(target), fd), timeout_(timeout) {}
  TcpPort(const TcpPort&) = delete;
  TcpPort& operator=(const TcpPort&) = delete;
  ~TcpPort() override { shut(); }

  void write(std::string_view bytes) override {
    require_open();
    while (!bytes.empty()) {
      // MSG_NOSIGNAL: a peer that dropped the connection is an error here, not a SIGPIPE.
      ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
          if (!wait_for(fd_, POLLOUT, Clock::now() + timeout_)) {
            fail(err::kDeviceIo, "write timed out after " + channel_detail::seconds_text(timeout_),
                 ETIMEDOUT);
          }
          continue;
        }
        fail_write(errno);
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  void close() override {
    shut();
    FdPort::close();
  }

 private:
  // Ends our side cleanly: unread replies (printer status) still queued at close would make the
  // kernel reset the connection, and a reset can discard print data the printer has not read.
  void shut() {
    if (fd_ < 0) return;
    ::shutdown(fd_, SHUT_WR);
    char sink[512];
    while (::recv(fd_, sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
  }

  std::chrono::milliseconds timeout_;
};

}  // namespace

std::unique_ptr<Port> open_tcp_port(const PortTarget& target, std::chrono::milliseconds timeout,
                                    int send_buffer) {
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

  // One deadline for all addresses of the host.
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
    auto port = std::make_unique<TcpPort>(target, fd.get(), timeout);
    fd.release();
    return port;
  }
  raise_os(err::kDeviceUnavailable, target, "connect failed", last_error);
}

}  // namespace orvo
