// frmTopMsg on a real X server with a window manager: real key presses and clicks, the stacking
// the window manager keeps, and the pixels on the screen.
#include "message_window/top_message.h"

#include <signal.h>

#include <algorithm>
#include <optional>

#include "desktop.h"
#include "shared/errlog.h"
#include "support/fake_host.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

namespace t = orvo::testing;
using Clock = std::chrono::steady_clock;

constexpr const char* kRollChange = "請更換發票後按[確定]";
constexpr std::int16_t kLong = 30;  // closes by itself only when input failed to close it

class TopMessage : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(open_desktop(why)) << why;
  }

  // SHOWMSG, running `on_screen` once the window is up; returns how long SHOWMSG took.
  double show(const Variant& text, const std::optional<Variant>& seconds,
              std::function<void()> on_screen) {
    auto close = [this] {
      if (form.loaded()) gtk_window_close(form.window());
    };
    t::when_on_screen([this] { return form.window(); },
                      [on_screen = std::move(on_screen), close] {
                        on_screen();
                        if (HasFatalFailure()) close();
                      },
                      close);
    const auto start = Clock::now();
    form.SHOWMSG(text, seconds);
    t::cancel_scheduled();
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

  // Presses "a" after a moment, when the input under test should have left the window open.
  void expect_still_open(bool& open) {
    t::later(300, [this, &open] {
      open = form.loaded();
      t::xdotool({"key", "a"});
    });
  }

  t::TempDir dir;
  t::ScopedEnv log{"ORVO_ERROR_LOG", (dir / "error.log").c_str()};
  t::FakeHost host;
  frmTopMsg form{host};
};

TEST_F(TopMessage, ClosesItselfAfterItsSecondsAndShowsAgainWithAFreshCount) {
  const struct {
    Variant seconds;
    std::int16_t ticks;
  } cases[] = {{Variant("2"), 2}, {Variant(0), 1}, {Variant(-5), 1}};
  int n = 0;
  for (const auto& c : cases) {
    const std::string text = "第" + std::to_string(++n) + "則";
    std::string shown;
    int ticks_when_shown = -1;
    const double took = show(Variant(text), c.seconds, [&] {
      shown = form.message_text();
      ticks_when_shown = form.ticks();
    });
    EXPECT_EQ(shown, text);
    EXPECT_EQ(ticks_when_shown, 0) << text;
    EXPECT_EQ(form.ticks(), c.ticks) << text;
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(form.form_settings(), nullptr) << "unloading drops the window settings";
    EXPECT_GE(took, c.ticks - 0.05) << text;
    EXPECT_LT(took, c.ticks + 1.5) << text;
  }
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(TopMessage, AKeyThatTypesACharacterClosesIt) {
  const struct {
    const char* key;
    bool closes;
    std::optional<Variant> seconds;
    int expect_seconds;
  } cases[] = {{"a", true, std::nullopt, 3},
               {"Shift_L", false, Variant(kLong), kLong}};
  for (const auto& c : cases) {
    int seconds = 0;
    bool open_after_key = false;
    show(Variant(kRollChange), c.seconds, [&] {
      seconds = form.seconds();
      t::xdotool({"key", c.key});
      if (!c.closes) expect_still_open(open_after_key);
    });
    EXPECT_EQ(seconds, c.expect_seconds) << c.key;
    EXPECT_EQ(open_after_key, !c.closes) << c.key;
    EXPECT_LT(form.ticks(), seconds) << c.key << ": only the timer closed it";
  }
}

TEST_F(TopMessage, ClicksOnTheFrameTheMessageOrTheButtonCloseIt) {
  using C = frmTopMsg::Controls;
  const struct {
    const char* what;
    GtkWidget* C::*control;
    int x, y;
    const char* button;
    bool closes;
  } cases[] = {{"Frame1 below the message", &C::Frame1, 5, 240, "1", true},
               {"txtMsg", &C::txtMsg, 200, 150, "1", true},
               {"cmdOK", &C::cmdOK, 60, 20, "1", true},
               {"lblMsg", &C::lblMsg, 10, 10, "1", false},
               {"right button on Frame1", &C::Frame1, 5, 240, "3", false}};
  for (const auto& c : cases) {
    bool open_after_click = false;
    show(Variant(kRollChange), Variant(kLong), [&] {
      const auto [x, y] = t::screen_point(form.controls().*c.control, c.x, c.y);
      t::xdotool({"mousemove", "--sync", std::to_string(x), std::to_string(y), "click", c.button});
      if (!c.closes) expect_still_open(open_after_click);
    });
    EXPECT_EQ(open_after_click, !c.closes) << c.what;
    EXPECT_LT(form.ticks(), kLong) << c.what << ": only the timer closed it";
  }
}

TEST_F(TopMessage, StaysAboveAnotherApplicationAndLooksAsLaidOut) {
  show(Variant(kRollChange), Variant(kLong), [&] {
    GtkWindow* w = form.window();
    GdkWindow* gw = gtk_widget_get_window(GTK_WIDGET(w));
    // 6765 x 4635 twips at 15 twips per pixel.
    ASSERT_EQ(gdk_window_get_width(gw), 451);
    ASSERT_EQ(gdk_window_get_height(gw), 309);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(gw, 0, 0, 451, 309);
    ASSERT_NE(shot, nullptr);
    // Frame1 covers x 4..447, y 0..248; txtMsg x 20..433, y 44..232.
    const t::Rgb blue{0, 0, 192}, yellow{255, 255, 192};
    const struct {
      int x, y;
      t::Rgb colour;
      bool is;
    } samples[] = {{4, 100, blue, true},    {3, 100, blue, false},    {447, 100, blue, true},
                   {448, 100, blue, false}, {100, 249, blue, false},  {20, 44, yellow, true},
                   {19, 100, blue, true},   {433, 232, yellow, true}, {434, 232, blue, true}};
    for (const auto& s : samples) {
      EXPECT_EQ(t::pixel(shot, s.x, s.y) == s.colour, s.is)
          << "at " << s.x << "," << s.y << ": " << t::pixel(shot, s.x, s.y);
    }
    // The message in dark red, the file description in light cyan.
    auto somewhere = [&](int x0, int y0, int x1, int y1, t::Rgb colour) {
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
          if (t::pixel(shot, x, y) == colour) return true;
      return false;
    };
    EXPECT_TRUE(somewhere(20, 44, 433, 232, {192, 0, 0}));
    EXPECT_TRUE(somewhere(357, 10, 427, 35, {128, 255, 255}));
    g_object_unref(shot);

    // Another application's window over the whole screen, raised and given the focus.
    GPid other = 0;
    const char* argv[] = {"xmessage",     "-name",   "orvo-other", "-geometry",
                          "1024x768+0+0", "another", nullptr};
    ASSERT_TRUE(g_spawn_async(
        nullptr, const_cast<gchar**>(argv), nullptr,
        GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL),
        nullptr, nullptr, &other, nullptr));
    const std::string id =
        t::xdotool({"search", "--sync", "--onlyvisible", "--classname", "orvo-other"});
    t::xdotool({"windowactivate", "--sync", id.substr(0, id.find('\n'))});

    const auto stacking =
        t::x_property(GDK_ROOT_WINDOW(), "_NET_CLIENT_LIST_STACKING");  // bottom to top
    auto level = [&](unsigned long window) {
      return std::find(stacking.begin(), stacking.end(), window) - stacking.begin();
    };
    ASSERT_LT(level(std::stoul(id)), std::ssize(stacking));
    EXPECT_GT(level(t::xid(w)), level(std::stoul(id)));
    auto has = [&](const char* property, const char* atom) {
      const auto atoms = t::x_property(t::xid(w), property);
      return std::find(atoms.begin(), atoms.end(), gdk_x11_get_xatom_by_name(atom)) != atoms.end();
    };
    EXPECT_TRUE(has("_NET_WM_STATE", "_NET_WM_STATE_ABOVE"));
    EXPECT_FALSE(has("_NET_WM_ALLOWED_ACTIONS", "_NET_WM_ACTION_RESIZE")) << "the layout is fixed";
    const auto [fx, fy] = t::screen_point(form.controls().Frame1, 5, 240);
    GdkPixbuf* screen = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), fx, fy, 1, 1);
    EXPECT_EQ(t::pixel(screen, 0, 0), blue) << "the prompt is covered";
    g_object_unref(screen);

    kill(other, SIGTERM);
    g_spawn_close_pid(other);
    waitpid(other, nullptr, 0);
    t::xdotool({"key", "a"});
  });
  EXPECT_LT(form.ticks(), kLong);
}

