#pragma once
// The parts of the page printer that draw and send: Pango, Cairo and CUPS. They are built as the
// module orvo-page.so, loaded by the first page print, so that a roll print never loads them.
#include <memory>

#include "page_printer_host/page_printer.h"

namespace orvo::page {

struct PageParts {
  std::shared_ptr<PrintQueues> queues;
  std::shared_ptr<TextMetrics> metrics;
  std::shared_ptr<PageRenderer> renderer;
};

// The module's parts; raises kFileNotFound when it cannot be loaded.
PageParts real_page_parts();

}  // namespace orvo::page

// The module's one entry, in the build's own ABI.
extern "C" void orvo_page_parts_v1(orvo::page::PageParts* out);
