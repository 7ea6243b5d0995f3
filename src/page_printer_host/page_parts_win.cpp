// Cairo, Pango and CUPS have no mingw packages on Debian; the page types need a Windows
// renderer of their own, which this build does not have yet.
#include "page_printer_host/page_parts.h"
#include "shared/errors.h"

namespace orvo::page {

PageParts real_page_parts() {
  raise(err::kDeviceUnavailable,
        "page printers (WIN3PA4, WIN3PA4B, WINLQM1, WINLQ3P, WISEINV) are not available in the "
        "Windows build yet; use a roll or form printer type");
}

}  // namespace orvo::page
