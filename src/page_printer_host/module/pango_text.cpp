#include "page_printer_host/module/pango_text.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <cmath>

#include "shared/errors.h"

namespace orvo::page {

extern const char kFontsConf[];

namespace {

// Unhinted metrics at 72 dpi: a Pango unit is 1/1024 point, widths scale exactly, and the PDF,
// the PNG and the measurement agree.
PangoContext* unhinted_context(PangoFontMap* map) {
  PangoContext* context = pango_font_map_create_context(map);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_cairo_context_set_resolution(context, 72);
  pango_context_set_round_glyph_positions(context, FALSE);
  return context;
}

double points(int pango_units) { return static_cast<double>(pango_units) / PANGO_SCALE; }

struct LayoutRef {
  PangoLayout* p;
  ~LayoutRef() { g_object_unref(p); }
};

}  // namespace

std::shared_ptr<PangoText> PangoText::shared() {
  static const std::shared_ptr<PangoText> instance = std::make_shared<PangoText>();
  return instance;
}

PangoText::PangoText() {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) raise(err::kDeviceUnavailable, "fontconfig could not be loaded");
  if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kFontsConf),
                                      FcTrue)) {
    FcConfigDestroy(config);
    raise(err::kDeviceUnavailable, "the page printer's font configuration does not load");
  }
  font_map_ = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
  pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(font_map_), config);  // takes a reference
  FcConfigDestroy(config);
  context_ = unhinted_context(font_map_);
  draw_context_ = unhinted_context(font_map_);
}

PangoText::~PangoText() {
  g_object_unref(draw_context_);
  g_object_unref(context_);
  g_object_unref(font_map_);
}

PangoLayout* PangoText::layout(PangoContext* context, std::string_view text,
                               const FontSpec& font) {
  PangoLayout* l = pango_layout_new(context);
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, font.name.c_str());
  pango_font_description_set_size(desc, static_cast<int>(std::lround(font.size * PANGO_SCALE)));
  pango_layout_set_font_description(l, desc);
  pango_font_description_free(desc);
  pango_layout_set_text(l, text.data(), static_cast<int>(text.size()));
  return l;
}

double PangoText::line_height(const FontSpec& font) {
  const std::string key = font.name + '\t' + number_text(font.size);
  if (auto it = line_heights_.find(key); it != line_heights_.end()) return it->second;
  const LayoutRef l{layout(context_, "國Ag", font)};
  PangoRectangle logical;
  pango_layout_get_extents(l.p, nullptr, &logical);
  const double height = points(logical.height) * kTwipsPerPoint;
  line_heights_.emplace(key, height);
  return height;
}

std::vector<std::string> PangoText::wrap(std::string_view text, const FontSpec& font,
                                         double width) {
  if (width <= 0) return {std::string(text)};
  const LayoutRef l{layout(context_, text, font)};
  pango_layout_set_width(l.p, static_cast<int>(width / kTwipsPerPoint * PANGO_SCALE));
  pango_layout_set_wrap(l.p, PANGO_WRAP_WORD_CHAR);
  std::vector<std::string> lines;
  for (GSList* it = pango_layout_get_lines_readonly(l.p); it != nullptr; it = it->next) {
    const auto* line = static_cast<const PangoLayoutLine*>(it->data);
    lines.emplace_back(text.substr(static_cast<std::size_t>(line->start_index),
                                   static_cast<std::size_t>(line->length)));
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

void PangoText::require_chinese(const std::string& font_name) {
  if (chinese_ok_.count(font_name) != 0) return;
  const LayoutRef l{layout(context_, "國", {font_name, 12})};
  if (pango_layout_get_unknown_glyphs_count(l.p) > 0) {
    raise(page_err::kInvalidPropertyValue,
          "font \"" + font_name +
              "\" would print Chinese as empty boxes: no Ming face is installed "
              "(fonts-arphic-uming; scripts/setup.sh installs it)");
  }
  chinese_ok_.insert(font_name);
}

std::string PangoText::face_for(const std::string& font_name, std::string_view sample) {
  const LayoutRef l{layout(context_, sample, {font_name, 12})};
  const PangoLayoutLine* line = pango_layout_get_line_readonly(l.p, 0);
  if (line == nullptr || line->runs == nullptr) return "";
  const auto* run = static_cast<const PangoGlyphItem*>(line->runs->data);
  PangoFontDescription* desc = pango_font_describe(run->item->analysis.font);
  const char* name = pango_font_description_get_family(desc);
  std::string family = name != nullptr ? name : "";
  pango_font_description_free(desc);
  return family;
}

void PangoText::draw(cairo_t* cr, const TextRun& run) {
  pango_cairo_update_context(cr, draw_context_);
  const LayoutRef l{layout(draw_context_, run.text, run.font)};
  double x = run.x / kTwipsPerPoint;
  if (run.align == Align::Right && run.width > 0) {
    PangoRectangle logical;
    pango_layout_get_extents(l.p, nullptr, &logical);
    x = (run.x + run.width) / kTwipsPerPoint - points(logical.x + logical.width);
  }
  cairo_move_to(cr, x, run.y / kTwipsPerPoint);
  pango_cairo_show_layout(cr, l.p);
}

}  // namespace orvo::page
