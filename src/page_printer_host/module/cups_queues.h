#pragma once
// The printers of a page document are CUPS queues, on the server libcups finds (CUPS_SERVER,
// client.conf, or the local scheduler).
#include <memory>

#include "page_printer_host/page_canvas.h"

namespace orvo::page {

std::shared_ptr<PrintQueues> cups_queues();

}  // namespace orvo::page