TEST_F(TopMessage, BadSecondsAreLoggedAndNothingIsShown) {
  const struct {
    Variant seconds;
    int number;
  } cases[] = {{Variant(40000), 6}, {Variant("abc"), 13}, {Variant::null(), 94}};
  for (const auto& c : cases) {
    host.boxes.clear();
    const auto start = Clock::now();
    form.SHOWMSG(Variant(kRollChange), c.seconds);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_FALSE(form.loaded());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text.rfind("處理程序: (frmTopMsg_ShowMsg)\r\n執行錯誤, 代碼: " +
                                           std::to_string(c.number) + "\r\n",
                                       0),
              0u)
        << host.boxes[0].text;
  }
}

TEST_F(TopMessage, ASecondShowWhileOpenIsLoggedAndTheFirstGoesOn) {
  show(Variant("first"), Variant(kLong), [&] {
    form.SHOWMSG(Variant("second"), Variant(kLong));
    EXPECT_TRUE(form.loaded());
    t::xdotool({"key", "a"});
  });
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(
      host.boxes[0].text,
      error_message("frmTopMsg_ShowMsg", Error(400, "Form already displayed; can't show modally")));
  EXPECT_FALSE(form.loaded());
}

TEST(TopMessageWithoutDisplay, LoadAndShowAreLogged) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        t::TempDir dir;
        ::setenv("ORVO_ERROR_LOG", (dir / "error.log").c_str(), 1);
        t::FakeHost host;
        frmTopMsg form(host);
        form.SHOWMSG(Variant(kRollChange), Variant(1));
        const bool logged = host.boxes.size() == 2 &&
                            host.boxes[0].text.rfind("處理程序: (frmTopMsg_Form_Load)", 0) == 0 &&
                            host.boxes[1].text.rfind("處理程序: (frmTopMsg_ShowMsg)", 0) == 0;
        std::_Exit(logged ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace orvo
