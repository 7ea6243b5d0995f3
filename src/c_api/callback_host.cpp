#include "c_api/callback_host.h"

#include <utility>

namespace orvo::c_api {

void CallbackHost::set_callbacks(const orvo_host_callbacks* callbacks) {
  callbacks_ = callbacks ? *callbacks : orvo_host_callbacks{};
}

void CallbackHost::set_options(TerminalHostOptions options) {
  options_ = std::move(options);
  built_in_.reset();
  clock_.reset();
}

Host& CallbackHost::built_in() {
  if (!built_in_) built_in_ = make_host(options_);
  return *built_in_;
}

Host& CallbackHost::clock() {
  if (!clock_) clock_ = make_terminal_host(options_);
  return *clock_;
}

void CallbackHost::beep() {
  if (callbacks_.beep) return callbacks_.beep(callbacks_.context);
  built_in().beep();
}

void CallbackHost::message_box(const std::string& text, BoxIcon icon) {
  if (!callbacks_.message_box) return built_in().message_box(text, icon);
  const orvo_box_icon c_icon = icon == BoxIcon::Critical      ? ORVO_BOX_CRITICAL
                               : icon == BoxIcon::Exclamation ? ORVO_BOX_EXCLAMATION
                                                              : ORVO_BOX_INFORMATION;
  callbacks_.message_box(callbacks_.context, plain_lines(text).c_str(), c_icon);
}

void CallbackHost::set_busy(bool busy) {
  if (callbacks_.busy) return callbacks_.busy(callbacks_.context, busy ? 1 : 0);
  built_in().set_busy(busy);
}

void CallbackHost::do_events() {
  if (callbacks_.do_events) return callbacks_.do_events(callbacks_.context);
  built_in().do_events();
}

void CallbackHost::show_message(const std::string& text, std::int16_t seconds) {
  if (callbacks_.prompt) return callbacks_.prompt(callbacks_.context, plain_lines(text).c_str(), seconds);
  built_in().show_message(text, seconds);
}

DateValue CallbackHost::now() { return clock().now(); }

void CallbackHost::sleep_ms(long ms) { clock().sleep_ms(ms); }

}  // namespace orvo::c_api
