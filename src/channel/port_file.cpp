#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "channel/channel_internal.h"

namespace orvo {

namespace channel_detail {

// Non-blocking, so that a FIFO with no reader or a printer that is offline fails at once instead
// of hanging, and so that writes wait where the stall clock runs.
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

}  // namespace channel_detail

using channel_detail::FdPort;
using channel_detail::UniqueFd;

std::unique_ptr<Port> open_path_port(const PortTarget& target, const PortOptions& options) {
  UniqueFd fd(channel_detail::open_for_output(target, target.may_create ? O_CREAT : 0));
  channel_detail::hold_exclusively(target, fd.get(), options.lock_timeout);
  // A capture holds exactly the last print; emptied only now, so a print that still held the
  // file kept its bytes.
  struct stat st {};
  if (target.may_create && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
      ::ftruncate(fd.get(), 0) != 0) {
    channel_detail::raise_os(channel_err::kPathFileAccess, target, "cannot empty", errno);
  }
  auto port = std::make_unique<FdPort>(target, fd.get(), options.stall_timeout);
  fd.release();
  return port;
}

}  // namespace orvo
