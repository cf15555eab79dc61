// The behaviour suite on the headless backend: a person's actions are its idle handler and its
// box script; keys go to the form's own keyboard handling, as a backend without a dialog
// manager passes them.
#include "tests/ui/behaviour/behaviour_suite.h"
#include "ui/headless/headless_backend.h"

namespace tovin::ui::test {
namespace {

class THeadlessHarness final : public TBackendHarness {
 public:
  TBackend& Backend() override { return backend_; }
  void WhenIdle(std::function<bool(TForm&)> act) override { backend_.OnIdle = std::move(act); }
  void AnswerBoxes(std::function<int(const TMessageRequest&)> answer) override {
    backend_.Script = [answer = std::move(answer)](const TMessageRequest& r) -> std::optional<THeadlessAnswer> {
      return THeadlessAnswer::Press(r.Buttons.at(static_cast<size_t>(answer(r))));
    };
  }
  void Press(TForm& form, TKeyPress key) override {
    switch (key.Key) {
      case TKeyPress::kTab: form.SelectNext(true); break;
      case TKeyPress::kShiftTab: form.SelectNext(false); break;
      case TKeyPress::kEnter: form.PressDefault(); break;
      case TKeyPress::kEscape: form.PressCancel(); break;
      case TKeyPress::kAlt: form.PressAcceleratorKey(key.Letter); break;
    }
  }
  bool ResizeScreen(TSize size) override {
    backend_.Screen = size;
    return true;
  }

 private:
  THeadlessBackend backend_;
};

}  // namespace

TOVIN_BEHAVIOUR_SUITES(Headless, [] { return std::make_unique<THeadlessHarness>(); });

}  // namespace tovin::ui::test
