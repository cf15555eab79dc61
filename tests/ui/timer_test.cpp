// Timers in virtual time: order, repetition until disabled, restarts, and what keeps one from
// firing.
#include <memory>

#include "tests/ui/ui_fixture.h"

namespace tovin::ui::test {
namespace {

class Timers : public UiTest {
 protected:
  TDialog form{app, "Form"};
  std::vector<std::string> fired;

  // A timer that logs "name@clock" each time and stops after `times` firings; the last one
  // still running closes the form.
  std::unique_ptr<TTimer> Make(const std::string& name, uint32_t interval, int times) {
    auto timer = std::make_unique<TTimer>(form, name);
    timer->SetInterval(interval);
    TTimer* t = timer.get();
    auto left = std::make_shared<int>(times);
    t->OnTimer = [this, t, name, left] {
      fired.push_back(name + "@" + std::to_string(backend.Clock()));
      if (--*left == 0) t->SetEnabled(false);
      bool anyRunning = false;
      for (TTimer* other : app.Timers()) anyRunning = anyRunning || other->Running();
      if (!anyRunning) form.Close();
    };
    return timer;
  }
};

TEST_F(Timers, EarliestDueFiresFirstAndTheClockJumpsToIt) {
  auto a = Make("a", 300, 1), b = Make("b", 100, 1), c = Make("c", 200, 1);
  form.ShowModal();
  EXPECT_EQ(fired, (std::vector<std::string>{"b@100", "c@200", "a@300"}));
}

TEST_F(Timers, ATimerRepeatsUntilItsHandlerDisablesIt) {
  auto a = Make("a", 250, 3), b = Make("b", 400, 2);
  form.ShowModal();
  EXPECT_EQ(fired, (std::vector<std::string>{"a@250", "b@400", "a@500", "a@750", "b@800"}));
}

TEST_F(Timers, TimersDueTogetherFireInTheOrderTheyWereStarted) {
  auto a = Make("a", 100, 1), b = Make("b", 100, 1);
  a->SetEnabled(false);
  a->SetEnabled(true);  // started again after b, at the same virtual time
  form.ShowModal();
  EXPECT_EQ(fired, (std::vector<std::string>{"b@100", "a@100"}));
}

TEST_F(Timers, EnablingOrChangingTheIntervalStartsTheCountAgain) {
  auto slow = Make("slow", 1000, 1), reset = Make("reset", 600, 1), longer = Make("longer", 500, 2);
  auto chained = reset->OnTimer;
  reset->OnTimer = [&, chained] {
    slow->SetEnabled(false);
    slow->SetEnabled(true);   // due at 600 + 1000
    longer->SetInterval(50);  // due at 600 + 50 instead of 1000
    chained();
  };
  form.ShowModal();
  EXPECT_EQ(fired, (std::vector<std::string>{"longer@500", "reset@600", "longer@650", "slow@1600"}));
}

// The headless backend's own rule (virtual time moves only at a loop turn); a real backend's
// ProcessMessages fires what is due, and forms must not rely on either.
TEST_F(Timers, HeadlessProcessMessagesNeverFiresATimer) {
  TTimer timer(form, "timer");
  int fires = 0;
  timer.OnTimer = [&] { ++fires; };
  for (int i = 0; i < 5; ++i) app.ProcessMessages();
  EXPECT_EQ(fires, 0);
  EXPECT_EQ(backend.Clock(), 0u);
}

TEST_F(Timers, ATimerStartsEnabledWithOneSecond) {
  // As the class library's timer: forms that want it idle disable it themselves.
  TTimer timer(form, "Timer1");
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    form.Close();
  };
  form.ShowModal();
  EXPECT_EQ(backend.Clock(), 1000u);
}

TEST_F(Timers, AOneShotTimerMayDestroyItselfInItsHandler) {
  auto timer = std::make_unique<TTimer>(form, "once");
  timer->OnTimer = [&] {
    timer.reset();
    form.Close();
  };
  form.ShowModal();
  EXPECT_EQ(timer, nullptr);
  EXPECT_TRUE(app.Timers().empty());
}

TEST_F(Timers, ADestroyedTimerNeverFires) {
  auto gone = Make("gone", 100, 1);
  auto kept = Make("kept", 200, 1);
  gone.reset();
  form.ShowModal();
  EXPECT_EQ(fired, (std::vector<std::string>{"kept@200"}));
}

}  // namespace
}  // namespace tovin::ui::test
