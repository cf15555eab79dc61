// Runs a setup without a person: presses the wizard's controls as the answers say when its
// loop has nothing else to do, and answers every message box, as a person in front of the
// headless backend would. Boxes are told apart by their identifiers, never by their texts.
// With a trace, every page it stops on and every control it presses goes there, with why.
#pragma once
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/setup_answers.h"
#include "app/setup_program.h"
#include "app/setup_trace.h"
#include "ui/check_list_box.h"
#include "ui/headless/headless_backend.h"
#include "ui/label.h"

namespace tovin {

class TUnattendedDriver {
 public:
  // strict: an answer that finds nothing to press (its page was skipped, its shortcut is not
  // offered) cancels the run instead of being noted.
  TUnattendedDriver(TSetupAnswers answers, const TSetupWindows& windows, TSetupTrace* trace = nullptr,
                    bool strict = false);

  // THeadlessBackend::OnIdle.
  bool OnIdle(ui::TForm& loopForm);
  // THeadlessBackend::Script.
  std::optional<ui::THeadlessAnswer> Answer(const ui::TMessageRequest& request);
  // Why the last box answered through Answer got its answer.
  const std::string& LastAnswerWhy() const { return lastWhy_; }

  // Set when the answers asked for something the wizard did not offer; the run was cancelled.
  const std::string& Problem() const { return problem_; }
  // Answers that found nothing to press, one sentence each.
  const std::vector<std::string>& Unused() const { return unused_; }
  // The installation run stopped with an error and the wizard was closed by its close button.
  bool RunStopped() const { return runStopped_; }

 private:
  bool Wizard();
  bool Cancel(const std::string& problem);
  // Presses control when it takes input, traced with why; false when it does not.
  bool Press(ui::TControl& control, const std::string& why);
  void ApplyFolders();
  void Untick(ui::TCheckListBox& list, const ui::TLabel& title, const std::vector<std::string>& names,
              const char* key);
  // Notes the answers whose page the wizard went past without showing; false when strict
  // cancelled the run for one.
  bool CheckSkippedPages(int page);
  void Unanswerable(const std::string& sentence);
  // "answers file: Key=Value" when the file says key, else where the default came from.
  std::string Why(const char* upperKey, const std::string& otherwise) const;

  TSetupAnswers answers_;
  TSetupWindows windows_;
  TSetupTrace* trace_;
  bool strict_;
  bool destinationEntered_ = false;
  bool typedDestination_ = false;
  bool destinationRefused_ = false;
  bool runStopped_ = false;
  int tracedPage_ = -1;
  std::set<int> shownPages_;
  std::set<std::string> noted_;
  std::string problem_, lastWhy_;
  std::vector<std::string> unused_;
};

}  // namespace tovin
