#include "message_window/top_message.h"

#include <cstdio>
#include <cstdlib>

#include "shared/errlog.h"
#include "shared/errors.h"

namespace orvo {

namespace {

constexpr std::int32_t kFormAlreadyDisplayed = 400;
constexpr std::int16_t kDefaultSeconds = 3;
constexpr guint kTickMs = 1000;

// Positions and sizes in twips; colours as &H00BBGGRR.
struct Place {
  int left, top, width, height;
};
constexpr Place kClient{0, 0, 6765, 4635};
constexpr Place kFrame1{60, 0, 6660, 3735};
constexpr Place kLblCustName{150, 210, 2625, 375};
constexpr Place kLblMsg{5295, 150, 1065, 390};
constexpr Place kTxtMsg{240, 660, 6210, 2835};
constexpr Place kCmdOK{2340, 3915, 1875, 615};

constexpr std::uint32_t kDarkBlue = 0x00C00000;
constexpr std::uint32_t kLightCyan = 0x00FFFF80;
constexpr std::uint32_t kLightYellow = 0x00C0FFFF;
constexpr std::uint32_t kDarkRed = 0x000000C0;

// The fonts the layout names (Arial, Times New Roman, 新細明體) have no CJK glyphs here or are
// missing; one CJK sans face stands in for all of them.
constexpr const char* kFace = "\"WenQuanYi Zen Hei\", \"Noto Sans CJK TC\", sans-serif";

std::string css_colour(std::uint32_t bgr) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", bgr & 0xFF, (bgr >> 8) & 0xFF,
                (bgr >> 16) & 0xFF);
  return buf;
}

std::string css_font(const char* points, bool bold) {
  return std::string("font-family: ") + kFace + "; font-size: " + points +
         "pt; font-weight: " + (bold ? "bold" : "normal") + ";";
}

std::string style_sheet() {
  const std::string cyan = css_colour(kLightCyan);
  std::string css = "#Frame1 { background-color: " + css_colour(kDarkBlue) + "; }\n";
  css += "#lblCustName { color: " + cyan + "; " + css_font("14.25", false) + " }\n";
  css += "#lblMsg { color: " + cyan + "; " + css_font("18", true) + " }\n";
  css += "#txtMsg text { background-color: " + css_colour(kLightYellow) +
         "; color: " + css_colour(kDarkRed) + "; " + css_font("15.75", true) + " }\n";
  css += "#cmdOK { " + css_font("14.25", false) + " }\n";
  return css;
}

// Nothing may unwind through GTK's C frames.
template <typename F>
void guarded(F&& f) noexcept {
  try {
    f();
  } catch (...) {
  }
}

}  // namespace

bool open_desktop(std::string& why) {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* display = x && *x ? x : wayland && *wayland ? wayland : nullptr;
  if (!display) {
    why = "no desktop: DISPLAY and WAYLAND_DISPLAY are unset";
    return false;
  }
  if (gtk_init_check(nullptr, nullptr)) return true;
  why = std::string("cannot open the display \"") + display + "\"";
  return false;
}

// The window's event handlers, with access to the form.
struct TopMessageEvents {
  static void close(frmTopMsg& f) { f.unload(); }

  static gboolean key_press(GtkWidget*, GdkEventKey* e, gpointer self) {
    if (gdk_keyval_to_unicode(e->keyval) == 0) return FALSE;
    guarded([&] { close(*static_cast<frmTopMsg*>(self)); });
    return TRUE;
  }
  // A click is a left-button release over the control that took the press.
  static gboolean click(GtkWidget*, GdkEventButton* e, gpointer self) {
    if (e->button != GDK_BUTTON_PRIMARY) return FALSE;
    guarded([&] { close(*static_cast<frmTopMsg*>(self)); });
    return TRUE;
  }
  static gboolean swallow(GtkWidget*, GdkEventButton*, gpointer) { return TRUE; }
  static void ok_clicked(GtkButton*, gpointer self) {
    guarded([&] { close(*static_cast<frmTopMsg*>(self)); });
  }
  static gboolean delete_event(GtkWidget*, GdkEvent*, gpointer self) {
    guarded([&] { close(*static_cast<frmTopMsg*>(self)); });
    return TRUE;
  }
  static gboolean timer(gpointer self) {
    bool again = false;
    guarded([&] { again = static_cast<frmTopMsg*>(self)->tick(); });
    return again ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
  }
};

