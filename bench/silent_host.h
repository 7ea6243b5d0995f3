#pragma once
// A host that asks nothing of anyone, with the demo's fixed clock, for timing prints.
#include <string>

#include "shared/host.h"

namespace orvo::bench {

class SilentHost : public Host {
 public:
  void beep() override {}
  void message_box(const std::string&, BoxIcon) override {}
  void set_busy(bool) override {}
  void do_events() override {}
  void show_message(const std::string&, std::int16_t) override {}
  DateValue now() override { return date_from_civil({2010, 3, 5, 14, 30, 5}); }
  void sleep_ms(long) override {}
};

}  // namespace orvo::bench
