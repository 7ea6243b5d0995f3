#include "layout_kit/page_runner.h"

#include <string>

#include "page_printer_host/host_window.h"

namespace orvo {

bool run_page_layout(std::string_view proc, OnFailure on_failure, const PageLayout& layout,
                     PrintJob& job, const PageRequest& where) {
  const Variant page_count = job.inv.PageCount;
  try {
    page::PageHostWindow& window = where.window.load(job.host);
    page::PagePrinter& vsp = window.vsp();
    const Variant queue(layout.queue);
    if (layout.choice == QueueChoice::Always ||
        window.IsPrinterInstalled(job.host, queue) == Variant(true)) {
      vsp.set_printer_name(std::string(layout.queue));
    }
    vsp.set_preview(false);
    if (!layout.draw(job, vsp)) return false;
    vsp.deliver({where.output, Str(job.inv_no)});
    return true;
  } catch (...) {
    const Error e = current_error();
    job.inv.PageCount = page_count;
    return fail_as(proc, on_failure, job.host, e);
  }
}

}  // namespace orvo
