#pragma once
// Driving windows on the test's own X server: waiting inside the running main loop, sending real
// input with xdotool, reading what the window manager and the screen show.
#include <gtest/gtest.h>
// After gtest, whose names Xlib's macros would replace.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <sys/wait.h>
#undef None
#undef Bool

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvo::testing {

// Runs a program (looked up on PATH) to its end and returns its stdout.
inline std::string run_tool(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  gchar* out = nullptr;
  gint status = 0;
  GError* error = nullptr;
  if (!g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &out,
                    nullptr, &status, &error)) {
    ADD_FAILURE() << args[0] << ": " << error->message;
    g_error_free(error);
    return "";
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << args[0] << " " << args[1];
  std::string s = out ? out : "";
  g_free(out);
  return s;
}

// Real input from outside the process; bounded, so that a broken window cannot hang the test.
inline std::string xdotool(std::vector<std::string> args) {
  args.insert(args.begin(), {"timeout", "10", "xdotool"});
  return run_tool(std::move(args));
}

// Sources scheduled by when() and later(); a test drops those still waiting once its window has
// closed, so that none of them acts on the next one.
inline std::vector<GSource*>& scheduled() {
  static std::vector<GSource*> sources;
  return sources;
}
inline void cancel_scheduled() {
  for (GSource* s : scheduled()) {
    g_source_destroy(s);
    g_source_unref(s);
  }
  scheduled().clear();
}
inline void schedule(guint ms, GSourceFunc f, gpointer data, GDestroyNotify free_data) {
  GSource* s = g_timeout_source_new(ms);
  g_source_set_callback(s, f, data, free_data);
  g_source_attach(s, nullptr);
  scheduled().push_back(s);
}

// Polls inside the main loop that is running (SHOWMSG's) until `ready` holds, then runs `then`
// once. After `limit` it fails the test and runs `give_up`, which must end that loop.
inline void when(std::function<bool()> ready, std::function<void()> then,
                 std::function<void()> give_up,
                 std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  struct Poll {
    std::function<bool()> ready;
    std::function<void()> then, give_up;
    std::chrono::steady_clock::time_point deadline;
  };
  schedule(
      20,
      [](gpointer data) -> gboolean {
        auto* p = static_cast<Poll*>(data);
        if (p->ready()) {
          p->then();
          return G_SOURCE_REMOVE;
        }
        if (std::chrono::steady_clock::now() < p->deadline) return G_SOURCE_CONTINUE;
        ADD_FAILURE() << "timed out waiting for a window";
        p->give_up();
        return G_SOURCE_REMOVE;
      },
      new Poll{std::move(ready), std::move(then), std::move(give_up),
               std::chrono::steady_clock::now() + limit},
      [](gpointer data) { delete static_cast<Poll*>(data); });
}

// Runs `then` once `window` is mapped, has the focus and has been drawn.
inline void when_on_screen(std::function<GtkWindow*()> window, std::function<void()> then,
                           std::function<void()> give_up) {
  auto drawn = std::make_shared<GtkWindow*>(nullptr);
  when(
      [window, drawn] {
        GtkWindow* w = window();
        if (!w || !gtk_widget_get_mapped(GTK_WIDGET(w)) || !gtk_window_is_active(w)) return false;
        if (*drawn == w) return true;
        // The handler's copy of `drawn` lives as long as the window.
        g_signal_connect_data(
            w, "draw", G_CALLBACK(+[](GtkWidget* widget, cairo_t*, gpointer data) -> gboolean {
              **static_cast<std::shared_ptr<GtkWindow*>*>(data) = GTK_WINDOW(widget);
              return FALSE;
            }),
            new std::shared_ptr<GtkWindow*>(drawn),
            [](gpointer data, GClosure*) {
              delete static_cast<std::shared_ptr<GtkWindow*>*>(data);
            },
            G_CONNECT_AFTER);
        gtk_widget_queue_draw(GTK_WIDGET(w));
        return false;
      },
      std::move(then), std::move(give_up));
}

// After `ms` milliseconds, inside the running loop.
inline void later(guint ms, std::function<void()> then) {
  schedule(
      ms,
      [](gpointer data) -> gboolean {
        (*static_cast<std::function<void()>*>(data))();
        return G_SOURCE_REMOVE;
      },
      new std::function<void()>(std::move(then)),
      [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

inline Window xid(GtkWindow* w) { return GDK_WINDOW_XID(gtk_widget_get_window(GTK_WIDGET(w))); }

// A property of 32-bit items (windows, atoms) of an X window.
inline std::vector<unsigned long> x_property(Window window, const char* name) {
  Display* dpy = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> out;
  if (XGetWindowProperty(dpy, window, gdk_x11_get_xatom_by_name(name), 0, 4096, False,
                         AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
      format == 32) {
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    out.assign(items, items + count);
  }
  if (data) XFree(data);
  return out;
}

// Where a point of `widget` is on the screen.
inline std::pair<int, int> screen_point(GtkWidget* widget, int x, int y) {
  GtkWidget* top = gtk_widget_get_toplevel(widget);
  int tx = 0;
  int ty = 0;
  gtk_widget_translate_coordinates(widget, top, x, y, &tx, &ty);
  int ox = 0;
  int oy = 0;
  gdk_window_get_origin(gtk_widget_get_window(top), &ox, &oy);
  return {ox + tx, oy + ty};
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

inline Rgb pixel(GdkPixbuf* image, int x, int y) {
  const guchar* p = gdk_pixbuf_get_pixels(image) + y * gdk_pixbuf_get_rowstride(image) +
                    x * gdk_pixbuf_get_n_channels(image);
  return {p[0], p[1], p[2]};
}

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

}  // namespace orvo::testing
