#pragma once
// An InvPrinter whose page types draw on a page printer of fakes (queues, fixed text metrics, a
// recording renderer), and what it drew, read back as free texts and table calls.
#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "page_printer_host/module/cairo_renderer.h"
#include "page_printer_host/host_window.h"
#include "page_printer_host/page_fakes.h"
#include "page_printer_host/pdf_words.h"
#include "support/printer_fixture.h"
#include "support/sales.h"

namespace orvo::testing {

// A text drawn at a position (not a table cell): twips, and its font size.
struct Drawn {
  double x, y;
  std::string text;
  double size;
  bool operator==(const Drawn&) const = default;
};
inline void PrintTo(const Drawn& d, std::ostream* os) {
  *os << "{" << d.x << ", " << d.y << ", \"" << d.text << "\", " << d.size << "}";
}

// A table as it was asked for, where it started.
struct Table {
  double x, y;
  std::string format, body;
  bool flag;
  bool operator==(const Table&) const = default;
};
inline void PrintTo(const Table& t, std::ostream* os) {
  *os << "{" << t.x << ", " << t.y << ", \"" << t.format << "\", \"" << t.body << "\", " << t.flag
      << "}";
}

class PageTest : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    typical_sale(printer);
    use(printer);
    queues->current = "Office";
  }

  // Points `p` at this test's page printer, delivering to the queues.
  void use(InvPrinter& p) {
    p.set_page_window(window);
    p.set_page_output(std::filesystem::path());
  }

  bool print(const char* type) {
    printer.InvPrintType(Variant(type));
    MemoryRecordset none;
    return printer.PrintInv(Variant("N"), none);
  }

  page::PagePrinter& vsp() { return window->vsp(); }

  // The numbered settings the form left; every form turns setting 34 on.
  void expect_settings(int s57, int s63, int s108) {
    EXPECT_EQ(vsp().setting(34), Variant(true));
    EXPECT_EQ(vsp().setting(57), Variant(s57));
    EXPECT_EQ(vsp().setting(63), Variant(s63));
    EXPECT_EQ(vsp().setting(108), Variant(s108));
  }

  // Every page's free texts in drawing order; all in the forms' font.
  std::vector<Drawn> texts() {
    std::vector<Drawn> out;
    for (const page::Page& pg : vsp().document().pages) {
      for (const page::TextRun& r : pg.texts) {
        if (r.width != 0) continue;
        EXPECT_EQ(r.font.name, "細明體") << r.text;
        out.push_back({r.x, r.y, r.text, r.font.size});
      }
    }
    return out;
  }

  // Every page's tables in order; none has a header.
  std::vector<Table> tables() {
    std::vector<Table> out;
    for (const page::Page& pg : vsp().document().pages) {
      for (const page::TableRecord& t : pg.tables) {
        EXPECT_EQ(t.header, "") << t.body;
        out.push_back({t.x, t.y, t.format, t.body, t.flag});
      }
    }
    return out;
  }

  // The same print with the real text and renderer, read back from the PDF it wrote; texts()
  // and tables() then tell what it drew.
  std::vector<PdfWord> print_pdf(const char* type) {
    const auto text = page::PangoText::shared();
    window = std::make_shared<page::PageHostWindow>(std::make_unique<page::PagePrinter>(
        queues, text, std::make_shared<page::CairoRenderer>(text)));
    use(printer);
    printer.set_page_output(dir_ / "sheet.pdf");
    print(type);
    return pdf_words(dir_ / "sheet.pdf");
  }

  std::shared_ptr<FakeQueues> queues = std::make_shared<FakeQueues>();
  std::shared_ptr<FakeRenderer> renderer = std::make_shared<FakeRenderer>();
  std::shared_ptr<page::PageHostWindow> window = std::make_shared<page::PageHostWindow>(
      std::make_unique<page::PagePrinter>(queues, std::make_shared<FixedMetrics>(), renderer));
};

// Each text is a word of the PDF whose left edge is within 1.5 pt of its x and whose top is
// within 3 pt of its y. A text padded with spaces only starts after its x.
inline void expect_placed(const std::vector<PdfWord>& words, const std::vector<Drawn>& texts) {
  for (const Drawn& t : texts) {
    if (t.text.empty()) continue;
    const std::string word = Trim(t.text);
    const bool padded = word != t.text;
    const bool found = std::any_of(words.begin(), words.end(), [&](const PdfWord& w) {
      const double dx = w.x_min - t.x / 20;
      return w.text == word && std::abs(w.y_min - t.y / 20) <= 3 &&
             (padded ? dx > 0 && dx < 60 : std::abs(dx) <= 1.5);
    });
    EXPECT_TRUE(found) << "\"" << t.text << "\" not at (" << t.x << ", " << t.y << ")";
  }
}

// A table cell: a word inside its column [left, right] (twips), its top within 3 pt of `top`,
// against the column's edge on the side it is aligned to.
struct Cell {
  std::string text;
  double left, right, top;
  bool right_aligned;
};
inline void expect_cells(const std::vector<PdfWord>& words, const std::vector<Cell>& cells) {
  for (const Cell& c : cells) {
    const bool found = std::any_of(words.begin(), words.end(), [&](const PdfWord& w) {
      const double edge = c.right_aligned ? w.x_max - c.right / 20 : w.x_min - c.left / 20;
      return w.text == c.text && std::abs(w.y_min - c.top / 20) <= 3 &&
             w.x_min >= c.left / 20 - 0.5 && w.x_max <= c.right / 20 + 0.5 && std::abs(edge) <= 1.5;
    });
    EXPECT_TRUE(found) << "\"" << c.text << "\" not in [" << c.left << ", " << c.right << "] at "
                       << c.top;
  }
}

}  // namespace orvo::testing
