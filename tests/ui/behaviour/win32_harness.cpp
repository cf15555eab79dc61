// The behaviour suite on the Win32 backend, in real windows: a person's actions run when the
// loop has emptied its queue (the backend's idle handler), boxes are answered by pressing the
// box's own button while its loop runs, and keys are typed into the system's input queue, so
// that the loop receives them as from the keyboard.
#include <chrono>

#include "tests/ui/behaviour/behaviour_suite.h"
#include "ui/win32/win32_backend.h"

namespace tovin::ui::test {
namespace {

using std::chrono::steady_clock;

// A loop that has had nothing to do for this long has stalled: the case fails instead of hanging.
constexpr auto kStall = std::chrono::seconds(20);

class TWin32Harness final : public TBackendHarness {
 public:
  TWin32Harness() { backend_.SetIdleWakeInterval(200); }
  ~TWin32Harness() override { backend_.SetIdleWakeInterval(0); }

  TBackend& Backend() override { return backend_; }

  void WhenIdle(std::function<bool(TForm&)> act) override {
    lastAct_ = steady_clock::now();
    backend_.OnIdle = [this, act = std::move(act)](TForm& loopForm) {
      if (act(loopForm)) {
        lastAct_ = steady_clock::now();
        return true;
      }
      if (steady_clock::now() - lastAct_ > kStall) {
        ADD_FAILURE() << "the loop of " << loopForm.Name() << " has nothing left to do";
        backend_.Quit();
      }
      return false;
    };
  }

  void AnswerBoxes(std::function<int(const TMessageRequest&)> answer) override {
    backend_.OnBoxShown = [this, answer = std::move(answer)](const TMessageRequest& request) {
      EXPECT_TRUE(backend_.PressBoxButton(answer(request))) << "no box on screen for \"" << request.Text << "\"";
    };
  }

  void Press(TForm& form, TKeyPress key) override {
    (void)form;  // the keys go to the window with the focus, as typed
    TKeyStroke stroke;
    switch (key.Key) {
      case TKeyPress::kTab: stroke.Key = TKeyStroke::kTab; break;
      case TKeyPress::kShiftTab:
        stroke.Key = TKeyStroke::kTab;
        stroke.Shift = true;
        break;
      case TKeyPress::kEnter: stroke.Key = TKeyStroke::kEnter; break;
      case TKeyPress::kEscape: stroke.Key = TKeyStroke::kEscape; break;
      case TKeyPress::kAlt:
        stroke.Key = TKeyStroke::kLetter;
        stroke.Letter = key.Letter;
        stroke.Alt = true;
        break;
    }
    backend_.SendKeys({stroke});
  }

  bool ResizeScreen(TSize) override { return false; }  // the display's size is the display's

 private:
  TWin32Backend backend_;
  steady_clock::time_point lastAct_ = steady_clock::now();
};

}  // namespace

TOVIN_BEHAVIOUR_SUITES(Win32, [] { return std::make_unique<TWin32Harness>(); });

}  // namespace tovin::ui::test
