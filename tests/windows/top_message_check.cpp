// The roll-change prompt as a Win32 window, run under wine on a virtual display: its layout, its
// topmost layer, and each way it closes. Prints one line per failure, then "top message: N
// failures"; exits 1 on any failure.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "message_window/top_message_win.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  if (ok) return;
  ++failures;
  std::printf("FAIL %s\n", what.c_str());
}

class QuietHost : public orvo::Host {
 public:
  void beep() override {}
  void message_box(const std::string& text, orvo::BoxIcon) override { boxes += text; }
  void set_busy(bool) override {}
  void do_events() override {}
  void show_message(const std::string&, std::int16_t) override {}
  orvo::DateValue now() override { return {}; }
  void sleep_ms(long) override {}
  std::string boxes;
};

enum class Action { None, Key, ClickText, ClickOk };

// A window the operator closes must go at once; one that closes by itself must stay for its
// ticks, counted from before SHOWMSG (it cannot tick earlier), with room for a slow machine to
// put it up.
struct Case {
  const char* name;
  int seconds;
  Action action;
  double min_s, max_s;  // from SHOWMSG's call, or from the window showing when operator-closed
};

Action g_action;
std::wstring g_seen_text, g_seen_button;
bool g_topmost = false, g_untitled = false;
std::chrono::steady_clock::time_point g_shown;
SIZE g_client{};

HWND child_of_class(HWND parent, const wchar_t* cls) {
  return ::FindWindowExW(parent, nullptr, cls, nullptr);
}

std::wstring text_of(HWND w) {
  wchar_t buf[256] = {};
  ::GetWindowTextW(w, buf, 256);
  return buf;
}

// Runs inside SHOWMSG's modal loop, once the window is up.
void CALLBACK look_and_act(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  HWND w = ::FindWindowW(L"OrvoInvoice.frmTopMsg", nullptr);
  if (!w) return;
  g_shown = std::chrono::steady_clock::now();
  g_topmost = (::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  g_untitled = ::GetWindowTextLengthW(w) == 0;
  RECT r;
  ::GetClientRect(w, &r);
  g_client = {r.right, r.bottom};
  HWND edit = child_of_class(w, L"EDIT");
  HWND ok = child_of_class(w, L"BUTTON");
  g_seen_text = text_of(edit);
  g_seen_button = text_of(ok);
  switch (g_action) {
    case Action::Key: ::PostMessageW(edit, WM_CHAR, L'x', 0); break;
    case Action::ClickText: ::PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, 0); break;
    case Action::ClickOk: ::SendMessageW(ok, BM_CLICK, 0, 0); break;
    case Action::None: break;
  }
}

}  // namespace

int main() {
  // 6765 x 4635 twips at the screen's pixels.
  HDC screen = ::GetDC(nullptr);
  const double twips = 1440.0 / ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  const SIZE client{static_cast<LONG>(6765 / twips + 0.5), static_cast<LONG>(4635 / twips + 0.5)};

  const Case cases[] = {
      {"a key closes it", 900, Action::Key, 0, 0.5},
      {"a click on the message closes it", 900, Action::ClickText, 0, 0.5},
      {"OK closes it", 900, Action::ClickOk, 0, 0.5},
      {"it closes itself after its seconds", 2, Action::None, 2, 5},
      {"0 seconds close it at the first tick", 0, Action::None, 1, 4},
  };
  for (const Case& c : cases) {
    QuietHost host;
    g_action = c.action;
    g_seen_text.clear();
    // Fires once SHOWMSG's loop runs, as the window's own timer starts.
    ::SetTimer(nullptr, 0, 10, look_and_act);
    g_shown = {};
    const auto called = std::chrono::steady_clock::now();
    orvo::win::frmTopMsg(host).SHOWMSG(orvo::Variant("請更換發票後按[確定]"), orvo::Variant(c.seconds));
    const auto since = c.action == Action::None ? called : g_shown;
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    const std::string name = c.name;
    check(took >= c.min_s && took <= c.max_s, name + ": took " + std::to_string(took) + " s");
    check(g_seen_text == L"請更換發票後按[確定]", name + ": message text");
    check(g_seen_button == L"確定", name + ": button caption");
    check(g_topmost, name + ": topmost");
    check(g_untitled, name + ": no caption text");
    check(g_client.cx == client.cx && g_client.cy == client.cy,
          name + ": client " + std::to_string(g_client.cx) + "x" + std::to_string(g_client.cy));
    check(host.boxes.empty(), name + ": error box " + host.boxes);
  }
  std::printf("top message: %d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
