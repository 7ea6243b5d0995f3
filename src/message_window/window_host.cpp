#include "message_window/window_host.h"

#include <gtk/gtk.h>

#include <string>

#include "message_window/top_message.h"

namespace orvo {

namespace {

GtkMessageType message_type(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Information:
      return GTK_MESSAGE_INFO;
    case BoxIcon::Exclamation:
      return GTK_MESSAGE_WARNING;
    case BoxIcon::Critical:
      return GTK_MESSAGE_ERROR;
  }
  return GTK_MESSAGE_OTHER;
}

class WindowHost : public Host {
 public:
  explicit WindowHost(TerminalHostOptions options)
      : terminal_(make_terminal_host(std::move(options))), prompt_(*this) {}

  void beep() override { gdk_display_beep(gdk_display_get_default()); }

  void message_box(const std::string& text, BoxIcon icon) override {
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, message_type(icon),
                                            GTK_BUTTONS_OK, "%s", plain_lines(text).c_str());
    gtk_window_set_title(GTK_WINDOW(box), frmTopMsg::kFileDescription);
    // Above the prompt, which may be what reported the error.
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
  }

  void set_busy(bool busy) override { terminal_->set_busy(busy); }

  void do_events() override {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  }

  void show_message(const std::string& text, std::int16_t seconds) override {
    prompt_.SHOWMSG(Variant(text), Variant(seconds));
  }

  DateValue now() override { return terminal_->now(); }
  void sleep_ms(long ms) override { terminal_->sleep_ms(ms); }

 private:
  std::unique_ptr<Host> terminal_;
  frmTopMsg prompt_;
};

}  // namespace

std::unique_ptr<Host> make_window_host(TerminalHostOptions options, std::string* why) {
  std::string reason;
  if (!open_desktop(reason)) {
    if (why) *why = reason;
    return nullptr;
  }
  return std::make_unique<WindowHost>(std::move(options));
}

}  // namespace orvo

extern "C" __attribute__((visibility("default"))) orvo::Host* orvo_window_host_v1(
    const orvo::TerminalHostOptions* options, std::string* why) {
  return orvo::make_window_host(*options, why).release();
}
