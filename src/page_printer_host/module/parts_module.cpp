// The entry of orvo-page.so.
#include "page_printer_host/module/cairo_renderer.h"
#include "page_printer_host/module/cups_queues.h"
#include "page_printer_host/module/pango_text.h"
#include "page_printer_host/page_parts.h"

extern "C" __attribute__((visibility("default"))) void orvo_page_parts_v1(
    orvo::page::PageParts* out) {
  using namespace orvo::page;
  const auto text = PangoText::shared();
  *out = PageParts{cups_queues(), text, std::make_shared<CairoRenderer>(text)};
}
