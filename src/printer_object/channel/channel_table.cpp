#include <string>

#include "printer_object/channel/channel.h"
#include "shared/errors.h"

namespace orvo {

namespace {

constexpr std::int16_t kFirstFile = 1;
constexpr std::int16_t kLastFile = 255;

[[noreturn]] void bad_number(std::int16_t fno, std::string_view why) {
  raise(err::kBadFileNumber,
        "Bad file name or number: #" + std::to_string(fno) + " " + std::string(why));
}

}  // namespace

std::unique_ptr<Port> open_port(const PortTarget& target, std::chrono::milliseconds timeout) {
  switch (target.kind) {
    case PortKind::kSerial:
      return open_serial_port(target);
    case PortKind::kTcp:
      return open_tcp_port(target, timeout);
    case PortKind::kPath:
      break;
  }
  return open_path_port(target);
}

std::unique_ptr<Port> open_port(const std::string& name, const Settings& settings) {
  PortTarget target = resolve_port(name, settings);
  if (target.kind == PortKind::kTcp)
    return open_tcp_port(target, tcp_timeout(settings), tcp_send_buffer(settings));
  return open_port(target, std::chrono::milliseconds(0));
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
  ports_.emplace(fno, opener ? opener(port_name, settings) : open_port(port_name, settings));
}

void ChannelTable::write(std::int16_t fno, std::string_view bytes) {
  auto it = ports_.find(fno);
  if (it == ports_.end()) bad_number(fno, "is not open");
  it->second->write(bytes);
}

void ChannelTable::close(std::int16_t fno) {
  auto it = ports_.find(fno);
  if (it == ports_.end()) return;
  // The number is free again even if closing reports an error.
  std::unique_ptr<Port> port = std::move(it->second);
  ports_.erase(it);
  port->close();
}

bool ChannelTable::is_open(std::int16_t fno) const { return ports_.contains(fno); }

ChannelTable& channels() {
  static ChannelTable table;
  return table;
}

}  // namespace orvo
