#pragma once
// The host behind a C object: the callbacks the caller gave, else the built-in choice of prompt
// and boxes, made only when first needed (a window host loads GTK).
#include <memory>

#include "orvo-invoice/orvo_invoice.h"
#include "shared/host.h"

namespace orvo::c_api {

class CallbackHost : public Host {
 public:
  void set_callbacks(const orvo_host_callbacks* callbacks);
  // Takes effect for what is made from now on.
  void set_options(TerminalHostOptions options);
  const TerminalHostOptions& options() const { return options_; }

  void beep() override;
  void message_box(const std::string& text, BoxIcon icon) override;
  void set_busy(bool busy) override;
  void do_events() override;
  void show_message(const std::string& text, std::int16_t seconds) override;
  DateValue now() override;
  void sleep_ms(long ms) override;

 private:
  Host& built_in();
  Host& clock();

  orvo_host_callbacks callbacks_{};
  TerminalHostOptions options_;
  std::unique_ptr<Host> built_in_;
  std::unique_ptr<Host> clock_;  // the terminal host: a clock and a sleeper, never a window
};

}  // namespace orvo::c_api
