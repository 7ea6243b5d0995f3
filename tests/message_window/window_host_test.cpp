// The desktop host: its boxes as real dialogs, and the tool's choice of host on a display, on a
// display that cannot be opened and without one.
#include "message_window/window_host.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>

#include <cstdlib>
#include <filesystem>

#include "desktop.h"
#include "message_window/top_message.h"
#include "shared/errlog.h"
#include "support/raised.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

extern char** environ;

namespace orvo {
namespace {

namespace t = orvo::testing;
namespace fs = std::filesystem;

GtkWindow* shown_dialog() {
  GtkWindow* found = nullptr;
  GList* all = gtk_window_list_toplevels();
  for (GList* l = all; l; l = l->next) {
    if (GTK_IS_MESSAGE_DIALOG(l->data) && gtk_widget_get_visible(GTK_WIDGET(l->data)))
      found = GTK_WINDOW(l->data);
  }
  g_list_free(all);
  return found;
}

TEST(WindowHost, BoxesAreMessageDialogsThatWaitForOK) {
  t::TempDir dir;
  t::ScopedEnv log("ORVO_ERROR_LOG", (dir / "error.log").c_str());
  auto host = make_window_host();
  ASSERT_NE(host, nullptr);
  frmTopMsg form(*host);
  const struct {
    std::function<void()> call;
    GtkMessageType type;
    std::string text;
  } cases[] = {
      {[&] { form.SHOWMSG(Variant("x"), Variant("abc")); }, GTK_MESSAGE_WARNING,
       plain_lines(error_message("frmTopMsg_ShowMsg", t::raised([] { CInt(Variant("abc")); })))},
      {[&] { host->message_box("本功能暫時不支援", BoxIcon::Information); }, GTK_MESSAGE_INFO,
       "本功能暫時不支援"},
      {[&] { host->message_box("a\r\nb\r\n\r\n", BoxIcon::Critical); }, GTK_MESSAGE_ERROR, "a\nb"},
  };
  for (const auto& c : cases) {
    GtkMessageType type = GTK_MESSAGE_OTHER;
    std::string text;
    t::when_on_screen(
        shown_dialog,
        [&] {
          gchar* shown = nullptr;
          g_object_get(shown_dialog(), "message-type", &type, "text", &shown, nullptr);
          text = shown ? shown : "";
          g_free(shown);
          t::xdotool({"key", "Return"});
        },
        [] { gtk_dialog_response(GTK_DIALOG(shown_dialog()), GTK_RESPONSE_OK); });
    c.call();
    t::cancel_scheduled();
    EXPECT_EQ(type, c.type) << c.text;
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(shown_dialog(), nullptr);
  }
  EXPECT_FALSE(form.loaded());
}

class Tool : public ::testing::Test {
 protected:
  struct Run {
    pid_t pid = -1;
    fs::path port;
  };

  // orvo-invoice printing the banquet, which changes the invoice roll once, on its own session
  // (no terminal to prompt on); `display` nullptr runs it without one, `modules` names where it
  // must find its modules.
  Run start(const std::string& prompt, const char* display, const std::string& name,
            const char* modules = nullptr) {
    const char* bin = std::getenv("ORVO_BIN_DIR");
    const char* src = std::getenv("ORVO_SOURCE_DIR");
    const std::string tool = std::string(bin ? bin : ".") + "/orvo-invoice";
    const std::string root = src ? src : ".";
    Run r{-1, dir / (name + ".prn")};
    std::vector<std::string> args = {tool,
                                     "print",
                                     root + "/examples/banquet_multi_form.json",
                                     "--type",
                                     "RP420",
                                     "--detail",
                                     "Y",
                                     "--port",
                                     r.port.string(),
                                     "--now",
                                     "2010-03-05T14:30:05",
                                     "--no-pause",
                                     "--prompt",
                                     prompt,
                                     "--settings",
                                     root + "/examples/settings.ini",
                                     "--error-log",
                                     (dir / "error.log").string()};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string_view v(*e);
      if (!v.starts_with("DISPLAY=") && !v.starts_with("WAYLAND_DISPLAY=")) env.emplace_back(v);
    }
    if (display) env.push_back(std::string("DISPLAY=") + display);
    if (modules) env.push_back(std::string("ORVO_MODULE_DIR=") + modules);
    auto pointers = [](std::vector<std::string>& v) {
      std::vector<char*> p;
      for (auto& s : v) p.push_back(s.data());
      p.push_back(nullptr);
      return p;
    };
    auto argv = pointers(args);
    auto envp = pointers(env);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, (dir / (name + ".err")).c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&r.pid, tool.c_str(), &files, &attr, argv.data(), envp.data()) != 0) r.pid = -1;
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attr);
    return r;
  }

  // The exit status, or -1 when it did not end within 20 seconds (it is then killed).
  static int finish(pid_t pid) {
    int ws = 0;
    for (int i = 0; i < 400; ++i) {
      if (waitpid(pid, &ws, WNOHANG) == pid) return WIFEXITED(ws) ? WEXITSTATUS(ws) : 128;
      g_usleep(50000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &ws, 0);
    return -1;
  }

  t::TempDir dir;
};

