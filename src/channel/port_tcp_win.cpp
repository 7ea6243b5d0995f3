#include <winsock2.h>
#include <ws2tcpip.h>

#include <cctype>
#include <filesystem>
#include <memory>

#include "platform/windows/wide.h"
#include "channel/port_win.h"
#include "shared/errors.h"
#include "shared/user_paths.h"

namespace orvo {

using namespace channel_detail;

namespace {

constexpr auto kSlice = std::chrono::milliseconds(200);

void start_winsock() {
  static const bool started = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

// Waits until `s` is writable (or readable); false when `ms` passed first.
bool ready(SOCKET s, bool for_write, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  fd_set failed = set;
  timeval tv{ms / 1000, (ms % 1000) * 1000};
  return ::select(0, for_write ? nullptr : &set, for_write ? &set : nullptr, &failed, &tv) > 0;
}

// One lock file per printer address: a socket has no file to lock, yet two prints of this
// machine must not interleave on one printer.
HANDLE lock_printer(const PortTarget& t, std::chrono::milliseconds timeout) {
  const std::filesystem::path dir = user_runtime_dir();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::string name = "tcp-" + t.host + "-" + t.service + ".lock";
  for (char& c : name) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') c = '_';
  }
  const std::filesystem::path file = dir / name;
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    raise_win(channel_err::kPathFileAccess, t, "cannot open lock file " + file.string(),
              ::GetLastError());
  }
  try {
    hold_file(t, h, timeout);
  } catch (...) {
    ::CloseHandle(h);
    throw;
  }
  return h;
}

class TcpPort : public Port {
 public:
  TcpPort(PortTarget target, SOCKET s, std::chrono::milliseconds stall, HANDLE lock)
      : target_(std::move(target)), s_(s), stall_(stall), lock_(lock) {}
  TcpPort(const TcpPort&) = delete;
  TcpPort& operator=(const TcpPort&) = delete;
  ~TcpPort() override {
    release();
    ::CloseHandle(lock_);
  }

  void write(std::string_view bytes) override {
    if (s_ == INVALID_SOCKET) raise_port(err::kBadFileNumber, target_, "port is not open");
    Progress progress(stall_);
    while (!bytes.empty()) {
      const int n = ::send(s_, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 20)), 0);
      if (n > 0) {
        written_ += static_cast<std::uint64_t>(n);
        bytes.remove_prefix(static_cast<std::size_t>(n));
        progress.moved();
        continue;
      }
      if (::WSAGetLastError() != WSAEWOULDBLOCK) lost(::WSAGetLastError());
      const int ms = progress.wait_ms(kSlice);
      if (ms == 0) stalled();
      ready(s_, true, ms);
    }
  }

  // The printer learns that the job has ended; its end of the connection is waited for, so
  // that the print counts only once the printer has read it.
  void close() override {
    if (s_ == INVALID_SOCKET) return;
    if (::shutdown(s_, SD_SEND) != 0) lost(::WSAGetLastError());
    Progress progress(stall_);
    char replies[512];
    for (;;) {
      const int n = ::recv(s_, replies, sizeof replies, 0);
      if (n == 0) break;
      if (n > 0) {
        progress.moved();
        continue;
      }
      if (::WSAGetLastError() != WSAEWOULDBLOCK) lost(::WSAGetLastError());
      const int ms = progress.wait_ms(kSlice);
      if (ms == 0) stalled();
      ready(s_, false, ms);
    }
    release();
  }

  std::uint64_t delivered() const override { return written_; }

 private:
  void release() {
    if (s_ != INVALID_SOCKET) ::closesocket(s_);
    s_ = INVALID_SOCKET;
  }
  [[noreturn]] void lost(int code) {
    release();
    raise_win(err::kDeviceIo, target_,
              "connection lost (" + std::to_string(written_) + " bytes taken)",
              static_cast<unsigned long>(code));
  }
  [[noreturn]] void stalled() {
    release();
    raise_port(err::kDeviceIo, target_,
               "stalled: the printer took nothing for " + seconds_text(stall_) + " (" +
                   std::to_string(written_) + " bytes taken)");
  }

  const PortTarget target_;
  SOCKET s_;
  const std::chrono::milliseconds stall_;
  HANDLE lock_;
  std::uint64_t written_ = 0;
};

}  // namespace

std::unique_ptr<Port> open_tcp_port(const PortTarget& target, const PortOptions& options) {
  start_winsock();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (const int gai = ::getaddrinfo(target.host.c_str(), target.service.c_str(), &hints, &found)) {
    raise_win(err::kDeviceUnavailable, target, "cannot resolve host",
              static_cast<unsigned long>(gai));
  }
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);
  HANDLE lock = lock_printer(target, options.lock_timeout);
  const auto timeout = options.connect_timeout;
  Progress connecting(timeout);  // one deadline for all addresses of the host
  int last_error = WSAECONNREFUSED;
  for (addrinfo* ai = list.get(); ai != nullptr; ai = ai->ai_next) {
    SOCKET s = ::socket(ai->ai_family, ai->ai_socktype, ai->ai_protocol);
    if (s == INVALID_SOCKET) {
      last_error = ::WSAGetLastError();
      continue;
    }
    u_long non_blocking = 1;
    ::ioctlsocket(s, FIONBIO, &non_blocking);
    if (options.send_buffer > 0) {
      ::setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&options.send_buffer),
                   sizeof options.send_buffer);
    }
    if (::connect(s, ai->ai_addr, static_cast<int>(ai->ai_addrlen)) != 0) {
      last_error = ::WSAGetLastError();
      if (last_error == WSAEWOULDBLOCK && !ready(s, true, connecting.wait_ms(timeout))) {
        ::closesocket(s);
        ::CloseHandle(lock);
        raise_port(err::kDeviceUnavailable, target,
                   "connect timed out after " + seconds_text(timeout));
      }
      int so_error = 0;
      int len = sizeof so_error;
      ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&so_error), &len);
      if (last_error != WSAEWOULDBLOCK || so_error != 0) {
        if (so_error != 0) last_error = so_error;
        ::closesocket(s);
        continue;
      }
    }
    return std::make_unique<TcpPort>(target, s, options.stall_timeout, lock);
  }
  ::CloseHandle(lock);
  raise_win(err::kDeviceUnavailable, target, "connect failed",
            static_cast<unsigned long>(last_error));
}

}  // namespace orvo
