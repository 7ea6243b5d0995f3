#pragma once
// A port that keeps what it is sent in memory: for the dry run that checks a sale before paper is
// spent, and for tests that make any one write, the open or the close fail.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "channel/channel.h"

namespace orvo {

// What a memory port was sent, and the faults it is told to raise. Shared, so that it outlives
// the port, which the channel destroys when it closes.
struct MemoryPortLog {
  std::vector<std::string> writes;  // each write since the last open, as it arrived
  bool keep = true;                 // false: count the writes and bytes, keep none of them
  std::size_t write_count = 0;      // since the last open
  std::uint64_t byte_count = 0;     // since the last open
  std::size_t fail_write = 0;       // 1-based number of the write that fails; 0: none
  bool fail_open = false;
  bool fail_close = false;
  int opens = 0;
  int closes = 0;
  bool open = false;

  std::string bytes() const;
};

// Opens memory ports that record into `log`; each open starts afresh, as a capture file does. A
// failing write, open or close raises 57 (device I/O error) naming the port, as a device would.
PortOpener memory_port_opener(std::shared_ptr<MemoryPortLog> log);

}  // namespace orvo
