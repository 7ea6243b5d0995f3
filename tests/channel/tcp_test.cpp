// A network printer's raw port on loopback. Small socket buffers make the kernel hold little,
// so that what the printer does (read, stall, hang up) is what the port sees.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "channel/peers.h"
#include "channel/channel.h"
#include "support/raised.h"

namespace orvo {
namespace {

using namespace std::chrono_literals;
using testing::Loopback;
using testing::raised;

constexpr int kSmall = 4096;

PortOptions options(std::chrono::milliseconds stall, int send_buffer) {
  PortOptions o;
  o.stall_timeout = stall;
  o.connect_timeout = 5s;
  o.send_buffer = send_buffer;
  return o;
}

// Reads `limit` bytes (all when 0), `chunk` at a time with a pause after each, then hangs up.
std::string read_from(int listener, std::size_t limit, std::size_t chunk,
                      std::chrono::milliseconds pause) {
  const int c = ::accept(listener, nullptr, nullptr);
  std::string got;
  std::string buf(chunk, '\0');
  while (limit == 0 || got.size() < limit) {
    const std::size_t want = limit == 0 ? chunk : std::min(chunk, limit - got.size());
    const ssize_t n = ::read(c, buf.data(), want);
    if (n <= 0) break;
    got.append(buf, 0, static_cast<std::size_t>(n));
    std::this_thread::sleep_for(pause);
  }
  ::close(c);
  return got;
}

TEST(TcpPort, RefusedOrUnansweredConnectIsDeviceUnavailable) {
  Loopback closed(false);
  Error e = raised([&] { open_port(closed.name(), Settings{}); });
  EXPECT_EQ(e.number(), err::kDeviceUnavailable);
  EXPECT_EQ(e.description(), closed.name() + " : connect failed: Connection refused");

  // With the accept queue full the kernel drops further handshakes unanswered.
  Loopback full(true, 0);
  int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&full.addr), sizeof full.addr), 0);
  PortOptions quick;
  quick.connect_timeout = 250ms;
  e = raised([&] { open_tcp_port(resolve_port(full.name(), ""), quick); });
  EXPECT_EQ(e.number(), err::kDeviceUnavailable);
  EXPECT_EQ(e.description(), full.name() + " : connect timed out after 0.25 s");
  ::close(filler);
}

// A slow printer is waited for as long as it keeps reading, even when the kernel would report
// room for more only after far longer than the stall timeout (a third of a big send buffer).
TEST(TcpPort, ASlowSteadyPrinterGetsEveryByteInOrder) {
  Loopback printer(true, 4, kSmall);
  std::string received;
  std::thread reader([&] { received = read_from(printer.fd, 0, 1024, 5ms); });
  const std::string print = testing::kPrintBytes + testing::pattern(640 << 10);
  auto port = open_port(resolve_port(printer.name(), ""), options(600ms, 256 << 10));
  port->write(print);
  port->close();
  EXPECT_EQ(port->delivered(), print.size());
  reader.join();
  EXPECT_TRUE(received == print) << "received " << received.size() << " of " << print.size();
}

// Success means the printer took every byte: a printer that stops taking them, or hangs up
// half-way, is an error even when the whole print fitted into the kernel's buffers.
TEST(TcpPort, APrinterThatStopsTakingBytesIsAnError) {
  const std::string print = testing::pattern(256 << 10);
  const struct {
    const char* peer;
    int send_buffer;
    std::size_t reads;  // bytes it reads before hanging up; 0: accepts and never reads
  } cases[] = {
      {"never reads, small buffers", kSmall, 0},
      {"never reads, the print fits in the send buffer", 1 << 20, 0},
      {"reads 16 KB, then closes", 1 << 20, 16 << 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.peer);
    Loopback printer(true, 4, kSmall);
    std::atomic<std::size_t> read_before_close{0};
    std::thread peer;
    if (c.reads > 0) {
      peer = std::thread(
          [&] { read_before_close = read_from(printer.fd, c.reads, 1024, 0ms).size(); });
    }
    auto port = open_port(resolve_port(printer.name(), ""), options(300ms, c.send_buffer));
    const int idle = c.reads == 0 ? ::accept(printer.fd, nullptr, nullptr) : -1;
    const auto start = std::chrono::steady_clock::now();
    const Error e = raised([&] {
      port->write(print);
      port->close();
    });
    const auto took = std::chrono::steady_clock::now() - start;
    if (peer.joinable()) peer.join();
    EXPECT_EQ(e.number(), err::kDeviceIo);
    const long long taken = testing::bytes_taken(e.description());
    if (c.reads == 0) {
      EXPECT_TRUE(e.description().starts_with(printer.name() +
                                              " : stalled: the printer took nothing for 0.3 s ("))
          << e.description();
      EXPECT_GE(took, 300ms);
      // What it took is what waits unread on the printer's side, and nothing follows.
      std::string waiting;
      char buf[4096];
      for (ssize_t n; (n = ::recv(idle, buf, sizeof buf, MSG_DONTWAIT)) > 0;)
        waiting.append(buf, static_cast<std::size_t>(n));
      ::close(idle);
      EXPECT_EQ(taken, static_cast<long long>(waiting.size())) << e.description();
      EXPECT_TRUE(waiting == print.substr(0, waiting.size()));
    } else {
      EXPECT_TRUE(e.description().starts_with(printer.name() + " : connection lost (") &&
                  (e.description().ends_with("bytes taken): Connection reset by peer") ||
                   e.description().ends_with("bytes taken): Broken pipe")))
          << e.description();
      EXPECT_GE(taken, static_cast<long long>(read_before_close.load()));
    }
    EXPECT_LT(taken, static_cast<long long>(print.size()));
    EXPECT_LT(took, 10s);
  }
}

}  // namespace
}  // namespace orvo
