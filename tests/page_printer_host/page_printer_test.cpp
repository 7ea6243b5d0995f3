// The page printer with stand-ins for the print system and text measurement: the canvas, delivery
// and the host window.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <tuple>

#include "page_printer_host/host_window.h"
#include "page_printer_host/page_fakes.h"
#include "shared/case_file.h"
#include "shared/numerals.h"
#include "support/fake_host.h"
#include "support/raised.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo::page {
namespace {

using testing::raised;
using testing::read_file;
using To = Delivered::To;

// The box the error log shows for an error in `procedure`.
std::string box(const std::string& procedure, std::int32_t number, const std::string& words) {
  return "處理程序: (" + procedure + ")\r\n執行錯誤, 代碼: " + std::to_string(number) +
         "\r\n訊息: \r\n     " + words + "\r\n\r\n";
}

class PagePrinterTest : public ::testing::Test {
 protected:
  PagePrinterTest() {
    for (Margin m : {Margin::Left, Margin::Top, Margin::Right, Margin::Bottom}) p_.set_margin(m, 0);
  }
  // Font 細明體 9: lines 225 twips high, characters 180 twips wide.
  void begin() {
    p_.begin_document();
    p_.set_font_name("細明體");
    p_.set_font_size(9);
  }
  const Page& page(std::size_t i = 0) const { return p_.document().pages.at(i); }
  // A document of `pages` pages, ended, with the preview switch off.
  void draw(int pages) {
    p_.set_preview(false);
    p_.begin_document();
    for (int i = 0; i < pages; ++i) {
      p_.set_y(i == 0 ? 0 : 20000);  // past the bottom: the next page
      p_.print_text("AB12345678");
    }
    p_.end_document();
  }
  PageHostWindow window() {
    return PageHostWindow(std::make_unique<PagePrinter>(queues_, metrics_, renderer_));
  }

