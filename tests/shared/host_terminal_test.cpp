#include <gtest/gtest.h>

#include "shared/host.h"

namespace orvo {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// A broken host would wait an hour here: the test then hangs instead of passing.
constexpr std::int16_t kLongSeconds = 3600;

TEST(TerminalHost, BoxesAndUnpromptedMessagesGoToStderr) {
  TerminalHostOptions options;
  options.prompt = PromptMode::None;
  auto host = make_terminal_host(options);
  CaptureStderr();
  host->beep();  // stderr is a file here, so no bell
  host->message_box("處理程序: (X)\r\n訊息: \r\n     bad\r\n\r\n", BoxIcon::Exclamation);
  host->message_box("done", BoxIcon::Information);
  host->message_box("a\rb", BoxIcon::Critical);
  host->show_message("請稍候\r\n列印中", kLongSeconds);
  EXPECT_EQ(GetCapturedStderr(),
            "[Warning] 處理程序: (X)\n訊息: \n     bad\n"
            "[Information] done\n"
            "[Error] a\nb\n"
            "請稍候\n列印中\n");
}

TEST(TerminalHost, FixedClockAndNoPause) {
  const DateValue fixed = date_from_civil({2024, 2, 29, 23, 59, 58});
  TerminalHostOptions options;
  options.fixed_now = fixed;
  options.no_pause = true;
  auto host = make_terminal_host(options);
  EXPECT_EQ(host->now(), fixed);
  EXPECT_EQ(host->now(), fixed);
  host->sleep_ms(kLongSeconds * 1000L);

  auto live = make_terminal_host();
  EXPECT_GE(civil_from_date(live->now()).year, 2024);
}

}  // namespace
}  // namespace orvo
