#pragma once
// Runs code that must raise orvo::Error and returns the error. Every error path must also release
// what it opened, so a descriptor left open by the failed call fails the test too.
#include <gtest/gtest.h>

#include "shared/errors.h"
#include "support/fd_count.h"

namespace orvo::testing {

template <typename F>
Error raised(F&& f) {
  const int fds = open_fd_count();
  try {
    f();
  } catch (const Error& e) {
    EXPECT_LE(open_fd_count(), fds) << "descriptor left open after: " << e.description();
    return e;
  }
  ADD_FAILURE() << "no orvo::Error was raised";
  return Error(0, "");
}

}  // namespace orvo::testing
