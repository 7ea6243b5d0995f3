#include "message_window/form_set.h"

#include <cmath>

namespace orvo {

double screen_twips_per_pixel() {
  constexpr double kTwipsPerInch = 1440;
  GdkScreen* screen = gdk_screen_get_default();
  const double dpi = screen ? gdk_screen_get_resolution(screen) : -1;
  return kTwipsPerInch / (dpi > 0 ? dpi : 96);
}

int twips_to_pixels(double twips, double twips_per_pixel) {
  // nearbyint rounds in the default mode, to nearest with halves to even.
  return static_cast<int>(std::nearbyint(twips / twips_per_pixel));
}

clsFormSet::clsFormSet()
    : snap_distance_(static_cast<std::int32_t>(std::nearbyint(10 * screen_twips_per_pixel()))) {}

clsFormSet::~clsFormSet() { ParentForm(nullptr); }

void clsFormSet::ParentForm(GtkWindow* window) {
  if (parent_)
    g_object_remove_weak_pointer(G_OBJECT(parent_), reinterpret_cast<gpointer*>(&parent_));
  parent_ = window;
  if (parent_) g_object_add_weak_pointer(G_OBJECT(parent_), reinterpret_cast<gpointer*>(&parent_));
}

void clsFormSet::AlwaysOnTop(bool on) {
  always_on_top_ = on;
  insert_after_ = on ? kTopmost : kNotTopmost;
  // The window keeps its place and size; only its layer changes.
  if (parent_) gtk_window_set_keep_above(parent_, on);
}

}  // namespace orvo
