#pragma once
// The hidden window that hosts the page printer: loaded once with the printer's defaults, and
// answering whether a printer of a given name is installed. Nothing is ever shown.
#include <memory>
#include <string>

#include "page_printer_host/page_printer.h"
#include "shared/host.h"
#include "shared/variant.h"

namespace orvo::page {

class PageHostWindow {
 public:
  explicit PageHostWindow(std::unique_ptr<PagePrinter> vsp);
  // The process's one window, on CUPS, Pango and Cairo; loaded by its first load().
  static PageHostWindow& shared();

  // Runs the load handler the first time; later calls do nothing. Errors go to the error log.
  PageHostWindow& load(Host& host);
  bool loaded() const { return loaded_; }
  const std::string& caption() const { return caption_; }
  PagePrinter& vsp() { return *vsp_; }

  // True when a printer of exactly that name (case counts) is installed. Errors go to the error
  // log and leave the answer False.
  Variant IsPrinterInstalled(Host& host, const Variant& pvPrinter);

 private:
  std::unique_ptr<PagePrinter> vsp_;
  std::string caption_;
  bool loaded_ = false;
};

// The question over any canvas, for layouts that are handed a canvas rather than the window.
Variant IsPrinterInstalled(Host& host, PageCanvas& canvas, const Variant& pvPrinter);

// The platform's own wording for a run-time error number, which the load handler's error log
// record shows instead of the error's description.
std::string standard_error_text(std::int32_t number);

}  // namespace orvo::page
