#pragma once
// frmTopMsg on Windows: the modal prompt that stays above every other window and closes by itself
// after a number of seconds, drawn with the system's own controls.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "shared/host.h"
#include "shared/variant.h"

namespace orvo::win {

// Keeps a window in the desktop's topmost layer through SetWindowPos.
class clsFormSet {
 public:
  static constexpr std::intptr_t kTopmost = -1;
  static constexpr std::intptr_t kNotTopmost = -2;

  clsFormSet();
  void ParentForm(HWND window) { parent_ = window; }
  HWND ParentForm() const { return parent_; }
  void AlwaysOnTop(bool on);
  bool AlwaysOnTop() const { return always_on_top_; }
  void SnapDistance(std::int32_t twips) { snap_distance_ = twips; }
  std::int32_t SnapDistance() const { return snap_distance_; }

 private:
  HWND parent_ = nullptr;
  bool always_on_top_ = false;
  std::int32_t snap_distance_;
  std::intptr_t insert_after_ = kNotTopmost;
};

class frmTopMsg {
 public:
  // Errors are reported through the error log on `host`.
  explicit frmTopMsg(Host& host) : host_(host) {}
  frmTopMsg(const frmTopMsg&) = delete;
  frmTopMsg& operator=(const frmTopMsg&) = delete;
  ~frmTopMsg();

  // Shows `pvMsg` and returns once the window has closed: by the operator, or after `pvSeconds`
  // one-second ticks (a 16-bit integer; 3 when not given, at the first tick when 0 or below).
  void SHOWMSG(const Variant& pvMsg, const std::optional<Variant>& pvSeconds = std::nullopt);

 private:
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void load();
  void unload();
  void modal_loop();

  Host& host_;
  HWND window_ = nullptr;
  HWND frame_ = nullptr, cust_name_ = nullptr, label_ = nullptr, text_ = nullptr, ok_ = nullptr;
  HFONT fonts_[4] = {};
  HBRUSH frame_brush_ = nullptr, text_brush_ = nullptr;
  std::unique_ptr<clsFormSet> form_set_;
  std::int16_t seconds_ = 3;
  std::int16_t ticks_ = 0;
};

}  // namespace orvo::win