frmTopMsg::frmTopMsg(Host& host) : host_(host) {}

frmTopMsg::~frmTopMsg() { unload(); }

void frmTopMsg::SHOWMSG(const Variant& pvMsg, const std::optional<Variant>& pvSeconds) {
  try {
    seconds_ = pvSeconds ? CInt(*pvSeconds) : kDefaultSeconds;
    ticks_ = 0;
    start_timer();
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(controls_.txtMsg));
    gtk_text_buffer_set_text(buffer, Str(pvMsg).c_str(), -1);
    show_modal();
  } catch (...) {
    ErrLog(host_, "frmTopMsg_ShowMsg", current_error());
  }
}

std::string frmTopMsg::message_text() const {
  if (!controls_.txtMsg) return "";
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(controls_.txtMsg));
  GtkTextIter begin;
  GtkTextIter end;
  gtk_text_buffer_get_bounds(buffer, &begin, &end);
  gchar* text = gtk_text_buffer_get_text(buffer, &begin, &end, FALSE);
  std::string out(text);
  g_free(text);
  return out;
}

void frmTopMsg::start_timer() {
  if (!loaded()) load();
  if (!loaded()) raise(err::kDeviceUnavailable, "the message window could not be loaded");
  if (timer_) g_source_remove(timer_);
  timer_ = g_timeout_add(kTickMs, &TopMessageEvents::timer, this);
}

void frmTopMsg::load() {
  try {
    std::string why;
    if (!open_desktop(why)) raise(err::kDeviceUnavailable, why);
    build();
    form_set_ = std::make_unique<clsFormSet>();
    form_set_->ParentForm(window_);
    form_set_->AlwaysOnTop(true);
    // lblCustName starts empty.
    gtk_label_set_text(GTK_LABEL(controls_.lblMsg), kFileDescription);
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(controls_.txtMsg)), "", -1);
  } catch (...) {
    ErrLog(host_, "frmTopMsg_Form_Load", current_error());
  }
}

