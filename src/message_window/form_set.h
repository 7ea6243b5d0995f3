#pragma once
// clsFormSet: keeps a window in the desktop's topmost layer, and the window settings that go with
// it.
#include <gtk/gtk.h>

#include <cstdint>

namespace orvo {

// Twips per screen pixel at the screen's resolution (15 at 96 dpi); 15 when GTK reports none.
double screen_twips_per_pixel();
// `twips` in whole pixels, halves to the even neighbour.
int twips_to_pixels(double twips, double twips_per_pixel);

class clsFormSet {
 public:
  // The layer handles of the platform call that changes a window's layer.
  static constexpr std::int32_t kTopmost = -1;
  static constexpr std::int32_t kNotTopmost = -2;

  clsFormSet();
  ~clsFormSet();
  clsFormSet(const clsFormSet&) = delete;
  clsFormSet& operator=(const clsFormSet&) = delete;

  // Held weakly: it reads nullptr again once the window is destroyed.
  void ParentForm(GtkWindow* window);
  GtkWindow* ParentForm() const { return parent_; }

  void AlwaysOnTop(bool on);
  bool AlwaysOnTop() const { return always_on_top_; }

  // Twips; only kept for the host to read back.
  void SnapDistance(std::int32_t twips) { snap_distance_ = twips; }
  std::int32_t SnapDistance() const { return snap_distance_; }

  std::int32_t insert_after() const { return insert_after_; }

 private:
  GtkWindow* parent_ = nullptr;
  bool always_on_top_ = false;
  std::int32_t snap_distance_;
  std::int32_t insert_after_ = kNotTopmost;
};

}  // namespace orvo
