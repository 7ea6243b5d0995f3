#pragma once
// The printer channel: raw byte ports behind a file-number table. Layouts build bytes and hand
// them over; they never know whether the port is a file, a serial line or a socket.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace orvo {

// Run-time error numbers used only by the channel.
namespace channel_err {
inline constexpr std::int32_t kFileAlreadyOpen = 55;
inline constexpr std::int32_t kTooManyFiles = 67;
inline constexpr std::int32_t kPathFileAccess = 75;
// "User interrupt occurred": the process was asked to stop (interrupt_prints).
inline constexpr std::int32_t kInterrupted = 18;
}  // namespace channel_err

class Port {
 public:
  virtual ~Port() = default;
  // Writes every byte or raises an error naming the port and the system's reason. Waits as long
  // as the device keeps taking bytes; raises once it has taken none for the stall timeout.
  virtual void write(std::string_view bytes) = 0;
  // Succeeds only once the device has taken every byte written (within the stall timeout).
  virtual void close() = 0;
  // Bytes the device is known to have taken so far.
  virtual std::uint64_t delivered() const = 0;
};

// How long a print may wait at its port, from section [Ports].
struct PortOptions {
  std::chrono::milliseconds lock_timeout{30'000};     // LockTimeoutSeconds: another print has it
  std::chrono::milliseconds stall_timeout{30'000};    // WriteTimeoutSeconds: no byte taken
  std::chrono::milliseconds connect_timeout{10'000};  // TcpTimeoutSeconds
  int send_buffer = 0;  // TcpSendBufferBytes: a cap on what the kernel takes ahead; 0 system's
  // CupsWaitSeconds: how long a cups: print waits for its job to be done; 0 only until the
  // scheduler has accepted it.
  std::chrono::milliseconds cups_wait{0};
};

// Values that cannot be used keep their default, with a settings warning naming the key.
PortOptions port_options(const Settings& settings);

// LPT1..LPT9 and COM1..COM9 map through section [Ports]; tcp://HOST:PORT is a network printer's
// raw port; cups:QUEUE makes the print one raw job on that CUPS queue; any other name is a file
// or device path (a plain file is created, and emptied once
// this print holds it). Every port is held exclusively for the print: a second print waits up to
// the lock timeout, then fails saying the port is busy.
std::unique_ptr<Port> open_port(const std::string& name, const Settings& settings);

// Where a port name leads, worked out without touching any device.
struct SerialParams {
  int baud = 9600;
  char parity = 'N';  // 'N', 'E' or 'O'
  int data_bits = 8;  // 7 or 8
  int stop_bits = 1;  // 1 or 2
  friend bool operator==(const SerialParams&, const SerialParams&) = default;
};

enum class PortKind { kPath, kSerial, kTcp, kCups };

struct PortTarget {
  PortKind kind = PortKind::kPath;
  std::string name;        // as the host gave it
  std::string target;      // device or file path, or "tcp://HOST:PORT"
  bool may_create = true;  // false for devices: never leave a plain file where a device belongs
  SerialParams serial;     // kSerial only
  std::string host;        // kTcp only
  std::string service;     // kTcp only
  std::string queue;       // kCups only
};

// `mapping` is the [Ports] value for an LPTn/COMn name ("" when unset); other names ignore it.
PortTarget resolve_port(std::string_view name, std::string_view mapping);
PortTarget resolve_port(std::string_view name, const Settings& settings);

std::unique_ptr<Port> open_port(const PortTarget& target, const PortOptions& options);

// Each kind of port, opened from a resolved target.
std::unique_ptr<Port> open_path_port(const PortTarget& target, const PortOptions& options);
std::unique_ptr<Port> open_serial_port(const PortTarget& target, const PortOptions& options);
std::unique_ptr<Port> open_tcp_port(const PortTarget& target, const PortOptions& options);
std::unique_ptr<Port> open_cups_port(const PortTarget& target, const PortOptions& options);

// What a spooled port calls its job: the invoice number of the print in progress, for the
// length of one print on this thread.
class JobTitle {
 public:
  explicit JobTitle(std::string title);
  ~JobTitle();
  JobTitle(const JobTitle&) = delete;
  JobTitle& operator=(const JobTitle&) = delete;
  static const std::string& current();

 private:
  std::string previous_;
};

// Asks the print in progress to stop before its next write (and any wait for a busy port):
// the write raises kInterrupted, so the layout runner closes the port as after any error.
// Async-signal-safe. `signal` is kept for the report; 0 clears the request.
void interrupt_prints(int signal) noexcept;
// The signal that asked, 0 when none.
int print_interrupt() noexcept;
// Raises kInterrupted when a stop was asked for.
void check_interrupt();

// Opens the port a name stands for. The default is open_port; tests and the dry run hand in
// another (a memory port) through the printer object.
using PortOpener = std::function<std::unique_ptr<Port>(const std::string& name, const Settings&)>;

class ChannelTable {
 public:
  // Next free file number (1..255); raises 67 "Too many files" when none is free.
  std::int16_t FreeFile() const;
  void open(std::int16_t fno, const std::string& port_name, const Settings& settings,
            const PortOpener& opener = {});
  // Unknown number: error 52 "Bad file name or number".
  void write(std::int16_t fno, std::string_view bytes);
  // Closing a number that is not open does nothing.
  void close(std::int16_t fno);
  bool is_open(std::int16_t fno) const;

  // What the port closed last had taken, for a report after a print that stopped; unset from the
  // next open until its close.
  struct Delivery {
    std::string port;  // as the host named it
    std::uint64_t bytes = 0;
  };
  const std::optional<Delivery>& last_delivery() const { return last_delivery_; }

 private:
  std::map<std::int16_t, std::unique_ptr<Port>> ports_;
  std::map<std::int16_t, std::string> names_;
  std::optional<Delivery> last_delivery_;
};

// The process's table, as the platform's file numbers are per process.
ChannelTable& channels();

}  // namespace orvo
