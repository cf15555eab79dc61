// Runs a setup without a person: presses the wizard's controls as the answers say when its
// loop has nothing else to do, and answers every message box, as a person in front of the
// headless backend would. Boxes are told apart by their identifiers, never by their texts.
#pragma once
#include <optional>
#include <string>

#include "app/setup_answers.h"
#include "app/setup_program.h"
#include "ui/headless/headless_backend.h"

namespace tovin {

class TUnattendedDriver {
 public:
  TUnattendedDriver(TSetupAnswers answers, const TSetupWindows& windows);

  // THeadlessBackend::OnIdle.
  bool OnIdle(ui::TForm& loopForm);
  // THeadlessBackend::Script.
  std::optional<ui::THeadlessAnswer> Answer(const ui::TMessageRequest& request);

  // Set when the answers asked for something the wizard did not offer; the run was cancelled.
  const std::string& Problem() const { return problem_; }
  // The installation run stopped with an error and the wizard was closed by its close button.
  bool RunStopped() const { return runStopped_; }

 private:
  bool Wizard();
  bool Cancel(const std::string& problem);
  void ApplyFolders();

  TSetupAnswers answers_;
  TSetupWindows windows_;
  bool destinationEntered_ = false;
  bool typedDestination_ = false;
  bool destinationRefused_ = false;
  bool runStopped_ = false;
  std::string problem_;
};

}  // namespace tovin
