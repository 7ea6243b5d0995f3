// The hosts on Windows: the desktop one (message boxes, the topmost prompt window, the wait
// cursor, the message pump) and the console one for the tool's --prompt terminal and none.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "message_window/top_message_win.h"
#include "platform/windows/desktop_host.h"
#include "platform/windows/wide.h"
#include "shared/host.h"

namespace orvo {

namespace {

DateValue local_now(const TerminalHostOptions& options) {
  if (options.fixed_now) return *options.fixed_now;
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  return date_from_civil({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond});
}

void pause_for(const TerminalHostOptions& options, long ms) {
  if (!options.no_pause && ms > 0) ::Sleep(static_cast<DWORD>(ms));
}

class DesktopHost : public Host {
 public:
  explicit DesktopHost(TerminalHostOptions options) : options_(std::move(options)) {}

  void beep() override { ::MessageBeep(MB_OK); }

  void message_box(const std::string& text, BoxIcon icon) override {
    const UINT style = icon == BoxIcon::Information   ? MB_ICONINFORMATION
                       : icon == BoxIcon::Exclamation ? MB_ICONEXCLAMATION
                                                      : MB_ICONERROR;
    ::MessageBoxW(::GetActiveWindow(), win::widen(text).c_str(), L"OrvoInvoice",
                  style | MB_OK | MB_TASKMODAL);
  }

  void set_busy(bool busy) override {
    if (busy) {
      saved_cursor_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    } else {
      ::SetCursor(saved_cursor_ ? saved_cursor_ : ::LoadCursorW(nullptr, IDC_ARROW));
    }
  }

  void do_events() override {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));  // the host's own loop ends on it
        return;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }

  void show_message(const std::string& text, std::int16_t seconds) override {
    win::frmTopMsg(*this).SHOWMSG(Variant(text), Variant(seconds));
  }

  DateValue now() override { return local_now(options_); }
  void sleep_ms(long ms) override { pause_for(options_, ms); }

 private:
  TerminalHostOptions options_;
  HCURSOR saved_cursor_ = nullptr;
};

void write_stderr(const std::string& s) {
  std::fwrite(s.data(), 1, s.size(), stderr);
  std::fflush(stderr);
}

// The console: boxes and prompts as text on stderr; the prompt waits for Enter on the console.
class ConsoleHost : public Host {
 public:
  explicit ConsoleHost(TerminalHostOptions options) : options_(std::move(options)) {}

  void beep() override { ::MessageBeep(MB_OK); }
  void message_box(const std::string& text, BoxIcon icon) override {
    const char* label = icon == BoxIcon::Information   ? "Information"
                        : icon == BoxIcon::Exclamation ? "Warning"
                                                       : "Error";
    write_stderr(std::string("[") + label + "] " + plain_lines(text) + "\n");
  }
  void set_busy(bool) override {}
  void do_events() override {}

  void show_message(const std::string& text, std::int16_t seconds) override {
    write_stderr(plain_lines(text) + "\n");
    if (options_.prompt == PromptMode::None) return;
    const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = in != INVALID_HANDLE_VALUE && ::GetConsoleMode(in, &mode);
    if (!console && options_.prompt == PromptMode::Auto) return;
    const int limit = seconds <= 0 ? 1 : seconds;
    write_stderr("(press Enter to continue, closes by itself after " + std::to_string(limit) +
                 " s)\n");
    if (!console) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limit);
    ::FlushConsoleInputBuffer(in);
    for (;;) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return;
      const DWORD slice = static_cast<DWORD>(std::min<long long>(left.count(), 200));
      if (options_.stop_requested && options_.stop_requested()) return;
      if (::WaitForSingleObject(in, slice) != WAIT_OBJECT_0) continue;
      INPUT_RECORD record;
      DWORD read = 0;
      if (!::ReadConsoleInputW(in, &record, 1, &read) || read == 0) return;
      if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
          record.Event.KeyEvent.wVirtualKeyCode == VK_RETURN)
        return;
    }
  }

  DateValue now() override { return local_now(options_); }
  void sleep_ms(long ms) override { pause_for(options_, ms); }

 private:
  TerminalHostOptions options_;
};

}  // namespace

std::unique_ptr<Host> make_terminal_host(TerminalHostOptions options) {
  return std::make_unique<ConsoleHost>(std::move(options));
}

// Windows always has a desktop for a window; Auto takes it only for an interactive session.
std::unique_ptr<Host> make_host(TerminalHostOptions options) {
  const bool gui = options.prompt == PromptMode::Gui ||
                   (options.prompt == PromptMode::Auto && ::GetConsoleWindow() == nullptr);
  if (gui) return std::make_unique<DesktopHost>(std::move(options));
  return make_terminal_host(std::move(options));
}

std::unique_ptr<Host> make_desktop_host(TerminalHostOptions options) {
  return std::make_unique<DesktopHost>(std::move(options));
}

}  // namespace orvo
