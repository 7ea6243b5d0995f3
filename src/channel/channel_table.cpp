#include <csignal>
#include <cstring>
#include <string>
#include <utility>

#include "channel/channel.h"
#include "shared/errors.h"

namespace orvo {

namespace {

volatile std::sig_atomic_t g_interrupt = 0;

thread_local std::string g_job_title;

constexpr std::int16_t kFirstFile = 1;
constexpr std::int16_t kLastFile = 255;

[[noreturn]] void bad_number(std::int16_t fno, std::string_view why) {
  raise(err::kBadFileNumber,
        "Bad file name or number: #" + std::to_string(fno) + " " + std::string(why));
}

}  // namespace

JobTitle::JobTitle(std::string title) : previous_(std::exchange(g_job_title, std::move(title))) {}

JobTitle::~JobTitle() { g_job_title = std::move(previous_); }

const std::string& JobTitle::current() { return g_job_title; }

void interrupt_prints(int signal) noexcept { g_interrupt = signal; }

int print_interrupt() noexcept { return g_interrupt; }

void check_interrupt() {
  if (const int sig = g_interrupt) {
    raise(channel_err::kInterrupted, std::string("User interrupt occurred: stopped by signal ") +
                                         std::to_string(sig) + " (" + ::strsignal(sig) + ")");
  }
}

std::unique_ptr<Port> open_port(const PortTarget& target, const PortOptions& options) {
  switch (target.kind) {
    case PortKind::kSerial:
      return open_serial_port(target, options);
    case PortKind::kTcp:
      return open_tcp_port(target, options);
    case PortKind::kCups:
      return open_cups_port(target, options);
    case PortKind::kPath:
      break;
  }
  return open_path_port(target, options);
}

std::unique_ptr<Port> open_port(const std::string& name, const Settings& settings) {
  return open_port(resolve_port(name, settings), port_options(settings));
}

std::int16_t ChannelTable::FreeFile() const {
  for (std::int16_t fno = kFirstFile; fno <= kLastFile; ++fno) {
    if (!ports_.contains(fno)) return fno;
  }
  raise(channel_err::kTooManyFiles, "Too many files: all file numbers 1 to 255 are in use");
}

void ChannelTable::open(std::int16_t fno, const std::string& port_name, const Settings& settings,
                        const PortOpener& opener) {
  if (fno < kFirstFile || fno > kLastFile) bad_number(fno, "is outside 1 to 255");
  if (ports_.contains(fno)) {
    raise(channel_err::kFileAlreadyOpen,
          "File already open: #" + std::to_string(fno) + " is in use (opening " + port_name + ")");
  }
  last_delivery_.reset();
  ports_.emplace(fno, opener ? opener(port_name, settings) : open_port(port_name, settings));
  names_[fno] = port_name;
}

void ChannelTable::write(std::int16_t fno, std::string_view bytes) {
  auto it = ports_.find(fno);
  if (it == ports_.end()) bad_number(fno, "is not open");
  check_interrupt();
  it->second->write(bytes);
}

void ChannelTable::close(std::int16_t fno) {
  auto it = ports_.find(fno);
  if (it == ports_.end()) return;
  // The number is free again even if closing reports an error.
  std::unique_ptr<Port> port = std::move(it->second);
  ports_.erase(it);
  auto name = names_.extract(fno);
  const auto record = [&] {
    last_delivery_ = Delivery{name ? name.mapped() : std::string(), port->delivered()};
  };
  try {
    port->close();
  } catch (...) {
    record();
    throw;
  }
  record();
}

bool ChannelTable::is_open(std::int16_t fno) const { return ports_.contains(fno); }

ChannelTable& channels() {
  static ChannelTable table;
  return table;
}

}  // namespace orvo
