#pragma once
// What the component takes from the host's window toolkit, as one replaceable interface. Tests
// use a recording fake; the command-line tool uses the terminal host.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "shared/variant.h"

namespace orvo {

enum class BoxIcon { Information, Exclamation, Critical };

class Host {
 public:
  virtual ~Host() = default;

  virtual void beep() = 0;
  virtual void message_box(const std::string& text, BoxIcon icon) = 0;
  virtual void set_busy(bool busy) = 0;
  // Lets pending window events run.
  virtual void do_events() = 0;
  // The topmost operator prompt: returns when the operator closes it or after `seconds` ticks.
  virtual void show_message(const std::string& text, std::int16_t seconds) = 0;
  // The clock: "now" as a date value.
  virtual DateValue now() = 0;
  virtual void sleep_ms(long ms) = 0;
};

// The busy pointer for the length of a scope, restored on every exit.
class BusyPointer {
 public:
  explicit BusyPointer(Host& host) : host_(host) { host_.set_busy(true); }
  ~BusyPointer() { host_.set_busy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Host& host_;
};

// Auto: a window on a desktop, else the terminal when someone can answer there. Gui: always the
// window. Terminal: always count down. None: only show the text.
enum class PromptMode { Auto, Terminal, None, Gui };

struct TerminalHostOptions {
  std::optional<DateValue> fixed_now;  // the clock stands still at this moment
  bool no_pause = false;               // pauses return at once
  PromptMode prompt = PromptMode::Auto;
  // Asked when a signal wakes the prompt's wait: true ends the wait (the process is stopping).
  std::function<bool()> stop_requested;
};

// Box texts end lines with CR LF; a toolkit wants "\n", and no line end after the last line.
std::string plain_lines(std::string_view text);

// Boxes and prompts on stderr; the prompt waits for Enter on a terminal or until its seconds pass.
std::unique_ptr<Host> make_terminal_host(TerminalHostOptions options = {});

// The host that `options.prompt` asks for: Gui the window (raises kDeviceUnavailable naming the
// display, or the module, when there is none), Auto the window when a display opens and the
// terminal otherwise, Terminal and None the terminal. The window comes from the module
// orvo-window.so, loaded only when a display is named.
std::unique_ptr<Host> make_host(TerminalHostOptions options);

// Suspends for Int(seconds * 1000) milliseconds through the host's sleeper.
void Pause(Host& host, double seconds);

// The date in the Republic of China calendar: "99/03/05", "113/03/05". Without a date, today.
// A value that is no date is reported through the error log and gives "".
std::string ROCDate8(Host& host, const std::optional<Variant>& date = std::nullopt);

}  // namespace orvo
