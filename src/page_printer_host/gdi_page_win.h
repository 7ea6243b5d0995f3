#pragma once
// The page printer on Windows: fonts measured and drawn with GDI, in twips, on a Windows printer
// or into enhanced metafiles (one per page).
#include <windows.h>

#include <memory>

#include "page_printer_host/page_canvas.h"

namespace orvo::page {

// Text measured on the screen in logical twips, as it will be drawn on a printer.
class GdiText : public TextMetrics {
 public:
  GdiText();
  ~GdiText() override;
  GdiText(const GdiText&) = delete;
  GdiText& operator=(const GdiText&) = delete;

  double line_height(const FontSpec& font) override;
  std::vector<std::string> wrap(std::string_view text, const FontSpec& font,
                                double width) override;
  void require_chinese(const std::string& font_name) override;

 private:
  HDC dc_;
};

// The Windows printers, by the names the Printers folder shows.
class WindowsPrinters : public PrintQueues {
 public:
  std::vector<std::string> names() override;
  std::string default_name() override;
  std::optional<PageSize> media(const std::string&) override { return std::nullopt; }
  // The documents are drawn on the printer itself (PagePrinter::deliver); PDF is not sent.
  int submit(const std::string& queue, const std::string& title, const std::string& pdf) override;
};

// The described font in twips (a map mode of 1440 units per inch), Big5 preferred.
HFONT create_font(const FontSpec& font);
// Draws `page` on `dc`, whose units must be twips from the page's top-left corner.
void draw_page(HDC dc, const Page& page);
// Sets `dc` up so that one unit is one twip from the physical page's corner.
void use_twips(HDC dc, bool printer);

}  // namespace orvo::page
