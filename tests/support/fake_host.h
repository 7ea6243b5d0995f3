#pragma once
// A host that records what the component asked of the window toolkit.
#include <string>
#include <vector>

#include "shared/host.h"

namespace orvo::testing {

class FakeHost : public Host {
 public:
  struct Box {
    std::string text;
    BoxIcon icon;
  };
  struct Prompt {
    std::string text;
    std::int16_t seconds;
  };

  void beep() override { ++beeps; }
  void message_box(const std::string& text, BoxIcon icon) override { boxes.push_back({text, icon}); }
  void set_busy(bool b) override { busy_calls.push_back(b); busy = b; }
  void do_events() override { ++events; }
  void show_message(const std::string& text, std::int16_t seconds) override {
    prompts.push_back({text, seconds});
  }
  DateValue now() override { return clock; }
  void sleep_ms(long ms) override { sleeps.push_back(ms); }

  DateValue clock = date_from_civil({2010, 3, 5, 14, 30, 5});
  int beeps = 0;
  int events = 0;
  bool busy = false;
  std::vector<bool> busy_calls;
  std::vector<Box> boxes;
  std::vector<Prompt> prompts;
  std::vector<long> sleeps;
};

}  // namespace orvo::testing
