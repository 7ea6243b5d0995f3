#pragma once
// The page printer types: each draws one document on the page printer, in twips from the page's
// top-left corner. The page runner (layout_kit/page_runner.h) chooses the printer before and
// delivers the sheet after; a layout never renders or sends.
#include "layout_kit/print_job.h"
#include "layout_kit/route.h"
#include "page_printer_host/page_canvas.h"

namespace orvo {

// An A4 sheet with three copies of the invoice, one above the other; the B sheet is the variant
// with its own positions and no offset settings.
bool Print_WIN3PA4(PrintJob& job, page::PageCanvas& vsp);
bool Print_WIN3PA4B(PrintJob& job, page::PageCanvas& vsp);
// One invoice form on a form printer driven as a page printer.
bool Print_WINLQM1(PrintJob& job, page::PageCanvas& vsp);
// One small invoice form with the shop's first heading line.
bool Print_WINLQ3P(PrintJob& job, page::PageCanvas& vsp);
// One invoice form hanging from the base kept in job.opt.wise_base_y, with its own heading.
bool Print_WISEINV(PrintJob& job, page::PageCanvas& vsp);
void InvHead_WISEINV(PrintJob& job, page::PageCanvas& vsp);

inline constexpr Route kWinlqm1Route = page_route("WINLQM1", "Print_WINLQM1", Print_WINLQM1);
// Always on the queue "WiseInv", unasked.
inline constexpr Route kWiseinvRoute =
    page_route("WISEINV", "Print_WISEINV", Print_WISEINV, "WiseInv", QueueChoice::Always);
inline constexpr Route kWinlq3pRoute = page_route("WINLQ3P", "Print_WINLQ3P", Print_WINLQ3P);
inline constexpr Route kWin3pa4Route = page_route("WIN3PA4", "Print_WIN3PA4", Print_WIN3PA4);
inline constexpr Route kWin3pa4bRoute = page_route("WIN3PA4B", "Print_WIN3PA4B", Print_WIN3PA4B);

}  // namespace orvo
