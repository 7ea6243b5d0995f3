#include "layout_kit/commands.h"

#include "shared/errors.h"

namespace orvo::cmd {

namespace {

std::string with_count(char command, long n, const char* what) {
  if (n < 0 || n > 255)
    raise(err::kInvalidArgument, std::string("Invalid procedure call or argument: ") + what + " " +
                                     std::to_string(n) + " is outside 0 to 255");
  return {kEsc, command, static_cast<char>(n)};
}

}  // namespace

std::string feed(long n) { return with_count('d', n, "line feed count"); }
std::string print_mode(long n) { return with_count('!', n, "print mode"); }
std::string advance(long n) { return with_count('a', n, "advance count"); }

}  // namespace orvo::cmd
