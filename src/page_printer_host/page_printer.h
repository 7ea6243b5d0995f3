#pragma once
// The page printer: a canvas that, once a document is ended, renders it and delivers it to a CUPS
// queue or to a file. A page layout is a function over a print job and a PageCanvas; whoever runs
// it hands it this printer and calls deliver() after it returns (or uses print()).
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "page_printer_host/page_canvas.h"

namespace orvo::page {

class PageRenderer {
 public:
  virtual ~PageRenderer() = default;
  virtual std::string pdf(const PageDocument& doc) = 0;
  // One PNG picture per page.
  virtual std::vector<std::string> png(const PageDocument& doc, double dpi) = 0;
};

struct Delivery {
  // Empty: the printer's CUPS queue. Else a file: "x.pdf", or "x.png" for a picture of each
  // page, written as x.png for a one-page document and as x-1.png, x-2.png, ... otherwise.
  std::filesystem::path output;
  std::string job_title;  // the CUPS job's name
  double picture_dpi = 150;
};

struct Delivered {
  enum class To { Kept, Queue, Files };
  To to = To::Kept;
  std::string queue;
  int job_id = 0;
  std::vector<std::filesystem::path> files;
};

struct PageParts;

class PagePrinter : public PageCanvas {
 public:
  PagePrinter(std::shared_ptr<PrintQueues> queues, std::shared_ptr<TextMetrics> metrics,
              std::shared_ptr<PageRenderer> renderer);
  // With the real parts, CUPS, Pango and Cairo, from their module.
  PagePrinter();

  // Sends the ended document: with the preview switch on it is only kept; otherwise it goes to
  // the output file when one is given, else as one job to the chosen queue (or the default one).
  // Raises when no document was ended, when there is nowhere to send it, or when rendering,
  // the queue or the file fails.
  Delivered deliver(const Delivery& how);
  // Runs `draw` on this printer and delivers what it ended; what `draw` raises passes through
  // and nothing is sent.
  Delivered print(const Delivery& how, const std::function<void(PageCanvas&)>& draw);

 private:
  explicit PagePrinter(PageParts parts);
  std::vector<std::filesystem::path> write_files(const std::filesystem::path& output,
                                                 double dpi);

  std::shared_ptr<PageRenderer> renderer_;
};

}  // namespace orvo::page
