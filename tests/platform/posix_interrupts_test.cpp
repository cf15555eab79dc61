// Interrupt signals once caught: the first is only recorded, a second ends the process at once
// with 128 + its number, and a signal the parent had ignored stays ignored.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "platform/platform.h"

namespace {

struct Pair {
  int first, second;
};

class InterruptsDeathTest : public ::testing::TestWithParam<Pair> {};

TEST_P(InterruptsDeathTest, TheFirstIsRecordedTheSecondEndsTheProcess) {
  const Pair p = GetParam();
  EXPECT_EXIT(
      {
        plat::CatchInterrupts();
        if (plat::InterruptSignal() != 0) std::_Exit(1);
        std::raise(p.first);
        if (plat::InterruptSignal() != p.first) std::_Exit(2);
        std::raise(p.second);
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(128 + p.second), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptsDeathTest,
                         ::testing::Values(Pair{SIGINT, SIGINT}, Pair{SIGTERM, SIGINT}, Pair{SIGHUP, SIGTERM}));

TEST(InterruptsDeathTest, ASignalIgnoredBeforeStaysIgnored) {
  EXPECT_EXIT(
      {
        std::signal(SIGINT, SIG_IGN);
        plat::CatchInterrupts();
        std::raise(SIGINT);
        std::raise(SIGINT);
        std::_Exit(plat::InterruptSignal() == 0 ? 0 : 4);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
