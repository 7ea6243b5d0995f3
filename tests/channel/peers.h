#pragma once
// The other end of a port in tests: a pseudo-terminal for a serial line, a loopback socket for a
// network printer, and a bound on calls that would block forever if a timeout were missing.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <stdexcept>
#include <string>

#include "support/raised.h"

namespace orvo::testing {

// Bytes a printer stream really carries: control codes, NUL and Big5 lead/trail bytes.
inline const std::string kPrintBytes =
    std::string("\x1b@\x00\x01\r\n", 6) + "\xb2\xce\xa4\x40\xb5\x6f\xb2\xbc\xff\x80";

// `n` bytes that are not all alike, so that a byte lost or repeated shows.
inline std::string pattern(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
  return s;
}

// A pseudo-terminal stands in for a serial line: its slave takes the same termios settings, and
// the master reads them back.
struct Pty {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  std::string slave = master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0
                          ? ::ptsname(master)
                          : throw std::runtime_error("no pseudo-terminal");
  ~Pty() { close_master(); }
  void close_master() {
    if (master >= 0) ::close(master);
    master = -1;
  }

  std::string read(std::size_t want) const {
    std::string got;
    char buf[256];
    for (pollfd p{master, POLLIN, 0}; got.size() < want && ::poll(&p, 1, 5000) > 0;) {
      ssize_t n = ::read(master, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }
};

// A loopback socket on a free port; listening only when asked. A small receive buffer (inherited
// by accepted connections) makes a printer that reads slowly or not at all.
struct Loopback {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};

  explicit Loopback(bool listening, int backlog = 4, int receive_buffer = 0) {
    socklen_t len = sizeof addr;
    auto* a = reinterpret_cast<sockaddr*>(&addr);
    if (receive_buffer > 0)
      ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
    if (fd < 0 || ::bind(fd, a, len) != 0 || ::getsockname(fd, a, &len) != 0 ||
        (listening && ::listen(fd, backlog) != 0)) {
      throw std::runtime_error("loopback socket");
    }
  }
  ~Loopback() { ::close(fd); }
  std::string name() const { return "tcp://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)); }
};

// The error `f` raises. Should it still be running after `limit` (a timeout missing), `unblock`
// must make it return, and the test fails instead of hanging.
template <typename F>
Error raised_within(std::chrono::seconds limit, F&& f, const std::function<void()>& unblock) {
  auto done = std::async(std::launch::async, [&] {
    try {
      f();
    } catch (const Error& e) {
      return e;
    }
    return Error(0, "no error");
  });
  if (done.wait_for(limit) == std::future_status::timeout) {
    ADD_FAILURE() << "still blocked after " << limit.count() << " s";
    unblock();
  }
  return done.get();
}

// The number in "(N bytes taken)" at the end of a description; -1 when there is none.
inline long long bytes_taken(const std::string& description) {
  const auto end = description.rfind(" bytes taken)");
  const auto open = description.rfind('(', end);
  if (end == std::string::npos || open == std::string::npos) return -1;
  return std::stoll(description.substr(open + 1, end - open - 1));
}

}  // namespace orvo::testing
