// The real text, rendering and printing: Pango on the component's fonts, Cairo to PDF and PNG
// read back with poppler, and CUPS.
#include <cairo.h>
#include <gtest/gtest.h>

#include <set>

#include "page_printer_host/cups_scheduler.h"
#include "page_printer_host/module/cairo_renderer.h"
#include "page_printer_host/page_fakes.h"
#include "page_printer_host/pdf_words.h"
#include "shared/case_file.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace orvo::page {
namespace {

using testing::pdf_words;
using testing::PdfWord;
using testing::raised;

class RenderTest : public ::testing::Test {
 protected:
  RenderTest() {
    p_.set_preview(false);
    for (Margin m : {Margin::Left, Margin::Top, Margin::Right, Margin::Bottom}) p_.set_margin(m, 0);
  }
  std::vector<PdfWord> render() {
    p_.end_document();
    p_.deliver({dir_ / "out.pdf", ""});
    return pdf_words(dir_ / "out.pdf");
  }

  testing::TempDir dir_;
  std::shared_ptr<PangoText> text_ = PangoText::shared();
  PagePrinter p_{std::make_shared<testing::FakeQueues>(), text_,
                 std::make_shared<CairoRenderer>(text_)};
};

const PdfWord* find(const std::vector<PdfWord>& words, const std::string& text) {
  for (const PdfWord& w : words) {
    if (w.text == text) return &w;
  }
  ADD_FAILURE() << "\"" << text << "\" is not in the PDF";
  return nullptr;
}

TEST_F(RenderTest, TextsAndCellsLandWhereTheyWereDrawn) {
  const auto cases = testing::read_cases("page_printer_host/data/render.tsv");
  p_.begin_document();
  for (const auto& t : cases) {
    if (t[0] != "text") continue;
    p_.set_font_name(t[2]);
    p_.set_font_size(stod(t[3]));
    p_.set_x(stod(t[4]));
    p_.set_y(stod(t[5]));
    p_.print_text(t[1]);
  }
  p_.set_font_name("細明體");
  p_.set_font_size(9);
  p_.set_margin(Margin::Left, 150);  // tables start at the left margin
  p_.set_y(2438);
  p_.add_table("800|<3000|>400|>1200|>1500|<300|<2500;", "", "|消費合計|1|1,000|1,050||免開;");
  const double row_top = 2438, row_bottom = p_.y();
  // Too long for its 2500 twips: it wraps, even inside a word, and stays in its column.
  p_.add_table("7200|<2500;", "", "|ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789備註;");
  const double wrapped_bottom = p_.y();
  const auto words = render();
  // The forms' font names print Latin and Chinese alike in a Ming face; other names keep theirs.
  EXPECT_NE(text_->face_for("sans-serif", "A"), text_->face_for("細明體", "A"));
  const auto fonts = testing::pdf_fonts(dir_ / "out.pdf");
  EXPECT_FALSE(fonts.empty());
  for (const std::string& font : fonts) {
    EXPECT_TRUE(font.find("UMing") != std::string::npos ||
                font.find("NotoSerifCJK") != std::string::npos)
        << font;
  }

  for (const auto& t : cases) {
    const PdfWord* w = find(words, t[1]);
    if (w == nullptr) continue;
    if (t[0] == "text") {
      EXPECT_NEAR(w->x_min, stod(t[4]) / 20, 1.5) << t[1];
      EXPECT_NEAR(w->y_min, stod(t[5]) / 20, 3) << t[1];
      EXPECT_NEAR(w->y_max - w->y_min, stod(t[3]), stod(t[3]) * 0.3) << t[1];  // in its size
    } else {  // in its column
      const bool right = t[4] == "R";
      EXPECT_NEAR(right ? w->x_max : w->x_min, stod(t[right ? 3 : 2]) / 20, 1.5) << t[1];
      EXPECT_GE(w->x_min, stod(t[2]) / 20 - 0.5) << t[1];
      EXPECT_LE(w->x_max, stod(t[3]) / 20 + 0.5) << t[1];
      EXPECT_GE(w->y_min, row_top / 20 - 1) << t[1];
      EXPECT_LE(w->y_max, row_bottom / 20 + 1) << t[1];
    }
  }
  std::string wrapped;
  std::set<double> wrapped_lines;
  for (const PdfWord& w : words) {
    if (w.y_min < row_bottom / 20 - 1 || w.y_max > wrapped_bottom / 20 + 1) continue;
    wrapped += w.text;
    wrapped_lines.insert(w.y_min);
    EXPECT_GE(w.x_min, 7350 / 20.0 - 0.5) << w.text;
    EXPECT_LE(w.x_max, 9850 / 20.0 + 0.5) << w.text;
  }
  EXPECT_EQ(wrapped, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789備註");
  EXPECT_GE(wrapped_lines.size(), 2u);
  EXPECT_NEAR(wrapped_bottom - row_bottom,
              (row_bottom - row_top) * static_cast<double>(wrapped_lines.size()), 1);
}

TEST_F(RenderTest, APageBreakMakesASecondPageAndPicturesComeOnePerPage) {
  p_.begin_document();
  p_.set_y(1000);
  p_.print_text("第一頁");
  p_.set_y(20000);
  p_.print_text("第二頁");
  const auto words = render();
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].page, 1);
  EXPECT_EQ(words[1].page, 2);
  EXPECT_NEAR(words[1].y_min, 0, 3);

