// A command's count is one byte: 0 to 255 are sent as they are, anything else is refused by name.
#include "layout_kit/commands.h"

#include <gtest/gtest.h>

#include "support/raised.h"

namespace orvo::testing {
namespace {

TEST(Commands, CountsFromZeroTo255AreOneByte) {
  EXPECT_EQ(cmd::feed(0), std::string("\x1b"
                                      "d\x00",
                                      3));
  EXPECT_EQ(cmd::feed(255),
            "\x1b"
            "d\xff");
  EXPECT_EQ(cmd::advance(7),
            "\x1b"
            "a\x07");
  for (const long n : {-1L, 256L}) {
    const Error e = raised([&] { cmd::feed(n); });
    EXPECT_EQ(e.number(), err::kInvalidArgument);
    EXPECT_EQ(e.description(), "Invalid procedure call or argument: line feed count " +
                                   std::to_string(n) + " is outside 0 to 255");
  }
}

}  // namespace
}  // namespace orvo::testing
