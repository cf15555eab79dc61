// The clean-up guard: runs on every way out of its scope, in reverse order, unless dismissed.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/scope_guard.h"

namespace tovin::test {
namespace {

TEST(ScopeGuard, RunsOnReturnAndOnExceptionInReverseOrder) {
  std::string log;
  {
    ScopeGuard first([&] { log += "1"; });
    ScopeGuard second([&] { log += "2"; });
  }
  EXPECT_EQ(log, "21");
  log.clear();
  EXPECT_THROW(
      {
        ScopeGuard first([&] { log += "1"; });
        ScopeGuard second([&] { log += "2"; });
        throw std::runtime_error("x");
      },
      std::runtime_error);
  EXPECT_EQ(log, "21");
}

TEST(ScopeGuard, DismissedStepsDoNotRun) {
  std::string log;
  {
    ScopeGuard kept([&] { log += "k"; });
    ScopeGuard dropped([&] { log += "d"; });
    dropped.Dismiss();
  }
  EXPECT_EQ(log, "k");
}

}  // namespace
}  // namespace tovin::test