  testing::TempDir dir_;
  testing::ScopedEnv log_{"ORVO_ERROR_LOG", (dir_ / "error.log").c_str()};
  testing::FakeHost host_;
  std::shared_ptr<testing::FakeQueues> queues_ = std::make_shared<testing::FakeQueues>();
  std::shared_ptr<testing::FixedMetrics> metrics_ = std::make_shared<testing::FixedMetrics>();
  std::shared_ptr<testing::FakeRenderer> renderer_ = std::make_shared<testing::FakeRenderer>();
  PagePrinter p_{queues_, metrics_, renderer_};
  const FontSpec f9_{"細明體", 9};
};
using CanvasTest = PagePrinterTest;
using DeliveryTest = PagePrinterTest;
using HostWindowTest = PagePrinterTest;

TEST_F(CanvasTest, TextsLandAtThePositionInTheFontSetBeforeThem) {
  PageCanvas fresh(queues_, metrics_);
  for (Margin m : {Margin::Left, Margin::Top, Margin::Right, Margin::Bottom}) {
    EXPECT_EQ(fresh.margin(m), 1440);  // an inch until a caller says otherwise
  }
  EXPECT_EQ(fresh.table_border(), 0);
  EXPECT_EQ(fresh.separators(), "|;");
  p_.set_margin(Margin::Left, 1200);
  p_.set_margin(Margin::Top, 300);
  p_.begin_document();
  EXPECT_EQ(p_.x(), 1200);  // a new document starts at the top-left margins
  EXPECT_EQ(p_.y(), 300);
  EXPECT_EQ(p_.font(), kDefaultFont);
  p_.print_text("預設");
  p_.set_font_name("細明體");
  p_.set_font_size(9);
  p_.set_x(5387.5);
  p_.set_y(750);
  p_.print_text("99");
  p_.set_x(6237);
  p_.print_text("03");  // position Y stays after a text
  p_.set_font_size(11);
  p_.set_y(-40);  // above the page: drawn where asked
  p_.print_text("第一行\r\n第二行");
  EXPECT_EQ(p_.y(), -40);
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
  std::vector<Rule> rules;
  for (const auto& r : testing::read_cases("page_printer_host/data/tables.tsv")) {
    if (r[0] == "table") {
      table = r;
      cells.clear();
      rules.clear();
    } else if (r[0] == "cell") {
      const Align align = r[5] == "R" ? Align::Right : Align::Left;
      cells.push_back({stod(r[1]), stod(r[2]), r[3], f9_, stod(r[4]), align});
    } else if (r[0] == "rule") {
      rules.push_back({stod(r[1]), stod(r[2]), stod(r[3]), stod(r[4])});
    } else {  // "ends": where position Y ends
      SCOPED_TRACE(table[1]);
      p_.set_margin(Margin::Left, 1000);
      p_.set_table_border(stol(table[2]));
      p_.set_separators(table[6]);
      begin();
      p_.set_x(7000);
      p_.set_y(2438);
      p_.add_table(table[3], table[4], table[5], true);
      EXPECT_EQ(page().texts, cells);
      EXPECT_EQ(page().rules, rules);
      EXPECT_EQ(p_.y(), stod(r[1]));
      EXPECT_EQ(p_.x(), 7000);
      ASSERT_EQ(page().tables.size(), 1u);
      EXPECT_EQ(page().tables[0], (TableRecord{1000, 2438, stod(r[1]), table[3], table[4],
                                               table[5], true}));
    }
  }
}

TEST_F(CanvasTest, RowsAndTextLinesThatPassTheBottomMarginGoToANewPage) {
  p_.set_margin(Margin::Top, 500);
  p_.set_margin(Margin::Bottom, kA4.height - 16000);  // rows and lines may end at 16000
  begin();
  p_.set_y(15550);
  p_.add_table("1000;", "", "a;b;c;");  // 15550 and 15775 fit, 16000 does not
  ASSERT_EQ(p_.document().pages.size(), 2u);
  EXPECT_EQ(page(0).texts.size(), 2u);
  EXPECT_EQ(page(0).texts[1].y, 15775);
  EXPECT_EQ(page(1).texts, (std::vector<TextRun>{{0, 500, "c", f9_, 1000, Align::Left}}));
  EXPECT_EQ(page(0).tables.at(0).bottom, 725);  // it ended on the second page
  EXPECT_EQ(p_.y(), 725);

  p_.set_y(15900);
  p_.print_text("x");
  EXPECT_EQ(p_.y(), 500);
  p_.set_y(15550);
  p_.print_text("上\r\n中\r\n下");  // the rest of a text goes on, position Y stays
  EXPECT_EQ(p_.y(), 15550);
  ASSERT_EQ(p_.document().pages.size(), 4u);
  EXPECT_EQ(page(2).texts, (std::vector<TextRun>{{0, 500, "x", f9_}, {0, 15550, "上", f9_},
                                                 {0, 15775, "中", f9_}}));
  EXPECT_EQ(page(3).texts, (std::vector<TextRun>{{0, 500, "下", f9_}}));
}

TEST_F(CanvasTest, PrinterAndPaperComeFromTheChosenOrCurrentQueue) {
  queues_->installed = {"WIN3PA4", "WiseInv"};
  queues_->current = "WiseInv";
  EXPECT_EQ(p_.printer_name(), "WiseInv");  // unset: the current printer
  p_.set_printer_name("WIN3PA4");
  EXPECT_EQ(p_.printer_name(), "WIN3PA4");
  EXPECT_EQ(p_.printer_name_at(1), "WiseInv");
  queues_->installed = {"A"};
  EXPECT_EQ(p_.printer_name_at(1), "WiseInv");  // from the last count
  EXPECT_EQ(p_.printer_count(), 1);
  EXPECT_EQ(p_.printer_name_at(0), "A");
  EXPECT_TRUE(p_.setting(57).is_empty());  // the forms' values are checked after each layout

  queues_->letter_queue = "LETTER";
  const PageSize letter{12240, 15840};
  for (const auto& [chosen, current, size] :
       {std::tuple{"", "", kA4}, {"", "LETTER", letter}, {"LETTER", "", letter},
        {"WIN3PA4", "LETTER", kA4}}) {
    queues_->current = current;
    p_.set_printer_name(chosen);
    p_.begin_document();
    EXPECT_EQ(p_.document().size, size) << chosen << "/" << current;
  }
  EXPECT_NEAR(kA4.width, 11905.5, 0.1);
  EXPECT_NEAR(kA4.height, 16837.8, 0.1);
}

TEST_F(CanvasTest, BadCallsRaiseErrorsThatSayWhatWasWrong) {
  queues_->installed = {"WIN3PA4"};
  metrics_->no_chinese = "Symbol";
  const std::map<std::string, std::function<void(const std::string&)>> calls = {
      {"print_text", [&](const std::string& a) { p_.print_text(a); }},
      {"end_document", [&](const std::string&) { p_.end_document(); }},
      {"add_table", [&](const std::string& a) { begin(), p_.add_table(a, "", ""); }},
      {"set_separators", [&](const std::string& a) { p_.set_separators(a); }},
      {"set_font_size", [&](const std::string& a) { p_.set_font_size(stod(a)); }},
      {"set_font_name", [&](const std::string& a) { p_.set_font_name(a); }},
      {"set_left_margin", [&](const std::string& a) { p_.set_margin(Margin::Left, stod(a)); }},
      {"printer_name_at", [&](const std::string& a) { p_.printer_name_at(stoi(a)); }},
      {"set_setting", [&](const std::string& a) { p_.set_setting(stoi(a), 1); }},
  };
  for (const auto& r : testing::read_cases("page_printer_host/data/canvas_errors.tsv")) {
    const Error e = raised([&] { calls.at(r[0])(r[1]); });
    EXPECT_EQ(e.number(), stoi(r[2])) << r[3];
    EXPECT_EQ(e.description(), r[3]);
  }
  EXPECT_EQ(p_.font(), f9_);  // refused values leave the old ones
  EXPECT_EQ(p_.separators(), "|;");
}

TEST_F(DeliveryTest, AnOutputFileWinsOverQueuesAQueueGetsOneJobAndAPreviewIsKept) {
  queues_->current = "WIN3PA4";
  for (const auto& r : testing::read_cases("page_printer_host/data/deliveries.tsv")) {
    SCOPED_TRACE(r[1] + r[2]);
    queues_->jobs.clear();
    p_.set_printer_name(r[2]);
    draw(stoi(r[0]));
    p_.set_preview(r[3] == "on");
    const auto output = r[1].empty() ? std::filesystem::path() : dir_ / r[1];
    const Delivered done = p_.deliver({output, "AB12345678"});
    EXPECT_EQ(done.to, r[4] == "files" ? To::Files : r[4] == "queue" ? To::Queue : To::Kept);
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 6; i + 1 < r.size(); i += 2) {
      files.push_back(dir_ / r[i]);
      EXPECT_EQ(read_file(files.back()), r[i + 1]);
    }
    EXPECT_EQ(done.files, files);
    if (files.empty() && !output.empty()) {
      EXPECT_FALSE(std::filesystem::exists(output));
    }
    EXPECT_EQ(done.queue, r[5]);
    if (r[5].empty()) {
      EXPECT_TRUE(queues_->jobs.empty());
    } else {
      ASSERT_EQ(queues_->jobs.size(), 1u);
      EXPECT_EQ(queues_->jobs[0].queue, r[5]);
      EXPECT_EQ(queues_->jobs[0].title, "AB12345678");
      EXPECT_EQ(queues_->jobs[0].pdf, "%PDF pages=1");
      EXPECT_EQ(done.job_id, 1);
    }
  }
}

