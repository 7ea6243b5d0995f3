#include "page_printer_host/host_window.h"

#include "shared/errlog.h"

namespace orvo::page {

PageHostWindow::PageHostWindow(std::unique_ptr<PagePrinter> vsp) : vsp_(std::move(vsp)) {}

PageHostWindow& PageHostWindow::shared() {
  static PageHostWindow window(std::make_unique<PagePrinter>());
  return window;
}

PageHostWindow& PageHostWindow::load(Host& host) {
  if (loaded_) return *this;
  loaded_ = true;
  try {
    caption_ = "報表預覽畫面";
    vsp_->set_preview(true);
    vsp_->set_shown_page(1);
    vsp_->set_setting(33, 80.0);
    vsp_->set_setting(41, 6000.0);
    vsp_->set_setting(171, 3);
    vsp_->set_font_name(kDefaultFont.name);
    vsp_->set_font_size(kDefaultFont.size);
  } catch (...) {
    const Error e = current_error();
    ErrLog(host, "Form_Load", Error(e.number(), standard_error_text(e.number())));
  }
  return *this;
}

Variant PageHostWindow::IsPrinterInstalled(Host& host, const Variant& pvPrinter) {
  return page::IsPrinterInstalled(host, *vsp_, pvPrinter);
}

Variant IsPrinterInstalled(Host& host, PageCanvas& canvas, const Variant& pvPrinter) {
  bool found = false;
  try {
    const int count = canvas.printer_count();
    for (int i = 0; i < count && !found; ++i) {
      found = text_eq(pvPrinter, canvas.printer_name_at(i));
    }
  } catch (...) {
    ErrLog(host, "IsPrinterInstalled", current_error());
  }
  return Variant(found);
}

std::string standard_error_text(std::int32_t number) {
  // What the load handler can meet: no memory, a refused property, a setting not offered.
  switch (number) {
    case 7: return "Out of memory";
    case 380: return "Invalid property value";
    case 438: return "Object doesn't support this property or method";
    default: return "Application-defined or object-defined error";
  }
}

}  // namespace orvo::page
