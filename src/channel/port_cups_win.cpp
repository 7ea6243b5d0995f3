#include <memory>

#include "channel/channel.h"
#include "shared/errors.h"

namespace orvo {

// Windows has no CUPS: a shared printer there is a Windows printer share, reached as a path.
std::unique_ptr<Port> open_cups_port(const PortTarget& target, const PortOptions&) {
  raise(err::kDeviceUnavailable, "Device unavailable: " + target.name +
                                     ": cups: ports need CUPS, which Windows does not have; use "
                                     "the printer's share (\\\\HOST\\PRINTER) or LPT1..9");
}

}  // namespace orvo
