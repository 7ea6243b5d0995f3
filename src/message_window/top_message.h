#pragma once
// frmTopMsg: the modal prompt that stays above every other window and closes by itself after a
// number of seconds. InvHead asks the operator to change the invoice roll through it.
#include <gtk/gtk.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "message_window/form_set.h"
#include "shared/host.h"
#include "shared/variant.h"

namespace orvo {

// Opens GTK's default display once; false, with the reason in `why`, when there is none.
bool open_desktop(std::string& why);

class frmTopMsg {
 public:
  struct Controls {
    GtkWidget* Frame1 = nullptr;
    GtkWidget* lblCustName = nullptr;
    GtkWidget* lblMsg = nullptr;
    GtkWidget* txtMsg = nullptr;
    GtkWidget* cmdOK = nullptr;
  };

  // The file description that lblMsg shows.
  static constexpr const char* kFileDescription = "OrvoInvoice";

  // Errors are reported through the error log on `host`.
  explicit frmTopMsg(Host& host);
  ~frmTopMsg();
  frmTopMsg(const frmTopMsg&) = delete;
  frmTopMsg& operator=(const frmTopMsg&) = delete;

  // Shows `pvMsg` and returns once the window has closed: by the operator, or after `pvSeconds`
  // one-second ticks (a 16-bit integer; 3 when not given, at the first tick when 0 or below).
  void SHOWMSG(const Variant& pvMsg, const std::optional<Variant>& pvSeconds = std::nullopt);

  std::int16_t seconds() const { return seconds_; }
  std::int16_t ticks() const { return ticks_; }

  // While loaded: the window, its controls and its settings; nullptr otherwise.
  bool loaded() const { return window_ != nullptr; }
  GtkWindow* window() const { return window_; }
  const Controls& controls() const { return controls_; }
  const clsFormSet* form_settings() const { return form_set_.get(); }
  std::string message_text() const;

 private:
  friend struct TopMessageEvents;

  void load();
  void build();
  void start_timer();
  void show_modal();
  bool tick();
  void unload();

  Host& host_;
  GtkWindow* window_ = nullptr;
  Controls controls_;
  std::unique_ptr<clsFormSet> form_set_;
  std::int16_t seconds_ = 0;
  std::int16_t ticks_ = 0;
  guint timer_ = 0;
  GMainLoop* modal_loop_ = nullptr;
};

}  // namespace orvo
