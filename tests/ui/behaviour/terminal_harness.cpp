// The behaviour suite on the terminal backend, on a pseudo-terminal: a person's actions are
// keys typed as the terminal sends them (Tab, ESC [ Z, Enter, ESC, ESC and the letter for Alt),
// and a box is answered by moving its focus with Tab to the button and pressing Enter.
#include <stdexcept>

#include "tests/support/pseudo_terminal.h"
#include "tests/ui/behaviour/behaviour_suite.h"
#include "ui/terminal/cell_geometry.h"
#include "ui/terminal/terminal_backend.h"

namespace tovin::ui::test {
namespace {

class TTerminalHarness final : public TBackendHarness {
 public:
  TTerminalHarness() : terminal_(120, 40), backend_({terminal_.Screen(), terminal_.Keyboard(), "xterm-256color", "-"}) {
    backend_.OnIdle = [this](TForm* loopForm, const TMessageRequest* box) { return Idle(loopForm, box); };
  }
  TBackend& Backend() override { return backend_; }
  void WhenIdle(std::function<bool(TForm&)> act) override { act_ = std::move(act); }
  void AnswerBoxes(std::function<int(const TMessageRequest&)> answer) override { answer_ = std::move(answer); }
  void Press(TForm& form, TKeyPress key) override {
    (void)form;  // the keyboard goes to the form that takes input, as on the screen
    switch (key.Key) {
      case TKeyPress::kTab: terminal_.Type("\t"); break;
      case TKeyPress::kShiftTab: terminal_.Type("\x1b[Z"); break;
      case TKeyPress::kEnter: terminal_.Type("\r"); break;
      case TKeyPress::kEscape: terminal_.Type("\x1b"); break;
      case TKeyPress::kAlt: terminal_.Type(std::string("\x1b") + key.Letter); break;
    }
    backend_.TakeKeys();  // a key press is over when the form has had it
  }
  bool ResizeScreen(TSize size) override {
    // A terminal's screen is a whole number of cells.
    if (size.Width % terminal::kCellWidth != 0 || size.Height % terminal::kCellHeight != 0) return false;
    terminal_.SetSize(size.Width / terminal::kCellWidth, size.Height / terminal::kCellHeight);
    return true;
  }

 private:
  bool Idle(TForm* loopForm, const TMessageRequest* box) {
    if (box) {
      if (!answer_) throw std::logic_error("box \"" + box->Caption + "\" is open and the test answers none");
      int button = answer_(*box);
      int count = static_cast<int>(box->Buttons.size());
      // The focus starts on the default button; Tab moves it on.
      for (int i = 0; i < ((button - box->DefaultButton) % count + count) % count; ++i) terminal_.Type("\t");
      terminal_.Type("\r");
      return true;
    }
    if (act_ && loopForm && act_(*loopForm)) return true;
    if (!backend_.TimerPending())
      throw std::logic_error("the loop of " + (loopForm ? loopForm->Name() : std::string("a box")) +
                             " has nothing left to do");
    return false;
  }

  tovin::test::TPseudoTerminal terminal_;
  TTerminalBackend backend_;
  std::function<bool(TForm&)> act_;
  std::function<int(const TMessageRequest&)> answer_;
};

}  // namespace

TOVIN_BEHAVIOUR_SUITES(Terminal, [] { return std::make_unique<TTerminalHarness>(); });

}  // namespace tovin::ui::test
