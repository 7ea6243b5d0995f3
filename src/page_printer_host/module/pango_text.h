#pragma once
// Text through Pango on the component's own fontconfig set-up: the Ming faces stand in for the
// Windows names the forms use. Measures for the canvas and draws for the renderer, with the same
// unhinted metrics, so what was measured is what prints.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "page_printer_host/page_canvas.h"

typedef struct _cairo cairo_t;
typedef struct _PangoContext PangoContext;
typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoLayout PangoLayout;

namespace orvo::page {

class PangoText : public TextMetrics {
 public:
  // The process's one instance: loading fontconfig is too slow to repeat.
  static std::shared_ptr<PangoText> shared();

  PangoText();
  ~PangoText() override;
  PangoText(const PangoText&) = delete;
  PangoText& operator=(const PangoText&) = delete;

  double line_height(const FontSpec& font) override;
  std::vector<std::string> wrap(std::string_view text, const FontSpec& font,
                                double width) override;
  void require_chinese(const std::string& font_name) override;

  // The family fontconfig picks to print `sample` in a font name (what "細明體" really prints
  // with).
  std::string face_for(const std::string& font_name, std::string_view sample = "國");
  // Draws `run` on `cr`, whose user space is points.
  void draw(cairo_t* cr, const TextRun& run);

 private:
  PangoLayout* layout(PangoContext* context, std::string_view text, const FontSpec& font);

  PangoFontMap* font_map_ = nullptr;
  PangoContext* context_ = nullptr;       // measuring
  PangoContext* draw_context_ = nullptr;  // follows the surface being drawn on
  std::unordered_map<std::string, double> line_heights_;
  std::unordered_set<std::string> chinese_ok_;
};

}  // namespace orvo::page
