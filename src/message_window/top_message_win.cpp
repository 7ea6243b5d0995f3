#include "message_window/top_message_win.h"

#include <cmath>

#include "platform/windows/wide.h"
#include "shared/errlog.h"
#include "shared/errors.h"

namespace orvo::win {

namespace {

constexpr wchar_t kClass[] = L"OrvoInvoice.frmTopMsg";
constexpr UINT_PTR kTimer = 1;
constexpr const char* kFileDescription = "OrvoInvoice";

// Colours as &H00BBGGRR.
constexpr COLORREF kDarkBlue = 0x00C00000, kLightCyan = 0x00FFFF80, kLightYellow = 0x00C0FFFF,
                   kDarkRed = 0x000000C0;

double twips_per_pixel(bool horizontal) {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? 1440.0 / dpi : 15.0;
}

// Halves to the even neighbour, as the window's own twips-to-pixels conversion does.
int px(double twips, bool horizontal = true) {
  return static_cast<int>(std::nearbyint(twips / twips_per_pixel(horizontal)));
}

HFONT font(const wchar_t* face, double points, bool bold) {
  HDC screen = ::GetDC(nullptr);
  const int height = -static_cast<int>(std::lround(points * ::GetDeviceCaps(screen, LOGPIXELSY) / 72));
  ::ReleaseDC(nullptr, screen);
  return ::CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH, face);
}

HINSTANCE this_module() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&this_module), &module);
  return module;
}

HWND child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int left, int top,
           int width, int height, HFONT f) {
  HWND w = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, px(left), px(top, false),
                             px(width), px(height, false), parent, nullptr, this_module(), nullptr);
  if (f) ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
  return w;
}

}  // namespace

clsFormSet::clsFormSet() : snap_distance_(static_cast<std::int32_t>(10 * twips_per_pixel(true))) {}

void clsFormSet::AlwaysOnTop(bool on) {
  always_on_top_ = on;
  insert_after_ = on ? kTopmost : kNotTopmost;
  if (!parent_) return;
  RECT r;
  ::GetWindowRect(parent_, &r);
  ::SetWindowPos(parent_, reinterpret_cast<HWND>(insert_after_), r.left, r.top, r.right - r.left,
                 r.bottom - r.top, 0);
}

frmTopMsg::~frmTopMsg() { unload(); }

LRESULT CALLBACK frmTopMsg::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<frmTopMsg*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<frmTopMsg*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return ::DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_TIMER:
      try {
        self->ticks_ = add16(self->ticks_, 1);
        if (self->ticks_ >= self->seconds_) ::DestroyWindow(hwnd);
      } catch (...) {
        ErrLog(self->host_, "frmTopMsg_Timer1_Timer", current_error());
        ::DestroyWindow(hwnd);
      }
      return 0;
    case WM_COMMAND:
      // The OK button, or a click on the frame (a static control that notifies).
      if (reinterpret_cast<HWND>(lp) == self->ok_ || reinterpret_cast<HWND>(lp) == self->frame_) {
        ::DestroyWindow(hwnd);
      }
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      const HWND control = reinterpret_cast<HWND>(lp);
      if (control == self->text_) {
        ::SetTextColor(dc, kDarkRed);
        ::SetBkColor(dc, kLightYellow);
        return reinterpret_cast<LRESULT>(self->text_brush_);
      }
      ::SetTextColor(dc, kLightCyan);
      ::SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(self->frame_brush_);
    }
    case WM_CLOSE:
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::KillTimer(hwnd, kTimer);
      self->window_ = nullptr;
      return 0;
    default:
      return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
}

void frmTopMsg::load() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = window_proc;
  wc.hInstance = this_module();
  wc.lpszClassName = kClass;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  ::RegisterClassW(&wc);  // fails harmlessly once registered

  const DWORD style = WS_POPUP | WS_CAPTION | WS_BORDER, ex_style = WS_EX_DLGMODALFRAME;
  RECT r{0, 0, px(6765), px(4635, false)};
  ::AdjustWindowRectEx(&r, style, FALSE, ex_style);
  const int width = r.right - r.left, height = r.bottom - r.top;
  window_ = ::CreateWindowExW(ex_style, kClass, L"", style,
                              (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                              nullptr, nullptr, this_module(), this);
  if (!window_) raise(err::kDeviceUnavailable, "cannot create the prompt window: " +
                                                   system_message(::GetLastError()));
  frame_brush_ = ::CreateSolidBrush(kDarkBlue);
  text_brush_ = ::CreateSolidBrush(kLightYellow);
  fonts_[0] = font(L"Arial", 14.25, false);
  fonts_[1] = font(L"Times New Roman", 18, true);
  fonts_[2] = font(L"Times New Roman", 15.75, true);
  fonts_[3] = font(L"新細明體", 14.25, false);
  // Frame1 at (60, 0); its controls are placed relative to it.
  frame_ = child(window_, L"STATIC", L"", SS_NOTIFY, 60, 0, 6660, 3735, nullptr);
  cust_name_ = child(window_, L"STATIC", L"", 0, 60 + 150, 210, 2625, 375, fonts_[0]);
  label_ = child(window_, L"STATIC", widen(kFileDescription).c_str(), 0, 60 + 5295, 150, 1065, 390,
                 fonts_[1]);
  text_ = child(window_, L"EDIT", L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 60 + 240, 660,
                6210, 2835, fonts_[2]);
  ok_ = child(window_, L"BUTTON", L"確定", BS_DEFPUSHBUTTON | WS_TABSTOP, 2340, 3915, 1875, 615,
              fonts_[3]);
  form_set_ = std::make_unique<clsFormSet>();
  form_set_->ParentForm(window_);
  form_set_->AlwaysOnTop(true);
}

void frmTopMsg::unload() {
  if (window_) ::DestroyWindow(window_);
  window_ = nullptr;
  form_set_.reset();
  for (HFONT& f : fonts_) {
    if (f) ::DeleteObject(f);
    f = nullptr;
  }
  for (HBRUSH* b : {&frame_brush_, &text_brush_}) {
    if (*b) ::DeleteObject(*b);
    *b = nullptr;
  }
}

// Modal: the host's windows take no input meanwhile, and this loop runs until the window closes.
// Any key that makes a character closes it, whichever control has the focus; so does a click in
// the message.
void frmTopMsg::modal_loop() {
  HWND owner = ::GetActiveWindow();
  const bool disabled = owner && owner != window_ && !::EnableWindow(owner, FALSE);
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  ::SetFocus(ok_);
  MSG msg;
  while (window_ && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    const bool ours = msg.hwnd == window_ || ::IsChild(window_, msg.hwnd);
    if (ours && (msg.message == WM_CHAR ||
                 (msg.message == WM_LBUTTONDOWN && msg.hwnd == text_))) {
      ::DestroyWindow(window_);
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (disabled) ::EnableWindow(owner, TRUE);
  if (owner) ::SetActiveWindow(owner);
}

void frmTopMsg::SHOWMSG(const Variant& pvMsg, const std::optional<Variant>& pvSeconds) {
  try {
    seconds_ = pvSeconds ? CInt(*pvSeconds) : std::int16_t{3};
    ticks_ = 0;
    if (!window_) load();
    ::SetTimer(window_, kTimer, 1000, nullptr);
    ::SetWindowTextW(text_, widen(Str(pvMsg)).c_str());
    modal_loop();
  } catch (...) {
    ErrLog(host_, "frmTopMsg_ShowMsg", current_error());
  }
  unload();
}

}  // namespace orvo::win