TEST_F(Tool, RollChangePromptIsTheWindowOnADesktopElseTheTerminal) {
  std::string why;
  ASSERT_TRUE(open_desktop(why)) << why;
  const char* here = std::getenv("DISPLAY");
  const Run reference = start("none", nullptr, "reference");
  ASSERT_EQ(finish(reference.pid), 0);
  const std::string expected = t::read_file(reference.port);

  const std::string prompt = "請更換發票後按[確定]";
  const struct {
    const char* prompt;
    const char* display;
    bool window;
    int status;
    std::string stderr_has;
    const char* modules;
  } cases[] = {
      {"auto", here, true, 0, "", nullptr},
      {"auto", nullptr, false, 0, prompt, nullptr},
      {"auto", ":4242", false, 0, prompt, nullptr},
      {"gui", nullptr, false, 2,
       "--prompt gui: no window for the prompt: no desktop: DISPLAY and WAYLAND_DISPLAY are unset",
       nullptr},
      {"gui", ":4242", false, 2, "cannot open the display \":4242\"", nullptr},
      // Without its module the window is missing like a display that does not open.
      {"gui", here, false, 2,
       "no window for the prompt: cannot load the module orvo-window.so (looked in " +
           dir.path.string() + "): not found",
       dir.path.c_str()},
      {"auto", here, false, 0, prompt, dir.path.c_str()},
      // No display named: the module is not even looked for.
      {"gui", nullptr, false, 2, "no window for the prompt: no desktop:", dir.path.c_str()},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = "run" + std::to_string(++n);
    const std::string what = std::string(c.prompt) + " on " + (c.display ? c.display : "none");
    const Run r = start(c.prompt, c.display, name, c.modules);
    ASSERT_GT(r.pid, 0);
    if (c.window) {
      const std::string id =
          t::xdotool({"search", "--sync", "--onlyvisible", "--pid", std::to_string(r.pid)});
      ASSERT_FALSE(id.empty()) << what;
      EXPECT_EQ(waitpid(r.pid, nullptr, WNOHANG), 0) << what << ": printing went on";
      // Our prompt: its size and the blue frame.
      GdkWindow* w =
          gdk_x11_window_foreign_new_for_display(gdk_display_get_default(), std::stoul(id));
      EXPECT_EQ(gdk_window_get_width(w), 451) << what;
      GdkPixbuf* shot = gdk_pixbuf_get_from_window(w, 9, 240, 1, 1);
      ASSERT_NE(shot, nullptr);
      EXPECT_EQ(t::pixel(shot, 0, 0), (t::Rgb{0, 0, 192})) << what;
      g_object_unref(shot);
      g_object_unref(w);
      t::xdotool({"windowactivate", "--sync", id.substr(0, id.find('\n')), "key", "a"});
    }
    EXPECT_EQ(finish(r.pid), c.status) << what;
    const std::string err = t::read_file(dir / (name + ".err"));
    EXPECT_NE(err.find(c.stderr_has), std::string::npos) << what << ": " << err;
    if (c.status == 0)
      EXPECT_EQ(t::read_file(r.port), expected) << what;
    else
      EXPECT_FALSE(fs::exists(r.port)) << what;
  }
}

}  // namespace
}  // namespace orvo
