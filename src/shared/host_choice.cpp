#include <cstdlib>
#include <string>

#include "shared/errors.h"
#include "shared/host.h"
#include "shared/module_loader.h"

extern "C" orvo::Host* orvo_window_host_v1(const orvo::TerminalHostOptions* options,
                                           std::string* why);

namespace orvo {

namespace {

bool display_named() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// The window host; nullptr and the reason when the module or the display cannot be had.
std::unique_ptr<Host> window_host(const TerminalHostOptions& options, std::string& why) {
  if (!display_named()) {
    why = "no desktop: DISPLAY and WAYLAND_DISPLAY are unset";
    return nullptr;
  }
  try {
    const auto make = reinterpret_cast<decltype(&orvo_window_host_v1)>(
        module_symbol("orvo-window.so", "orvo_window_host_v1"));
    return std::unique_ptr<Host>(make(&options, &why));
  } catch (const Error& e) {
    why = e.description();
    return nullptr;
  }
}

}  // namespace

std::unique_ptr<Host> make_host(TerminalHostOptions options) {
  if (options.prompt == PromptMode::Gui || options.prompt == PromptMode::Auto) {
    std::string why;
    if (auto window = window_host(options, why)) return window;
    if (options.prompt == PromptMode::Gui) {
      raise(err::kDeviceUnavailable, "no window for the prompt: " + why);
    }
  }
  return make_terminal_host(std::move(options));
}

}  // namespace orvo
