// The Windows ports under wine: a network printer's raw port through Winsock, a capture file held
// for the whole print, and where the DOS device names lead. Prints one line per failure, then
// "ports: N failures"; exits 1 on any failure.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "channel/channel.h"
#include "shared/errors.h"

namespace {

using namespace std::chrono_literals;

int failures = 0;

void check(bool ok, const std::string& what) {
  if (ok) return;
  ++failures;
  std::printf("FAIL %s\n", what.c_str());
}

orvo::Error raised(const std::function<void()>& f) {
  try {
    f();
  } catch (const orvo::Error& e) {
    return e;
  }
  return orvo::Error(0, "nothing raised");
}

orvo::PortOptions quick() {
  orvo::PortOptions o;
  o.lock_timeout = 200ms;
  o.stall_timeout = 2s;
  o.connect_timeout = 2s;
  return o;
}

// A printer on 127.0.0.1 that reads one connection to its end.
class Peer {
 public:
  Peer() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener_, 1);
    int len = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    reader_ = std::thread([this] {
      SOCKET s = ::accept(listener_, nullptr, nullptr);
      char buf[4096];
      for (int n; (n = ::recv(s, buf, sizeof buf, 0)) > 0;) got_.append(buf, static_cast<std::size_t>(n));
      ::closesocket(s);
    });
  }
  ~Peer() { ::closesocket(listener_); }
  std::string name() const { return "tcp://127.0.0.1:" + std::to_string(port_); }
  std::string received() {
    reader_.join();
    return got_;
  }

 private:
  SOCKET listener_;
  int port_ = 0;
  std::thread reader_;
  std::string got_;
};

void check_tcp() {
  const std::string bytes = std::string("\x1b@", 2) + "AB12345678\n" + std::string(100000, 'x');
  std::string gone;
  {
    Peer peer;
    auto port = orvo::open_port(orvo::resolve_port(peer.name(), ""), quick());
    port->write(bytes);
    port->close();
    check(peer.received() == bytes, "tcp: the printer got every byte");
    check(port->delivered() == bytes.size(), "tcp: delivered");
    gone = peer.name();
  }
  // Nobody listens there any more.
  const orvo::Error e = raised([&] { orvo::open_port(orvo::resolve_port(gone, ""), quick()); });
  check(e.number() == orvo::err::kDeviceUnavailable &&
            e.description().find("connect") != std::string::npos,
        "tcp: refused: " + e.description());
}

void check_file() {
  const auto file = std::filesystem::temp_directory_path() / "orvo-ports-check.prn";
  const orvo::PortTarget target = orvo::resolve_port(file.string(), "");
  auto first = orvo::open_port(target, quick());
  first->write("first");
  const orvo::Error busy = raised([&] { orvo::open_port(target, quick()); });
  check(busy.number() == orvo::err::kPermissionDenied &&
            busy.description() == file.string() +
                                      ": port is busy: another print still holds it after 0.2 s",
        "file: a second print waits, then is busy: " + busy.description());
  first->close();
  auto second = orvo::open_port(target, quick());  // emptied once held
  second->write("second");
  second->close();
  std::ifstream in(file, std::ios::binary);
  check(std::string(std::istreambuf_iterator<char>(in), {}) == "second", "file: holds the last print");
}

void check_names() {
  struct Case {
    const char* name;
    const char* mapping;
    const char* target;
    bool may_create;
  };
  const Case cases[] = {
      {"LPT1", "", "\\\\.\\LPT1", false},
      {"com2:", "", "\\\\.\\COM2", false},
      {"LPT3", "\\\\.\\LPT2", "\\\\.\\LPT2", false},
      {"LPT1", "C:\\capture\\lpt1.prn", "C:\\capture\\lpt1.prn", true},
      {"COM1", "COM3,19200,E,7,2", "COM3", false},
  };
  for (const Case& c : cases) {
    const orvo::PortTarget t = orvo::resolve_port(c.name, c.mapping);
    check(t.target == c.target && t.may_create == c.may_create,
          std::string("names: ") + c.name + " -> " + t.target);
  }
  const orvo::PortTarget com = orvo::resolve_port("COM1", "COM3,19200,E,7,2");
  check(com.kind == orvo::PortKind::kSerial && com.serial.baud == 19200 && com.serial.parity == 'E' &&
            com.serial.data_bits == 7 && com.serial.stop_bits == 2,
        "names: COM1's line");
}

}  // namespace

int main() {
  check_tcp();
  check_file();
  check_names();
  std::printf("ports: %d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
