#pragma once
// Renders a page document with Cairo: PDF for printing and files, PNG for pictures.
#include <memory>

#include "page_printer_host/page_printer.h"
#include "page_printer_host/module/pango_text.h"

namespace orvo::page {

class CairoRenderer : public PageRenderer {
 public:
  explicit CairoRenderer(std::shared_ptr<PangoText> text) : text_(std::move(text)) {}
  std::string pdf(const PageDocument& doc) override;
  std::vector<std::string> png(const PageDocument& doc, double dpi) override;

 private:
  std::shared_ptr<PangoText> text_;
};

}  // namespace orvo::page