TEST_F(DeliveryTest, EveryFailureIsAnErrorThatSaysWhereAndWhy) {
  std::filesystem::create_directories(dir_ / "adir.pdf");
  std::filesystem::create_symlink("/dev/full", dir_ / "full.pdf");
  const auto in_dir = [&](std::string s) {
    for (std::size_t at; (at = s.find("{dir}")) != std::string::npos;) {
      s.replace(at, 5, dir_.path.string());
    }
    return s;
  };
  for (const auto& r : testing::read_cases("page_printer_host/data/delivery_errors.tsv")) {
    p_.set_printer_name(r[0]);
    queues_->rejection = r[1];
    renderer_->failure = r[2];
    draw(1);
    const Error e = raised([&] { p_.deliver({in_dir(r[3]), "AB12345678"}); });
    EXPECT_EQ(e.number(), stoi(r[4])) << r[5];
    EXPECT_EQ(e.description(), in_dir(r[5]));
    EXPECT_TRUE(queues_->jobs.empty());
  }
  for (const char* name : {"x.png", "x.txt"}) {
    EXPECT_FALSE(std::filesystem::exists(dir_ / name)) << name;
  }

  // Nothing to deliver: never begun, or begun and not ended (a layout that failed half-way).
  PagePrinter fresh{queues_, metrics_, renderer_};
  fresh.set_preview(false);
  for (int begun = 0; begun < 2; ++begun) {
    if (begun) fresh.begin_document();
    const Error e = raised([&] { fresh.deliver({dir_ / "y.pdf", ""}); });
    EXPECT_EQ(e.description(), "no page document to deliver: begin and end one first");
  }
}

