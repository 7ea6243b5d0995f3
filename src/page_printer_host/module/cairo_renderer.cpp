#include "page_printer_host/module/cairo_renderer.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>

#include "shared/errors.h"

namespace orvo::page {

namespace {

cairo_status_t append(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void check(cairo_status_t status) {
  if (status != CAIRO_STATUS_SUCCESS) {
    raise(err::kDeviceIo,
          std::string("cannot render the page document: ") + cairo_status_to_string(status));
  }
}

// Owns a surface and its context; both are released on every path.
struct Drawing {
  cairo_surface_t* surface;
  cairo_t* cr = cairo_create(surface);
  ~Drawing() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
};

void draw_page(PangoText& text, cairo_t* cr, const Page& page) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 0.5);
  for (const Rule& r : page.rules) {
    cairo_move_to(cr, r.x1 / kTwipsPerPoint, r.y1 / kTwipsPerPoint);
    cairo_line_to(cr, r.x2 / kTwipsPerPoint, r.y2 / kTwipsPerPoint);
    cairo_stroke(cr);
  }
  for (const TextRun& run : page.texts) text.draw(cr, run);
}

}  // namespace

std::string CairoRenderer::pdf(const PageDocument& doc) {
  std::string out;
  {
    Drawing d{cairo_pdf_surface_create_for_stream(append, &out, doc.size.width / kTwipsPerPoint,
                                                  doc.size.height / kTwipsPerPoint)};
    cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_CREATOR, "OrvoInvoice");
    for (const Page& page : doc.pages) {
      draw_page(*text_, d.cr, page);
      cairo_show_page(d.cr);
    }
    check(cairo_status(d.cr));
    cairo_surface_finish(d.surface);
    check(cairo_surface_status(d.surface));
  }
  return out;
}

std::vector<std::string> CairoRenderer::png(const PageDocument& doc, double dpi) {
  const double scale = dpi / 72;
  const int width = static_cast<int>(std::ceil(doc.size.width / kTwipsPerPoint * scale));
  const int height = static_cast<int>(std::ceil(doc.size.height / kTwipsPerPoint * scale));
  std::vector<std::string> pictures;
  for (const Page& page : doc.pages) {
    Drawing d{cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)};
    cairo_set_source_rgb(d.cr, 1, 1, 1);
    cairo_paint(d.cr);
    cairo_scale(d.cr, scale, scale);
    draw_page(*text_, d.cr, page);
    check(cairo_status(d.cr));
    cairo_surface_flush(d.surface);
    std::string& out = pictures.emplace_back();
    check(cairo_surface_write_to_png_stream(d.surface, append, &out));
  }
  return pictures;
}

}  // namespace orvo::page
