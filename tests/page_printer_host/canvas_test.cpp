#include "page_printer_host/page_canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "page_printer_host/page_fakes.h"
#include "shared/case_file.h"
#include "support/raised.h"

namespace orvo::page {
namespace {

using testing::raised;

class CanvasTest : public ::testing::Test {
 protected:
  CanvasTest() {
    for (Margin m : {Margin::Left, Margin::Top, Margin::Right, Margin::Bottom}) c_.set_margin(m, 0);
  }
  // Font 細明體 9: lines 225 twips high, characters 180 twips wide.
  void begin() {
    c_.begin_document();
    c_.set_font_name("細明體");
    c_.set_font_size(9);
  }
  const Page& page(std::size_t i = 0) const { return c_.document().pages.at(i); }

  std::shared_ptr<testing::FakeQueues> queues_ = std::make_shared<testing::FakeQueues>();
  std::shared_ptr<testing::FixedMetrics> metrics_ = std::make_shared<testing::FixedMetrics>();
  PageCanvas c_{queues_, metrics_};
  const FontSpec f9_{"細明體", 9};
};

TEST_F(CanvasTest, TextsLandAtThePositionInTheFontSetBeforeThem) {
  PageCanvas fresh(queues_, metrics_);
  for (Margin m : {Margin::Left, Margin::Top, Margin::Right, Margin::Bottom}) {
    EXPECT_EQ(fresh.margin(m), 1440);  // an inch until a caller says otherwise
  }
  EXPECT_EQ(fresh.table_border(), 0);
  EXPECT_EQ(fresh.separators(), "|;");
  c_.set_margin(Margin::Left, 1200);
  c_.set_margin(Margin::Top, 300);
  c_.begin_document();
  EXPECT_EQ(c_.x(), 1200);  // a new document starts at the top-left margins
  EXPECT_EQ(c_.y(), 300);
  EXPECT_EQ(c_.font(), kDefaultFont);
  c_.print_text("預設");
  c_.set_font_name("細明體");
  c_.set_font_size(9);
  c_.set_x(5387.5);
  c_.set_y(750);
  c_.print_text("99");
  c_.set_x(6237);
  c_.print_text("03");  // position Y stays after a text
  c_.set_font_size(11);
  c_.set_y(-40);  // above the page: drawn where asked
  c_.print_text("第一行\r\n第二行");
  EXPECT_EQ(c_.y(), -40);
  const std::vector<TextRun> expected = {
      {1200, 300, "預設", kDefaultFont},  {5387.5, 750, "99", f9_},
      {6237, 750, "03", f9_},             {6237, -40, "第一行", {"細明體", 11}},
      {6237, 235, "第二行", {"細明體", 11}},
  };
  EXPECT_EQ(page().texts, expected);
  EXPECT_TRUE(page().rules.empty());
}

TEST_F(CanvasTest, TablesLayCellsByFormatFromTheLeftMarginAndMovePositionYBelow) {
  std::vector<std::string> table;  // "table", name, border, format, header, body, separators
  std::vector<TextRun> cells;
  for (const auto& r : testing::read_cases("page_printer_host/data/tables.tsv")) {
    if (r[0] == "table") {
      table = r;
      cells.clear();
    } else if (r[0] == "cell") {
      const Align align = r[5] == "R" ? Align::Right : Align::Left;
      cells.push_back({stod(r[1]), stod(r[2]), r[3], f9_, stod(r[4]), align});
    } else {  // "ends": where position Y ends, how many rules were drawn
      SCOPED_TRACE(table[1]);
      c_.set_margin(Margin::Left, 1000);
      c_.set_table_border(stol(table[2]));
      c_.set_separators(table[6]);
      begin();
      c_.set_x(7000);
      c_.set_y(2438);
      c_.add_table(table[3], table[4], table[5], true);
      EXPECT_EQ(page().texts, cells);
      EXPECT_EQ(c_.y(), stod(r[1]));
      EXPECT_EQ(c_.x(), 7000);
      EXPECT_EQ(page().rules.size(), stoul(r[2]));
      ASSERT_EQ(page().tables.size(), 1u);
      EXPECT_EQ(page().tables[0], (TableRecord{1000, 2438, stod(r[1]), table[3], table[4],
                                               table[5], true}));
    }
  }
  // The rules of the second bordered row, exactly.
  const std::vector<Rule> second_row(page().rules.begin() + 5, page().rules.end());
  const std::vector<Rule> expected = {{1000, 2663, 7900, 2663}, {1000, 2888, 7900, 2888},
                                      {1000, 2663, 1000, 2888}, {6400, 2663, 6400, 2888},
                                      {7900, 2663, 7900, 2888}};
  EXPECT_EQ(second_row, expected);
}

TEST_F(CanvasTest, RowsAndTextLinesThatPassTheBottomMarginGoToANewPage) {
  c_.set_margin(Margin::Top, 500);
  c_.set_margin(Margin::Bottom, kA4.height - 16000);  // rows and lines may end at 16000
  begin();
  c_.set_y(15550);
  c_.add_table("1000;", "", "a;b;c;");  // 15550 and 15775 fit, 16000 does not
  ASSERT_EQ(c_.document().pages.size(), 2u);
  EXPECT_EQ(page(0).texts.size(), 2u);
  EXPECT_EQ(page(0).texts[1].y, 15775);
  EXPECT_EQ(page(1).texts, (std::vector<TextRun>{{0, 500, "c", f9_, 1000, Align::Left}}));
  EXPECT_EQ(page(0).tables.at(0).bottom, 725);  // it ended on the second page
  EXPECT_EQ(c_.y(), 725);

  c_.set_y(15900);
  c_.print_text("x");
  EXPECT_EQ(c_.y(), 500);
  c_.set_y(15550);
  c_.print_text("上\r\n中\r\n下");  // the rest of a text goes on, position Y stays
  EXPECT_EQ(c_.y(), 15550);
  ASSERT_EQ(c_.document().pages.size(), 4u);
  EXPECT_EQ(page(2).texts, (std::vector<TextRun>{{0, 500, "x", f9_}, {0, 15550, "上", f9_},
                                                 {0, 15775, "中", f9_}}));
  EXPECT_EQ(page(3).texts, (std::vector<TextRun>{{0, 500, "下", f9_}}));
}

TEST_F(CanvasTest, PrinterAndPaperComeFromTheChosenOrCurrentQueue) {
  queues_->installed = {"WIN3PA4", "WiseInv"};
  queues_->current = "WiseInv";
  EXPECT_EQ(c_.printer_name(), "WiseInv");  // unset: the current printer
  c_.set_printer_name("WIN3PA4");
  EXPECT_EQ(c_.printer_name(), "WIN3PA4");
  EXPECT_EQ(c_.printer_name_at(1), "WiseInv");
  queues_->installed = {"A"};
  EXPECT_EQ(c_.printer_name_at(1), "WiseInv");  // from the last count
  EXPECT_EQ(c_.printer_count(), 1);
  EXPECT_EQ(c_.printer_name_at(0), "A");
  EXPECT_TRUE(c_.setting(57).is_empty());  // the forms' values are checked after each layout

  queues_->letter_queue = "LETTER";
  const PageSize letter{12240, 15840};
  for (const auto& [chosen, current, size] :
       {std::tuple{"", "", kA4}, {"", "LETTER", letter}, {"LETTER", "", letter},
        {"WIN3PA4", "LETTER", kA4}}) {
    queues_->current = current;
    c_.set_printer_name(chosen);
    c_.begin_document();
    EXPECT_EQ(c_.document().size, size) << chosen << "/" << current;
  }
  EXPECT_NEAR(kA4.width, 11905.5, 0.1);
  EXPECT_NEAR(kA4.height, 16837.8, 0.1);
}

TEST_F(CanvasTest, BadCallsRaiseErrorsThatSayWhatWasWrong) {
  queues_->installed = {"WIN3PA4"};
  metrics_->no_chinese = "Symbol";
  const std::map<std::string, std::function<void(const std::string&)>> calls = {
      {"print_text", [&](const std::string& a) { c_.print_text(a); }},
      {"end_document", [&](const std::string&) { c_.end_document(); }},
      {"add_table", [&](const std::string& a) { begin(), c_.add_table(a, "", ""); }},
      {"set_separators", [&](const std::string& a) { c_.set_separators(a); }},
      {"set_font_size", [&](const std::string& a) { c_.set_font_size(stod(a)); }},
      {"set_font_name", [&](const std::string& a) { c_.set_font_name(a); }},
      {"set_left_margin", [&](const std::string& a) { c_.set_margin(Margin::Left, stod(a)); }},
      {"printer_name_at", [&](const std::string& a) { c_.printer_name_at(stoi(a)); }},
      {"set_setting", [&](const std::string& a) { c_.set_setting(stoi(a), 1); }},
  };
  for (const auto& r : testing::read_cases("page_printer_host/data/canvas_errors.tsv")) {
    const Error e = raised([&] { calls.at(r[0])(r[1]); });
    EXPECT_EQ(e.number(), stoi(r[2])) << r[3];
    EXPECT_EQ(e.description(), r[3]);
  }
  EXPECT_EQ(c_.font(), f9_);  // refused values leave the old ones
  EXPECT_EQ(c_.separators(), "|;");
}

}  // namespace
}  // namespace orvo::page
