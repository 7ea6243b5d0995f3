#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

#include "shared/host.h"

#include "shared/unique_fd.h"

namespace orvo {

namespace {

void write_stderr(std::string_view s) {
  while (!s.empty()) {
    ssize_t n = ::write(STDERR_FILENO, s.data(), s.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    s.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string as_lines(std::string_view text) { return plain_lines(text) + '\n'; }

const char* icon_label(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Information: return "Information";
    case BoxIcon::Exclamation: return "Warning";
    case BoxIcon::Critical: return "Error";
  }
  return "Message";
}


UniqueFd open_tty() {
  int fd;
  do {
    fd = ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return UniqueFd(fd);
}

// Waits until the operator ends a line on `fd` or the time is up; end of input also closes, and
// so does a signal after which `stop` says the process is stopping.
void wait_for_enter(int fd, std::chrono::seconds limit, const std::function<bool()>& stop) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + limit;
  char buf[256];
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return;
    pollfd p{fd, POLLIN, 0};
    int r = ::poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno == EINTR && stop && stop()) return;
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return;
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return;
    for (ssize_t i = 0; i < n; ++i) {
      if (buf[i] == '\n') return;
    }
  }
}

class TerminalHost : public Host {
 public:
  explicit TerminalHost(TerminalHostOptions options) : options_(std::move(options)) {}

  void beep() override {
    if (::isatty(STDERR_FILENO)) write_stderr("\a");
  }

  void message_box(const std::string& text, BoxIcon icon) override {
    write_stderr(std::string("[") + icon_label(icon) + "] " + as_lines(text));
  }

  void set_busy(bool busy) override { busy_ = busy; }
  void do_events() override { ++events_; }

  void show_message(const std::string& text, std::int16_t seconds) override {
    write_stderr(as_lines(text));
    if (options_.prompt == PromptMode::None) return;

    UniqueFd tty = open_tty();
    const int fd = tty.get() >= 0 ? tty.get() : ::isatty(STDIN_FILENO) ? STDIN_FILENO : -1;
    // Auto prompts only when someone can answer.
    if (fd < 0 && options_.prompt == PromptMode::Auto) return;

    // Like a window that closes on its first one-second tick.
    const int limit = seconds <= 0 ? 1 : seconds;
    write_stderr("(press Enter to continue, closes by itself after " + std::to_string(limit) +
                 " s)\n");
    if (fd < 0) return;
    wait_for_enter(fd, std::chrono::seconds(limit), options_.stop_requested);
  }

  DateValue now() override {
    if (options_.fixed_now) return *options_.fixed_now;
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    if (::localtime_r(&t, &tm) == nullptr) return {};
    return date_from_civil(
        {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
  }

  void sleep_ms(long ms) override {
    if (options_.no_pause || ms <= 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

 private:
  TerminalHostOptions options_;
  bool busy_ = false;
  long events_ = 0;
};

}  // namespace

std::unique_ptr<Host> make_terminal_host(TerminalHostOptions options) {
  return std::make_unique<TerminalHost>(std::move(options));
}

}  // namespace orvo
