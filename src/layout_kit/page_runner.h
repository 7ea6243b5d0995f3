#pragma once
// The one place that runs a page layout: it loads the shared host window, chooses the printer,
// switches the preview off, lets the layout draw, delivers the ended sheet (a CUPS job named
// after the invoice number, or the output file) and applies the failure policy. A page layout
// only draws.
#include <filesystem>
#include <string_view>

#include "layout_kit/layout_runner.h"
#include "layout_kit/print_job.h"

namespace orvo {

namespace page {
class PageCanvas;
class PageHostWindow;
}  // namespace page

using PageDraw = bool (*)(PrintJob&, page::PageCanvas&);

// Which printer a page layout asks for.
enum class QueueChoice {
  IfInstalled,  // the queue of that name when it is installed, else the current printer
  Always,       // the queue of that name, unasked
};

struct PageLayout {
  PageDraw draw = nullptr;  // nullptr: not a page type
  std::string_view queue;
  QueueChoice choice = QueueChoice::IfInstalled;
};

struct PageRequest {
  page::PageHostWindow& window;
  std::filesystem::path output;  // empty: the chosen CUPS queue
};

// A failure in the layout or in the delivery leaves the document undelivered and PageCount as
// it was before the print: a sheet that did not go out is not counted.
bool run_page_layout(std::string_view proc, OnFailure on_failure, const PageLayout& layout,
                     PrintJob& job, const PageRequest& where);

}  // namespace orvo
