#pragma once
// What a page layout draws on: the page printer's properties and drawing operations, recorded as
// a display list. Nothing here renders or sends; PagePrinter does that after the layout.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "page_printer_host/page_document.h"
#include "shared/variant.h"

namespace orvo::page {

namespace page_err {
inline constexpr std::int32_t kSubscript = 9;                // printer index out of range
inline constexpr std::int32_t kInvalidPropertyValue = 380;   // bad separators, font, size
inline constexpr std::int32_t kNoSuchSetting = 438;          // numbered setting not offered
inline constexpr std::int32_t kNoDocument = 5;               // drawing outside a document
inline constexpr std::int32_t kNoPrinter = 68;               // neither queue nor output file
}  // namespace page_err

// Text measurement, so that rows know their height before anything is rendered.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  // Height of one line of text in that font, twips.
  virtual double line_height(const FontSpec& font) = 0;
  // The lines `text` takes in a box `width` twips wide (at least one line, "" for empty text).
  virtual std::vector<std::string> wrap(std::string_view text, const FontSpec& font,
                                        double width) = 0;
  // Raises 380 when a font of that name would print Chinese as empty boxes.
  virtual void require_chinese(const std::string& font_name) = 0;
};

// The printers the component can choose from (CUPS destinations).
class PrintQueues {
 public:
  virtual ~PrintQueues() = default;
  virtual std::vector<std::string> names() = 0;
  // The current printer when none was chosen; "" when there is none.
  virtual std::string default_name() = 0;
  // The queue's default paper, when it says.
  virtual std::optional<PageSize> media(const std::string& queue) = 0;
  // One job of `pdf` named `title`; returns the job id. Raises with the print system's reason.
  virtual int submit(const std::string& queue, const std::string& title,
                     const std::string& pdf) = 0;
};

// Numbered as callers know them. The right margin is kept; nothing here wraps at it.
enum class Margin { Left = 49, Top = 50, Right = 51, Bottom = 52 };

class PageCanvas {
 public:
  PageCanvas(std::shared_ptr<PrintQueues> queues, std::shared_ptr<TextMetrics> metrics);
  virtual ~PageCanvas() = default;
  PageCanvas(const PageCanvas&) = delete;
  PageCanvas& operator=(const PageCanvas&) = delete;

  // --- Printer choice ------------------------------------------------------------------------
  // Preview on: an ended document is kept for display; off: it is delivered.
  bool preview() const { return preview_; }
  void set_preview(bool on) { preview_ = on; }
  // The chosen queue, else the current (default) one, else "". Any name is accepted here; a
  // queue that does not exist is reported when the document is sent to it.
  std::string printer_name() const;
  void set_printer_name(std::string name) { printer_name_ = std::move(name); }
  // Counting reads the queues afresh; names by index come from the last count.
  int printer_count();
  std::string printer_name_at(int index);

  // --- Tables --------------------------------------------------------------------------------
  // Two characters: the cell separator, then the row separator.
  const std::string& separators() const { return separators_; }
  void set_separators(std::string_view two);
  // 0 draws no rules; any other code rules every cell.
  long table_border() const { return table_border_; }
  void set_table_border(long code) { table_border_ = code; }

  double margin(Margin m) const;
  void set_margin(Margin m, double twips);

  // --- Document ------------------------------------------------------------------------------
  // Starts an empty document on the chosen queue's paper (A4 when it does not say) with the
  // position at the top-left margins.
  void begin_document();
  // Closes the document; it is then ready to be delivered.
  void end_document();
  bool document_open() const { return open_; }
  bool document_ended() const { return ended_; }
  const PageDocument& document() const { return doc_; }

  // --- Drawing -------------------------------------------------------------------------------
  const FontSpec& font() const { return font_; }
  void set_font_name(std::string name);
  void set_font_size(double points);
  // The top-left of the next text or table, twips from the page's corner.
  double x() const { return x_; }
  double y() const { return y_; }
  void set_x(double twips) { x_ = twips; }
  void set_y(double twips) { y_ = twips; }
  // Draws at the position; position Y stays (it moves only when the text had to go to a new
  // page). A line feed starts the next line below.
  void print_text(std::string_view text);
  // Format: entries split by "|" and ended by ";", each an optional "<" (left, the default) or
  // ">" (right) and a width in twips. Header and body: cells and rows split by the separators;
  // an empty header prints no header row; cells beyond the last column are dropped. The table
  // starts at the left margin at position Y, and position Y moves below it. Rows that do not fit
  // go to a new page. `flag` is recorded only.
  void add_table(std::string_view format, std::string_view header, std::string_view body,
                 bool flag = false);

  // --- Display and numbered settings ---------------------------------------------------------
  int shown_page() const { return shown_page_; }
  void set_shown_page(int page) { shown_page_ = page; }
  // Settings 33, 34, 41, 57, 63, 108 and 171 are kept for whoever asks; none changes the output.
  // Other numbers raise 438.
  Variant setting(int id) const;
  void set_setting(int id, Variant value);

 protected:
  PrintQueues& queues() { return *queues_; }

 private:
  struct Column {
    double width;
    Align align;
  };
  static std::vector<Column> parse_format(std::string_view format);
  std::vector<std::vector<std::string>> split_rows(std::string_view text) const;

  void require_open(const char* what) const;
  Page& page() { return doc_.pages.back(); }
  double bottom_limit() const { return doc_.size.height - margin(Margin::Bottom); }
  void new_page();
  // Moves to a new page when `height` twips from position Y would pass the bottom margin.
  void make_room(double height);
  void rule_row(const std::vector<Column>& columns, double left, double height);

  std::shared_ptr<PrintQueues> queues_;
  std::shared_ptr<TextMetrics> metrics_;

  bool preview_ = true;
  std::string printer_name_;
  std::vector<std::string> printer_list_;
  std::string separators_ = "|;";
  long table_border_ = 0;
  double margins_[4] = {1440, 1440, 1440, 1440};  // left, top, right, bottom
  FontSpec font_;
  double x_ = 0, y_ = 0;
  int shown_page_ = 1;
  std::map<int, Variant> settings_;

  bool open_ = false, ended_ = false;
  PageDocument doc_;
};

// The component's own font until a caller sets one.
inline const FontSpec kDefaultFont{"新細明體", 9.75};

}  // namespace orvo::page