  const Delivered done = p_.deliver({dir_ / "sheet.png", "", 72});
  ASSERT_EQ(done.files.size(), 2u);
  for (const auto& file : done.files) {
    const std::string png = testing::read_file(file);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    // The header's width and height: A4 at 72 dpi is 596 x 842 pixels.
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x02\x54\0\0\x03\x4a", 8));
  }
  // Black on white: the first page's text, 50 points down at the left edge, has black pixels.
  cairo_surface_t* picture = cairo_image_surface_create_from_png(done.files[0].c_str());
  ASSERT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
  const unsigned char* data = cairo_image_surface_get_data(picture);
  const int stride = cairo_image_surface_get_stride(picture);
  int black = 0;
  for (int y = 48; y < 64; ++y) {
    for (int x = 0; x < 45; ++x) {
      const unsigned char* px = data + y * stride + x * 4;  // B, G, R, A
      black += px[0] < 128 && px[1] < 128 && px[2] < 128;
    }
  }
  cairo_surface_destroy(picture);
  EXPECT_GT(black, 10);
}

// Against a real CUPS scheduler of the test's own.
TEST(CupsTest, QueuesAreThePrintersJobsArriveWithTitleAndTextAndRefusalsSayWhy) {
  testing::CupsScheduler cups;
  ASSERT_FALSE(HasFatalFailure());
  cups.add_queue("WIN3PA4");
  cups.add_queue("LETTER", "-o media-default=na_letter_8.5x11in");
  cups.add_queue("Closed");
  cups.admin("cupsreject Closed");
  ASSERT_TRUE(cups.jobs().empty());  // and libcups opens the connection it keeps
  PageSize size;
  // The invoice number drawn, ended and delivered to the chosen (or current) queue.
  const auto print = [&](const std::string& queue) {
    PagePrinter p;
    p.set_preview(false);
    p.set_printer_name(queue);
    p.begin_document();
    p.set_x(1500);
    p.set_y(900);
    p.print_text("AB12345678");
    p.end_document();
    size = p.document().size;
    return p.deliver({{}, "AB12345678"});
  };

  PagePrinter p;
  ASSERT_EQ(p.printer_count(), 3);
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i) names.push_back(p.printer_name_at(i));
  EXPECT_EQ(names, (std::vector<std::string>{"Closed", "LETTER", "WIN3PA4"}));
  EXPECT_EQ(p.printer_name(), "");  // no default yet

  const struct {
    std::string queue, reason;
  } refusals[] = {{"Closed", "Destination \"Closed\" is not accepting jobs."},
                  {"WiseInv", "there is no such queue"}};
  for (const auto& c : refusals) {
    const Error e = raised([&] { print(c.queue); });
    EXPECT_EQ(e.number(), 57);
    EXPECT_EQ(e.description(), "the CUPS queue \"" + c.queue +
                                   "\" did not take the job \"AB12345678\": " + c.reason);
  }
  EXPECT_TRUE(cups.jobs().empty());

  const Delivered done = print("WIN3PA4");
  EXPECT_EQ(done.to, Delivered::To::Queue);
  EXPECT_EQ(size, kA4);
  const auto jobs = cups.jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].id, done.job_id);
  EXPECT_EQ(jobs[0].title, "AB12345678");
  ASSERT_EQ(jobs[0].document.substr(0, 5), "%PDF-");
  testing::TempDir dir;
  const auto words = testing::pdf_words(dir.write("job.pdf", jobs[0].document));
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(words[0].text, "AB12345678");
  EXPECT_NEAR(words[0].x_min, 75, 1.5);

  // The default queue is the current printer, and its paper counts.
  cups.admin("lpadmin -d LETTER");
  EXPECT_EQ(PagePrinter().printer_name(), "LETTER");
  EXPECT_EQ(print("").queue, "LETTER");
  EXPECT_NEAR(size.width, 12240, 1);
  EXPECT_NEAR(size.height, 15840, 1);
  EXPECT_EQ(cups.jobs().size(), 2u);
}

}  // namespace
}  // namespace orvo::page