TEST_F(DeliveryTest, PrintRunsTheLayoutThenDelivers) {
  queues_->current = "WIN3PA4";
  EXPECT_EQ(p_.print({{}, "AB12345678"}, [&](PageCanvas&) { draw(1); }).to, To::Queue);
  ASSERT_EQ(queues_->jobs.size(), 1u);

  // A layout that fails half-way sends nothing, and its error passes through untouched.
  const Error e = raised([&] {
    p_.print({{}, "x"}, [](PageCanvas& c) {
      c.begin_document();
      c.add_table("bad;", "", "");
    });
  });
  EXPECT_EQ(e.number(), 5);
  EXPECT_EQ(queues_->jobs.size(), 1u);
}

TEST_F(HostWindowTest, LoadsOnceWithThePrintersDefaults) {
  PageHostWindow w = window();
  PagePrinter& vsp = w.vsp();
  vsp.set_preview(false);
  vsp.set_shown_page(4);
  EXPECT_FALSE(w.loaded());
  w.load(host_);
  EXPECT_TRUE(w.loaded());
  EXPECT_EQ(w.caption(), "報表預覽畫面");
  EXPECT_TRUE(vsp.preview());
  EXPECT_EQ(vsp.shown_page(), 1);
  EXPECT_EQ(vsp.setting(33), Variant(80));
  EXPECT_EQ(vsp.setting(41), Variant(6000));
  EXPECT_EQ(vsp.setting(171), Variant(3));
  EXPECT_EQ(vsp.font(), (FontSpec{"新細明體", 9.75}));

  // The next layout finds the window loaded and what the last one set.
  vsp.set_preview(false);
  vsp.set_font_size(9);
  w.load(host_);
  EXPECT_FALSE(vsp.preview());
  EXPECT_EQ(vsp.font().size, 9);
  EXPECT_TRUE(host_.boxes.empty());
}

TEST_F(HostWindowTest, ALoadErrorIsLoggedInThePlatformsWordsAndTheWindowStaysLoaded) {
  metrics_->no_chinese = "新細明體";
  const std::pair<std::int32_t, std::string> cases[] = {
      {380, "Invalid property value"},
      {438, "Object doesn't support this property or method"},
      {7, "Out of memory"},
      {1234, "Application-defined or object-defined error"},
  };
  for (const auto& [number, words] : cases) {
    metrics_->font_error = number;
    host_.boxes.clear();
    PageHostWindow w = window();
    w.load(host_);
    EXPECT_TRUE(w.loaded());
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].text, box("Form_Load", number, words));
    EXPECT_TRUE(w.vsp().preview());  // what ran before the error stays
  }
  EXPECT_FALSE(testing::read_file(dir_ / "error.log").empty());
}

TEST_F(HostWindowTest, IsPrinterInstalledComparesNamesExactly) {
  const std::tuple<std::vector<std::string>, Variant, bool> cases[] = {
      {{}, "WIN3PA4", false},
      {{"WiseInv", "WIN3PA4"}, "WIN3PA4", true},
      {{"WiseInv", "WIN3PA4"}, "win3pa4", false},
      {{"WiseInv"}, "WISEINV", false},
      {{"WIN3PA4"}, "WIN3PA4 ", false},
      {{"WIN3PA4"}, Variant::null(), false},
      {{"12"}, 12, true},
  };
  PageHostWindow w = window();
  w.load(host_);
  for (const auto& [installed, asked, found] : cases) {
    queues_->installed = installed;
    EXPECT_EQ(w.IsPrinterInstalled(host_, asked), Variant(found)) << Str(asked);
  }
  EXPECT_TRUE(host_.boxes.empty());

  queues_->listing_error = "cannot list the CUPS printers: Forbidden";
  EXPECT_EQ(w.IsPrinterInstalled(host_, "WIN3PA4"), Variant(false));
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(host_.boxes[0].text,
            box("IsPrinterInstalled", 68, "cannot list the CUPS printers: Forbidden"));
}

// Chinese numerals live in the shared utilities; the page layouts are their only users.
TEST_F(HostWindowTest, Num2Cstr8FillsEightBoxesOfNumeralsOrReportsWhyNot) {
  for (const auto& c : testing::read_cases("page_printer_host/data/num2cstr8.tsv")) {
    host_.boxes.clear();
    EXPECT_EQ(Num2Cstr8(host_, testing::case_value(c[0])), c[1]) << c[0];
    ASSERT_EQ(host_.boxes.size(), c.size() - 2) << c[0];
    if (c.size() > 2) {
      EXPECT_EQ(host_.boxes[0].text, c[2]);
    }
  }
}

}  // namespace
}  // namespace orvo::page
