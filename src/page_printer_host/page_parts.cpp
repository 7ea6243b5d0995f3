#include "page_printer_host/page_parts.h"

#include "shared/module_loader.h"

namespace orvo::page {

PageParts real_page_parts() {
  const auto make = reinterpret_cast<decltype(&orvo_page_parts_v1)>(
      module_symbol("orvo-page.so", "orvo_page_parts_v1"));
  PageParts parts;
  make(&parts);
  return parts;
}

}  // namespace orvo::page
