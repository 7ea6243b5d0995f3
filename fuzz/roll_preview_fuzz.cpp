// Any bytes as a captured roll stream: parsed and rendered at a paper width from the first byte,
// with nothing thrown, and each line's runs adding up to its text.
#include <cstdint>
#include <string>
#include <string_view>

#include "../tools/roll_preview.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // Up to 63 columns: wider than any roll, and every line still runs over it at times. Wider
  // paper only pads the same lines further, at a cost that halved the executions.
  const std::size_t width = data[0] % 64;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const orvo::cli::RollStream stream = orvo::cli::parse_roll(bytes);
  for (const auto& form : stream.forms) {
    for (const auto& line : form.lines) {
      std::string joined;
      for (const auto& run : line.runs) joined += run.text;
      if (joined != line.text) __builtin_trap();
    }
  }
  (void)orvo::cli::render_roll(stream, width);
  return 0;
}
