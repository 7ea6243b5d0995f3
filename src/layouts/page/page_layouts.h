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

// Each prints on the CUPS queue named after its type; WISEINV's is "WiseInv", unasked.
inline constexpr Route kWinlqm1Route{
    "WINLQM1",        When::Always, "Print_WINLQM1",
    OnFailure::Raise, nullptr,      {Print_WINLQM1, "WINLQM1", QueueChoice::IfInstalled}};
inline constexpr Route kWiseinvRoute{
    "WISEINV",        When::Always, "Print_WISEINV",
    OnFailure::Raise, nullptr,      {Print_WISEINV, "WiseInv", QueueChoice::Always}};
inline constexpr Route kWinlq3pRoute{
    "WINLQ3P",        When::Always, "Print_WINLQ3P",
    OnFailure::Raise, nullptr,      {Print_WINLQ3P, "WINLQ3P", QueueChoice::IfInstalled}};
inline constexpr Route kWin3pa4Route{
    "WIN3PA4",        When::Always, "Print_WIN3PA4",
    OnFailure::Raise, nullptr,      {Print_WIN3PA4, "WIN3PA4", QueueChoice::IfInstalled}};
inline constexpr Route kWin3pa4bRoute{
    "WIN3PA4B",       When::Always, "Print_WIN3PA4B",
    OnFailure::Raise, nullptr,      {Print_WIN3PA4B, "WIN3PA4B", QueueChoice::IfInstalled}};

}  // namespace orvo
