#include "page_printer_host/host_window.h"

#include <gtest/gtest.h>

#include "page_printer_host/page_fakes.h"
#include "shared/case_file.h"
#include "shared/numerals.h"
#include "support/fake_host.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo::page {
namespace {

class HostWindowTest : public ::testing::Test {
 protected:
  PageHostWindow window() {
    return PageHostWindow(std::make_unique<PagePrinter>(queues_, metrics_,
                                                        std::make_shared<testing::FakeRenderer>()));
  }

  testing::TempDir dir_;
  testing::ScopedEnv log_{"ORVO_ERROR_LOG", (dir_ / "error.log").c_str()};
  testing::FakeHost host_;
  std::shared_ptr<testing::FakeQueues> queues_ = std::make_shared<testing::FakeQueues>();
  std::shared_ptr<testing::FixedMetrics> metrics_ = std::make_shared<testing::FixedMetrics>();
};

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
    EXPECT_EQ(host_.boxes[0].text, "處理程序: (Form_Load)\r\n執行錯誤, 代碼: " +
                                       std::to_string(number) + "\r\n訊息: \r\n     " + words +
                                       "\r\n\r\n");
    EXPECT_TRUE(w.vsp().preview());  // what ran before the error stays
  }
  EXPECT_FALSE(testing::read_file(dir_ / "error.log").empty());
}

TEST_F(HostWindowTest, IsPrinterInstalledComparesNamesExactly) {
  struct Case {
    std::vector<std::string> installed;
    Variant asked;
    bool found;
  } cases[] = {
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
  for (const Case& c : cases) {
    queues_->installed = c.installed;
    EXPECT_EQ(w.IsPrinterInstalled(host_, c.asked), Variant(c.found)) << Str(c.asked);
  }
  EXPECT_TRUE(host_.boxes.empty());

  queues_->listing_error = "cannot list the CUPS printers: Forbidden";
  EXPECT_EQ(w.IsPrinterInstalled(host_, "WIN3PA4"), Variant(false));
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(host_.boxes[0].text,
            "處理程序: (IsPrinterInstalled)\r\n執行錯誤, 代碼: 68\r\n訊息: \r\n"
            "     cannot list the CUPS printers: Forbidden\r\n\r\n");
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
