#pragma once
// The printer channel: raw byte ports behind a file-number table. Layouts build bytes and hand
// them over; they never know whether the port is a file, a serial line or a socket.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "printer_object/settings/settings.h"

namespace orvo {

class Port {
 public:
  virtual ~Port() = default;
  // Writes every byte or raises an error naming the port and the system's reason.
  virtual void write(std::string_view bytes) = 0;
  virtual void close() = 0;
};

// LPT1..LPT9 and COM1..COM9 map through section [Ports]; tcp://HOST:PORT is a network printer's
// raw port; any other name is a file or device path (a plain file is created or truncated).
std::unique_ptr<Port> open_port(const std::string& name, const Settings& settings);

class ChannelTable {
 public:
  // Next free file number (1..255); raises 67 "Too many files" when none is free.
  std::int16_t FreeFile() const;
  void open(std::int16_t fno, const std::string& port_name, const Settings& settings);
  // Unknown number: error 52 "Bad file name or number".
  void write(std::int16_t fno, std::string_view bytes);
  // Closing a number that is not open does nothing.
  void close(std::int16_t fno);
  bool is_open(std::int16_t fno) const;

 private:
  std::map<std::int16_t, std::unique_ptr<Port>> ports_;
};

// The process's table, as the platform's file numbers are per process.
ChannelTable& channels();

}  // namespace orvo
