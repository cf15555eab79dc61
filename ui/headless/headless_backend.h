// THeadlessBackend: runs the forms without drawing anything, for tests and unattended runs.
//
// A loop turn does the first of these that applies, checking before each turn whether the loop
// has ended:
//   1. run the actions posted with PostAction;
//   2. fire the enabled timer that is due first, in virtual time: the clock jumps to its due
//      time at once (timers due at the same time fire in the order they were started);
//   3. call OnIdle with the form whose loop runs, so a driver can act as the user; it returns
//      whether it did something;
//   4. nothing left to do: raise EHeadlessStall instead of waiting for ever.
// A loop that goes on for more than MaxTurns turns raises EHeadlessRunaway. Virtual time moves
// only in step 2, so ProcessMessages never fires a timer: that is this backend's own rule,
// which tests of it may rely on and forms may not (other backends fire timers in any pump).
//
// It keeps the model's lifetime promise honest: news of a control it was not told of, or of
// one that has gone, raises EHeadlessLifetime.
//
// Message boxes and input queries are answered by Script at once and every one is written to
// the transcript.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/control.h"
#include "ui/headless/headless_errors.h"
#include "ui/headless/transcript.h"

namespace tovin::ui {

struct THeadlessAnswer {
  // Label of the button to press; "&" and letter case do not matter ("abort" presses "&Abort").
  // Empty: the default button.
  std::string Button;
  // Input queries: the text typed into the input line before the button is pressed.
  std::optional<std::string> Text;

  static THeadlessAnswer Press(std::string button) { return {std::move(button), std::nullopt}; }
  static THeadlessAnswer Type(std::string text) { return {std::string(), std::move(text)}; }
};

// Returns the answer for a box, or nothing to press its default button.
using TAnswerScript = std::function<std::optional<THeadlessAnswer>(const TMessageRequest& request)>;
// Called when the loop of loopForm has nothing else to do; true when it acted.
using TIdleHandler = std::function<bool(TForm& loopForm)>;

class THeadlessBackend final : public TBackend {
 public:
  TAnswerScript Script;
  TIdleHandler OnIdle;
  int MaxTurns = 100000;
  TSize Screen{1024, 768};

  // Runs action during the call-th ProcessMessages (counting from 1 over the backend's life),
  // before posted actions. Raises std::invalid_argument if that call has already happened.
  void AtProcessMessages(int call, TNotifyEvent action);
  int ProcessMessagesCalls() const { return processMessagesCalls_; }
  // Virtual milliseconds since the backend was made.
  uint64_t Clock() const { return clock_; }
  const std::vector<TTranscriptEntry>& Transcript() const { return transcript_; }

  void RunLoop(TApplication& app, TForm& loopForm, const std::function<bool()>& ended) override;
  void ProcessMessages(TApplication& app) override;
  TMessageAnswer Ask(const TMessageRequest& request) override;
  void Dismissed(const TMessageRequest& request, const TMessageAnswer& answer) override;
  TSize ScreenSize() const override { return Screen; }
  void TimerChanged(TTimer& timer) override;
  void TimerDestroyed(TTimer& timer) override;
  void ControlCreated(TControl& control) override;
  void ControlDestroyed(TControl& control) override;
  void ControlChanged(TControl& control, TProperty property) override;
  void FormShown(TForm& form) override;
  void Repaint(TControl& control) override { Known(control, "repaint"); }
  void Update(TControl& control) override { Known(control, "update"); }

  // The controls the model has announced and not taken back.
  const std::set<const TControl*>& LiveControls() const { return live_; }
  // Controls that went without having been announced (noted, since a destructor cannot throw).
  const std::vector<std::string>& LifetimeFaults() const { return lifetimeFaults_; }

 private:
  struct Due {
    uint64_t time;
    uint64_t order;
  };
  bool FireNextTimer(TApplication& app);
  void Record(const TMessageRequest& request, const TMessageAnswer& answer, TAnswerSource source);
  void Known(const TControl& control, const char* news) const;

  uint64_t clock_ = 0;
  uint64_t order_ = 0;
  std::map<TTimer*, Due> due_;
  int processMessagesCalls_ = 0;
  std::multimap<int, TNotifyEvent> atProcessMessages_;
  std::vector<TTranscriptEntry> transcript_;
  std::set<const TControl*> live_;
  std::vector<std::string> lifetimeFaults_;
};

}  // namespace tovin::ui
