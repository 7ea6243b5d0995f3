#include "layout_kit/layout_runner.h"

#include <utility>

#include "shared/errlog.h"

namespace orvo {

bool run_roll_layout(std::string_view proc, OnFailure on_failure, RollLayout layout, PrintJob& job,
                     const PortRequest& port, std::string_view heading) {
  std::int16_t fno = 0;
  const JobTitle title(not_blank(job.inv_no) ? Str(job.inv_no) : std::string(proc));
  try {
    fno = port.table.FreeFile();
    port.table.open(fno, port.name, job.settings, port.opener);
    ByteSink sink(port.table, fno);
    const bool ok = layout(job, sink);
    port.table.close(std::exchange(fno, std::int16_t{0}));
    return ok;
  } catch (...) {
    const Error e = current_error();
    if (fno != 0) {
      try {
        port.table.close(fno);
      } catch (...) {
        // Already failing: the first error is the one reported.
      }
    }
    return fail_as(proc, on_failure, job.host, e, heading);
  }
}

bool fail_as(std::string_view proc, OnFailure on_failure, Host& host, const Error& e,
             std::string_view heading) {
  if (!heading.empty() && e.number() == kObjectError && e.source() == heading) proc = heading;
  // A stop asked for by the process is no failure of the layout: the caller must hear of it.
  const bool stopped = e.number() == channel_err::kInterrupted && print_interrupt() != 0;
  if (on_failure == OnFailure::Raise || stopped) throw reraised(std::string(proc), e);
  ErrLog(host, std::string(proc), e);
  return false;
}

}  // namespace orvo