void frmTopMsg::build() {
  const double tpp = screen_twips_per_pixel();
  auto px = [tpp](int twips) { return twips_to_pixels(twips, tpp); };
  auto place = [&](GtkFixed* on, GtkWidget* w, const Place& p) {
    gtk_widget_set_size_request(w, px(p.width), px(p.height));
    gtk_fixed_put(on, w, px(p.left), px(p.top));
  };

  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, style_sheet().c_str(), -1, nullptr);
  auto named = [css](GtkWidget* w, const char* name) {
    gtk_widget_set_name(w, name);
    gtk_style_context_add_provider(gtk_widget_get_style_context(w), GTK_STYLE_PROVIDER(css),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    return w;
  };

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  window_ = GTK_WINDOW(window);
  gtk_window_set_title(window_, "");
  gtk_window_set_resizable(window_, FALSE);
  gtk_window_set_modal(window_, TRUE);
  gtk_window_set_position(window_, GTK_WIN_POS_CENTER);
  g_signal_connect(window, "key-press-event", G_CALLBACK(&TopMessageEvents::key_press), this);
  g_signal_connect(window, "delete-event", G_CALLBACK(&TopMessageEvents::delete_event), this);

  GtkWidget* client = gtk_fixed_new();
  gtk_widget_set_size_request(client, px(kClient.width), px(kClient.height));
  gtk_container_add(GTK_CONTAINER(window), client);

  controls_.Frame1 = named(gtk_event_box_new(), "Frame1");
  place(GTK_FIXED(client), controls_.Frame1, kFrame1);
  g_signal_connect(controls_.Frame1, "button-release-event", G_CALLBACK(&TopMessageEvents::click),
                   this);
  GtkWidget* on_frame = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(controls_.Frame1), on_frame);

  // A label takes its own clicks, so a click on it is none of the frame's.
  auto label = [&](const char* name, const Place& p) {
    GtkWidget* l = named(gtk_label_new(""), name);
    gtk_label_set_xalign(GTK_LABEL(l), 0);
    gtk_label_set_yalign(GTK_LABEL(l), 0);
    // Cut to its place, as the layout fixes the size, rather than widen the window.
    gtk_label_set_ellipsize(GTK_LABEL(l), PANGO_ELLIPSIZE_END);
    gtk_label_set_max_width_chars(GTK_LABEL(l), 1);
    GtkWidget* box = gtk_event_box_new();
    gtk_event_box_set_visible_window(GTK_EVENT_BOX(box), FALSE);
    g_signal_connect(box, "button-press-event", G_CALLBACK(&TopMessageEvents::swallow), nullptr);
    g_signal_connect(box, "button-release-event", G_CALLBACK(&TopMessageEvents::swallow), nullptr);
    gtk_container_add(GTK_CONTAINER(box), l);
    place(GTK_FIXED(on_frame), box, p);
    return l;
  };
  controls_.lblCustName = label("lblCustName", kLblCustName);
  controls_.lblMsg = label("lblMsg", kLblMsg);

  controls_.txtMsg = named(gtk_text_view_new(), "txtMsg");
  GtkTextView* text = GTK_TEXT_VIEW(controls_.txtMsg);
  gtk_text_view_set_editable(text, FALSE);
  gtk_text_view_set_cursor_visible(text, FALSE);
  gtk_text_view_set_wrap_mode(text, GTK_WRAP_WORD_CHAR);
  gtk_text_view_set_left_margin(text, 4);
  gtk_text_view_set_right_margin(text, 4);
  gtk_text_view_set_top_margin(text, 4);
  gtk_widget_set_can_focus(controls_.txtMsg, FALSE);
  place(GTK_FIXED(on_frame), controls_.txtMsg, kTxtMsg);
  g_signal_connect(controls_.txtMsg, "button-release-event", G_CALLBACK(&TopMessageEvents::click),
                   this);

  controls_.cmdOK = named(gtk_button_new_with_label("確定"), "cmdOK");
  place(GTK_FIXED(client), controls_.cmdOK, kCmdOK);
  g_signal_connect(controls_.cmdOK, "clicked", G_CALLBACK(&TopMessageEvents::ok_clicked), this);
  gtk_widget_grab_focus(controls_.cmdOK);

  g_object_unref(css);
}

void frmTopMsg::show_modal() {
  if (modal_loop_) raise(kFormAlreadyDisplayed, "Form already displayed; can't show modally");
  gtk_widget_show_all(GTK_WIDGET(window_));
  gtk_window_present(window_);
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  modal_loop_ = loop;
  if (loaded()) g_main_loop_run(loop);
  modal_loop_ = nullptr;
  g_main_loop_unref(loop);
}

bool frmTopMsg::tick() {
  try {
    ticks_ = add16(ticks_, 1);
    if (ticks_ >= seconds_) {
      timer_ = 0;  // this source ends as the handler returns
      unload();
      return false;
    }
  } catch (...) {
    ErrLog(host_, "frmTopMsg_Timer1_Timer", current_error());
  }
  return true;
}

void frmTopMsg::unload() {
  if (timer_) g_source_remove(timer_);
  timer_ = 0;
  form_set_.reset();
  controls_ = {};
  if (window_) {
    GtkWidget* w = GTK_WIDGET(window_);
    window_ = nullptr;
    gtk_widget_destroy(w);
  }
  if (modal_loop_) g_main_loop_quit(modal_loop_);
}

}  // namespace orvo
