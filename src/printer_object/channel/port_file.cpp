#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "printer_object/channel/channel_internal.h"

namespace orvo {

namespace channel_detail {

// Opens non-blocking so that a FIFO with no reader or a printer that is offline fails at once
// instead of hanging; writes then block as usual.
int open_for_output(const PortTarget& t, int extra_flags) {
  int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | extra_flags;
  int fd;
  do {
    fd = ::open(t.target.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    int e = errno;
    raise_os(open_error_number(e, t.target), t, "cannot open", e);
  }
  return fd;
}

void clear_nonblock(const PortTarget& t, int fd) {
  int fl = ::fcntl(fd, F_GETFL);
  if (fl < 0 || ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) < 0) {
    raise_os(channel_err::kPathFileAccess, t, "cannot set up", errno);
  }
}

}  // namespace channel_detail

using channel_detail::FdPort;
using channel_detail::UniqueFd;

std::unique_ptr<Port> open_path_port(const PortTarget& target) {
  // A plain file is created or truncated, so a capture holds exactly the last print.
  UniqueFd fd(channel_detail::open_for_output(target, target.may_create ? O_CREAT | O_TRUNC : 0));
  channel_detail::clear_nonblock(target, fd.get());
  auto port = std::make_unique<FdPort>(target, fd.get());
  fd.release();
  return port;
}

}  // namespace orvo
