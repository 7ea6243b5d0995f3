#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>

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

// Ctrl-C during the roll-change prompt: the signal wakes the wait, and the process is stopping.
TEST(TerminalHost, AStopRequestEndsThePromptsWait) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master) | ::unlockpt(master), 0);
  const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
  const int saved_stdin = ::dup(STDIN_FILENO);
  ASSERT_EQ(::dup2(slave, STDIN_FILENO), STDIN_FILENO);  // nobody types on it
  struct sigaction wake {
  }, old{};
  wake.sa_handler = [](int) {};
  ::sigaction(SIGUSR1, &wake, &old);

  std::atomic<bool> stopping{false}, done{false};
  TerminalHostOptions options;
  options.prompt = PromptMode::Terminal;
  options.stop_requested = [&] { return stopping.load(); };
  auto host = make_terminal_host(options);
  const pthread_t waiting = ::pthread_self();
  std::thread signaller([&] {
    stopping = true;
    while (!done) {
      ::pthread_kill(waiting, SIGUSR1);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  host->show_message("請更換發票後按[確定]", 20);
  const auto waited = std::chrono::steady_clock::now() - start;
  done = true;
  signaller.join();
  GetCapturedStderr();
  ::sigaction(SIGUSR1, &old, nullptr);
  ::dup2(saved_stdin, STDIN_FILENO);
  ::close(saved_stdin);
  ::close(slave);
  ::close(master);
  EXPECT_LT(waited, std::chrono::seconds(10));
}

}  // namespace
}  // namespace orvo
